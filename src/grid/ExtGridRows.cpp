// Inserting, removing and clearing rows and columns of the string grid, and
// the ranges the exports save. Rows move as whole store rows (the cells are
// never copied); the parked rows, the side structures, the current row and
// the top row are kept in step.
#include "grid/ExtGrid.h"

#include "platform/SysUtils.h"

#include <QScopeGuard>
#include <QSet>
#include <algorithm>

// ---------------------------------------------------------------------------
// Side structures

namespace {

// A list of per-row (per-column) flags follows rows inserted or removed at
// index; flags past its end are off and need no entry.
void InsertFlags(std::vector<bool>& flags, int index, int count)
{
    if (index >= 0 && index < int(flags.size())) flags.insert(flags.begin() + index, size_t(count), false);
}

void RemoveFlags(std::vector<bool>& flags, int index, int count)
{
    if (index < 0 || index >= int(flags.size())) return;
    flags.erase(flags.begin() + index, flags.begin() + std::min(index + count, int(flags.size())));
}

void SwapFlags(std::vector<bool>& flags, int a, int b)
{
    const size_t hi = size_t(std::max(a, b));
    if (a < 0 || b < 0 || hi >= flags.size()) {
        if (a < 0 || b < 0) return;
        flags.resize(hi + 1, false);
    }
    const bool v = flags[size_t(a)];
    flags[size_t(a)] = flags[size_t(b)];
    flags[size_t(b)] = v;
}

} // namespace

void TExtStringGrid::SideRowsInserted(int row, int count)
{
    if (FShowModified->Enabled()) InsertFlags(FModifiedRows, row, count);
    if (FUseEnabledRows) InsertFlags(FEnabledRows, row, count);
    if (FMouseActions->DisjunctRowSelect()) InsertFlags(FRowSelect, RowFlagIndex(row), count);
}

void TExtStringGrid::SideRowsRemoved(int row, int count)
{
    if (FShowModified->Enabled()) RemoveFlags(FModifiedRows, row, count);
    if (FUseEnabledRows) RemoveFlags(FEnabledRows, row, count);
    if (FMouseActions->DisjunctRowSelect()) RemoveFlags(FRowSelect, RowFlagIndex(row), count);
}

void TExtStringGrid::SideRowsSwapped(int row1, int row2)
{
    if (FShowModified->Enabled()) SwapFlags(FModifiedRows, row1, row2);
    if (FMouseActions->DisjunctRowSelect() && FNavigation->MoveRowOnSort())
        SwapFlags(FRowSelect, RowFlagIndex(row1), RowFlagIndex(row2));
}

void TExtStringGrid::SideColsInserted(int c, int count) { InsertFlags(FColSelect, c, count); }

void TExtStringGrid::SideColsRemoved(int c, int count) { RemoveFlags(FColSelect, c, count); }

// ---------------------------------------------------------------------------
// Rows

void TExtStringGrid::InsertRows(int row, int count, bool updateCellControls)
{
    if (count <= 0) return;
    row = std::clamp(row, 0, RowCount());
    // A visible floating footer stays the last row.
    if (FFloatingFooter->Visible() && row >= RowCount()) row = RowCount() - 1;
    // Parked rows at or behind the place move down with the rows there.
    const int realAt = RealRowOf(row);
    for (int i = FGridItems.LowerBound(realAt); i < FGridItems.Count(); ++i)
        FGridItems.Items(i).SetIdx(FGridItems.Items(i).Idx() + count);
    TCustomGrid::InsertRows(row, count);
    SideRowsInserted(row, count);
    if (updateCellControls)
        MoveCellControls([&](int y) { return y >= realAt ? y + count : y; }, true);
    RowCountChangedBy();
    if (FSelHidden) UnHideSelection();
    if (!Destroying()) CellsChanged(TGridRect{0, row, ColCount() - 1, row + count});
}

void TExtStringGrid::AddRow()
{
    if (FFloatingFooter->Visible()) {
        InsertRows(RowCount() - 1, 1, true);
        if (FFloatingFooter->FooterStyle() == TFooterStyle::fsFixedLastRow) ClearRows(RowCount() - 2, 1);
    } else {
        InsertRows(RowCount(), 1, true);
        ClearRows(RowCount() - 1, 1);
    }
}

void TExtStringGrid::MoveCellControls(const std::function<int(int)>& moved, bool rows)
{
    for (int i = 0; i < FControlList.Count(); ++i) {
        TControlItem& item = FControlList.Control(i);
        int& at = rows ? item.Y : item.X;
        at = moved(at);
    }
}

void TExtStringGrid::DoRemoveRows(int row, int count, bool dropControls)
{
    if (row < 0 || row > RowCount() || count <= 0) return;
    count = std::min(count, RowCount() - row);
    if (count > 0) {
        const int oldRow = Row();
        const int oldTop = TopRow();
        const bool lastRowLeft = count >= RowCount();
        // The grid keeps one row: the last one left is emptied instead.
        if (lastRowLeft) --count;
        // Parked rows behind the removed ones move up by the number of
        // removed rows above them.
        std::vector<int> gone;
        for (int k = 0; k < count; ++k) gone.push_back(RealRowOf(row + k));
        for (int i = FGridItems.LowerBound(gone.empty() ? 0 : gone.front()); i < FGridItems.Count(); ++i) {
            TGridItem& item = FGridItems.Items(i);
            const int above = int(std::lower_bound(gone.begin(), gone.end(), item.Idx()) - gone.begin());
            item.SetIdx(item.Idx() - above);
        }
        if (dropControls) {
            // The controls of the removed rows go (hidden, not freed); the
            // ones below move up with their rows.
            for (int i = FControlList.Count() - 1; i >= 0; --i) {
                TControlItem& item = FControlList.Control(i);
                if (std::binary_search(gone.begin(), gone.end(), item.Y)) {
                    if (item.Control) item.Control->hide();
                    FControlList.RemoveControl(i);
                } else {
                    item.Y -= int(std::lower_bound(gone.begin(), gone.end(), item.Y) - gone.begin());
                }
            }
        }
        SideRowsRemoved(row, count);
        TCustomGrid::DeleteRows(row, count);
        if (lastRowLeft) ClearRowCells(row);
        RowCountChangedBy();
        FMaxRowCount = std::max(RowCount(), FMaxRowCount - count);
        const int lastNormal = RowCount() - FFixedFooters - 1;
        if (oldRow <= lastNormal && oldRow >= FixedRows()) {
            if (!FMouseActions->DisjunctRowSelect()) SetRow(oldRow);
            SetTopRow(oldTop);
        } else if (FixedRows() <= lastNormal) {
            SetRow(lastNormal);
        } else {
            // No normal row is left: nothing shows selected until rows come
            // back, and then the first normal cell is.
            HideSelection();
            FOldSelection = TGridRect{FixedCols(), FixedRows(), FixedCols(), FixedRows()};
        }
    }
    CellsChanged(TGridRect{0, row, ColCount() - 1, row + count});
}

void TExtStringGrid::RemoveRows(int row, int count) { DoRemoveRows(row, count, true); }

// The plain removal of moves: the in-cell controls stay where they are.
void TExtStringGrid::RemoveRowsEx(int row, int count) { DoRemoveRows(row, count, false); }

void TExtStringGrid::RemoveRowsInternal(int row, int count) { DoRemoveRows(row, count, true); }

void TExtStringGrid::RemoveSelectedRows()
{
    BeginUpdate();
    const auto done = qScopeGuard([this] { EndUpdate(); });
    const int last = RowCount() - FFixedFooters - 1;
    if (FMouseActions->DisjunctRowSelect()) {
        // Read every flag before a row goes: removing shifts the flags kept
        // by display row.
        std::vector<int> rows;
        for (int r = FixedRows(); r <= last; ++r)
            if (RowSelect(RowFlagIndex(r))) rows.push_back(r);
        for (auto it = rows.rbegin(); it != rows.rend(); ++it) RemoveRowsInternal(*it, 1);
        ClearRowSelect();
        return;
    }
    const TGridRect s = Selection();
    for (int r = std::max(s.Top, s.Bottom); r >= std::min(s.Top, s.Bottom); --r)
        if (r >= FixedRows() && r <= last) RemoveRowsInternal(r, 1);
}

void TExtStringGrid::RemoveUnSelectedRows()
{
    BeginUpdate();
    const auto done = qScopeGuard([this] { EndUpdate(); });
    std::vector<int> rows;
    for (int r = FixedRows(); r < RowCount() - FFixedFooters; ++r)
        if (!RowSelect(RowFlagIndex(r))) rows.push_back(r);
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) RemoveRowsInternal(*it, 1);
    if (FMouseActions->RowSelectPersistent())
        SelectRows(FixedRows(), RowCount() - FixedRows());
    else
        ClearRowSelect();
}

void TExtStringGrid::RemoveCheckedRows(int checkBoxColumn, bool removeChecked)
{
    BeginUpdate();
    const auto done = qScopeGuard([this] { EndUpdate(); });
    for (int r = RowCount() - 1; r >= FixedRows(); --r)
        if (IsChecked(checkBoxColumn, RealRowOf(r)) == removeChecked) RemoveRows(r, 1);
}

void TExtStringGrid::RemoveDuplicates(int c, bool doCase)
{
    const int real = RealColIndex(c);
    QSet<QString> seen;
    int r = FixedRows();
    while (r < RowCount() - FFixedFooters) {
        const QString key = doCase ? Cells(real, r) : Cells(real, r).toUpper();
        if (!seen.contains(key)) {
            seen.insert(key);
            ++r;
        } else {
            RemoveRowsInternal(r, 1);
        }
    }
}

// ---------------------------------------------------------------------------
// Columns

void TExtStringGrid::StoreInsertCols(int at, int n)
{
    m_store.InsertCols(FStoreColAt >= 0 ? FStoreColAt : at, n);
}

void TExtStringGrid::StoreDeleteCols(int at, int n)
{
    m_store.DeleteCols(FStoreColAt >= 0 ? FStoreColAt : at, n);
}

void TExtStringGrid::InsertCols(int c, int count)
{
    if (count <= 0) return;
    c = std::clamp(c, 0, TotalColCount());
    const int d = DisplColIndex(c);
    // The new columns are shown; hidden columns at or behind c move along.
    for (THiddenCol& h : FHiddenCols)
        if (h.Real >= c) h.Real += count;
    FStoreColAt = c;
    TCustomGrid::InsertCols(d, count);
    FStoreColAt = -1;
    FMaxColCount = std::max(FMaxColCount, ColCount());
    SideColsInserted(d, count);
    UpdateFooter();
}

void TExtStringGrid::RemoveCols(int c, int count)
{
    if (c < 0 || c >= TotalColCount() || count <= 0) return;
    count = std::min(count, TotalColCount() - c);
    ClearCols(c, count);
    // From the right, so that the real indexes still to go stay put.
    for (int real = c + count - 1; real >= c; --real) {
        const auto it = std::lower_bound(FHiddenCols.begin(), FHiddenCols.end(), real,
                                         [](const THiddenCol& h, int x) { return h.Real < x; });
        if (it != FHiddenCols.end() && it->Real == real) {
            FHiddenCols.erase(it);
            FNumHidden = int(FHiddenCols.size());
            m_store.DeleteCols(real, 1);
        } else {
            if (ColCount() < 2) continue; // the last shown column stays
            const int d = DisplColIndex(real);
            FStoreColAt = real;
            TCustomGrid::DeleteCols(d, 1);
            FStoreColAt = -1;
            SideColsRemoved(d, 1);
        }
        for (THiddenCol& h : FHiddenCols)
            if (h.Real > real) --h.Real;
    }
    UpdateFooter();
    CellsChanged(TGridRect{c, 0, c + count, RowCount() - 1});
}

void TExtStringGrid::RemoveDisplayCols(const std::function<bool(int)>& which)
{
    // From the right, so that the display columns still to go stay put;
    // each goes by its real index (RemoveCols drops its flag too).
    for (int c = ColCount() - 1; c >= FixedCols(); --c)
        if (which(c)) RemoveCols(RealColIndex(c), 1);
}

void TExtStringGrid::RemoveSelectedCols()
{
    if (FMouseActions->DisjunctColSelect()) {
        RemoveDisplayCols([this](int c) { return ColSelect(c); });
        return;
    }
    const TGridRect s = Selection();
    const int left = std::min(s.Left, s.Right), right = std::max(s.Left, s.Right);
    RemoveDisplayCols([&](int c) { return c >= left && c <= right; });
}

void TExtStringGrid::RemoveUnSelectedCols()
{
    if (FMouseActions->DisjunctColSelect()) {
        RemoveDisplayCols([this](int c) { return !ColSelect(c); });
    } else {
        const TGridRect s = Selection();
        const int left = std::min(s.Left, s.Right), right = std::max(s.Left, s.Right);
        RemoveDisplayCols([&](int c) { return c < left || c > right; });
    }
    ClearColSelect();
}

void TExtStringGrid::MergeCols(int c1, int c2, const QString& separator)
{
    for (int r = FixedRows(); r < RowCount(); ++r) SetCells(c1, r, Trim(Cells(c1, r) + separator + Cells(c2, r)));
    RemoveCols(c2, 1);
}

// ---------------------------------------------------------------------------
// Clearing, trimming, colouring

void TExtStringGrid::ClearRect(int c1, int r1, int c2, int r2)
{
    for (int r = r1; r <= r2; ++r) {
        for (int i = c1; i <= c2; ++i) {
            const int a = SaveHiddenCells() ? RealColIndex(i) : i;
            if (!FClearTextOnly && HasCellProps(a, r)) FreeCellProps(a, r);
            if (!Destroying() && !Cells(a, r).isEmpty()) {
                SetCells(a, r, QString());
                if (i != a) RepaintCell(i, r);
            }
        }
    }
    if (c1 == 0 && r1 == 0 && c2 >= ColCount() - 1 && r2 >= RowCount() - 1 && !FClearTextOnly) FHasCellProps = false;
    if (!Destroying() && !FBlockCellChange) CellsChanged(TGridRect{RealColIndex(c1), r1, RealColIndex(c2), r2});
}

void TExtStringGrid::TrimRect(int c1, int r1, int c2, int r2)
{
    for (int r = r1; r <= r2; ++r) {
        for (int i = c1; i <= c2; ++i) {
            const int a = SaveHiddenCells() ? RealColIndex(i) : i;
            const QString s = Cells(a, r);
            if (const QString t = Trim(s); t != s) SetCells(a, r, t);
        }
    }
}

void TExtStringGrid::ClearRows(int row, int count)
{
    if (RowCount() == 0 || ColCount() == 0 || count <= 0) return;
    ClearRect(0, row, TotalColCount() - 1, row + count - 1);
}

void TExtStringGrid::ClearCols(int c, int count)
{
    if (RowCount() == 0 || ColCount() == 0 || count <= 0) return;
    ClearRect(c, 0, c + count - 1, RowCount() - 1);
}

void TExtStringGrid::ClearNormalRows(int row, int count)
{
    if (RowCount() == 0 || ColCount() == 0 || count <= 0) return;
    ClearRect(FixedCols(), row, TotalColCount() - FFixedRightCols - 1, row + count - 1);
}

void TExtStringGrid::ClearNormalCols(int c, int count)
{
    if (RowCount() == 0 || ColCount() == 0 || count <= 0) return;
    ClearRect(c, FixedRows(), c + count - 1, RowCount() - FFixedFooters - 1);
}

void TExtStringGrid::ClearNormalCells()
{
    if (RowCount() == 0 || ColCount() == 0) return;
    ClearRect(FixedCols(), FixedRows(), TotalColCount() - FFixedRightCols - 1, RowCount() - FFixedFooters - 1);
}

void TExtStringGrid::ClearSelection()
{
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (RowSelect(RowFlagIndex(r))) ClearRows(r, 1);
    } else if (FMouseActions->DisjunctColSelect()) {
        for (int c = FixedCols(); c < ColCount(); ++c)
            if (ColSelect(c)) ClearCols(c, 1);
    } else {
        const TGridRect s = Selection();
        ClearRect(s.Left, s.Top, s.Right, s.Bottom);
    }
}

void TExtStringGrid::Clear()
{
    if (RowCount() == 0 || ColCount() == 0) return;
    ClearRect(0, 0, TotalColCount() - 1, RowCount() - 1);
    if (FNumHidden > 0) Invalidate();
}

void TExtStringGrid::ClearAll()
{
    Clear();
    // The parked rows keep their width, so that their cells still read (empty).
    for (int i = 0; i < FGridItems.Count(); ++i)
        for (TGridCell& cell : FGridItems.Items(i).Row().Cells) {
            cell.Text.clear();
            cell.Object.reset();
        }
}

void TExtStringGrid::ColorRect(int c1, int r1, int c2, int r2, TColor color)
{
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c) SetColors(c, r, color);
}

// ---------------------------------------------------------------------------
// Used cells and the save range

TGridRect TExtStringGrid::UsedCells()
{
    TGridRect u{-1, -1, -1, -1};
    for (int r = 0; r < RowCount(); ++r) {
        for (int c = 0; c < ColCount(); ++c) {
            if (Cells(c, r).isEmpty()) continue;
            if (u.Left < 0) u = TGridRect{c, r, c, r};
            u.Left = std::min(u.Left, c);
            u.Right = std::max(u.Right, c);
            u.Bottom = r;
        }
    }
    return u.Left < 0 ? TGridRect{} : u;
}

int TExtStringGrid::SaveStartCol() const { return SaveFixedCells() || SaveFixedCols() ? 0 : FixedCols(); }

int TExtStringGrid::SaveEndCol() const
{
    return SaveFixedCells() || SaveFixedCols() ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
}

int TExtStringGrid::SaveStartRow() const { return SaveFixedCells() || SaveFixedRows() ? 0 : FixedRows(); }

int TExtStringGrid::SaveEndRow() const
{
    return SaveFixedCells() || SaveFixedRows() ? RowCount() - 1 : RowCount() - FFixedFooters - 1;
}
