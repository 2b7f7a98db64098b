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
    FCellMeasurer = m ? std::move(m) : std::make_unique<TCellMeasurer>(*this);
}

TCellMeasurer& TExtStringGrid::CellMeasurer()
{
    if (!FCellMeasurer) FCellMeasurer = std::make_unique<TCellMeasurer>(*this);
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

QSize TCellMeasurer::GetCellGraphicSize(int, int) { return QSize(0, 0); }

QSize TCellMeasurer::CalcCellGraphicSize(int, int, int) { return QSize(0, 0); }
