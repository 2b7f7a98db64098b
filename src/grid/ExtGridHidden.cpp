// Hidden columns and rows of the string grid: the two index spaces (display
// and real), hiding and showing columns and rows, the hidden-row store, the
// current-row and top-row writers and the hidden selection.
//
// Hidden columns keep their cells in the store at their real index; the
// store is always as wide as TotalColCount. Hidden rows are parked whole in
// the store of grid items (their cells moved, not copied), which stays
// ordered by real row index whatever put them there.
#include "grid/ExtGrid.h"

#include "controls/ExtUtil.h"

#include <QScopeGuard>
#include <algorithm>

// ---------------------------------------------------------------------------
// Index mapping

TDisplCol TExtStringGrid::DisplColIndex(TRealCol c)
{
    const int v = c.Value();
    const auto it = std::lower_bound(FHiddenCols.begin(), FHiddenCols.end(), v,
                                     [](const THiddenCol& h, int x) { return h.Real < x; });
    return TDisplCol(v - int(it - FHiddenCols.begin()));
}

TRealCol TExtStringGrid::RealColIndex(TDisplCol c)
{
    // The c-th shown column: every hidden column at or before the running
    // index pushes it one further.
    int r = c.Value();
    if (r < 0) return TRealCol(r);
    for (const THiddenCol& h : FHiddenCols) {
        if (h.Real > r) break;
        ++r;
    }
    return TRealCol(r);
}

TRealRow TExtStringGrid::RealRowIndex(TDisplRow r) { return TRealRow(RealRowOf(r.Value())); }

TDisplRow TExtStringGrid::DisplRowIndex(TRealRow r) { return TDisplRow(DisplRowOf(r.Value())); }

// ---------------------------------------------------------------------------
// The measurer

void TExtStringGrid::SetCellMeasurer(std::unique_ptr<TCellMeasurer> m)
{
    FCellMeasurer = m ? std::move(m) : MakeFontCellMeasurer(*this);
}

TCellMeasurer& TExtStringGrid::CellMeasurer()
{
    if (!FCellMeasurer) FCellMeasurer = MakeFontCellMeasurer(*this);
    return *FCellMeasurer;
}

QSize TCellMeasurer::GetCellTextSize(int, int, bool) { return QSize(0, 0); }

int TCellMeasurer::GetCellLineHeight(int, int) { return 0; }

int TCellMeasurer::MaxLinesInRow(int r)
{
    if (!FGrid.Multilinecells()) return 1;
    int lines = 1;
    for (int c = 0; c < FGrid.ColCount(); ++c)
        lines = std::max(lines, LineCountOf(FGrid.Cells(FGrid.RealColIndex(c), r), true));
    return lines;
}

int TCellMeasurer::GetHorzTextOffset() { return FGrid.GetHorzTextOffset(); }

int TCellMeasurer::GetVertTextOffset() { return FGrid.GetVertTextOffset(); }

QSize TCellMeasurer::GetCellGraphicSize(int c, int r)
{
    const QPoint p = FGrid.GetCellGraphicSize(c, r);
    return QSize(p.x(), p.y());
}

QSize TCellMeasurer::CalcCellGraphicSize(int c, int r, int padding)
{
    QPoint p(0, 0);
    FGrid.CalcCellGraphicSize(c, r, p, padding);
    return QSize(p.x(), p.y());
}

// ---------------------------------------------------------------------------
// Hidden columns

bool TExtStringGrid::IsHiddenColumn(int c) const
{
    return std::binary_search(FHiddenCols.begin(), FHiddenCols.end(), THiddenCol{c, 0},
                              [](const THiddenCol& a, const THiddenCol& b) { return a.Real < b.Real; });
}

void TExtStringGrid::HideColumns(int fromCol, int toCol)
{
    if (EditorMode()) HideEditor();
    fromCol = std::max(fromCol, 0);
    for (int c = fromCol; c <= toCol && c < TotalColCount(); ++c) {
        if (IsHiddenColumn(c) || ColCount() < 2) continue;
        const int d = DisplColIndex(c);
        const int width = ColWidths(d);
        for (int i = d; i <= ColCount() - 2; ++i) SetColWidths(i, ColWidths(i + 1));
        // Counted as hidden before ColCount drops, so that the store keeps
        // the column's cells.
        const auto at = std::lower_bound(FHiddenCols.begin(), FHiddenCols.end(), c,
                                         [](const THiddenCol& h, int x) { return h.Real < x; });
        FHiddenCols.insert(at, THiddenCol{c, width});
        FNumHidden = int(FHiddenCols.size());
        if (Col() == ColCount() - 1) SetCol(Col() - 1);
        SetColCount(ColCount() - 1);
    }
    Invalidate();
}

void TExtStringGrid::UnHideColumns(int fromCol, int toCol)
{
    if (EditorMode()) HideEditor();
    fromCol = std::max(fromCol, 0);
    for (int c = fromCol; c <= toCol && c < TotalColCount(); ++c) {
        const auto it = std::lower_bound(FHiddenCols.begin(), FHiddenCols.end(), c,
                                         [](const THiddenCol& h, int x) { return h.Real < x; });
        if (it == FHiddenCols.end() || it->Real != c) continue;
        const int width = it->Width;
        FHiddenCols.erase(it);
        FNumHidden = int(FHiddenCols.size());
        SetColCount(ColCount() + 1);
        const int d = DisplColIndex(c);
        for (int i = ColCount() - 1; i > d; --i) SetColWidths(i, ColWidths(i - 1));
        SetColWidths(d, width);
    }
    Invalidate();
}

// ---------------------------------------------------------------------------
// Hidden rows

void TExtStringGrid::RowCountChangedBy()
{
    FNormalRowCount = RowCount();
    FMaxRowCount = std::max(FMaxRowCount, RowCount());
    UpdateFooter();
    UpdateScrollBarAlways(false);
}

void TExtStringGrid::ParkRun(int fromReal, int n, THiddenRowKind kind, int level)
{
    const int d0 = DisplRowOf(fromReal);
    // The grid keeps at least one row: what would not fit stays shown.
    n = std::min({n, RowCount() - d0, RowCount() - 1});
    if (n <= 0) return;
    const int pos = FGridItems.LowerBound(fromReal);
    for (int k = 0; k < n; ++k) {
        TGridItem& item = FGridItems.Insert(pos + k);
        item.SetIdx(fromReal + k);
        item.SetKind(kind);
        item.SetLevel(level);
        item.SetHeight(RowHeights(d0 + k));
        item.SetRow(TakeRow(d0 + k));
    }
    TCustomGrid::DeleteRows(d0, n);
}

void TExtStringGrid::ShowRun(int pos, int n)
{
    // Every item before pos stands for a hidden row above this run.
    const int d0 = std::min(FGridItems.Items(pos).Idx() - pos, RowCount());
    TCustomGrid::InsertRows(d0, n);
    for (int k = 0; k < n; ++k) {
        TGridItem& item = FGridItems.Items(pos + k);
        PutRow(d0 + k, item.TakeRowData());
        if (item.Height() > 0) SetRowHeights(d0 + k, item.Height());
    }
    FGridItems.DeleteRange(pos, n);
}

void TExtStringGrid::FollowSelection(const TGridRect& old, const std::function<int(int)>& newRow)
{
    const TGridRect now{old.Left, newRow(old.Top), old.Right, newRow(old.Bottom)};
    if (now == Selection()) return;
    if (old.Top == old.Bottom && old.Left == old.Right)
        MoveColRow(now.Left, now.Top, true, false);
    else
        SetSelection(now);
}

void TExtStringGrid::ParkScattered(const std::vector<int>& realRows, THiddenRowKind kind, int level)
{
    // Screen rows of the rows to park, read before anything moves.
    std::vector<int> disp;
    disp.reserve(realRows.size());
    for (int r : realRows) disp.push_back(r - FGridItems.LowerBound(r));
    // The grid keeps at least one row.
    const size_t k = std::min(disp.size(), size_t(std::max(0, RowCount() - 1)));
    if (k == 0) return;
    disp.resize(k);
    const TGridRect sel = Selection();
    std::vector<TGridItem> parked(k);
    for (size_t i = 0; i < k; ++i) {
        TGridItem& item = parked[i];
        item.SetIdx(realRows[i]);
        item.SetKind(kind);
        item.SetLevel(level);
        item.SetHeight(RowHeights(disp[i]));
        item.SetRow(TakeRow(disp[i]));
    }
    FGridItems.MergeOrdered(std::move(parked));
    // Close the gaps: every row still shown moves up over the parked ones
    // above it, with its height; the emptied rows at the end go.
    int dst = disp[0];
    size_t j = 0;
    for (int src = disp[0]; src < RowCount(); ++src) {
        if (j < k && disp[j] == src) {
            ++j;
            continue;
        }
        PutRow(dst, TakeRow(src));
        m_view.Rows.SetSize(dst, m_view.Rows.Size(src));
        ++dst;
    }
    TCustomGrid::DeleteRows(RowCount() - int(k), int(k));
    // A parked row's place goes to the next row shown.
    FollowSelection(sel, [&](int y) {
        return std::min(y - int(std::lower_bound(disp.begin(), disp.end(), y) - disp.begin()), RowCount() - 1);
    });
}

void TExtStringGrid::ShowScattered(const std::vector<int>& positions)
{
    const int k = int(positions.size());
    const int oldCount = RowCount();
    // Where each row lands: its real index less the rows still hidden above it.
    std::vector<int> target(static_cast<size_t>(k));
    for (int i = 0; i < k; ++i)
        target[size_t(i)] = std::min(FGridItems.Items(positions[size_t(i)]).Idx() - (positions[size_t(i)] - i), oldCount + i);
    const TGridRect sel = Selection();
    TCustomGrid::InsertRows(oldCount, k);
    // From the bottom up: the shown rows move down to make room, the parked
    // rows drop into their places.
    int src = oldCount - 1, dst = oldCount + k - 1;
    for (int i = k - 1; i >= 0; --i) {
        for (; dst > target[size_t(i)]; --src, --dst) {
            PutRow(dst, TakeRow(src));
            m_view.Rows.SetSize(dst, m_view.Rows.Size(src));
        }
        TGridItem& item = FGridItems.Items(positions[size_t(i)]);
        PutRow(dst, item.TakeRowData());
        m_view.Rows.SetSize(dst, item.Height() > 0 ? item.Height() : DefaultRowHeight());
        --dst;
    }
    FGridItems.DeleteAt(positions);
    // An old row y has every shown row whose place is not below it above it.
    FollowSelection(sel, [&](int y) {
        int before = 0;
        while (before < k && target[size_t(before)] - before <= y) ++before;
        return y + before;
    });
}

int TExtStringGrid::HideRealRows(std::vector<int> realRows, THiddenRowKind kind, int level)
{
    std::sort(realRows.begin(), realRows.end());
    realRows.erase(std::unique(realRows.begin(), realRows.end()), realRows.end());
    std::erase_if(realRows, [&](int r) { return r < 0 || IsHiddenRow(r) || DisplRowOf(r) >= RowCount(); });
    if (realRows.empty()) return 0;
    if (EditorMode()) HideEditor();
    const int before = NumHiddenRows();
    if (realRows.back() - realRows.front() + 1 == int(realRows.size())) {
        // One run of consecutive real rows: consecutive on screen too.
        ParkRun(realRows.front(), int(realRows.size()), kind, level);
    } else {
        ParkScattered(realRows, kind, level);
    }
    RowCountChangedBy();
    Invalidate();
    return NumHiddenRows() - before;
}

int TExtStringGrid::ShowHiddenRows(const std::function<bool(const TGridItem&)>& which)
{
    const int before = NumHiddenRows();
    std::vector<int> positions;
    for (int i = 0; i < FGridItems.Count(); ++i)
        if (which(FGridItems.Items(i))) positions.push_back(i);
    if (positions.empty()) return 0;
    if (EditorMode()) HideEditor();
    // One run of items (consecutive real rows) goes back as one block.
    const int n = int(positions.size());
    if (positions.back() - positions.front() + 1 == n &&
        FGridItems.Items(positions.back()).Idx() - FGridItems.Items(positions.front()).Idx() + 1 == n)
        ShowRun(positions.front(), n);
    else
        ShowScattered(positions);
    if (before != NumHiddenRows()) {
        RowCountChangedBy();
        Invalidate();
    }
    return before - NumHiddenRows();
}

void TExtStringGrid::HideRows(int fromRow, int toRow)
{
    fromRow = std::max(fromRow, 0);
    toRow = std::min(toRow, TotalRowCount() - 1);
    std::vector<int> rows;
    for (int r = fromRow; r <= toRow; ++r) rows.push_back(r);
    HideRealRows(std::move(rows), THiddenRowKind::hkHidden, 0);
}

void TExtStringGrid::HideRowsEx(int fromRow, int toRow)
{
    if (IsHiddenRow(fromRow)) return;
    HideRows(fromRow, toRow);
}

void TExtStringGrid::HideRowList(const TIntList& displRows)
{
    std::vector<int> rows;
    rows.reserve(size_t(displRows.Count()));
    for (int i = 0; i < displRows.Count(); ++i)
        if (const int d = displRows.Items(i); d >= 0 && d < RowCount()) rows.push_back(RealRowOf(d));
    HideRealRows(std::move(rows), THiddenRowKind::hkFilter, FFilterLevel);
    ++FFilterLevel;
}

bool TExtStringGrid::IsHiddenRow(int r, std::unique_ptr<TIntList>& listHidden) const
{
    if (!listHidden) {
        listHidden = std::make_unique<TIntList>(-1, -1);
        for (int i = 0; i < FGridItems.Count(); ++i) listHidden->Add(FGridItems.Items(i).Idx());
    }
    return listHidden->HasValue(r);
}

void TExtStringGrid::HideSelectedRows()
{
    // The rows are gathered first: hiding moves the rows below a hidden one
    // up, while flags kept by display row stay where they are.
    std::vector<int> rows;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (RowSelect(RowFlagIndex(r))) rows.push_back(RealRowOf(r));
    BeginUpdate();
    const auto done = qScopeGuard([this] { EndUpdate(); });
    HideRealRows(std::move(rows), THiddenRowKind::hkHidden, 0);
}

void TExtStringGrid::HideUnSelectedRows()
{
    std::vector<int> rows;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (!RowSelect(RowFlagIndex(r))) rows.push_back(RealRowOf(r));
    BeginUpdate();
    const auto done = qScopeGuard([this] { EndUpdate(); });
    HideRealRows(std::move(rows), THiddenRowKind::hkHidden, 0);
}

void TExtStringGrid::UnHideRows(int fromRow, int toRow)
{
    ShowHiddenRows([&](const TGridItem& i) {
        return i.Kind() == THiddenRowKind::hkHidden && i.Idx() >= fromRow && i.Idx() <= toRow;
    });
}

void TExtStringGrid::UnHideRowsAll()
{
    ShowHiddenRows([](const TGridItem& i) { return i.Kind() == THiddenRowKind::hkHidden; });
}

void TExtStringGrid::UnHideRowList()
{
    const int level = FFilterLevel - 1;
    ShowHiddenRows([&](const TGridItem& i) { return i.Kind() == THiddenRowKind::hkFilter && i.Level() == level; });
    if (Row() >= RowCount()) MoveColRow(FixedCols(), FixedRows(), true, false);
}

// ---------------------------------------------------------------------------
// Current row, top row, hidden selection

void TExtStringGrid::SetRow(int r)
{
    if (Col() < 0 || Col() >= ColCount()) MoveColRow(FixedCols(), r, true, true);
    TCustomGrid::SetRow(r);
    if (Row() != FOldRowSel && OnRowUpdate) {
        OnRowUpdate(this, FOldRowSel, Row());
        FOldRowSel = Row();
    }
    if (TStringGrid* other = FSyncGrid->Grid(); other && FSyncGrid->SelectionRow()) other->SetRow(Row());
}

void TExtStringGrid::SetTopRow(int r)
{
    if (r >= FixedRows() && r <= RowCount() - 1) TCustomGrid::SetTopRow(r);
}

void TExtStringGrid::HideSelection()
{
    if (!FSelHidden) {
        FOldSelection = Selection();
        FOldShowSel = ShowSel();
    }
    FSelHidden = true;
    SetShowSel(false);
    Invalidate();
}

void TExtStringGrid::UnHideSelection()
{
    const bool wasHidden = FSelHidden;
    FSelHidden = false;
    if (wasHidden) SetShowSel(FOldShowSel);
    if (FOldSelection.Top < RowCount() && FOldSelection.Left < ColCount()) {
        SetSelection(FOldSelection);
    } else {
        const int top = FFixedRowAlways && FixedRows() == RowCount() ? 0 : FixedRows();
        const int left = FFixedColAlways && FixedCols() == ColCount() ? 0 : FixedCols();
        SetSelection(TGridRect{left, top, left, top});
    }
    Invalidate();
}
