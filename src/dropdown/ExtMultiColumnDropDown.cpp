#include "dropdown/ExtMultiColumnDropDown.h"

#include "platform/GridsWidget.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLocale>
#include <QStyle>
#include <cmath>

namespace ExtMultiColumnDropDown {

namespace {

// A surface to measure texts on.
struct TMeasureCanvas {
    QImage Image{1, 1, QImage::Format_RGB32};
    TCanvas Canvas{&Image};
};

} // namespace

int ScrollBarWidth() { return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

bool OnDropDownForm(const TCustomGrid& grid)
{
    auto* w = dynamic_cast<QWidget*>(grid.View());
    return w && dynamic_cast<TDropDownForm*>(w->parentWidget());
}

int AutoSizeCellWidth(const TDropDownColumnSettings& col, int index, const TDropDownItemSettings& item,
                      TCustomImageList* images)
{
    const QString text = item.TextAt(index);
    int w = col.ColumnType == TColumnType::ctImage && item.ImageIndex >= 0 && images ? images->Width() + 4 : 0;
    if (!text.isEmpty()) {
        TMeasureCanvas m;
        m.Canvas.SetFont(col.Font);
        TRect box{0, 0, 1000, 500};
        m.Canvas.DrawText(text, box, tfCalcRect | tfSingleLine | tfNoPrefix);
        w += box.Width() + 6;
    }
    return w;
}

int WrappedCellHeight(const TDropDownColumnSettings& col, int index, int width, const TDropDownItemSettings& item,
                      TCustomImageList* images)
{
    int h = col.ColumnType == TColumnType::ctImage && item.ImageIndex >= 0 && images ? images->Height() + 6 : 0;
    const QString text = item.TextAt(index);
    if (!text.isEmpty()) {
        TMeasureCanvas m;
        m.Canvas.SetFont(col.Font);
        TRect box{0, 0, width, 500};
        m.Canvas.DrawText(text, box, tfCalcRect | tfWordBreak | tfNoPrefix);
        h = std::max(h, box.Height() + 6);
    }
    return h;
}

// ---- shared helpers -----------------------------------------------------------

QString FoldLookupCase(const QString& s, bool keep) { return keep ? s : QLocale().toUpper(s); }

std::vector<int> ScaledColumnWidths(const std::vector<int>& widths, int avail)
{
    int total = 1;
    for (int w : widths) total += w;
    const double f = double(avail) / double(total);
    double err = 0;
    std::vector<int> out;
    out.reserve(widths.size());
    for (int w : widths) {
        const double exact = f * w;
        const double near = std::nearbyint(exact);
        err += exact - near;
        if (err > 1) {
            out.push_back(int(near) + 1);
            err -= 1;
        } else {
            out.push_back(int(near));
        }
    }
    return out;
}

int WholeRowsHeight(int height, int strips, int headerHeight, int rowHeight)
{
    if (rowHeight <= 0) return height;
    const int b = height - strips - headerHeight - 2;
    return strips + headerHeight + (b / rowHeight) * rowHeight + 2;
}

// ---- columns and items -----------------------------------------------------------

int TDropDownItems::IndexInColumn(int column, const QString& value) const
{
    for (int i = 0; i < Count(); ++i) {
        const TDropDownItem& it = Items(i);
        if (it.HasText(column) && it.Text[column] == value) return i;
    }
    return -1;
}

// ---- the list grid ---------------------------------------------------------------

TExtColGrid::TExtColGrid()
{
    SetFixedRows(1);
    SetFixedCols(0);
    SetOptions(Options().Without(goRangeSelect).Without(goDrawFocusSelected).With(goHorzLine).With(goRowSelect));
    DefaultDrawingEnabled = false;
    TCustomGrid::SetGridLineWidth(0);
    FOldRow = Row();
}

TExtColGrid::~TExtColGrid() = default;

void TExtColGrid::UpdateFromDropDown(TExtMultiColumnDropDown* d)
{
    if (!d) return;
    SetDropDown(d);
    FColumns.Assign(d->Columns());
    SetColCount(FColumns.Count());
    const int items = d->Items().Count();
    SetRowCount(items + 1);
    if (RowCount() > 1) {
        SetFixedRows(1);
        SetRow(1);
        SetRowCount(items + 1);
    }
    for (int i = 0; i < FColumns.Count(); ++i) SetColWidths(i, FColumns.Items(i).Width);
    TakeLook(*d);
    SetOptions(d->ColumnSizing() ? Options().With(goColSizing) : Options().Without(goColSizing));
    AutoSizeFlaggedColumns();
    AutoSizeWrappedRows();
}

int TExtColGrid::GetNaturalWidth() const
{
    int w = 0;
    for (int c = 0; c < ColCount(); ++c) w += ColWidths(c);
    if (VisibleRowCount() + FixedRows() != RowCount()) w += ScrollBarWidth();
    return w;
}

TRect TExtColGrid::GetCellRect(int c, int r) const
{
    TRect rc = CellRect(c, r);
    if (rc.IsEmpty()) return TRect{};
    rc.Right = rc.Left + ColWidths(c);
    rc.Bottom = rc.Top + RowHeights(r);
    return rc;
}

void TExtColGrid::DrawCell(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state)
{
    TExtMultiColumnDropDown* d = FExtDropDown;
    if (d && d->OnDropDownDrawItem) {
        d->OnDropDownDrawItem(d, c, r, canvas, rect);
        return;
    }
    const int first = FixedCols();
    const int last = ColCount() - 1;
    const int part = c == first && c == last ? 0 : c == first ? 1 : c == last ? 2 : 3;

    TRect rc = GetCellRect(c, r);
    if (rc.IsEmpty()) rc = rect;
    int imageIndex = -1;
    QString text = StoreCell(c, r);
    const bool header = r < FixedRows();
    TColor background = Color;
    TAlignment alignment = taLeftJustify;
    bool wrap = false;
    bool ellipsis = false;
    TColor fontColor = FontColor;
    if (c >= FixedCols() && c < FColumns.Count()) {
        const TDropDownColumn& col = FColumns.Items(c);
        background = col.Color;
        alignment = col.Alignment;
        wrap = col.Wordwrap;
        ellipsis = col.Ellipsis;
        canvas.SetFont(col.Font);
        fontColor = col.FontColor;
        if (d && r > 0 && r - 1 < d->Items().Count()) {
            const TDropDownItem& item = d->Items().Items(r - 1);
            if (col.ColumnType == TColumnType::ctImage) imageIndex = item.ImageIndex;
            if (item.HasText(c)) text = item.Text[c];
        }
    } else {
        canvas.SetFont(FHeaderFont);
    }
    if (d && d->OnDropDownGetItemText) d->OnDropDownGetItemText(d, c, r, text);

    const bool selected = !header && state.Contains(gdSelected);
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetPenStyle(TPenStyle::Solid);
    if (header) {
        text = c < FColumns.Count() ? FColumns.Items(c).Header : QString();
        imageIndex = -1;
        if (FHeaderColor == clNone || FHeaderColorTo == clNone) {
            canvas.SetBrushColor(FHeaderColor);
            canvas.FillRect(rc);
        } else if (d) {
            d->DrawGradient(canvas, FHeaderColor, FHeaderColorTo, 80, rc, true);
        } else {
            FillDropDownGradient(canvas, FHeaderColor, FHeaderColorTo, 80, rc, false);
        }
    } else if (selected && d) {
        d->DrawSelectionBackground(canvas, rc, part, background);
    } else {
        canvas.SetPenColor(background);
        canvas.SetBrushColor(background);
        canvas.SetPenWidth(1);
        canvas.Rectangle(rc);
    }

    // Lines: a width of 0 draws none.
    const int lineWidth = header ? 1 : FGridLineWidth;
    if (lineWidth > 0) {
        canvas.SetPenColor(header ? FFixedLineColor : FLineColor);
        canvas.SetPenWidth(lineWidth);
        const int k = header ? 1 : (lineWidth + 1) / 2;
        if ((!header && HasOption(goHorzLine)) || (header && HasOption(goFixedHorzLine))) {
            canvas.MoveTo(rc.Left - k + 1, rc.Bottom - k);
            canvas.LineTo(rc.Right - k + 1, rc.Bottom - k);
        }
        if ((!header && HasOption(goVertLine)) || (header && HasOption(goFixedVertLine))) {
            canvas.MoveTo(rc.Right - k, rc.Bottom - k);
            canvas.LineTo(rc.Right - k, rc.Top - k);
        }
    }

    rc = rc.Inflated(-FGridLineWidth, -FGridLineWidth);
    int textLeft = rc.Left + 2;
    TCustomImageList* images = d ? d->Images() : nullptr;
    if (images && imageIndex >= 0) {
        const int ih = images->Height();
        const int y = ih < rc.Height() ? rc.Top + (rc.Height() - ih) / 2 : rc.Top;
        images->Draw(canvas, rc.Left + 2, y, imageIndex);
        textLeft = rc.Left + images->Width() + 4;
    }
    if (text.isEmpty()) return;
    canvas.SetBkMode(TBkMode::Transparent);
    canvas.SetFontColor(header ? (d ? d->HeaderFontColor() : FontColor) : selected && d ? d->SelectionTextColor() : fontColor);
    unsigned flags = tfNoPrefix | (wrap ? unsigned(tfWordBreak) : unsigned(tfSingleLine | tfVCenter));
    if (alignment == taRightJustify) flags |= tfRight;
    if (alignment == taCenter) flags |= tfCenter;
    if (ellipsis) flags |= tfEndEllipsis;
    TRect tr{textLeft, rc.Top, rc.Right, rc.Bottom};
    if (wrap) {
        // Word-wrapped text is centred by its measured height.
        TRect m = tr;
        canvas.DrawText(text, m, flags | tfCalcRect);
        const int offset = std::max(0, (tr.Height() - m.Height()) / 2);
        tr.Top += offset;
    }
    canvas.DrawText(text, tr, flags);
}

void TExtColGrid::DoSelect()
{
    if (OnSelect) OnSelect(this);
}

void TExtColGrid::KeyDown(int& key, TShiftState shift)
{
    if (ListKeyDown(key, shift)) return;
    const int k = key;
    TStringGrid::KeyDown(key, shift);
    if (k == VK_RETURN) DoSelect();
}

void TExtColGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TStringGrid::MouseUp(button, shift, x, y);
    int c = -1;
    int r = -1;
    MouseToCell(x, y, c, r);
    if (r >= FixedRows() && r < RowCount()) DoSelect();
}

// ---- the drop-down ------------------------------------------------------------------

TExtMultiColumnDropDown::TExtMultiColumnDropDown(QWidget* parent) : TExtCustomDropDown(parent)
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

TExtMultiColumnDropDown::~TExtMultiColumnDropDown() = default;

void TExtMultiColumnDropDown::Assign(const TExtMultiColumnDropDown& s)
{
    if (&s == this) return;
    TExtCustomDropDown::Assign(s);
    FCaseSensitive = s.FCaseSensitive;
    FDropDownAutoWidth = s.FDropDownAutoWidth;
    FDropDownRowHeight = s.FDropDownRowHeight;
    FLineColor = s.FLineColor;
    FFixedLineColor = s.FFixedLineColor;
    FColumnSizing = s.FColumnSizing;
    FColumnSizeWithDropDown = s.FColumnSizeWithDropDown;
    FColumns.Assign(s.FColumns);
    FHeaderColor = s.FHeaderColor;
    FHeaderColorTo = s.FHeaderColorTo;
    FHeaderHeight = s.FHeaderHeight;
    FHeaderFont = s.FHeaderFont;
    FHeaderFontColor = s.FHeaderFontColor;
    FLookupColumn = s.FLookupColumn;
    FSelectionTextColor = s.FSelectionTextColor;
    FItems.Assign(s.FItems);
    FItemIndex = s.FItemIndex;
}

void TExtMultiColumnDropDown::SetItemIndex(int value)
{
    if (value >= FItems.Count()) return;
    FItemIndex = value;
    QString text;
    if (value >= 0 && FLookupColumn >= 0 && FItems.Items(value).HasText(FLookupColumn)) text = FItems.Items(value).Text[FLookupColumn];
    FBlockCompletion = true;
    SetText(text);
    FBlockCompletion = false;
}

int TExtMultiColumnDropDown::GetItemIndex(const QString& value) const { return FItems.IndexInColumn(FLookupColumn, value); }

void TExtMultiColumnDropDown::UpdateLookupItems()
{
    if (FLookupColumn < 0 || FItems.Count() == 0) return;
    FLookupItems.clear();
    for (int i = 0; i < FItems.Count(); ++i) FLookupItems << FItems.Items(i).TextAt(FLookupColumn);
}

int TExtMultiColumnDropDown::LookupIndexOf(const QString& text) const
{
    for (int i = 0; i < FLookupItems.size(); ++i)
        if (FLookupItems[i].compare(text, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

bool TExtMultiColumnDropDown::FindLookupMatch(const QString& s, QString& text, int& index) const
{
    text.clear();
    index = -1;
    if (s.isEmpty() || !FExtColGrid) return false;
    const QString key = FoldLookupCase(s, FCaseSensitive);
    for (int i = 0; i < FItems.Count(); ++i) {
        const TDropDownItem& item = FItems.Items(i);
        if (!item.HasText(FLookupColumn)) continue;
        if (FoldLookupCase(item.Text[FLookupColumn], FCaseSensitive).startsWith(key)) {
            text = item.Text[FLookupColumn];
            index = i;
            return true;
        }
    }
    return false;
}

void TExtMultiColumnDropDown::SetTextQuietly(const QString& text)
{
    FBlockCompletion = true;
    SetText(text);
    FBlockCompletion = false;
}

int TExtMultiColumnDropDown::LookupKey(QChar key)
{
    const bool backspace = key == QChar(8);
    if (!backspace && key != QChar(9)) FLookupEntry += key;
    if (backspace) {
        if (!hasSelectedText()) {
            FLookupEntry.chop(1);
            SetTextQuietly(FLookupEntry);
        } else {
            QString t = QLineEdit::text();
            t.remove(selectionStart(), selectedText().size());
            SetTextQuietly(t);
        }
        setCursorPosition(QLineEdit::text().size());
        return -1;
    }
    QString text;
    int index = -1;
    if (FindLookupMatch(FLookupEntry, text, index)) {
        FItemIndex = index;
        SetTextQuietly(text);
        const int n = std::min<int>(FLookupEntry.size(), text.size());
        setSelection(n, text.size() - n);
        return index;
    }
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

void TExtMultiColumnDropDown::Change()
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

void TExtMultiColumnDropDown::Complete()
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

void TExtMultiColumnDropDown::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (FLookupColumn < 0 || FItems.Count() == 0) {
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
    TExtCustomDropDown::KeyDown(key, shift);
    if (k == Qt::Key_Escape) SetItemIndex(LookupIndexOf(Text()));
}

void TExtMultiColumnDropDown::KeyUp(int& key, Qt::KeyboardModifiers shift)
{
    (void)key;
    (void)shift;
    if (!FItemChange) return;
    SetItemIndex(FItemIdx);
    const int n = int(QLineEdit::text().size());
    setSelection(n, FItemSel - n);
    FItemChange = false;
}

void TExtMultiColumnDropDown::keyPressEvent(QKeyEvent* event)
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

void TExtMultiColumnDropDown::keyReleaseEvent(QKeyEvent* event)
{
    TExtCustomDropDown::keyReleaseEvent(event);
    int key = event->key();
    KeyUp(key, event->modifiers());
}

bool TExtMultiColumnDropDown::WMKeyDown(int key, Qt::KeyboardModifiers shift)
{
    const bool done = TExtCustomDropDown::WMKeyDown(key, shift);
    return NavigationKey(key, shift) || done;
}

bool TExtMultiColumnDropDown::NavigationKey(int key, Qt::KeyboardModifiers shift)
{
    if (!isEnabled() || (shift & Qt::AltModifier)) return false;
    switch (key) {
    case Qt::Key_PageUp: SelectPreviousPage(); return true;
    case Qt::Key_PageDown: SelectNextPage(); return true;
    case Qt::Key_End:
        if (EditorEnabled()) return false;
        SelectLast();
        return true;
    case Qt::Key_Home:
        if (EditorEnabled()) return false;
        SelectFirst();
        return true;
    case Qt::Key_Up: SelectPrevious(); return true;
    case Qt::Key_Down: SelectNext(); return true;
    default: return false;
    }
}

void TExtMultiColumnDropDown::SelectFirst()
{
    if (FItems.Count() > 0) SetItemIndex(0);
}

void TExtMultiColumnDropDown::SelectLast()
{
    if (FItems.Count() > 0) SetItemIndex(FItems.Count() - 1);
}

void TExtMultiColumnDropDown::SelectNext()
{
    if (FItems.Count() == 0) return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex < FItems.Count() - 1)
        SetItemIndex(FItemIndex + 1);
}

void TExtMultiColumnDropDown::SelectPrevious()
{
    if (FItems.Count() == 0) return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex > 0)
        SetItemIndex(FItemIndex - 1);
}

void TExtMultiColumnDropDown::SelectNextPage()
{
    if (FItems.Count() == 0) return;
    SetItemIndex(FItemIndex < 0 ? 0 : std::min(FItemIndex + 10, FItems.Count() - 1));
}

void TExtMultiColumnDropDown::SelectPreviousPage()
{
    if (FItems.Count() == 0) return;
    SetItemIndex(std::max(FItemIndex - 10, 0));
}

void TExtMultiColumnDropDown::HandleMouseWheelDown()
{
    TExtCustomDropDown::HandleMouseWheelDown();
    SelectNext();
}

void TExtMultiColumnDropDown::HandleMouseWheelUp()
{
    TExtCustomDropDown::HandleMouseWheelUp();
    SelectPrevious();
}

// ---- the pop-up ----------------------------------------------------------------------

void TExtMultiColumnDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (FExtColGrid || !DropDownForm()) return;
    FExtColGrid = std::make_unique<TExtColGrid>();
    TGridWidget* w = FExtColGrid->CreateWidget(DropDownForm());
    w->setFrameShape(QFrame::NoFrame);
    FExtColGrid->SetDropDown(this);
    w->setGeometry(0, 0, w->width(), 180);
    FExtColGrid->Color = DropDownColor();
    FExtColGrid->SetFocused(false);
}

void TExtMultiColumnDropDown::BeforeDropDown()
{
    TExtCustomDropDown::BeforeDropDown();
    if (DropDownForm()) DropDownForm()->FCancelOnDeActivate = false;
    FShowing = true;
    TExtColGrid* g = FExtColGrid.get();
    if (!g) return;
    g->UpdateFromDropDown(this);
    g->SetOptions(g->Options().With(goThumbTracking));
    g->Color = DropDownColor();
    g->OnSelectCell = [this](TCustomGrid*, int, int row, bool&) { GridSelectCell(row); };
    g->OnSelect = [this](TExtColGrid*) { GridSelect(); };
    int row = FItemIndex + 1;
    if (row < g->FixedRows()) row = 1;
    if (row < g->RowCount()) g->SetRow(row);
    FOldItemIndex = FItemIndex;
}

void TExtMultiColumnDropDown::AdaptDropDownSize()
{
    TExtCustomDropDown::AdaptDropDownSize();
    if (!FDropDownAutoWidth || !FExtColGrid || !DropDownForm()) return;
    QWidget* w = FExtColGrid->Widget();
    w->resize(FExtColGrid->GetNaturalWidth(), w->height());
    DropDownForm()->resize(w->width() + 2 * DropDownBorderWidth(), DropDownForm()->height());
    DropDownForm()->ArrangeChildren();
}

void TExtMultiColumnDropDown::PlaceDropDownControl()
{
    if (FExtColGrid) {
        SetControl(FExtColGrid->Widget());
        SetFocusControl(FExtColGrid->Widget());
    }
    TExtCustomDropDown::PlaceDropDownControl();
}

void TExtMultiColumnDropDown::AdaptDropDownHeight(int& height)
{
    int strips = 0;
    if (DropDownHeader().Visible()) strips += DropDownHeader().Height();
    if (DropDownFooter().Visible()) strips += DropDownFooter().Height();
    height = WholeRowsHeight(height, strips, FHeaderHeight, FDropDownRowHeight);
}

void TExtMultiColumnDropDown::DoShowDropDown()
{
    TExtCustomDropDown::DoShowDropDown();
    TExtColGrid* g = FExtColGrid.get();
    if (g && DropDownForm() && DropDownForm()->isVisible()) {
        // The list's client size follows the window that was just placed.
        QWidget* w = g->Widget();
        if (auto* area = dynamic_cast<TGridWidget*>(w)) g->SetClientSize(area->viewport()->width(), area->viewport()->height());
        SizeColumnsToDropDown();
        if (g->RowCount() > g->FixedRows() && FItems.Count() > 0) {
            const int row = FItemIndex < 0 ? 1 : FItemIndex + 1;
            if (row < g->RowCount()) {
                g->SetRow(row);
                if (g->GetCellRect(g->FixedCols(), row).IsEmpty())
                    g->SetTopRow(std::max(g->FixedRows(), row - g->VisibleRowCount() + 1));
            }
        }
    }
    FShowing = false;
}

void TExtMultiColumnDropDown::DropDownFormSizing()
{
    TExtCustomDropDown::DropDownFormSizing();
    SizeColumnsToDropDown();
}

void TExtMultiColumnDropDown::SizeColumnsToDropDown()
{
    TExtColGrid* g = FExtColGrid.get();
    if (!FColumnSizeWithDropDown || !g || !DropDownForm()) return;
    g->SetScrollBars(TScrollStyle::ssVertical);
    if (g->Columns().Count() == 0) return;
    std::vector<int> widths;
    for (int c = 0; c < g->ColCount(); ++c) widths.push_back(g->ColWidths(c));
    int avail = DropDownForm()->width();
    if (g->VisibleRowCount() + g->FixedRows() < g->RowCount()) avail -= ScrollBarWidth();
    const std::vector<int> scaled = ScaledColumnWidths(widths, avail);
    for (int c = 0; c < int(scaled.size()); ++c) g->SetColWidths(c, scaled[size_t(c)]);
}

void TExtMultiColumnDropDown::GridSelectCell(int row)
{
    if ((FExtColGrid && FExtColGrid->MouseWheelSelection()) || FShowing) return;
    SetItemIndex(row - 1);
}

void TExtMultiColumnDropDown::GridSelect()
{
    if (FExtColGrid && FExtColGrid->ConfirmSelection()) SetItemIndex(FExtColGrid->Row() - 1);
    DoHideDropDown(false);
    if (OnSelect) OnSelect(this);
}

void TExtMultiColumnDropDown::DoHideDropDown(bool cancel)
{
    if (!DropDownForm() || !DropDownForm()->isVisible()) {
        TExtCustomDropDown::DoHideDropDown(cancel);
        return;
    }
    TExtCustomDropDown::DoHideDropDown(cancel);
    if (cancel) {
        SetItemIndex(FOldItemIndex);
    } else {
        if (FExtColGrid && FExtColGrid->ConfirmSelection()) SetItemIndex(FExtColGrid->Row() - 1);
        FOldItemIndex = FItemIndex;
    }
}

// ---- keys in the open list ----------------------------------------------------------------

namespace {
bool StaysInList(int key, Qt::KeyboardModifiers shift)
{
    return !(shift & Qt::AltModifier) &&
           (key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up || key == Qt::Key_Down);
}
} // namespace

void TExtMultiColumnDropDown::ControlKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (!StaysInList(key, shift)) TExtCustomDropDown::ControlKeyDown(key, shift);
}

void TExtMultiColumnDropDown::ControlKeyUp(int& key, Qt::KeyboardModifiers shift)
{
    if (!StaysInList(key, shift)) TExtCustomDropDown::ControlKeyUp(key, shift);
}

void TExtMultiColumnDropDown::ControlKeyPress(QChar& key)
{
    if (key == QChar(13) || key == QChar(27)) {
        FLookupEntry.clear();
        return;
    }
    const int a = LookupKey(key);
    TExtColGrid* g = FExtColGrid.get();
    if (a < 0 || !g) {
        FLookupEntry.clear();
        return;
    }
    const int r = a + g->FixedRows();
    if (r > g->TopRow() + g->VisibleRowCount() || r < g->TopRow()) g->SetTopRow(r);
    g->SetRow(r);
    g->SetCol(0);
}

// ---- styles ---------------------------------------------------------------------------------

void TExtMultiColumnDropDown::SetSelectionColorStyle(TSelectionColorStyle value)
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

void TExtMultiColumnDropDown::SetComponentStyle(TStudioStyle style)
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
