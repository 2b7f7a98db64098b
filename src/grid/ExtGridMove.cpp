// Moving and swapping rows and columns of the string grid, the moved
// notifications that keep its own state in step with the moved cells, and
// auto numbering.
#include "grid/ExtGrid.h"

#include <algorithm>

namespace {

// Where an index lands when the entry at from is taken out and inserted at to.
int Rotated(int i, int from, int to)
{
    if (i == from) return to;
    if (from < to && i > from && i <= to) return i - 1;
    if (from > to && i >= to && i < from) return i + 1;
    return i;
}

void SwapObjectOwner(TCellObject* o, int c, int r)
{
    if (auto* p = dynamic_cast<TCellProperties*>(o)) {
        p->SetOwnerCol(c);
        p->SetOwnerRow(r);
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Moving

void TExtStringGrid::MoveColumn(int fromCol, int toCol)
{
    if (FColumnOrder.Count() == 0) SetColumnOrder();
    TCustomGrid::MoveColumn(fromCol, toCol);
    MoveCellControls([&](int x) { return Rotated(x, fromCol, toCol); }, false);
}

void TExtStringGrid::StoreMoveCol(int from, int to)
{
    // The store moves in ColumnMoved, by real index, once the column grid
    // has read the mapping as it was before the move.
    FMoveRealFrom = RealColIndex(from);
    FMoveRealTo = RealColIndex(to);
}

void TExtStringGrid::ColumnMoved(int from, int to)
{
    const int rf = FMoveRealFrom >= 0 ? FMoveRealFrom : RealColIndex(from);
    const int rt = FMoveRealTo >= 0 ? FMoveRealTo : RealColIndex(to);
    FMoveRealFrom = FMoveRealTo = -1;

    if (rf < FColumnOrder.Count() && rt < FColumnOrder.Count()) {
        const int32_t v = FColumnOrder.Items(rf);
        FColumnOrder.Delete(rf);
        FColumnOrder.Insert(rt, v);
    }
    // Hidden columns keep their place among the real columns around them.
    for (THiddenCol& h : FHiddenCols) h.Real = Rotated(h.Real, rf, rt);
    if (EnhRowColMove()) ColMoveFlg = true;
    m_store.MoveCol(rf, rt);
    for (int i = 0; i < FGridItems.Count(); ++i) {
        std::vector<TGridCell>& cells = FGridItems.Items(i).Row().Cells;
        const size_t hi = size_t(std::max(rf, rt));
        if (cells.size() <= size_t(std::min(rf, rt))) continue;
        if (cells.size() <= hi) cells.resize(hi + 1);
        if (rf < rt)
            std::rotate(cells.begin() + rf, cells.begin() + rf + 1, cells.begin() + rt + 1);
        else
            std::rotate(cells.begin() + rt, cells.begin() + rf, cells.begin() + rf + 1);
        FGridItems.Items(i).Row().Trim();
    }
    // The sort follows its data; an index keeps its direction bit.
    if (FSortSettings->Column() >= 0) FSortSettings->SetColumn(Rotated(FSortSettings->Column(), rf, rt));
    for (int i = 0; i < FSortIndexes.Count(); ++i)
        FSortIndexes.SetSortColumns(i, Rotated(FSortIndexes.SortColumns(i), rf, rt));
    if (const int c = Rotated(Col(), from, to); c != Col()) SetCol(c);
    if (FFloatingFooter->Visible()) Invalidate();
    auto* other = dynamic_cast<TExtStringGrid*>(FSyncGrid->Grid());
    if (other && FSyncGrid->MoveColumn() && !FSyncedMove) {
        other->FSyncedMove = true;
        other->MoveColumn(from, to);
        other->FSyncedMove = false;
    }
}

void TExtStringGrid::MoveRow(int fromRow, int toRow)
{
    // The floating footer stays the last row.
    if (FFloatingFooter->Visible() && FFloatingFooter->FooterStyle() == TFooterStyle::fsFixedLastRow &&
        toRow == RowCount() - 1)
        return;
    TCustomGrid::MoveRow(fromRow, toRow);
    MoveCellControls([&](int y) { return Rotated(y, fromRow, toRow); }, true);
}

void TExtStringGrid::RowMoved(int from, int to)
{
    if (EnhRowColMove()) ColMoveFlg = true;
    if (OnRowMoved) OnRowMoved(this, from, to);
    auto* other = dynamic_cast<TExtStringGrid*>(FSyncGrid->Grid());
    if (other && FSyncGrid->MoveRow() && !FSyncedMove) {
        other->FSyncedMove = true;
        other->MoveRow(from, to);
        other->FSyncedMove = false;
    }
}

void TExtStringGrid::MoveRows(int fromRow, int toRow, int count)
{
    if (fromRow == toRow || count <= 0 || fromRow < 0 || fromRow >= RowCount()) return;
    count = std::min(count, RowCount() - fromRow);
    std::vector<std::unique_ptr<TGridRowData>> rows;
    for (int k = 0; k < count; ++k) rows.push_back(TakeRow(fromRow + k));
    if (fromRow + count < toRow) toRow -= count;
    RemoveRowsEx(fromRow, count);
    toRow = std::clamp(toRow, 0, RowCount());
    InsertRows(toRow, count, true);
    for (int k = 0; k < count; ++k) PutRow(toRow + k, std::move(rows[size_t(k)]));
}

// ---------------------------------------------------------------------------
// Swapping

void TExtStringGrid::SwapCells(TGridCoord from, TGridCoord to)
{
    if (!m_store.Contains(from.X, from.Y) || !m_store.Contains(to.X, to.Y)) return;
    const QString text = m_store.Text(from.X, from.Y);
    std::unique_ptr<TCellObject> obj = m_store.ReleaseObject(from.X, from.Y);
    m_store.SetText(from.X, from.Y, m_store.Text(to.X, to.Y));
    std::unique_ptr<TCellObject> other = m_store.ReleaseObject(to.X, to.Y);
    SwapObjectOwner(other.get(), from.X, from.Y);
    SwapObjectOwner(obj.get(), to.X, to.Y);
    m_store.SetObject(from.X, from.Y, std::move(other));
    m_store.SetText(to.X, to.Y, text);
    m_store.SetObject(to.X, to.Y, std::move(obj));
}

void TExtStringGrid::SwapColumns(int c1, int c2)
{
    if (c1 == c2 || c1 < 0 || c2 < 0 || c1 >= ColCount() || c2 >= ColCount()) return;
    const int r1 = RealColIndex(c1), r2 = RealColIndex(c2);
    for (int r = 0; r < RowCount(); ++r) SwapCells(TGridCoord{r1, r}, TGridCoord{r2, r});
    const int w = ColWidths(c1);
    SetColWidths(c1, ColWidths(c2));
    SetColWidths(c2, w);
    MoveCellControls([&](int x) { return x == c1 ? c2 : x == c2 ? c1 : x; }, false);
    if (FSortSettings->Column() == r1)
        FSortSettings->SetColumn(r2);
    else if (FSortSettings->Column() == r2)
        FSortSettings->SetColumn(r1);
    Invalidate();
}

void TExtStringGrid::SwapRows(int r1, int r2)
{
    if (r1 == r2 || r1 < 0 || r2 < 0 || r1 >= RowCount() || r2 >= RowCount()) return;
    m_store.SwapRows(r1, r2);
    const int h = RowHeights(r1);
    SetRowHeights(r1, RowHeights(r2));
    SetRowHeights(r2, h);
    MoveCellControls([&](int y) { return y == r1 ? r2 : y == r2 ? r1 : y; }, true);
    Invalidate();
}

void TExtStringGrid::SortSwapRows(int r1, int r2)
{
    ++Swaps;
    if (r1 < FSortRowXRef.Count() && r2 < FSortRowXRef.Count() && r1 >= 0 && r2 >= 0) {
        const int32_t v = FSortRowXRef.Items(r1);
        FSortRowXRef.SetItems(r1, FSortRowXRef.Items(r2));
        FSortRowXRef.SetItems(r2, v);
    }
    if (FSortSettings->SingleColumn()) {
        const int c = FSortSettings->Column();
        SwapCells(TGridCoord{c, r1}, TGridCoord{c, r2});
        return;
    }
    m_store.SwapRows(r1, r2);
    if (RowHeights(r1) != RowHeights(r2)) {
        const int h = RowHeights(r1);
        SetRowHeights(r1, RowHeights(r2));
        SetRowHeights(r2, h);
    }
    SideRowsSwapped(r1, r2);
    if (SortRow == r1)
        SortRow = r2;
    else if (SortRow == r2)
        SortRow = r1;
}

// ---------------------------------------------------------------------------
// Auto numbering

void TExtStringGrid::AutoNumberCol(int c)
{
    if (RowCount() <= 0) return;
    const int last = RowCount() - FFixedFooters - 1;
    const bool down = AutoNumberDirection() == TSortDirection::sdAscending;
    for (int a = FixedRows() + AutoNumberStart(); a <= last; ++a)
        SetInts(c, down ? a : FixedRows() + (last - a), a - FixedRows() + 1 + AutoNumberOffset());
}

void TExtStringGrid::AutoNumberRow(int r)
{
    if (ColCount() <= 0) return;
    const int last = ColCount() - FFixedRightCols - 1;
    const bool right = AutoNumberDirection() == TSortDirection::sdAscending;
    for (int c = FixedCols() + AutoNumberStart(); c <= last; ++c)
        SetInts(right ? c : FixedCols() + (last - c), r, c - FixedCols() + 1 + AutoNumberOffset());
}
