// The string grid's key-down procedure and the small navigation operations
// it shares with the Tab and Enter navigation.
//
// Each key is decided from the key, the shift state and the grid's state: a
// step either handles the key and ends, or leaves it to the next step; the
// platform grid's own processing (TBaseGrid::KeyDown) moves the current cell
// for whatever is left, and the steps after it (row moving, wrapping at the
// edges, disabled rows, the synchronised grid) correct where it went.
#include "grid/ExtGrid.h"

#include "controls/EsgHTMLE.h"
#include "controls/ExtUtil.h"

#include <QScopeGuard>

namespace {

using enum TShiftStateItem;

constexpr int VK_A = 0x41;
constexpr int VK_C = 0x43;
constexpr int VK_V = 0x56;
constexpr int VK_X = 0x58;

bool IsVerticalKey(int key)
{
    return key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN;
}

} // namespace

// --- navigation helpers -------------------------------------------------------------

bool TExtStringGrid::IsLastRow()
{
    return Row() == RowCount() - FFixedFooters - 1 || (Row() == RowCount() - 2 && FloatingFooter().Visible());
}

// The search bar sits below the grid's viewport (its height is kept out of
// the client area), so a row is under it when it reaches past the client
// bottom. TopRow stops where the grid clamps it.
static void ScrollRowAboveClientBottom(TExtStringGrid& g, int c, int r)
{
    while (r <= g.RowCount() - 1 && g.TopRow() < g.RowCount() && g.CellRect(c, r).Bottom > g.ClientHeight() + 2) {
        const int top = g.TopRow();
        g.SetTopRow(top + 1);
        if (g.TopRow() == top) break;
    }
}

void TExtStringGrid::ScrollAboveSearchFooter()
{
    if (!FSearchFooter->Visible() || ClientHeight() <= DefaultRowHeight()) return;
    ScrollRowAboveClientBottom(*this, 0, RowCount() - 1);
}

int TExtStringGrid::GetVisibleFixedRightCols()
{
    return FFixedRightCols;
}

int TExtStringGrid::FirstSelectableCol(int r)
{
    for (int c = 0; c < ColCount(); ++c)
        if (CanSelectCell(c, r)) return c;
    return -1;
}

int TExtStringGrid::LastSelectableCol(int r)
{
    for (int c = ColCount() - 1; c >= 0; --c)
        if (CanSelectCell(c, r)) return c;
    return -1;
}


void TExtStringGrid::AutoAddRow()
{
    bool canAdd = true;
    CanAddRow(canAdd);
    if (!canAdd) return;
    const bool footer = FloatingFooter().Visible();
    // A visible floating footer moves down whole with the new row count,
    // its cell properties with it; the new data row stands empty above it.
    IncRowCount();
    ClearRowCells(footer ? RowCount() - 2 : RowCount() - 1);
    if (footer || FFixedFooters > 0) SetRow(Row() + 1);
    if (footer) CalcFooter(-1);
    if (OnAutoAddRow) OnAutoAddRow(this, RowCount() - FFixedFooters - 1);
}

// --- the key-down procedure -----------------------------------------------------------

void TExtStringGrid::KeyDown(int& key, TShiftState shift)
{
    if (key == 0) return;
    const bool ctrl = shift.Contains(ssCtrl), shiftDown = shift.Contains(ssShift);
    FMoveSelection = Selection();
    const int oldRow = Row(), oldLeft = LeftCol();
    const bool rowSelect = HasOption(goRowSelect);
    TNavigation& nav = Navigation();
    const bool keepScroll =
        IsVerticalKey(key) && rowSelect && LeftCol() != FixedCols() && nav.KeepHorizScroll();
    const auto reportSelection = [this] {
        const TGridRect s = Selection();
        if (!(s == FMoveSelection)) {
            DoSelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
            FMoveSelection = s;
        }
    };

    // Scrolling only: the current row stays.
    if (nav.MoveScrollOnly() && (IsVerticalKey(key) || key == VK_HOME || key == VK_END)) {
        const int vis = VisibleRowCount();
        switch (key) {
        case VK_PRIOR: SetTopRow(vis + FixedRows() < TopRow() ? TopRow() - vis : FixedRows()); break;
        case VK_NEXT:
            if (TopRow() + vis < RowCount()) SetTopRow(TopRow() + vis);
            break;
        case VK_END: SetTopRow(RowCount() - vis); break;
        case VK_HOME: SetTopRow(FixedRows()); break;
        case VK_UP:
            if (TopRow() > FixedRows()) SetTopRow(TopRow() - 1);
            break;
        case VK_DOWN:
            if (TopRow() + vis < RowCount()) SetTopRow(TopRow() + 1);
            break;
        default: break;
        }
        return;
    }

    const bool enterOrF2 = key == VK_RETURN || key == VK_F2;
    const int realCol = RealColIndex(Col());
    // Editing on a double click only: Enter or F2 switches editing on for an
    // editable cell.
    if (MouseActions().EditOnDblClickOnly() && enterOrF2 && !HasOption(goEditing)) {
        const bool old = MouseActions().RangeSelectAndEdit();
        FMouseActions->SetRangeSelectAndEdit(true);
        const bool editable = IsEditable(realCol, Row());
        FMouseActions->SetRangeSelectAndEdit(old);
        if (editable) SetOptions(Options().With(goEditing));
    }
    // Range selection with editing: Enter or F2 opens the editor of an
    // editable cell; on any other cell the key ends here.
    if (MouseActions().RangeSelectAndEdit() && !HasOption(goEditing) && enterOrF2) {
        if (!IsEditable(realCol, Row())) return;
        SetOptions(Options().With(goEditing));
        ShowInplaceEdit();
    }
    // Ctrl+F puts the focus into the search bar's text box while the bar is
    // shown; the key goes on.
    if (key == 'F' && shift.Contains(ssCtrl) && FSearchFooter->Visible() && FSearchPanel->parentWidget())
        FSearchPanel->EditControl()->setFocus(Qt::ShortcutFocusReason);
    // Enter or F2 on a cell that may not be edited, or on a cell whose
    // mini-HTML holds inline controls, goes no further (the character
    // procedure still sees Enter).
    if (enterOrF2 && HasOption(goEditing) && !IsEditable(realCol, Row())) return;
    if (enterOrF2 && !EditorMode()) {
        const QString text = Cells(realCol, Row());
        if (DetectCellTextKind(text, EnableHTML()) == 1 && text.toUpper().contains(QLatin1String("<CONTROL"))) {
            // The cell's first inline control opens instead of a text editor
            // on the raw tags; the key goes no further (no character either).
            RememberCell(Col(), Row());
            if (key == VK_F2) DoF2Key();
            key = 0;
            EditCellControl(Col(), Row(), QString());
            return;
        }
    }
    if (key == VK_RETURN && !HasOption(goEditing) && !IsEditable(realCol, Row())) return;
    // Enter or Space on a cell with a check box, radio group, radio button
    // or push button works the control.
    if ((key == VK_RETURN || key == VK_SPACE) && IsControlCell(realCol, Row())) {
        bool allow = HasOption(goEditing) || MouseActions().RangeSelectAndEdit();
        QueryCanEdit(realCol, Row(), allow);
        if (key == VK_SPACE && (allow || ControlLook().CheckAlwaysActive()) && HasCheckBox(realCol, Row())) {
            ToggleCheck(realCol, Row(), true);
            if (ShowModified().Enabled()) {
                SetRowModified(Row(), true);
                RepaintCell(0, Row());
            }
            bool state = false;
            GetCheckBoxState(realCol, RealRowIndex(Row()), state);
            CheckBoxClick(realCol, Row(), state);
        } else if (key == VK_SPACE && (allow || ControlLook().RadioAlwaysActive()) && IsRadio(realCol, Row())) {
            SelectNextRadio(realCol, Row(), true);
            int idx = -1;
            GetRadioIdx(realCol, Row(), idx);
            if (OnRadioClick) OnRadioClick(this, realCol, Row(), idx);
        } else if (key == VK_SPACE && (allow || ControlLook().RadioAlwaysActive()) && HasRadioButton(realCol, Row())) {
            SetRadioButtonColumnIndex(realCol, Row());
            if (OnRadioButtonClick) OnRadioButtonClick(this, realCol, Row());
        } else if (allow && HasButton(realCol, Row())) {
            ButtonClick(realCol, Row());
        }
        RepaintCell(Col(), Row());
    }

    // Home and End by HomeEndKey.
    if ((key == VK_HOME || key == VK_END) && !ctrl) {
        switch (nav.HomeEndKey()) {
        case heFirstLastCell:
            if (key == VK_HOME)
                MoveColRow(FixedCols(), FixedRows(), true, true);
            else
                MoveColRow(ColCount() - 1, RowCount() - 1, true, true);
            FocusBaseCell();
            reportSelection();
            return;
        case heFirstLastRow: {
            if (FixedRowAlways() && RowCount() == 1) break;
            int r = FixedRows();
            if (key == VK_END)
                r = FloatingFooter().Visible() && RowCount() > 2 ? RowCount() - 2 : RowCount() - 1 - FFixedFooters;
            if (shiftDown) {
                SetSelection(TGridRect{0, std::min(oldRow, r), ColCount() - 1, std::max(oldRow, r)});
                if (MouseActions().DisjunctRowSelect()) SelectionToRowSelect(false);
            } else {
                MoveColRow(Col(), r, true, true);
                FocusBaseCell();
                // The disjunct row flags follow: only the new row is flagged.
                if (MouseActions().DisjunctRowSelect()) {
                    ClearRowSelect();
                    SelectionToRowSelect(false);
                }
            }
            if (key == VK_END && (FloatingFooter().Visible() || FFixedFooters > 0))
                SetTopRow(RowCount() - VisibleRowCount());
            if (rowSelect && nav.KeepHorizScroll()) {
                StartUpdate();
                SetLeftCol(oldLeft);
                ResetUpdate();
            }
            reportSelection();
            return;
        }
        case heFirstLastColumn:
            if (rowSelect) break;
            if (FixedRowAlways() && RowCount() == 1) break;
            if (key == VK_HOME) {
                if (shiftDown) {
                    SetSelection(TGridRect{FixedCols(), Row(), Col(), Row()});
                    InvalidateRow(Row());
                } else {
                    // A row with no selectable column keeps the current cell.
                    const int c = FirstSelectableCol(Row());
                    if (c >= 0) MoveColRow(c, Row(), true, true);
                    FocusBaseCell();
                    SetLeftCol(GetFirstNavCol());
                }
            } else {
                if (shiftDown) {
                    SetSelection(TGridRect{Col(), Row(), ColCount() - 1 - FFixedRightCols, Row()});
                    InvalidateRow(Row());
                } else {
                    MoveColRow(ColCount() - 1, Row(), true, true);
                    FocusBaseCell();
                    SetLeftCol(ColCount() - VisibleColCount());
                }
            }
            reportSelection();
            return;
        }
    }
    if (key == VK_HOME && ctrl && nav.HomeEndKey() == heFirstLastColumn) {
        const int c = FirstSelectableCol(FixedRows());
        MoveColRow(c >= 0 ? c : Col(), FixedRows(), true, true);
        FocusBaseCell();
        SetLeftCol(GetFirstNavCol());
        reportSelection();
        return;
    }

    // Right and Left on the merged cell of a node row expand and contract
    // its node; the key then goes on as usual.
    if ((key == VK_RIGHT || key == VK_LEFT) && IsNode(Row()) && IsMergedCell(RealColIndex(Col()), Row())) {
        if (key == VK_RIGHT)
            ExpandNode(RealRowOf(Row()));
        else
            ContractNode(RealRowOf(Row()));
    }

    // A row-select grid wider than its window scrolls sideways.
    if (rowSelect && !IsNode(Row()) && ColCount() > VisibleColCount() && (key == VK_LEFT || key == VK_RIGHT)) {
        const bool step = nav.LeftRightRowSelect() ? ctrl : true;
        if (step) {
            if (key == VK_LEFT && LeftCol() > FixedCols()) SetLeftCol(LeftCol() - 1);
            if (key == VK_RIGHT && VisibleColCount() + LeftCol() < ColCount()) SetLeftCol(LeftCol() + 1);
        }
        if (!nav.LeftRightRowSelect()) return;
    }

    // Tab walks the cells with goTabs.
    if (key == VK_TAB && HasOption(goTabs)) {
        // OnKeyDown has seen this Tab already (the key-down dispatch fires it
        // before this procedure runs): the Tab step does not fire it again.
        FTabKeyReported = true;
        const auto clear = qScopeGuard([this] { FTabKeyReported = false; });
        TabToNextCell(shiftDown);
        reportSelection();
        return;
    }

    // Cells that are fixed inside the data area are stepped over.
    if (nav.SkipFixedCells()) {
        const int c0 = Col(), r0 = Row();
        const int lastCol = ColCount() - FFixedRightCols;
        if (key == VK_LEFT && c0 > FixedCols() && IsFixed(c0 - 1, r0)) {
            int c = c0 - 1;
            while (c >= FixedCols() && IsFixed(c, r0)) --c;
            if (c >= FixedCols()) MoveColRow(c, r0, true, true);
            key = 0;
        } else if (key == VK_RIGHT && c0 < lastCol && c0 + 1 < ColCount() && IsFixed(c0 + 1, r0)) {
            int c = c0 + 1;
            while (c < lastCol && IsFixed(c, r0)) ++c;
            if (c < lastCol) MoveColRow(c, r0, true, true);
            key = 0;
        } else if (key == VK_UP && r0 > FixedRows() && IsFixed(c0, r0 - 1)) {
            int r = r0 - 1;
            if (!rowSelect)
                while (r > FixedRows() && IsFixed(c0, r)) --r;
            if (r >= FixedRows() && (rowSelect || !IsFixed(c0, r))) MoveColRow(c0, r, true, true);
            key = 0;
        } else if (key == VK_DOWN && r0 < RowCount() - FFixedFooters && r0 + 1 < RowCount() && IsFixed(c0, r0 + 1)) {
            const int lastRow = RowCount() - FFixedFooters;
            int r = r0 + 1;
            if (!rowSelect)
                while (r < lastRow - 1 && IsFixed(c0, r)) ++r;
            if (r < lastRow && (rowSelect || !IsFixed(c0, r))) MoveColRow(c0, r, true, true);
            key = 0;
        }
        if (key == 0) {
            reportSelection();
            return;
        }
    }

    if (key == VK_DOWN && IsLastRow() && nav.AppendOnArrowDown()) {
        const int before = Row();
        AutoAddRow();
        // Over footers the new row is current already: one more step would
        // land on a footer row.
        if (Row() != before) {
            key = 0;
            reportSelection();
            return;
        }
    }

    // A drawn selection rectangle moved by the steps above is repainted.
    if (SelectionRectangle() && !(Selection() == FMoveSelection)) RepaintRect(Selection());

    // Select all: the data area, the last cell current.
    if (key == VK_A && ctrl) {
        if (!rowSelect && !HasOption(goRangeSelect)) return;
        const TGridRect all{GetFirstNavCol(), FixedRows(), ColCount() - FFixedRightCols - 1,
                            RowCount() - FFixedFooters - 1};
        if (MouseActions().DisjunctRowSelect())
            for (int r = all.Top; r <= all.Bottom; ++r) SetRowSelect(r, true);
        DoSelectAll(all);
        SetSelection(all);
        FocusCell(all.Right, all.Bottom);
        // A plain left click on the last cell settles the mouse state there
        // as a click would (anchor, pending click); the selection is then
        // put back, and so are the row flags the click cleared.
        const TRect last = CellRect(all.Right, all.Bottom);
        MouseDown(mbLeft, TShiftState(), last.Left + 2, last.Top + 2);
        MouseUp(mbLeft, TShiftState(), last.Left + 2, last.Top + 2);
        FocusCell(all.Right, all.Bottom);
        SetSelection(all);
        if (MouseActions().DisjunctRowSelect())
            for (int r = all.Top; r <= all.Bottom; ++r) SetRowSelect(r, true);
        reportSelection();
        return;
    }

    // The search bar shown with the grid scrolled to its end: the last row
    // does not walk on past the corners, and the view stays where it is for
    // keys that do not move the current cell.
    const bool searchBar = FSearchFooter->Visible();
    const bool lastRow = Row() == RowCount() - 1;
    const bool moveKey = key >= VK_PRIOR && key <= VK_DOWN;
    // (Shift and Alt alone never get here: they have no key code.)
    const bool lastRowKey =
        key == VK_NEXT || key == VK_END || key == VK_LEFT || key == VK_RIGHT || key == VK_DOWN;
    int searchTop = -1;
    bool searchBracket = false;
    if (searchBar && TopRow() >= RowCount() - VisibleRowCount()) {
        searchTop = TopRow();
        if (lastRow && key == VK_DOWN) {
            ScrollAboveSearchFooter();
            return;
        }
        if (lastRow && ((key == VK_RIGHT && Col() == ColCount() - 1) || (key == VK_LEFT && Col() == FixedCols())))
            return;
        searchBracket = (lastRow && lastRowKey) || !moveKey;
        if (searchBracket) BeginUpdate();
    }
    const auto endSearchBracket = qScopeGuard([&] {
        if (searchBracket) EndUpdate();
    });

    if (keepScroll) BeginUpdate();
    try {
        StepKey(key, shift);
        if (keepScroll) SetLeftCol(oldLeft);
    } catch (...) {
        if (keepScroll) EndUpdate();
        throw;
    }
    if (searchBar && searchTop >= 0 && TopRow() >= RowCount() - VisibleRowCount() && !moveKey)
        SetTopRow(searchTop);
    if (searchBracket) {
        searchBracket = false;
        EndUpdate();
    }
    // A current last row hidden under the search bar scrolls above it.
    if (searchBar && lastRowKey && Row() == RowCount() - 1) ScrollRowAboveClientBottom(*this, Col(), Row());
    if (keepScroll) EndUpdate();
    AfterKeySteps(key, shift);
    reportSelection();
}

void TExtStringGrid::AfterKeySteps(int key, TShiftState shift)
{
    const bool ctrl = shift.Contains(ssCtrl), shiftDown = shift.Contains(ssShift), alt = shift.Contains(ssAlt);
    TNavigation& nav = Navigation();
    TMouseActions& mouse = MouseActions();
    // The row whose selection flag the keys set.
    const int flagRow = mouse.DisjunctRowSelect() && mouse.RowSelectPersistent() ? RealRowIndex(Row()) : Row();

    // The clipboard keys, each asking its event first.
    if (nav.AllowClipboardShortCuts()) {
        const bool cut = (key == VK_X && ctrl) || (key == VK_DELETE && shiftDown);
        const bool paste = (key == VK_V && ctrl) || (key == VK_INSERT && shiftDown);
        const bool copy = (key == VK_C && ctrl) || (key == VK_INSERT && ctrl);
        if (cut || paste || copy) {
            bool allow = true;
            // The events' sender: the grid's widget (null without one).
            QObject* const sender = dynamic_cast<QObject*>(View());
            if (cut) {
                if (OnClipboardCut) OnClipboardCut(sender, allow);
                if (allow) CutSelectionToClipboard();
            } else if (paste) {
                if (OnClipboardPaste) OnClipboardPaste(sender, allow);
                if (allow) PasteSelectionFromClipboard();
            } else {
                if (OnClipboardCopy) OnClipboardCopy(sender, allow);
                if (allow) CopySelectionToClipboard();
            }
            return;
        }
    }

    // Insert adds a row before (or after) the current one.
    if (key == VK_INSERT && nav.AllowInsertRow() && !ctrl && !shiftDown && !alt) {
        bool canInsert = true;
        CanInsertRow(Row(), canInsert);
        if (!canInsert) return;
        const int realRow = RealRowIndex(Row());
        int newRow = Row();
        const bool filter = FilterActive();
        SetFilterActive(false);
        // The insertion runs on the real row: it is made current first.
        if (realRow < RowCount()) MoveColRow(Col(), realRow, true, true);
        int index = realRow;
        if (nav.InsertPosition() == pInsertAfter) {
            if (FixedRowAlways() && FixedRows() == RowCount()) {
                newRow = 1;
            } else {
                index = realRow + 1;
                newRow = Row() + 1;
            }
        }
        InsertGridRow(index);
        if (OnAutoInsertRow) OnAutoInsertRow(this, index);
        FGridModified = true;
        SetFilterActive(filter);
        if (newRow < RowCount()) MoveColRow(Col(), newRow, true, true);
        CalcFooter(-1);
    }

    // Disjunct row and column selection follows the moving keys.
    if (key >= VK_PRIOR && key <= VK_DOWN) {
        if (mouse.DisjunctRowSelect()) {
            if (!shiftDown && !ctrl)
                ClearRowSelect();
            else if (shiftDown)
                SelectionToRowSelect(true);
            else
                SetRowSelect(flagRow, true);
        }
        if (mouse.DisjunctColSelect()) {
            if (!shiftDown && !ctrl)
                ClearColSelect();
            else if (shiftDown)
                SelectionToColSelect(true);
            else
                SetColSelect(Col(), true);
        }
    }
    if (key == VK_SPACE) {
        if (mouse.DisjunctRowSelect()) SetRowSelect(flagRow, !RowSelect(flagRow));
        if (mouse.DisjunctColSelect()) SetColSelect(Col(), !ColSelect(Col()));
    }

    // Delete removes the current row (the only data row is emptied).
    if (key == VK_DELETE && nav.AllowDeleteRow() && !alt && RowCount() - FFixedFooters - FixedRows() >= 1) {
        const int realRow = RealRowIndex(Row());
        const bool filter = FilterActive();
        SetFilterActive(false);
        bool canDelete = true;
        if (OnCanDeleteRow) OnCanDeleteRow(this, realRow, canDelete);
        if (!canDelete) {
            SetFilterActive(filter);
            return;
        }
        RemoveGridRow(realRow);
        SetFilterActive(filter);
        if (FloatingFooter().Visible() && Row() == RowCount() - 1) MoveColRow(Col(), RowCount() - 2, true, true);
        RememberCell(Col(), Row());
        FGridModified = true;
        CalcFooter(-1);
    }

    // Enter and F2 remember the cell before it is edited. With the editor
    // open the key belongs to the edit: the cell remembered when it opened
    // stays the one the edit is validated against (its text may already
    // show the edit while it is typed).
    if ((key == VK_RETURN || key == VK_F2) && !EditorMode()) {
        RememberCell(Col(), Row());
        if (HasControlTag(Cells(RealColIndex(Col()), Row()))) EditCellControl(Col(), Row(), QString());
    }
    if (key == VK_F2) DoF2Key();
}

void TExtStringGrid::StepKey(int& key, TShiftState shift)
{
    const bool ctrl = shift.Contains(ssCtrl);
    FLastKeyCell = TGridCoord{Col(), Row()};
    const TGridRect sel = Selection();
    const int top = std::min(sel.Top, sel.Bottom), bottom = std::max(sel.Top, sel.Bottom);
    TNavigation& nav = Navigation();

    // Ctrl+Up and Ctrl+Down move the selected rows (and nothing else).
    if (ctrl && nav.CursorMoveRows() && (key == VK_DOWN || key == VK_UP)) {
        if (key == VK_DOWN && bottom < RowCount() - 1) {
            MoveRow(bottom + 1, top);
            if (top == bottom)
                MoveColRow(Col(), top + 1, true, true);
            else
                SetSelection(TGridRect{FixedCols(), top + 1, ColCount() - 1, bottom + 1});
        } else if (key == VK_UP && top > FixedRows()) {
            MoveRow(top - 1, bottom);
            if (top == bottom)
                MoveColRow(Col(), top - 1, true, true);
            else
                SetSelection(TGridRect{FixedCols(), top - 1, ColCount() - 1, bottom - 1});
        }
        return;
    }

    TBaseGrid::KeyDown(key, shift);

    // Wrapping at the edges, judged on the cell before the key.
    const TCursorAdvance advance = nav.CursorAdvance();
    if (advance != caDefault && !ctrl) {
        const bool snake = advance == caSnake;
        const TGridCoord was = FLastKeyCell;
        const int lastDataRow = RowCount() - FFixedFooters - 1;
        const int lastDataCol = ColCount() - FFixedRightCols - 1;
        if (key == VK_LEFT && was.X == FixedCols()) {
            const int r = snake && Row() > FixedRows() ? Row() - 1 : Row();
            MoveColRow(lastDataCol, r, true, true);
        } else if (key == VK_UP && was.Y == FixedRows()) {
            const int c = snake && Col() > FixedCols() ? Col() - 1 : Col();
            MoveColRow(c, lastDataRow, true, true);
        } else if (key == VK_RIGHT && was.X == ColCount() - 1) {
            const int r = snake && Row() < lastDataRow ? Row() + 1 : Row();
            MoveColRow(FixedCols(), r, true, true);
        } else if (key == VK_DOWN && was.Y == RowCount() - 1) {
            const int c = snake && Col() < lastDataCol ? Col() + 1 : Col();
            MoveColRow(c, FixedRows(), true, true);
        }
    }

    // Disabled rows are stepped over when the grid refused to move onto one.
    if (UseEnabledRows() && nav.SkipDisabledRows() && Row() == FLastKeyCell.Y) {
        if (key == VK_UP && Row() > FixedRows()) {
            int r = Row() - 1;
            while (r > FixedRows() && !RowEnabled(r)) --r;
            if (r >= FixedRows() && RowEnabled(r)) MoveColRow(Col(), r, true, true);
        } else if (key == VK_DOWN && Row() < RowCount() - 1) {
            int r = Row() + 1;
            while (r < RowCount() - 1 && !RowEnabled(r)) ++r;
            if (RowEnabled(r)) MoveColRow(Col(), r, true, true);
        }
    }

    // The synchronised grid follows.
    if (TStringGrid* other = SyncGrid().Grid()) {
        if (SyncGrid().SelectionColumn()) other->SetCol(Col());
        if (SyncGrid().SelectionRow()) other->SetRow(Row());
    }
}

// --- the character procedure ---------------------------------------------------------

bool TExtStringGrid::CharMessage(QChar& key, TShiftState shift, bool keypad)
{
    const int rc = RealColIndex(Col());
    const bool typed = key == QChar(VK_BACK) || key.unicode() >= 32;
    // Characters never reach a cell that holds inline controls.
    if (!EditorMode()) {
        const QString text = Cells(rc, Row());
        if (DetectCellTextKind(text, EnableHTML()) == 1 && text.toUpper().contains(QLatin1String("<CONTROL"))) {
            key = QChar();
            return true;
        }
    }
    // Editing on a double click only: a character switches editing on for a
    // cell that may be edited (decided as for Enter and F2).
    if (MouseActions().EditOnDblClickOnly() && !HasOption(goEditing)) {
        const bool old = MouseActions().RangeSelectAndEdit();
        FMouseActions->SetRangeSelectAndEdit(true);
        bool allow = true;
        QueryCanEdit(rc, Row(), allow);
        FMouseActions->SetRangeSelectAndEdit(old);
        if (allow) SetOptions(Options().With(goEditing));
    }
    // The control characters of Ctrl+C, Ctrl+V and Ctrl+X belong to the
    // clipboard keys.
    if (Navigation().AllowClipboardShortCuts() && shift.Contains(ssCtrl) &&
        (key.unicode() == 3 || key.unicode() == 22 || key.unicode() == 24)) {
        key = QChar();
        return true;
    }
    if (EditorMode()) return false;
    // Range selection with editing: typing on an editable cell starts its
    // edit as a click on it would, with the character typed into the editor.
    if (MouseActions().RangeSelectAndEdit() && typed && !shift.Contains(ssCtrl) && !IsControlCell(rc, Row()) &&
        IsEditable(rc, Row())) {
        // The handler sees the key but cannot change what is typed.
        QChar copy = key;
        if (OnKeyPress) OnKeyPress(this, copy);
        FStartEditChar = key;
        SetOptions(Options().With(goEditing));
        if (Col() < LeftCol() || Col() > LeftCol() + VisibleColCount() || Row() < TopRow() ||
            Row() > TopRow() + VisibleRowCount())
            ScrollInView(Col(), Row());
        const TRect cell = CellRect(Col(), Row());
        MouseDown(mbLeft, TShiftState(), cell.Left + 2, cell.Top + 2);
        if (EditorMode())
            DeliverStartEditChar();
        else
            ShowEditorWithStartChar();
        key = QChar();
        return true;
    }
    // The keypad's decimal key types the locale's separator.
    if (ExcelStyleDecimalSeparator() && keypad && key == QChar('.')) key = SystemFormatSettings().DecimalSeparator;
    if (HasOption(goEditing) && typed) {
        if (OnKeyPress) OnKeyPress(this, key);
        FStartEditChar = key;
        if (!key.isNull() && !IsControlCell(rc, Row()))
            ShowEditorWithStartChar();
        else
            FStartEditChar = QChar();
        key = QChar();
        return true;
    }
    return false;
}
