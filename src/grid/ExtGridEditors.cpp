#include "grid/ExtGridEditors.h"
#include "grid/ExtGridDateEditors.h"

#include "controls/CellEditors.h"
#include "controls/ExtUtil.h"
#include "platform/Application.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopeGuard>
#include <QWheelEvent>

using enum TShiftStateItem;

// ---------------------------------------------------------------------------
// Filters

namespace {

bool IsControlChar(QChar c)
{
    return c == QChar(VK_BACK) || c == QChar(VK_TAB) || c == QChar(VK_RETURN) || c == QChar(VK_ESCAPE);
}

} // namespace

QString MixedCaseText(const QString& s)
{
    return ProperCaseText(s);
}

TCharVerdict FilterEditChar(TEditorType kind, QChar ch, const QString& text, int selStart, int selLength, bool ctrl,
                            const QString& validChars, const FormatSettings& fs)
{
    TCharVerdict v;
    v.Char = ch;
    const QString selected = text.mid(selStart, selLength);
    const QString outside = text.left(selStart) + text.mid(selStart + selLength);
    auto refuse = [&](bool beep) {
        v.Accept = false;
        v.Beep = beep;
        return v;
    };
    switch (kind) {
    case edNumeric:
    case edPositiveNumeric:
        if (IsControlChar(ch) || (ch >= '0' && ch <= '9')) return v;
        if (kind == edNumeric && ch == '-' && selStart == 0 && !outside.contains('-')) return v;
        return refuse(true);
    case edFloat:
    case edPositiveFloat: {
        if (IsControlChar(ch) || (ch >= '0' && ch <= '9')) return v;
        if (ch == fs.DecimalSeparator) return outside.contains(ch) ? refuse(false) : v;
        if (ch == fs.ThousandSeparator) return refuse(false);
        if (ch == ',' || ch == '.') return v;
        if (ch == '-') {
            if (kind == edPositiveFloat) return refuse(false);
            if (selected.contains('-')) return v;
            if (selStart != 0 || text.contains('-')) return refuse(true);
            return v;
        }
        return ctrl ? v : refuse(false);
    }
    case edCapital:
    case edUpperCase: v.Char = ch.toUpper(); return v;
    case edLowerCase: v.Char = ch.toLower(); return v;
    case edValidChars:
        if (ch == QChar(VK_BACK) || ch == QChar(VK_RETURN)) return v;
        if (!validChars.isEmpty() && validChars.contains(ch)) return v;
        return refuse(true);
    default: return v;
    }
}

bool FilterPasteText(TEditorType kind, const QString& newText, const QString& validChars, QString& result)
{
    const FormatSettings& fs = SystemFormatSettings();
    switch (kind) {
    case edNumeric:
    case edPositiveNumeric:
        if (ClassifyNumericText(newText, fs) != 0) return false;
        if (kind == edPositiveNumeric && newText.contains('-')) return false;
        result = newText;
        return true;
    case edFloat:
    case edPositiveFloat: {
        const int k = ClassifyNumericText(newText, fs);
        if (k != 0 && k != 1) return false;
        if (kind == edPositiveFloat && newText.contains('-')) return false;
        result = newText;
        return true;
    }
    case edMixedCase: result = MixedCaseText(newText); return true;
    case edLowerCase: result = newText.toLower(); return true;
    case edUpperCase: result = newText.toUpper(); return true;
    case edValidChars:
        for (QChar c : newText)
            if (!validChars.contains(c)) return false;
        result = newText;
        return true;
    default: result = newText; return true;
    }
}

// ---------------------------------------------------------------------------

TGridWidget* GridWidgetOf(TExtStringGrid* grid)
{
    return grid ? dynamic_cast<TGridWidget*>(grid->View()) : nullptr;
}

void ForwardKeyToGrid(TExtStringGrid* grid, int qtKey, Qt::KeyboardModifiers mods)
{
    TGridWidget* w = GridWidgetOf(grid);
    if (!w) return;
    QString text;
    if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter) text = QStringLiteral("\r");
    if (qtKey == Qt::Key_Escape) text = QString(QChar(VK_ESCAPE));
    QKeyEvent e(QEvent::KeyPress, qtKey, mods, text);
    w->ForwardKey(&e, true);
}

void RegisterGridCellEditors()
{
    static bool done = false;
    if (done) return;
    done = true;
    TCellEditorRegistry& reg = TCellEditorRegistry::Instance();
    for (TEditorType k : {edNormal, edNumeric, edPositiveNumeric, edFloat, edCapital, edMixedCase, edPassword,
                          edLowerCase, edUpperCase, edValidChars, edPositiveFloat})
        reg.Register(k, [] { return std::make_unique<TExtTextCellEditor>(); });
    for (TEditorType k : {edComboEdit, edComboList})
        reg.Register(k, [] { return std::make_unique<TGridComboEditor>(); });
    reg.Register(edCheckBox, [] { return std::make_unique<TGridCheckBoxEditor>(); });
    for (TEditorType k : {edSpinEdit, edFloatSpinEdit, edTimeSpinEdit, edDateSpinEdit})
        reg.Register(k, [] { return std::make_unique<TGridSpinEditor>(); });
    reg.Register(edCustom, [] { return std::make_unique<TEditLinkCellEditor>(); });
    RegisterGridDateEditors();
}

// ---------------------------------------------------------------------------
// TExtInplaceEdit

TExtInplaceEdit::TExtInplaceEdit(QWidget* parent) : TInplaceEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, [this](const QString& s) {
        Guard([&] {
            if (!FGrid || FLoading) return;
            // The grid is asked first whether the edit may modify the cell.
            FGrid->CanEditModify();
            if (FGrid->OnEditChange) FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), s);
        });
    });
    // Every change but the grid's own loading reaches the cell.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& s) {
        if (FGrid && !FLoadingCell) Guard([&] { FGrid->EditorTextChanged(EditorText()); });
    });
}

TEditorType TExtInplaceEdit::Kind() const
{
    return FGrid ? FGrid->CurrentEditor() : edNormal;
}

void TExtInplaceEdit::SetLengthLimit(int v)
{
    FLengthLimit = v;
    setMaxLength(v > 0 ? v : 32767);
}

void TExtInplaceEdit::SetEditMask(const QString& mask)
{
    FMask = ParseEditMask(mask, SystemFormatSettings());
    setInputMask(FMask.InputMask);
}

void TExtInplaceEdit::LoadText(const QString& s)
{
    FLoading = true;
    FLoadingCell = true;
    setText(s);
    FLoadingCell = false;
    FLoading = false;
}

void TExtInplaceEdit::PasteText(const QString& clip)
{
    if (!FGrid) return;
    bool allow = true;
    QString value = clip;
    if (FGrid->OnClipboardPaste) FGrid->OnClipboardPaste(this, allow);
    if (allow && FGrid->OnClipboardBeforePasteCell)
        FGrid->OnClipboardBeforePasteCell(this, FGrid->Col(), FGrid->Row(), value, allow);
    if (!allow || (FLengthLimit >= 1 && value.size() > FLengthLimit)) return;
    // One line break at the very end is dropped.
    const int crlf = value.indexOf(QStringLiteral("\r\n"));
    if (crlf >= 0 && crlf == value.size() - 2) value.chop(2);
    const QString t = text();
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int len = hasSelectedText() ? selectedText().size() : 0;
    const QString newText = t.left(start) + value + t.mid(start + len);
    if (FLengthLimit >= 1 && newText.size() > FLengthLimit) return;
    QString taken;
    if (!FilterPasteText(Kind(), newText, FGrid->ValidChars(), taken)) return;
    setText(taken);
    if (len > 0)
        setSelection(start, value.size());
    else
        setCursorPosition(start + value.size());
    FGrid->SetCurrentCellEx(EditorText());
    if (FGrid->OnClipboardAfterPasteCell) FGrid->OnClipboardAfterPasteCell(this, FGrid->Col(), FGrid->Row(), text());
}

void TExtInplaceEdit::DoChange()
{
    if (!FGrid || !Workmode || hasSelectedText() || !FGrid->Lookup() || FGrid->LookupList().isEmpty()) return;
    const QString prefix = text().left(cursorPosition());
    const QString done = TExtStringGrid::LookupCompletion(prefix, FGrid->LookupList(), FGrid->LookupCaseSensitive());
    if (done.isEmpty()) return;
    FLoading = true;
    setText(done);
    setSelection(prefix.size(), done.size() - prefix.size());
    FLoading = false;
}

bool TExtInplaceEdit::event(QEvent* e)
{
    // Tab is decided before the focus chain sees it.
    if (e->type() == QEvent::KeyPress && FGrid) {
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) && !(k->modifiers() & Qt::ControlModifier)) {
            bool consumed = false;
            Guard([&] {
                if (FGrid->EditorWantsTab() && !FGrid->HasOption(goTabs) && FGrid->Editing() &&
                    !FGrid->ValidateCell(EditorText())) {
                    selectAll();
                    consumed = true;
                }
            });
            if (consumed) return true;
        }
    }
    return TInplaceEdit::event(e);
}

void TExtInplaceEdit::keyPressEvent(QKeyEvent* e)
{
    if (!FGrid) {
        TInplaceEdit::keyPressEvent(e);
        return;
    }
    const int key = e->key();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool shiftOnly = (e->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier;
    FOldSelStart = cursorPosition();
    FSelKeyDown = cursorPosition();
    if (key == Qt::Key_Backspace && (e->modifiers() & Qt::AltModifier)) FAltBack = true;
    Workmode = key != Qt::Key_Backspace && key != Qt::Key_Delete;
    // Shift+Left at the start or Shift+Right at the end of the text commits
    // and hands the key to the grid (which then extends its selection).
    if (FGrid->Navigation().CursorWalkEditor() && shiftOnly && !hasSelectedText() &&
        ((key == Qt::Key_Left && cursorPosition() == 0) ||
         (key == Qt::Key_Right && cursorPosition() == text().size()))) {
        bool done = false;
        Guard([&] {
            if (!CommitForWalk()) return;
            FGrid->HideInplaceEdit();
            if (TGridWidget* w = GridWidgetOf(FGrid)) w->setFocus();
            done = true;
        });
        if (done) ForwardKeyToGrid(FGrid, key, e->modifiers());
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        const bool multi = FGrid->WordWrap() || FGrid->Multilinecells();
        // Ctrl+Enter breaks the line of a multi-line cell, and does nothing
        // elsewhere; with LineFeedOnEnter a plain Enter breaks the line of a
        // text cell too.
        if ((ctrl || (e->modifiers() & Qt::ShiftModifier)) && FGrid->SizeWhileTyping().Height() &&
            FGrid->Multilinecells())
            Guard([&] { SizeRowToTypedLines(); });
        if (ctrl ? (FGrid->Navigation().AllowCtrlEnter() && multi)
                 : FGrid->Navigation().LineFeedOnEnter())
            insert(QStringLiteral("\r\n"));
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        Guard([&] { PasteText(QApplication::clipboard()->text()); });
        return;
    }
    if (ctrl && key == Qt::Key_A) {
        selectAll();
        return;
    }
    if (key == Qt::Key_Home && !(e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))) {
        setCursorPosition(0);
        return;
    }
    if (key == Qt::Key_End && !(e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))) {
        setCursorPosition(text().size());
        return;
    }
    const QString typed = e->text();
    if (typed.size() == 1 && typed.at(0).isPrint() && !(e->modifiers() & Qt::AltModifier)) {
        QChar ch = typed.at(0);
        // The keypad's decimal key types the locale's separator.
        if (ch == '.' && (e->modifiers() & Qt::KeypadModifier) && FGrid->ExcelStyleDecimalSeparator())
            ch = SystemFormatSettings().DecimalSeparator;
        // A full cell takes nothing more.
        if (FLengthLimit > 0 && text().size() >= FLengthLimit && !hasSelectedText()) return;
        const int selStart = hasSelectedText() ? selectionStart() : cursorPosition();
        const int selLen = hasSelectedText() ? selectedText().size() : 0;
        TCharVerdict v;
        Guard([&] {
            v = FilterEditChar(Kind(), ch, text(), selStart, selLen, ctrl, FGrid->ValidChars(), SystemFormatSettings());
        });
        if (!v.Accept) {
            if (v.Beep) QApplication::beep();
            return;
        }
        if (Kind() == edMixedCase) {
            insert(QString(v.Char));
            const int caret = cursorPosition();
            FLoading = true;
            setText(MixedCaseText(text()));
            FLoading = false;
            setCursorPosition(caret);
            Guard([&] {
                FGrid->CanEditModify();
                if (FGrid->OnEditChange) FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), text());
            });
            return;
        }
        if (v.Char != ch || v.Char != typed.at(0)) {
            insert(QString(v.Char));
            AdvanceWhenFull();
            return;
        }
        TInplaceEdit::keyPressEvent(e);
        AdvanceWhenFull();
        return;
    }
    TInplaceEdit::keyPressEvent(e);
}

void TExtInplaceEdit::AdvanceWhenFull()
{
    if (!FGrid || !FGrid->Navigation().AdvanceAuto() || hasSelectedText() || cursorPosition() != text().size())
        return;
    bool full = false;
    // Every position of the mask filled, or the text as long as allowed.
    if (!FMask.InputMask.isEmpty())
        full = !displayText().contains(FMask.Blank) && !displayText().contains(' ');
    else
        full = FGrid->Navigation().AdvanceOnEnter() && FGrid->MaxEditLength() > 0 &&
               text().size() == FGrid->MaxEditLength();
    if (full) ForwardKeyToGrid(FGrid, Qt::Key_Return, Qt::NoModifier);
}

bool TExtInplaceEdit::CommitForWalk()
{
    // The cell shows the text as typed already; validation decides on it.
    const QString t = EditorText();
    const bool ok = FGrid->ValidateCell(t);
    LoadText(FGrid->NewCellText());
    if (!ok) {
        if (FGrid->Navigation().EditSelectAll())
            selectAll();
        else
            setCursorPosition(text().size());
    }
    return ok;
}

void TExtInplaceEdit::WalkToCell(bool forward)
{
    // A refused value keeps the editor where it is.
    if (!CommitForWalk()) return;
    TExtStringGrid* g = FGrid;
    g->HideInplaceEdit();
    const TAdvanceDirection old = g->Navigation().AdvanceDirection();
    g->Navigation().SetAdvanceDirection(adLeftRight);
    auto restore = qScopeGuard([&] { g->Navigation().SetAdvanceDirection(old); });
    g->AdvanceEdit(g->Col(), g->Row(), true, false, forward, true, true);
    if (g->Navigation().CursorWalkAlwaysEdit()) {
        if (!g->EditorMode()) g->ShowInplaceEdit();
    } else {
        g->HideInplaceEdit();
    }
}

void TExtInplaceEdit::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Backspace) FAltBack = false;
    // The cursor walk: Left at the start or Right at the end of the text,
    // with nothing selected and no modifier, goes on to the next cell.
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (FGrid && plain && !hasSelectedText() && FGrid->Navigation().CursorWalkEditor() && FGrid->EditorMode()) {
        const bool left = e->key() == Qt::Key_Left && cursorPosition() == 0 && FSelKeyDown == 0;
        const bool right = e->key() == Qt::Key_Right && FOldSelStart == text().size();
        if (left || right) {
            Guard([&] { WalkToCell(right); });
            return;
        }
    }
    TInplaceEdit::keyReleaseEvent(e);
    if (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right || e->key() == Qt::Key_Return ||
        e->key() == Qt::Key_Enter || e->key() == Qt::Key_Up || e->key() == Qt::Key_Down)
        return;
    Guard([&] {
        DoChange();
        if (FGrid && FGrid->SizeWhileTyping().Width()) {
            const int need = fontMetrics().horizontalAdvance(text()) + 8;
            if (need > FGrid->ColWidths(FGrid->Col())) FGrid->SetColWidths(FGrid->Col(), need);
        }
        // A word-wrapped row grows (or shrinks) with the text typed.
        if (FGrid && FGrid->SizeWhileTyping().Height() && FGrid->WordWrap()) {
            TColumnSize& cs = FGrid->ColumnSize();
            const bool synch = cs.SynchWithGrid();
            cs.SetSynchWithGrid(false);
            auto restore = qScopeGuard([&] { cs.SetSynchWithGrid(synch); });
            FGrid->AutoSizeRow(FGrid->Row());
            if (FGrid->OnEndRowSize) FGrid->OnEndRowSize(FGrid, FGrid->Row());
        }
    });
}

void TExtInplaceEdit::SizeRowToTypedLines()
{
    TColumnSize& cs = FGrid->ColumnSize();
    const bool synch = cs.SynchWithGrid();
    cs.SetSynchWithGrid(false);
    auto restore = qScopeGuard([&] { cs.SetSynchWithGrid(synch); });
    const int r = FGrid->Row();
    // The lines the text has once the new line is started.
    const int lines = LineCountOf(EditorText() + QStringLiteral("\r\n "), true);
    if (lines < FGrid->CellMeasurer().MaxLinesInRow(r))
        FGrid->AutoSizeRow(r);
    else
        FGrid->AutoSizeRowToLines(r, lines, FGrid->GetVertTextOffset());
    if (FGrid->OnEndRowSize) FGrid->OnEndRowSize(FGrid, r);
}

void TExtInplaceEdit::focusInEvent(QFocusEvent* e)
{
    TInplaceEdit::focusInEvent(e);
    if (!FGrid) return;
    // A masked text with ImproveMaskSel starts on its first position,
    // unless a click is about to place the caret.
    if (!FMask.InputMask.isEmpty() && !FGrid->LButFlg && FGrid->Navigation().ImproveMaskSel()) {
        setSelection(0, 1);
        return;
    }
    if (!FGrid->Navigation().EditSelectAll()) setCursorPosition(text().size());
    PlaceCaretAtPress(FGrid, this, this);
}

bool PlaceCaretAtPress(TExtStringGrid* grid, QWidget* control, QLineEdit* edit)
{
    if (!grid || !grid->LButFlg || !edit) return false;
    TGridWidget* w = GridWidgetOf(grid);
    if (!w) return false;
    const QPoint p = control->mapFromGlobal(w->viewport()->mapToGlobal(QPoint(grid->Clickposx, grid->Clickposy)));
    if (p.x() < 0 || p.y() < 0 || p.x() > control->width() || p.y() > control->height()) return false;
    edit->deselect();
    edit->setCursorPosition(edit->cursorPositionAt(edit->mapFrom(control, p)));
    grid->LButFlg = false;
    return true;
}

bool TextEditorHoldsFocusLoss(TExtStringGrid* grid)
{
    TGridWidget* w = GridWidgetOf(grid);
    auto* t = w ? dynamic_cast<TExtTextCellEditor*>(w->ActiveEditor()) : nullptr;
    return t && t->Edit()->AltBackHeld();
}

void TExtInplaceEdit::focusOutEvent(QFocusEvent* e)
{
    if (FAltBack) return;
    // A committed text joins the lookup list.
    if (FGrid && FGrid->LookupHistory() && !text().isEmpty() && !FGrid->LookupList().contains(text()))
        FGrid->LookupList().append(text());
    TInplaceEdit::focusOutEvent(e);
}

TExtTextCellEditor::TExtTextCellEditor() : m_edit(new TExtInplaceEdit) {}

TExtTextCellEditor::~TExtTextCellEditor()
{
    delete m_edit.data();
}

void TExtTextCellEditor::LoadText(const QString& text)
{
    m_edit->LoadText(text);
}

void TExtTextCellEditor::SetLimits(int maxLength, const QString& mask)
{
    m_edit->SetLengthLimit(maxLength);
    m_edit->SetEditMask(mask);
    TExtStringGrid* g = m_edit->Grid();
    // A password cell shows the grid's password character for each letter.
    const QString pw = g ? g->PasswordChar() : QString();
    SetEditPasswordChar(m_edit, g && g->CurrentEditor() == edPassword && !pw.isEmpty() ? pw.at(0) : QChar());
    if (!g) return;
    // The cell's colour, font and horizontal alignment (a vertically
    // centred cell keeps its horizontal alignment).
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    const int rc = g->RealColIndex(g->Col());
    g->QueryAlignment(rc, g->Row(), ha, va);
    m_edit->setAlignment((ha == taRightJustify ? Qt::AlignRight : ha == taCenter ? Qt::AlignHCenter : Qt::AlignLeft) |
                         Qt::AlignVCenter);
    m_edit->FColE = g->Col();
    m_edit->FRowE = g->Row();
}

void TExtTextCellEditor::Show(bool takeFocus)
{
    // The selection is set before the focus comes in: the focus places the
    // caret for a click or a mask.
    TExtStringGrid* g = m_edit->Grid();
    if (!g || g->Navigation().EditSelectAll())
        m_edit->selectAll();
    else
        m_edit->setCursorPosition(m_edit->text().size());
    TCellEditor::Show(takeFocus);
    if (g) g->GetEditorProp(g->Col(), g->Row(), nullptr);
}

bool TExtTextCellEditor::WantsKey(int key, TShiftState shift) const
{
    TExtStringGrid* g = m_edit->Grid();
    // Without goTabs Tab leaves the grid through the window's focus chain.
    if (key == VK_TAB) return g && !g->HasOption(goTabs);
    // Ctrl+Enter stays in the editor (a line break or nothing), and so does
    // Enter when it breaks lines.
    if (key == VK_RETURN && g)
        return shift.Contains(TShiftStateItem::ssCtrl) || g->Navigation().LineFeedOnEnter();
    return false;
}

// ---------------------------------------------------------------------------
// TGridCombo

TGridCombo::TGridCombo(QWidget* parent) : TEsgComboBox(parent)
{
    SetButtonWidth(16);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (FLoading || !FGrid || i < 0) return;
        FPicked = true;
        Guard([&] { FireComboChange(i); });
    });
    connect(this, &QComboBox::editTextChanged, this, [this](const QString& s) {
        if (FLoading || !FGrid) return;
        Guard([&] {
            FGrid->CanEditModify();
            if (FGrid->OnEditChange) FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), s);
        });
    });
}

void TGridCombo::showPopup()
{
    emit ListDropped();
    TEsgComboBox::showPopup();
}

void TGridCombo::hidePopup()
{
    const bool was = DroppedDown();
    TEsgComboBox::hidePopup();
    if (was) emit ListClosed();
}

void TGridCombo::FireComboChange(int index)
{
    const int rc = FGrid->RealColIndex(FGrid->Col()), r = FGrid->Row();
    if (FGrid->OnComboChange) FGrid->OnComboChange(FGrid, rc, r, index, itemText(index));
    if (FGrid->OnComboObjectChange)
        FGrid->OnComboObjectChange(FGrid, rc, r, index, itemText(index), FGrid->ComboObject(index));
}

void TGridCombo::DoChange()
{
    if (!WorkMode || !FGrid || !FGrid->Lookup() || !lineEdit()) return;
    QLineEdit* e = lineEdit();
    const QString prefix = e->text().left(e->cursorPosition());
    int k = -1;
    QString done = TExtStringGrid::LookupCompletion(prefix, Items(), FGrid->LookupCaseSensitive(), &k);
    const bool inItems = !done.isEmpty();
    if (!inItems) done = TExtStringGrid::LookupCompletion(prefix, FGrid->LookupList(), FGrid->LookupCaseSensitive(), &k);
    if (done.isEmpty()) return;
    FLoading = true;
    if (inItems) setCurrentIndex(k);
    setEditText(done);
    e->setSelection(prefix.size(), done.size() - prefix.size());
    FLoading = false;
    ItemIdx = k;
    ItemChange = true;
}

void TGridCombo::SizeDropDownWidth()
{
    int w = width();
    const bool scroll = count() > DropDownCount();
    const QFontMetrics fm(font());
    for (int i = 0; i < count(); ++i) {
        const int iw = fm.horizontalAdvance(itemText(i));
        if (scroll && iw > w - 25) w = iw + 25;
        if (!scroll && iw > w - 5) w = iw + 8;
    }
    SetDropWidth(w);
}

bool TGridCombo::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress && FGrid) {
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) && !(k->modifiers() & Qt::ControlModifier)) {
            bool consumed = false;
            Guard([&] {
                FPicked = true;
                if (FGrid->EditorWantsTab() && !FGrid->HasOption(goTabs) && FGrid->Editing() &&
                    !FGrid->ValidateCell(Text()))
                    consumed = true;
            });
            if (consumed) return true;
        }
    }
    return TEsgComboBox::event(e);
}

bool TGridCombo::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == this && e->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent*>(e)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Tab || k == Qt::Key_Backtab) FPicked = true;
        // Enter is reported before the grid acts on it.
        if ((k == Qt::Key_Return || k == Qt::Key_Enter) && OnReturnKey) Guard([&] { OnReturnKey(this); });
    }
    return TEsgComboBox::eventFilter(watched, e);
}

void TGridCombo::keyPressEvent(QKeyEvent* e)
{
    if (!FGrid) {
        TEsgComboBox::keyPressEvent(e);
        return;
    }
    const int key = e->key();
    WorkMode = key != Qt::Key_Backspace && key != Qt::Key_Delete;
    // In the pick list Left and Right end the edit and move the current cell.
    if (ListMode() && !DroppedDown() && (key == Qt::Key_Left || key == Qt::Key_Right)) {
        Guard([&] {
            if (FGrid->Editing() && !FGrid->ValidateCell(Text())) return;
            FGrid->DoneInplaceEdit(key == Qt::Key_Left ? VK_LEFT : VK_RIGHT, QtModifiersToShift(e->modifiers()));
        });
        return;
    }
    // Typed characters reach the grid's OnKeyPress first, which may take them.
    const QString typed = e->text();
    if (typed.size() == 1 && typed.at(0).isPrint() && FGrid->OnKeyPress) {
        QChar ch = typed.at(0);
        bool taken = false;
        Guard([&] {
            FGrid->OnKeyPress(FGrid, ch);
            taken = ch.isNull();
        });
        if (taken) return;
    }
    TEsgComboBox::keyPressEvent(e);
    e->accept();
}

void TGridCombo::keyReleaseEvent(QKeyEvent* e)
{
    TEsgComboBox::keyReleaseEvent(e);
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return;
    Guard([&] { DoChange(); });
}

void TGridCombo::focusInEvent(QFocusEvent* e)
{
    TEsgComboBox::focusInEvent(e);
    QLineEdit* edit = lineEdit();
    if (!FGrid || !edit) return;
    // An editable combo without EditSelectAll starts with the caret after
    // the text; a click that opened it puts the caret under the mouse.
    if (!FGrid->Navigation().EditSelectAll()) {
        edit->deselect();
        edit->setCursorPosition(edit->text().size());
    }
    PlaceCaretAtPress(FGrid, this, edit);
}

void TGridCombo::wheelEvent(QWheelEvent* e)
{
    e->accept();
    if (!FGrid) return;
    const int i = currentIndex();
    if (e->angleDelta().y() < 0 && i + 1 < count())
        setCurrentIndex(i + 1);
    else if (e->angleDelta().y() > 0 && i > 0)
        setCurrentIndex(i - 1);
}

TGridComboEditor::TGridComboEditor() : m_combo(new TGridCombo) {}

void TGridComboEditor::BindGrid(TExtStringGrid* grid)
{
    m_combo->SetGrid(grid);
    QObject::connect(m_combo, &TGridCombo::ListDropped, m_combo, [this] {
        if (TExtStringGrid* g = m_combo->Grid()) Guard([&] { g->ComboListDropped(); });
    });
    QObject::connect(m_combo, &TGridCombo::ListClosed, m_combo, [this] {
        TExtStringGrid* g = m_combo->Grid();
        if (!g) return;
        // Closing the list with DirectComboClose takes the item it shows.
        if (m_open && g->MouseActions().DirectComboClose()) m_combo->FPicked = true;
        Guard([&] { g->ComboListClosed(m_open); });
    });
}

TGridComboEditor::~TGridComboEditor()
{
    delete m_combo.data();
}

void TGridComboEditor::LoadText(const QString& text)
{
    TGridCombo* c = m_combo;
    TExtStringGrid* g = c->Grid();
    if (m_open) {
        // A typed start character or a validated value: the item it names
        // (or begins) in a pick list, the text itself in an editable combo.
        if (c->Style() == TComboStyle::csDropDown) {
            c->FLoading = true;
            c->setEditText(text);
            c->FLoading = false;
            return;
        }
        int i = c->IndexOf(text);
        for (int k = 0; i < 0 && k < c->count(); ++k)
            if (c->itemText(k).startsWith(text, Qt::CaseInsensitive)) i = k;
        if (i >= 0) c->setCurrentIndex(i);
        return;
    }
    m_open = true;
    c->FLoading = true;
    c->FPicked = false;
    c->FDefaulted = false;
    c->FCellText = text;
    c->WorkMode = true;
    c->ItemChange = false;
    bool defaulted = false;
    if (g) {
        const int rc = g->RealColIndex(g->Col());
        const int row = g->Row();
        c->SetDropDownCount(g->ControlLook().DropDownCount());
        g->GetEditorProp(rc, row, g->EditLink());
        const bool list = g->CurrentEditor() == edComboList;
        c->SetStyle(list ? TComboStyle::csDropDownList : TComboStyle::csDropDown);
        c->SetItems(g->ComboItems());
        const int pre = g->TakeComboSelection();
        if (list) {
            c->setCurrentIndex(g->ComboOpenIndex(g->Cells(rc, row), text, pre, defaulted));
        } else {
            c->SetText(text);
            if (pre != -1 && c->currentIndex() < 0 && c->IndexOf(text) < 0 && pre < c->count()) {
                c->setCurrentIndex(pre);
                c->setEditText(text);
            }
            c->SetMaxLength(g->MaxComboLength());
        }
        if (g->Navigation().AutoComboDropSize()) c->SizeDropDownWidth();
    } else {
        c->SetText(text);
    }
    c->FLoading = false;
    c->FDefaulted = defaulted;
    if (defaulted && g && c->count() > 0) {
        if (g->OnComboChange) g->OnComboChange(g, g->RealColIndex(g->Col()), g->Row(), 0, c->itemText(0));
        if (g->OnComboObjectChange)
            g->OnComboObjectChange(g, g->RealColIndex(g->Col()), g->Row(), 0, c->itemText(0), g->ComboObject(0));
    }
}

QString TGridComboEditor::Text() const
{
    const TGridCombo* c = m_combo;
    // A pick list opened on a text outside its items keeps the cell's text
    // unless the user picked an item or confirmed.
    if (c->FDefaulted && !c->FPicked) return c->FCellText;
    return c->Text();
}

void TGridComboEditor::Place(const QRect& r)
{
    m_combo->setGeometry(r.x() - 1, r.y() - 1, r.width() + 2, std::max(r.height() + 2, m_combo->minimumSizeHint().height()));
}

void TGridComboEditor::Show(bool takeFocus)
{
    // Installed again in front of the window's filter.
    m_combo->removeEventFilter(m_combo);
    m_combo->installEventFilter(m_combo);
    TGridCellEditor::Show(takeFocus);
    TExtStringGrid* g = m_combo->Grid();
    if (g && (g->MouseActions().DirectComboDrop() || g->ControlLook().DropDownAlwaysVisible()))
        m_combo->SetDroppedDown(true);
}

void TGridComboEditor::Hide()
{
    m_open = false;
    if (m_combo->DroppedDown()) m_combo->SetDroppedDown(false);
    TGridCellEditor::Hide();
}

bool TGridComboEditor::WantsKey(int key, TShiftState shift) const
{
    const TGridCombo* c = m_combo;
    TExtStringGrid* g = c->Grid();
    if (c->DroppedDown()) return true;
    if (key == VK_TAB) return g && !g->HasOption(goTabs);
    // Up and Down pick the items of a pick list unless ComboGetUpDown hands
    // them to the grid; the page keys always page through its items. In an
    // editable combo all four end the edit.
    if (key == VK_UP || key == VK_DOWN) return c->ListMode() && (!g || g->Navigation().ComboGetUpDown());
    if (key == VK_PRIOR || key == VK_NEXT) return c->ListMode();
    return false;
}

// ---------------------------------------------------------------------------
// TGridCheckBox

TGridCheckBox::TGridCheckBox(QWidget* parent) : QCheckBox(parent) {}

void TGridCheckBox::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    if (key == Qt::Key_Space) {
        setChecked(!isChecked());
        e->accept();
        return;
    }
    if (!FGrid) {
        QCheckBox::keyPressEvent(e);
        return;
    }
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_End:
        Guard([&] { FGrid->HideInplaceEdit(); });
        e->accept();
        return;
    default: QCheckBox::keyPressEvent(e); e->accept();
    }
}

TGridCheckBoxEditor::TGridCheckBoxEditor() : m_check(new TGridCheckBox) {}

TGridCheckBoxEditor::~TGridCheckBoxEditor()
{
    delete m_check.data();
}

void TGridCheckBoxEditor::LoadText(const QString& text)
{
    m_check->ReCreate();
    m_check->setText(text);
}

bool TGridCheckBoxEditor::WantsKey(int key, TShiftState shift) const
{
    return key == VK_TAB;
}

// ---------------------------------------------------------------------------
// TGridSpin

TGridSpin::TGridSpin(QWidget* parent) : TEsgSpinEdit(parent)
{
    SetBorderStyle(TBorderStyle::bsNone);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& s) {
        if (FLoading || !FGrid) return;
        Guard([&] {
            if (FGrid->OnEditChange) FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), s);
            FGrid->EditorTextChanged(CellText());
        });
    });
}

TEsgSpinType TGridSpin::SpinTypeOf(TEditorType kind)
{
    switch (kind) {
    case edFloatSpinEdit: return TEsgSpinType::sptFloat;
    case edTimeSpinEdit: return TEsgSpinType::sptTime;
    case edDateSpinEdit: return TEsgSpinType::sptDate;
    default: return TEsgSpinType::sptNormal;
    }
}

QString TGridSpin::CellText() const
{
    if (AllowEmptyValue() && Trim(Text()).isEmpty()) return QString();
    switch (SpinType()) {
    case TEsgSpinType::sptNormal: return QString::number(Value());
    case TEsgSpinType::sptFloat: return SpinFloatToStr(FloatValue(), Precision(), SystemFormatSettings());
    case TEsgSpinType::sptDate: return DateToStr(DateValue());
    case TEsgSpinType::sptTime: return Text();
    }
    return Text();
}

void TGridSpin::LoadText(const QString& s)
{
    FLoading = true;
    switch (SpinType()) {
    case TEsgSpinType::sptNormal: {
        const auto v = TryStrToInt(Trim(s));
        SetValue(v ? *v : 0);
        break;
    }
    case TEsgSpinType::sptFloat: {
        double v = 0;
        if (!TryTextToFloat(NormalizeNumericText(s, SystemFormatSettings()), v, SystemFormatSettings())) v = 0;
        SetFloatValue(v);
        break;
    }
    case TEsgSpinType::sptTime: setText(s); break;
    case TEsgSpinType::sptDate: {
        TDateTime v = 0;
        SetDateValue(!Trim(s).isEmpty() && TryStrToDate(s, v) ? v : Date());
        break;
    }
    }
    FLoading = false;
}

void TGridSpin::SpinClicked(bool up)
{
    if (!FGrid) return;
    const int c = FGrid->Col(), r = FGrid->Row();
    switch (SpinType()) {
    case TEsgSpinType::sptNormal:
        if (FGrid->OnSpinClick) FGrid->OnSpinClick(FGrid, c, r, Value(), up);
        break;
    case TEsgSpinType::sptFloat:
        if (FGrid->OnFloatSpinClick) FGrid->OnFloatSpinClick(FGrid, c, r, FloatValue(), up);
        break;
    case TEsgSpinType::sptDate:
        if (FGrid->OnDateSpinClick) FGrid->OnDateSpinClick(FGrid, c, r, DateValue(), up);
        break;
    case TEsgSpinType::sptTime:
        if (FGrid->OnTimeSpinClick) FGrid->OnTimeSpinClick(FGrid, c, r, TimeValue(), up);
        break;
    }
}

void TGridSpin::UpClick(QObject* Sender)
{
    TEsgSpinEdit::UpClick(Sender);
    SpinClicked(true);
}

void TGridSpin::DownClick(QObject* Sender)
{
    TEsgSpinEdit::DownClick(Sender);
    SpinClicked(false);
}

void TGridSpin::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (key == Qt::Key_Home || key == Qt::Key_End) {
        const bool up = key == Qt::Key_Home;
        if (SpinType() == TEsgSpinType::sptNormal) SetValue(up ? MaxValue() : MinValue());
        if (SpinType() == TEsgSpinType::sptFloat) SetFloatValue(up ? MaxFloatValue() : MinFloatValue());
        // Home and End report an integer step whatever the spin type.
        if (FGrid && FGrid->OnSpinClick) FGrid->OnSpinClick(FGrid, FGrid->Col(), FGrid->Row(), Value(), up);
        key = 0;
        return;
    }
    TEsgSpinEdit::KeyDown(key, shift);
}

void TGridSpin::KeyPress(QChar& key)
{
    // Esc, Enter and Tab belong to the grid.
    if (key == QChar(VK_ESCAPE) || key == QChar(VK_RETURN) || key == QChar(VK_TAB)) {
        key = QChar();
        return;
    }
    TEsgSpinEdit::KeyPress(key);
}

TGridSpinEditor::TGridSpinEditor() : m_spin(new TGridSpin) {}

TGridSpinEditor::~TGridSpinEditor()
{
    delete m_spin.data();
}

void TGridSpinEditor::BindGrid(TExtStringGrid* grid)
{
    m_grid = grid;
    m_spin->SetGrid(grid);
}

void TGridSpinEditor::LoadText(const QString& text)
{
    if (m_grid) {
        m_spin->SetSpinType(TGridSpin::SpinTypeOf(m_grid->CurrentEditor()));
        m_spin->SetExcelStyleDecimalSeparator(m_grid->ExcelStyleDecimalSeparator());
        m_grid->SpinEditorLimits(*m_spin);
        m_grid->GetEditorProp(m_grid->RealColIndex(m_grid->Col()), m_grid->Row(), m_grid->EditLink());
    }
    m_spin->LoadText(text);
}

bool TGridSpinEditor::WantsKey(int key, TShiftState shift) const
{
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: return true;
    case VK_TAB: return m_grid && !m_grid->HasOption(goTabs);
    default: return false;
    }
}

// ---------------------------------------------------------------------------
// TEditLink

void TEditLink::SetFocus(bool value)
{
    QWidget* c = GetEditControl();
    if (!c) return;
    if (value) {
        if (!c->isVisible()) c->show();
        if (!c->isEnabled()) c->setEnabled(true);
        c->setFocus();
    } else if (TGridWidget* w = GridWidgetOf(FOwner)) {
        w->setFocus();
    }
}

void TEditLink::SetRect(const QRect& r)
{
    if (QWidget* c = GetEditControl()) c->setGeometry(r);
}

void TEditLink::SetVisible(bool value)
{
    if (QWidget* c = GetEditControl()) c->setVisible(value);
}

QString TEditLink::GetCellValue()
{
    return FOwner ? FOwner->Cells(FOwner->RealColIndex(FOwner->Col()), FOwner->Row()) : QString();
}

void TEditLink::SetCellValue(const QString& s)
{
    if (FOwner) FOwner->StoreEditedText(FOwner->RealColIndex(FOwner->Col()), FOwner->Row(), s);
}

void TEditLink::HideEditor()
{
    if (FOwner) FOwner->HideInplaceEdit();
}

void TEditLink::EditKeyDown(QObject* sender, int& key, TShiftState shift)
{
    if (!FOwner) return;
    bool handled = key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_PRIOR || key == VK_NEXT ||
                   key == VK_END || (key >= VK_LEFT && key <= VK_DOWN) || shift.Contains(ssAlt);
    if ((key == VK_UP || key == VK_DOWN) && WantKeyUpDown) handled = false;
    if ((key == VK_LEFT || key == VK_RIGHT) && WantKeyLeftRight) handled = false;
    if ((key == VK_HOME || key == VK_END) && WantKeyHomeEnd) handled = false;
    if ((key == VK_PRIOR || key == VK_NEXT) && WantKeyPriorNext) handled = false;
    if (key == VK_RETURN && WantKeyReturn) handled = false;
    if (key == VK_ESCAPE && WantKeyEscape) handled = false;
    if (key == VK_TAB && WantTabs) handled = false;
    if (!handled) return;
    TExtStringGrid* g = FOwner;
    if (key == VK_ESCAPE) {
        SetEditorValue(g->OriginalCellValue());
        FForcedExit = true;
        g->CancelEditor();
        FForcedExit = false;
        key = 0;
        return;
    }
    // The value is validated before it is written; a refused one keeps
    // the editor open on the cell.
    if (g->Editing() && !g->ValidateCell(GetEditorValue())) {
        key = 0;
        return;
    }
    FForcedExit = true;
    g->HideInplaceEdit();
    FForcedExit = false;
    if (key == VK_RETURN) {
        g->AdvanceEdit(g->Col(), g->Row(), true, false, !shift.Contains(ssShift), true, false);
    } else if (key == VK_TAB) {
        g->TabToNextCell(shift.Contains(ssShift));
    } else if (key >= VK_LEFT && key <= VK_DOWN) {
        int k = key;
        static_cast<TCustomGrid*>(g)->KeyDown(k, shift);
    }
    key = 0;
}

class TEditLinkCellEditor::KeyFilter : public QObject {
public:
    explicit KeyFilter(TEditLinkCellEditor* owner) : m_owner(owner) {}
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress) return false;
        auto* k = static_cast<QKeyEvent*>(e);
        TEditLink* link = m_owner->Link();
        if (!link) return false;
        int key = QtKeyToVirtualKey(k->key());
        if (key == 0) return false;
        TShiftState shift = QtModifiersToShift(k->modifiers());
        if (k->key() == Qt::Key_Backtab) shift.Include(ssShift);
        Guard([&] { link->EditKeyDown(watched, key, shift); });
        return key == 0;
    }

private:
    TEditLinkCellEditor* m_owner;
};

TEditLinkCellEditor::TEditLinkCellEditor() : m_frame(new QWidget), m_filter(std::make_unique<KeyFilter>(this)) {}

TEditLinkCellEditor::~TEditLinkCellEditor()
{
    if (m_control) m_control->removeEventFilter(m_filter.get());
    delete m_frame.data();
}

TEditLink* TEditLinkCellEditor::Link() const
{
    return m_link.data();
}

void TEditLinkCellEditor::LoadText(const QString& text)
{
    if (m_open) {
        if (m_link) m_link->SetEditorValue(text);
        return;
    }
    m_open = true;
    m_link = m_grid ? m_grid->EditLink() : nullptr;
    if (!m_link) return;
    m_link->FOwner = m_grid;
    m_link->FEditCell = QPoint(m_grid->RealColIndex(m_grid->Col()), m_grid->Row());
    if (!m_link->GetEditControl()) m_link->CreateEditor(m_frame);
    QWidget* c = m_link->GetEditControl();
    if (c && c != m_control) {
        if (m_control) m_control->removeEventFilter(m_filter.get());
        m_control = c;
        c->installEventFilter(m_filter.get());
    }
    m_link->SetVisible(true);
    m_link->SetCellProps(m_grid->Color, m_grid->Font);
    m_link->SetProperties();
    m_grid->GetEditorProp(m_link->FEditCell.x(), m_link->FEditCell.y(), m_link);
    m_link->SetEditorValue(text);
}

QString TEditLinkCellEditor::Text() const
{
    return m_link ? m_link->GetEditorValue() : QString();
}

void TEditLinkCellEditor::Place(const QRect& r)
{
    m_frame->setGeometry(r);
    if (m_link) m_link->SetRect(QRect(0, 0, r.width(), r.height()));
}

void TEditLinkCellEditor::Show(bool takeFocus)
{
    m_frame->show();
    if (m_link && takeFocus) m_link->SetFocus(true);
}

void TEditLinkCellEditor::Hide()
{
    m_open = false;
    if (m_link) m_link->SetVisible(false);
    m_frame->hide();
}

// ---------------------------------------------------------------------------
// Inline control editors

void ControlEditLeave(TExtStringGrid* grid, bool tab, const std::function<void()>& exitProcessing)
{
    // The control being left: its cell need not be the current one, as a
    // click on a control does not move the current cell.
    const QPoint cell = grid ? grid->ControlEditCell() : QPoint(-1, -1);
    const QString id = grid ? grid->ControlEditID() : QString();
    const bool open = grid && grid->ControlEditing();
    exitProcessing();
    if (!grid) return;
    if (tab && grid->Navigation().AdvanceAuto()) {
        grid->AdvanceEdit(grid->Col(), grid->Row(), true, false, true, false, true);
        return;
    }
    // Tab opens the next inline control of the same cell.
    if (tab && open && cell.x() >= 0 && cell.y() >= 0) {
        grid->EditCellControl(grid->DisplColIndex(cell.x()), cell.y(), id);
        return;
    }
    if (TGridWidget* w = GridWidgetOf(grid)) w->setFocus();
}

void TControlEdit::KeyPress(QChar& key)
{
    if (FGrid && (key == QChar(VK_RETURN) || key == QChar(VK_TAB))) {
        const bool tab = key == QChar(VK_TAB);
        key = QChar();
        ControlEditLeave(FGrid, tab, [this] { CMExit(); });
        return;
    }
    TMaskEdit::KeyPress(key);
}

bool TControlEdit::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            Guard([&] {
                QChar key(VK_TAB);
                KeyPress(key);
            });
            e->accept();
            return true;
        }
    }
    return TMaskEdit::event(e);
}

void TControlCombo::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    if (FGrid && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab)) {
        e->accept();
        Guard([&] {
            ControlEditLeave(FGrid, key == Qt::Key_Tab, [this] {
                if (OnExit) OnExit(this);
            });
        });
        return;
    }
    TEsgComboBox::keyPressEvent(e);
}

bool TControlCombo::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(k);
            return true;
        }
    }
    return TEsgComboBox::event(e);
}

void TControlCombo::focusOutEvent(QFocusEvent* e)
{
    TEsgComboBox::focusOutEvent(e);
    // The list taking the focus is no exit (its window may also take the
    // focus as an activation).
    if (e->reason() == Qt::PopupFocusReason || DroppedDown() || view()->isVisible()) return;
    Guard([&] {
        if (OnExit) OnExit(this);
    });
}

// ---------------------------------------------------------------------------
// Fixed-cell editors

bool StopFixedCellEdit(TExtStringGrid* grid, int c, int r, const QString& text)
{
    QString value = text;
    bool valid = true;
    if (grid->OnCellValidate) grid->OnCellValidate(grid, c, r, value, valid);
    if (!valid) {
        // The grid's current cell goes to the edited cell where it can.
        if (c >= grid->FixedCols() && c < grid->ColCount()) grid->SetCol(c);
        if (r >= grid->FixedRows() && r < grid->RowCount()) grid->SetRow(r);
        return false;
    }
    if (grid->OnEditingDone) grid->OnEditingDone(grid);
    grid->SetCells(c, r, value);
    return true;
}

bool TFixedCellEditorPlace::StopFixedEdit(QWidget* control, const QString& text)
{
    if (FGrid && !StopFixedCellEdit(FGrid, FCol, FRow, text)) {
        control->setFocus();
        return false;
    }
    control->hide();
    return true;
}

TGridTransEdit::TGridTransEdit(TExtStringGrid* grid, QWidget* parent) : QLineEdit(parent), TFixedCellEditorPlace(grid)
{
    setFrame(false);
    hide();
}

void TGridTransEdit::keyPressEvent(QKeyEvent* e)
{
    // Enter neither ends the edit nor reaches a dialog's default button.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void TGridTransEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (!isVisible()) return;
    Guard([&] { StopEdit(); });
}

TGridTransCombo::TGridTransCombo(TExtStringGrid* grid, QWidget* parent) : QComboBox(parent), TFixedCellEditorPlace(grid)
{
    setEditable(true);
    hide();
}

void TGridTransCombo::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void TGridTransCombo::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    if (!isVisible() || e->reason() == Qt::PopupFocusReason) return;
    Guard([&] { StopEdit(); });
}
