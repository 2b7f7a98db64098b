#include "dropdown/ExtListDropDownBase.h"

#include "dropdown/ExtMultiColumnDropDown.h"
#include "platform/GridsWidget.h"

#include <QKeyEvent>

namespace ExtMultiColumnDropDown {

TExtListDropDownBase::TExtListDropDownBase(QWidget* parent) : TExtCustomDropDown(parent) {}

TExtListDropDownBase::~TExtListDropDownBase() = default;

void TExtListDropDownBase::SetUpList()
{
    // The base's construction ran its own steps; the list's part of them
    // runs here, in the same order.
    CreateDropDownForm();
    SetSelectionColorStyle(TSelectionColorStyle::scOffice2007);
    SetComponentStyle(tsOffice2007Luna);
    FHeaderColorTo = 0x808080;
    FHeaderColor = 0xFFFFFF;
    FHeaderHeight = 25;
    FLineColor = 0xC0C0C0;
    SetDropDownColor(0xFFFFFF);
    SetDropDownHeight(200);
    SetAutoSelect(true);
    FItemIndex = -1;
    SetSelectionColorStyle(TSelectionColorStyle::scOffice2007);
}

// ---- the lookup list ---------------------------------------------------------------

void TExtListDropDownBase::SetTextQuietly(const QString& text)
{
    FBlockCompletion = true;
    SetText(text);
    FBlockCompletion = false;
}

QString TExtListDropDownBase::ItemLookupText(int value) const
{
    if (value >= 0 && FLookupColumn >= 0 && ListItem(value).HasText(FLookupColumn)) return ListItem(value).Text[FLookupColumn];
    return QString();
}

void TExtListDropDownBase::UpdateLookupItems()
{
    if (FLookupColumn < 0 || ListItemCount() == 0) return;
    FLookupItems.clear();
    for (int i = 0; i < ListItemCount(); ++i) FLookupItems << ListItem(i).TextAt(FLookupColumn);
}

int TExtListDropDownBase::LookupIndexOf(const QString& text) const
{
    for (int i = 0; i < FLookupItems.size(); ++i)
        if (FLookupItems[i].compare(text, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

bool TExtListDropDownBase::FindItemMatch(const QString& key, QString& text, int& index) const
{
    for (int i = 0; i < ListItemCount(); ++i) {
        const TDropDownItemSettings& item = ListItem(i);
        if (!item.HasText(FLookupColumn)) continue;
        if (FoldLookupCase(item.Text[FLookupColumn], FCaseSensitive).startsWith(key)) {
            text = item.Text[FLookupColumn];
            index = i;
            return true;
        }
    }
    return false;
}

bool TExtListDropDownBase::LookupEntryKey(QChar key)
{
    const bool backspace = key == QChar(8);
    if (!backspace && key != QChar(9)) FLookupEntry += key;
    if (!backspace) return false;
    if (!hasSelectedText()) {
        FLookupEntry.chop(1);
        SetTextQuietly(FLookupEntry);
    } else {
        QString t = QLineEdit::text();
        t.remove(selectionStart(), selectedText().size());
        SetTextQuietly(t);
    }
    setCursorPosition(int(QLineEdit::text().size()));
    return true;
}

int TExtListDropDownBase::LookupSingleKey(QChar key)
{
    QString text;
    int index = -1;
    if (FindLookupMatch(QString(key), text, index)) {
        FItemIndex = index;
        SetTextQuietly(text);
        FLookupEntry = QString(key);
        return index;
    }
    FLookupEntry.clear();
    return -1;
}

// ---- typing in the edit ------------------------------------------------------------

void TExtListDropDownBase::Change()
{
    FItemChange = false;
    TExtCustomDropDown::Change();
    if (FBlockCompletion || !workmode) return;
    SetModifiedState(Text() != FOldValue);
    // Within a key press the caret is placed after the text changes: the
    // completion waits for it.
    if (FInKeyPress) {
        FCompletionPending = true;
        return;
    }
    Complete();
}

void TExtListDropDownBase::Complete()
{
    const QString current = QLineEdit::text();
    const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
    if (FLookupItems.isEmpty()) return;
    const TTypeAheadResult m = CompleteTypeAhead(current, caret, FLookupItems, FMatchCase);
    if (m.Index >= 0) {
        FItemIndex = m.Index;
        FItemIdx = m.Index;
        FItemSel = m.SelStart;
        FItemChange = true;
    }
    if (m.Text == current && m.Index < 0) return;
    // A text that changes runs Change again, which clears FItemChange: it
    // survives only when the typed text was a whole entry already.
    FBlockCompletion = true;
    SetTextDirect(m.Text);
    FBlockCompletion = false;
    // The completed rest is selected with the caret after the typed part.
    if (m.SelLength > 0)
        setSelection(m.SelStart + m.SelLength, -m.SelLength);
    else
        setCursorPosition(m.SelStart);
}

void TExtListDropDownBase::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (FLookupColumn < 0 || ListItemCount() == 0) {
        TExtCustomDropDown::KeyDown(key, shift);
        return;
    }
    const int k = key;
    if (k == Qt::Key_Backspace || k == Qt::Key_Escape || k == Qt::Key_Delete) {
        workmode = false;
    } else if (k == Qt::Key_Return || k == Qt::Key_Enter) {
        const int i = LookupIndexOf(Text());
        if (i >= 0) {
            SetTextQuietly(FLookupItems[i]);
            SetItemIndex(i);
            Change();
        }
    } else {
        workmode = true;
    }
    CompletionKeyDown(k);
    TExtCustomDropDown::KeyDown(key, shift);
    if (k == Qt::Key_Escape) SetItemIndex(LookupIndexOf(Text()));
}

void TExtListDropDownBase::KeyUp(int& key, Qt::KeyboardModifiers shift)
{
    (void)key;
    (void)shift;
    if (!FItemChange) return;
    SetItemIndex(FItemIdx);
    const int n = int(QLineEdit::text().size());
    setSelection(n, FItemSel - n);
    FItemChange = false;
}

void TExtListDropDownBase::keyPressEvent(QKeyEvent* event)
{
    FInKeyPress = true;
    FCompletionPending = false;
    TExtCustomDropDown::keyPressEvent(event);
    FInKeyPress = false;
    if (FCompletionPending) {
        FCompletionPending = false;
        Complete();
    }
    if (NavigationKey(event->key(), event->modifiers())) event->accept();
}

void TExtListDropDownBase::keyReleaseEvent(QKeyEvent* event)
{
    TExtCustomDropDown::keyReleaseEvent(event);
    int key = event->key();
    KeyUp(key, event->modifiers());
}

bool TExtListDropDownBase::WMKeyDown(int key, Qt::KeyboardModifiers shift)
{
    const bool done = TExtCustomDropDown::WMKeyDown(key, shift);
    return NavigationKey(key, shift) || done;
}

bool TExtListDropDownBase::HomeEndSelects(Qt::KeyboardModifiers shift) const
{
    (void)shift;
    return !EditorEnabled();
}

bool IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Up:
    case Qt::Key_Down: return true;
    default: return false;
    }
}

bool TExtListDropDownBase::NavigationKey(int key, Qt::KeyboardModifiers shift)
{
    if (!isEnabled() || (shift & Qt::AltModifier) || !IsNavigationKey(key)) return false;
    NavigationKeyPressed();
    switch (key) {
    case Qt::Key_PageUp: SelectPreviousPage(); return true;
    case Qt::Key_PageDown: SelectNextPage(); return true;
    case Qt::Key_End:
        if (!HomeEndSelects(shift)) return false;
        SelectLast();
        return true;
    case Qt::Key_Home:
        if (!HomeEndSelects(shift)) return false;
        SelectFirst();
        return true;
    case Qt::Key_Up: SelectPrevious(); return true;
    default: SelectNext(); return true;
    }
}

// ---- stepping through the choices ----------------------------------------------------

void TExtListDropDownBase::SelectFirst()
{
    if (ChoiceCount() > 0) SetItemIndex(0);
}

void TExtListDropDownBase::SelectLast()
{
    if (ChoiceCount() > 0) SetItemIndex(ChoiceCount() - 1);
}

void TExtListDropDownBase::SelectNext()
{
    const int n = ChoiceCount();
    if (n == 0) return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex < n - 1)
        SetItemIndex(FItemIndex + 1);
}

void TExtListDropDownBase::SelectPrevious()
{
    if (ChoiceCount() == 0) return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex > 0)
        SetItemIndex(FItemIndex - 1);
}

void TExtListDropDownBase::SelectNextPage()
{
    const int n = ChoiceCount();
    if (n == 0) return;
    SetItemIndex(FItemIndex < 0 ? 0 : std::min(FItemIndex + 10, n - 1));
}

void TExtListDropDownBase::SelectPreviousPage()
{
    if (ChoiceCount() == 0) return;
    SetItemIndex(std::max(FItemIndex - 10, 0));
}

void TExtListDropDownBase::HandleMouseWheelDown()
{
    TExtCustomDropDown::HandleMouseWheelDown();
    SelectNext();
}

void TExtListDropDownBase::HandleMouseWheelUp()
{
    TExtCustomDropDown::HandleMouseWheelUp();
    SelectPrevious();
}

// ---- the pop-up ----------------------------------------------------------------------

void TExtListDropDownBase::AdaptDropDownSize()
{
    TExtCustomDropDown::AdaptDropDownSize();
    TCustomGrid* g = ListGrid();
    if (!FDropDownAutoWidth || !g || !DropDownForm()) return;
    QWidget* w = g->Widget();
    w->resize(ListNaturalWidth(), w->height());
    DropDownForm()->resize(w->width() + 2 * DropDownBorderWidth(), DropDownForm()->height());
    DropDownForm()->ArrangeChildren();
}

void TExtListDropDownBase::PlaceDropDownControl()
{
    if (TCustomGrid* g = ListGrid()) {
        SetControl(g->Widget());
        SetFocusControl(g->Widget());
    }
    TExtCustomDropDown::PlaceDropDownControl();
}

void TExtListDropDownBase::AdaptDropDownHeight(int& height)
{
    int strips = 0;
    if (DropDownHeader().Visible()) strips += DropDownHeader().Height();
    if (DropDownFooter().Visible()) strips += DropDownFooter().Height();
    height = WholeRowsHeight(height, strips, FHeaderHeight, FDropDownRowHeight);
}

void TExtListDropDownBase::DropDownFormSizing()
{
    TExtCustomDropDown::DropDownFormSizing();
    SizeColumnsToDropDown();
}

void TExtListDropDownBase::SizeColumnsToDropDown()
{
    TCustomGrid* g = ListGrid();
    if (!FColumnSizeWithDropDown || !g || !DropDownForm()) return;
    g->SetScrollBars(TScrollStyle::ssVertical);
    if (ListColumnCount() == 0) return;
    std::vector<int> widths;
    for (int c = 0; c < g->ColCount(); ++c) widths.push_back(g->ColWidths(c));
    int avail = DropDownForm()->width();
    if (g->VisibleRowCount() + g->FixedRows() < g->RowCount()) avail -= ScrollBarWidth();
    const std::vector<int> scaled = ScaledColumnWidths(widths, avail);
    for (int c = 0; c < int(scaled.size()); ++c) g->SetColWidths(c, scaled[size_t(c)]);
}

// ---- styles ---------------------------------------------------------------------------------

void TExtListDropDownBase::SetSelectionColorStyle(TSelectionColorStyle value)
{
    using enum TSelectionColorStyle;
    if (value == scOffice2007) {
        FLineColor = 0xF1EDEB;
        FFixedLineColor = 0xD1BBA4;
    } else if (value == scWindowsVista || value == scWindows7) {
        FLineColor = 0xECECF0;
        FFixedLineColor = 0xD4D2D1;
    }
    TExtCustomDropDown::SetSelectionColorStyle(value);
}

namespace {
struct TListStyle {
    TStudioStyle Style;
    TColor HeaderColor;
    TColor HeaderColorTo;
    TColor HeaderFontColor; // clNone: unchanged
    TSelectionColorStyle Selection;
    TColor FixedLines;
    TColor Lines;
};
using enum TSelectionColorStyle;
constexpr TListStyle ListStyles[] = {
    {tsOffice2003Blue, 0xD68759, 0x933803, 0xFFFFFF, scOffice2007, 0x962D00, 0x962D00},
    {tsOffice2003Silver, 0xBDA4A5, 0x957475, clNone, scOffice2007, 0x947C7C, 0x947C7C},
    {tsOffice2003Olive, 0x82C0AF, 0x447A63, clNone, scOffice2007, 0x588060, 0x588060},
    {tsOffice2003Classic, 0x808080, 0x808080, clNone, scOffice2007, 0x808080, 0x808080},
    {tsOffice2007Luna, 0xFFEFE3, 0xFFD2AF, 0x723708, scOffice2007, 0xFFD2AF, 0xFFD2AF},
    {tsOffice2007Obsidian, 0xF2F1F0, 0xC9C2BD, 0x433C37, scOffice2007, 0x5C534C, 0x5C534C},
    {tsWindowsXP, clBtnFace, clBtnFace, 0, scCustom, 0, 0xC0C0C0},
    {tsWhidbey, 0xEBEEEF, 0x7E9898, 0xFFFFFF, scOffice2007, 0x962D00, 0x962D00},
    {tsOffice2007Silver, 0xF8F7F6, 0xE8E0DB, 0x8B4215, scOffice2007, 0x74706F, 0x74706F},
    {tsWindowsVista, 0xFFFDF9, 0xFFFAF0, 0, scWindowsVista, 0xFCF2DA, 0xFCF2DA},
    {tsWindows7, 0xFDFBFA, 0xFDF3EB, 0, scWindows7, 0xFBD6B8, 0xFBD6B8},
    {tsTerminal, clBtnFace, clBtnFace, 0, scCustom, 0x808080, 0x808080},
    {tsOffice2010Blue, 0xEDDBCD, clNone, 0x5B391E, scCustom, 0xEEDDCF, 0xEEDDCF},
    {tsOffice2010Silver, 0xEDE9E5, clNone, 0x5B391E, scCustom, 0xEEDDCF, 0xEEDDCF},
    {tsOffice2010Black, 0x828282, clNone, 0xD7D7D6, scCustom, 0xEEDDCF, 0xEEDDCF},
};
} // namespace

void TExtListDropDownBase::SetComponentStyle(TStudioStyle style)
{
    TExtCustomDropDown::SetComponentStyle(style);
    const TListStyle* s = nullptr;
    for (const TListStyle& entry : ListStyles)
        if (entry.Style == style) s = &entry;
    if (!s) return; // tsCustom changes nothing here
    FHeaderColor = s->HeaderColor;
    FHeaderColorTo = s->HeaderColorTo;
    if (s->HeaderFontColor != clNone) FHeaderFontColor = s->HeaderFontColor;
    SetSelectionColorStyle(s->Selection);
    FLineColor = s->Lines;
    FFixedLineColor = s->FixedLines;
    FSelectionTextColor = 0;
    if (style == tsWindowsXP || style == tsTerminal) {
        SetSelectionColor(clHighlight);
        SetSelectionColorTo(clHighlight);
        FSelectionTextColor = clHighlightText;
    } else if (style == tsOffice2010Blue || style == tsOffice2010Silver || style == tsOffice2010Black) {
        SetSelectionColor(0x6CD0FF);
        SetSelectionColorTo(0x6CD0FF);
    }
}

} // namespace ExtMultiColumnDropDown
