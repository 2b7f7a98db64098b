// The selection model of the string grid beside the platform's rectangle:
// row and column flags, single selected cells, the list of selected rows,
// modified and disabled rows, the selection API over all of them, and the
// row, selection, filter and cell-storage hooks.
#include "grid/ExtGrid.h"

#include "controls/EsgHTMLUtil.h"
#include "controls/ExtRichText.h"
#include "controls/ExtUtil.h"

#include <algorithm>
#include <cstdlib>

namespace {

TGridRect Normalised(const TGridRect& s)
{
    return {std::min(s.Left, s.Right), std::min(s.Top, s.Bottom), std::max(s.Left, s.Right),
            std::max(s.Top, s.Bottom)};
}

void Grow(std::vector<bool>& v, int index)
{
    if (index >= int(v.size())) v.resize(size_t(index) + 1, false);
}

} // namespace

int TExtStringGrid::RowFlagIndex(int displRow)
{
    return FMouseActions->RowSelectPersistent() ? RealRowIndex(TDisplRow(displRow)).Value() : displRow;
}

// ---------------------------------------------------------------------------
// Row and column flags

bool TExtStringGrid::RowSelect(int r)
{
    if (r < 0) throw EExtGridError(QStringLiteral("Invalid row %1 accessed").arg(r));
    if (!FMouseActions->RowSelectPersistent() && r >= AllRowCount())
        throw EExtGridError(QStringLiteral("Invalid row %1 accessed").arg(r));
    if (FMouseActions->DisjunctRowSelect()) {
        // A persistent read may name any row: one past the grid's rows is
        // answered without growing the list to it.
        if (r >= AllRowCount()) return r < int(FRowSelect.size()) && FRowSelect[size_t(r)];
        Grow(FRowSelect, r);
        return FRowSelect[size_t(r)];
    }
    const TGridRect s = Normalised(StoredSelection());
    return r >= s.Top && r <= s.Bottom;
}

void TExtStringGrid::SetRowSelect(int r, bool v)
{
    if (r < 0 || (r >= AllRowCount() && RowCount() > FixedRows()))
        throw EExtGridError(QStringLiteral("Invalid row accessed"));
    bool allow = true;
    if ((r >= int(FRowSelect.size()) || FRowSelect[size_t(r)] != v) && OnRowDisjunctSelect)
        OnRowDisjunctSelect(this, r, v, allow);
    if (!allow) return;
    Grow(FRowSelect, r);
    const auto listed = std::find(FSelectedRows.begin(), FSelectedRows.end(), r);
    if (v) {
        if (!FRowSelect[size_t(r)]) InvalidateRow(r);
        FRowSelect[size_t(r)] = true;
        if (r >= FixedRows() && listed == FSelectedRows.end()) FSelectedRows.push_back(r);
    } else {
        if (FRowSelect[size_t(r)]) InvalidateRow(r);
        FRowSelect[size_t(r)] = false;
        if (listed != FSelectedRows.end()) FSelectedRows.erase(listed);
    }
    if (OnRowDisjunctSelected) OnRowDisjunctSelected(this, r);
}

bool TExtStringGrid::ColSelect(int c)
{
    if (c < 0 || c >= ColCount()) throw EExtGridError(QStringLiteral("Invalid column accessed"));
    Grow(FColSelect, c);
    return FColSelect[size_t(c)];
}

void TExtStringGrid::SetColSelect(int c, bool v)
{
    if (c < 0 || c >= ColCount()) throw EExtGridError(QStringLiteral("Invalid column accessed"));
    Grow(FColSelect, c);
    if (FColSelect[size_t(c)] != v) InvalidateCol(c);
    FColSelect[size_t(c)] = v;
}

bool TExtStringGrid::RowModified(int r) const
{
    return r >= 0 && r < int(FModifiedRows.size()) && FModifiedRows[size_t(r)];
}

void TExtStringGrid::SetRowModified(int r, bool v)
{
    if (r < 0) throw EExtGridError(QStringLiteral("Invalid row accessed"));
    Grow(FModifiedRows, r);
    FModifiedRows[size_t(r)] = v;
    InvalidateCell(0, r);
}

int TExtStringGrid::ModifiedRowCount() const
{
    return int(std::count(FModifiedRows.begin(), FModifiedRows.end(), true));
}

void TExtStringGrid::ClearModifiedRows()
{
    FModifiedRows.clear();
    Invalidate();
}

bool TExtStringGrid::RowEnabled(int r) const
{
    return r < 0 || r >= int(FEnabledRows.size()) || !FEnabledRows[size_t(r)];
}

void TExtStringGrid::SetRowEnabled(int r, bool v)
{
    if (r < 0) throw EExtGridError(QStringLiteral("Invalid row accessed"));
    // Disabling the current row moves the current row to the first enabled
    // other row; enabling a row never moves it.
    if (!v && r == Row()) {
        for (int i = FixedRows(); i < RowCount(); ++i) {
            if (i != r && RowEnabled(i)) {
                SetRow(i);
                break;
            }
        }
    }
    FUseEnabledRows = true;
    Grow(FEnabledRows, r);
    FEnabledRows[size_t(r)] = !v;
    InvalidateRow(r);
}

// ---------------------------------------------------------------------------
// Selected cells

bool TExtStringGrid::SelectedCells(int c, int r)
{
    if (c < 0 || r < 0) throw EExtGridError(QStringLiteral("Invalid cell accessed"));
    if (FMouseActions->DisjunctCellSelect())
        return std::find(FSelectedCells.begin(), FSelectedCells.end(), TGridCoord{c, r}) !=
               FSelectedCells.end();
    return Normalised(StoredSelection()).Contains(c, r);
}

void TExtStringGrid::SetSelectedCells(int c, int r, bool v)
{
    if (c < 0 || r < 0) throw EExtGridError(QStringLiteral("Invalid cell accessed"));
    const TGridCoord key{c, r};
    const auto it = std::find(FSelectedCells.begin(), FSelectedCells.end(), key);
    if (v && it == FSelectedCells.end()) {
        FSelectedCells.push_back(key);
        InvalidateCell(c, r);
    } else if (!v && it != FSelectedCells.end()) {
        FSelectedCells.erase(it);
        InvalidateCell(c, r);
    }
}

TGridCoord TExtStringGrid::SelectedCell(int i) const
{
    if (i < 0 || i >= int(FSelectedCells.size()))
        throw Exception(QStringLiteral("List index out of bounds (%1)").arg(i));
    return FSelectedCells[size_t(i)];
}

int TExtStringGrid::SelectedCellsCount()
{
    if (FMouseActions->DisjunctCellSelect()) return int(FSelectedCells.size());
    FSelectedCells.clear();
    const TGridRect s = Normalised(StoredSelection());
    if (s.Left == s.Right && s.Top == s.Bottom) {
        FSelectedCells.push_back({Col(), Row()});
    } else {
        for (int c = s.Left; c <= s.Right; ++c)
            for (int r = s.Top; r <= s.Bottom; ++r) FSelectedCells.push_back({c, r});
    }
    return int(FSelectedCells.size());
}

void TExtStringGrid::ClearSelectedCells()
{
    SetSelection({FixedCols(), FixedRows(), FixedCols(), FixedRows()});
    FSelectedCells.clear();
    Invalidate();
}

// ---------------------------------------------------------------------------
// Counting and enumerating

int TExtStringGrid::SelectedRow(int i) const
{
    if (FMouseActions->DisjunctRowSelect())
        return i >= 0 && i < int(FSelectedRows.size()) ? FSelectedRows[size_t(i)] : -1;
    const TGridRect s = Normalised(StoredSelection());
    return i >= 0 && s.Top + i <= s.Bottom ? s.Top + i : -1;
}

int TExtStringGrid::RowSelectCount()
{
    const TGridRect s = StoredSelection();
    if (!FMouseActions->DisjunctRowSelect()) return std::abs(s.Bottom - s.Top) + 1;
    const int n = std::min(AllRowCount(), int(FRowSelect.size()));
    return int(std::count(FRowSelect.begin(), FRowSelect.begin() + n, true));
}

int TExtStringGrid::ColSelectCount()
{
    if (FMouseActions->DisjunctColSelect()) return int(std::count(FColSelect.begin(), FColSelect.end(), true));
    const TGridRect s = StoredSelection();
    return std::abs(s.Right - s.Left) + 1;
}

int TExtStringGrid::SelectedRowCount()
{
    if (FMouseActions->DisjunctRowSelect()) return int(FSelectedRows.size());
    TGridRect s = StoredSelection();
    const int last = RowCount() - FixedFooters() - 1;
    if (s.Bottom > last) s.Bottom = last;
    if (IsMergedCell(s.Left, s.Top)) {
        const int span = CellSpan(s.Left, s.Top).y();
        return s.Top + span > s.Bottom ? span + 1 : std::abs(s.Top - s.Bottom) + 1;
    }
    if (IsMergedCell(s.Left, s.Bottom)) return std::abs(s.Top - s.Bottom) + CellSpan(s.Left, s.Bottom).y() + 1;
    return std::abs(s.Top - s.Bottom) + 1;
}

int TExtStringGrid::SelectedColCount()
{
    if (FMouseActions->DisjunctColSelect()) return int(std::count(FColSelect.begin(), FColSelect.end(), true));
    const TGridRect s = StoredSelection();
    if (IsMergedCell(s.Left, s.Top)) {
        const int span = CellSpan(s.Left, s.Top).x();
        return s.Left + span > s.Right ? span + 1 : std::abs(s.Left - s.Right) + 1;
    }
    if (IsMergedCell(s.Right, s.Top)) return std::abs(s.Left - s.Right) + CellSpan(s.Right, s.Top).x() + 1;
    return std::abs(s.Left - s.Right) + 1;
}

// ---------------------------------------------------------------------------
// Selecting

void TExtStringGrid::SelectRows(int rowIndex, int rCount)
{
    if (rowIndex + rCount > RowCount()) rCount = RowCount() - rowIndex;
    if (!FMouseActions->DisjunctRowSelect()) {
        SetSelection({FixedCols(), rowIndex, ColCount() - 1, rowIndex + rCount - 1});
    } else {
        // Persistent flags are kept by real row, which may lie past the
        // shown rows while rows are hidden.
        const int limit = FMouseActions->RowSelectPersistent() ? AllRowCount() : RowCount();
        for (int r = rowIndex; r < rowIndex + rCount; ++r) {
            const int idx = RowFlagIndex(r);
            if (idx >= 0 && idx < limit) SetRowSelect(idx, true);
        }
    }
    FSelChange = false;
}

void TExtStringGrid::UnSelectRows(int rowIndex, int rCount)
{
    if (FMouseActions->DisjunctRowSelect()) {
        const int limit = FMouseActions->RowSelectPersistent() ? AllRowCount() : RowCount();
        for (int r = rowIndex; r < rowIndex + rCount; ++r) {
            const int idx = RowFlagIndex(r);
            if (idx >= 0 && idx < limit) SetRowSelect(idx, false);
        }
    }
    FSelChange = false;
}

void TExtStringGrid::SelectCols(int colIndex, int cCount)
{
    if (!FMouseActions->DisjunctColSelect()) {
        SetSelection({colIndex, FixedRows(), colIndex + cCount - 1, RowCount() - 1});
        return;
    }
    for (int c = colIndex; c < colIndex + cCount; ++c)
        if (c < ColCount()) SetColSelect(c, true);
}

void TExtStringGrid::UnSelectCols(int colIndex, int cCount)
{
    if (!FMouseActions->DisjunctColSelect()) return;
    for (int c = colIndex; c < colIndex + cCount; ++c)
        if (c < ColCount()) SetColSelect(c, false);
}

void TExtStringGrid::SelectRange(int fromCol, int toCol, int fromRow, int toRow)
{
    SetRow(toRow);
    SetCol(toCol);
    SetStoredSelection({fromCol, fromRow, toCol, toRow});
}

void TExtStringGrid::SelectCells(int fromCol, int fromRow, int toCol, int toRow)
{
    SetSelection({fromCol, fromRow, toCol, toRow});
}

void TExtStringGrid::FocusCell(int c, int r) { SetSelection({c, r, c, r}); }

void TExtStringGrid::GotoCell(int c, int r)
{
    SetRow(r);
    SetCol(c);
}

void TExtStringGrid::EditCell(int c, int r)
{
    SetFocused(true);
    GotoCell(c, r);
    ShowEditor();
}

void TExtStringGrid::ClearRowSelect()
{
    if (FRowSelect.empty()) return;
    for (size_t r = 0; r < FRowSelect.size(); ++r) {
        if (FRowSelect[r]) InvalidateRow(int(r));
        FRowSelect[r] = false;
    }
    FSelectedRows.clear();
}

void TExtStringGrid::ClearColSelect()
{
    for (size_t c = 0; c < FColSelect.size(); ++c) {
        if (FColSelect[c]) InvalidateCol(int(c));
        FColSelect[c] = false;
    }
}

void TExtStringGrid::SelectionToRowSelect(bool all)
{
    TGridRect s = Normalised(StoredSelection());
    const int last = RowCount() - FixedFooters() - 1;
    if (s.Bottom > last) s.Bottom = last;
    for (int r = FixedRows(); r < RowCount(); ++r) {
        const bool inside = r >= s.Top && r <= s.Bottom;
        if (all || inside) SetRowSelect(RowFlagIndex(r), inside);
    }
    if (NumHiddenRows() > 0) Invalidate();
}

void TExtStringGrid::SelectionToColSelect(bool all)
{
    const TGridRect s = Normalised(StoredSelection());
    for (int c = FixedCols(); c < ColCount(); ++c) {
        const bool inside = c >= s.Left && c <= s.Right;
        if (all || inside) SetColSelect(c, inside);
    }
}

bool TExtStringGrid::IsSelected(int c, int r)
{
    if (r < FixedRows() || c < FixedCols()) return false;
    if (FMouseActions->DisjunctCellSelect())
        return std::find(FSelectedCells.begin(), FSelectedCells.end(), TGridCoord{c, r}) !=
               FSelectedCells.end();
    if (FMouseActions->DisjunctRowSelect()) {
        const int idx = RowFlagIndex(r);
        return idx >= 0 && idx < int(FRowSelect.size()) && FRowSelect[size_t(idx)];
    }
    if (FMouseActions->DisjunctColSelect()) return c < int(FColSelect.size()) && FColSelect[size_t(c)];
    return Normalised(StoredSelection()).Contains(c, r);
}

QString TExtStringGrid::SelectedText()
{
    TGridRect s = Normalised(StoredSelection());
    if (Options().Contains(goRowSelect) && FDragDropSettings->OleEntireRows()) {
        s.Left = 0;
        s.Right = ColCount() - 1;
    }
    std::vector<int> rows;
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = FixedRows(); r < RowCount(); ++r) {
            const int idx = RowFlagIndex(r);
            if (idx >= 0 && idx < int(FRowSelect.size()) && FRowSelect[size_t(idx)]) rows.push_back(r);
        }
    } else {
        for (int r = s.Top; r <= s.Bottom; ++r) rows.push_back(r);
    }
    QString out;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) out += QStringLiteral("\r\n");
        for (int c = s.Left; c <= s.Right; ++c) {
            if (c > s.Left) out += QChar(9);
            QString t = Cells(RealColIndex(TDisplCol(c)).Value(), rows[i]);
            if (t.contains(RichTextMarker)) t = RichTextToPlainText(t);
            if (ExcelClipboardFormat() && LineCountOf(t, Multilinecells()) > 1) t = CsvQuoteMultiline(t);
            out += t;
        }
    }
    return out;
}

// ---------------------------------------------------------------------------
// Row, selection, filter and cell-storage hooks

void TExtStringGrid::DoFixedEdit(int c, int r, TGridFixedCellEditor& editor, QStringList& values)
{
    if (OnFixedEdit) OnFixedEdit(this, c, r, editor, values);
}

void TExtStringGrid::DoSelectionChanged(int left, int top, int right, int bottom)
{
    const TGridLook look = Look();
    if (look == TGridLook::glVista || look == TGridLook::glWin7 || look == TGridLook::glOffice2007) {
        const TGridRect s = Selection();
        for (int r = s.Top; r <= s.Bottom; ++r) InvalidateRow(r);
    }
    FSelChange = true;
    if (OnSelectionChanged) OnSelectionChanged(this, left, top, right, bottom);
}

void TExtStringGrid::InsertGridRow(int r) { InsertRows(r, 1); }

void TExtStringGrid::RemoveGridRow(int r)
{
    if (RowCount() - FixedRows() - FixedFooters() == 1 && !FixedRowAlways()) {
        for (int c = 0; c < ColCount(); ++c) SetCells(c, r, QString());
    } else {
        DeleteRows(r, 1);
    }
    if (OnAutoDeleteRow) OnAutoDeleteRow(this, r);
}

void TExtStringGrid::DoFilterDone()
{
    if (OnFilterDone) OnFilterDone(this);
}

void TExtStringGrid::FormulaCellText(int c, int r, QString& value) { value = Cells(c, r); }

void TExtStringGrid::GetSaveText(int c, int r, QString& value)
{
    value = SaveVirtCells() ? GetFormattedCell(c, r) : GridCells(c, r);
    if (value.isEmpty()) {
        const TCellType t = GetCellType(c, r);
        QString checkTrue, checkFalse;
        if (t == TCellType::ctCheckBox || t == TCellType::ctTriStateCheckBox) {
            GetCheckTrue(c, r, checkTrue);
            GetCheckFalse(c, r, checkFalse);
        }
        if (t == TCellType::ctCheckBox) {
            bool state = false;
            GetCheckBoxState(c, RealRowIndex(TDisplRow(r)).Value(), state);
            value = state ? checkTrue : checkFalse;
        } else if (t == TCellType::ctTriStateCheckBox) {
            TCheckBoxState state = cbUnchecked;
            GetCheckBoxState(c, RealRowIndex(TDisplRow(r)).Value(), state);
            value = state == cbChecked ? checkTrue : checkFalse;
        }
    }
    const int kind = DetectCellTextKind(value, EnableHTML());
    if (kind == 1 && !SaveWithHTML()) {
        value = StripMiniHtml(value);
    } else if (kind == 2) {
        if (SaveWithRTF())
            value.remove(QChar('\r')).remove(QChar('\n'));
        else
            value = RichTextToPlainText(value);
    }
    if (OnSaveCell) OnSaveCell(this, c, r, value);
}

void TExtStringGrid::SetLoadText(int c, int r, QString value)
{
    if (OnLoadCell) OnLoadCell(this, c, r, value);
    SetGridCells(c, r, value);
}
