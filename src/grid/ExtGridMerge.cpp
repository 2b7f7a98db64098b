// Repainting and hit testing of the string grid, merging runs of equal
// cells, the rotated-text cell graphic and two cell queries.
#include "grid/ExtGrid.h"

#include <cstdlib>

// ---------------------------------------------------------------------------
// Repainting, scrolling into view, hit testing

namespace {
TRect UnionRect(const TRect& a, const TRect& b)
{
    return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::max(a.Bottom, b.Bottom)};
}
} // namespace

void TExtStringGrid::RepaintRect(const TGridRect& r)
{
    if (r.Left < 0 || r.Top < 0 || r.Right < 0 || r.Bottom < 0) return;
    const TRect a = CellRect(r.Left, r.Top);
    const TRect b = CellRect(std::min(VisibleColCount() + FixedCols(), r.Right), r.Bottom);
    if (a.IsEmpty() || b.IsEmpty())
        Invalidate();
    else
        InvalidateRect(UnionRect(a, b));
}

void TExtStringGrid::RepaintRow(int r)
{
    const TRect a = CellRect(0, r);
    const TRect b = CellRect(VisibleColCount() + LeftCol(), r);
    InvalidateRect(TRect{a.Left, b.Top, b.Right, b.Bottom});
}

void TExtStringGrid::RepaintCol(int c)
{
    const TRect a = CellRect(c, TopRow());
    const TRect b = CellRect(c, TopRow() + VisibleRowCount());
    InvalidateRect(TRect{b.Left, a.Top, b.Right, b.Bottom});
}

void TExtStringGrid::ScrollInView(int c, int r)
{
    if (c >= ColCount() || r >= RowCount()) return;
    int left = LeftCol();
    int top = TopRow();
    if (c < LeftCol() || c >= LeftCol() + VisibleColCount()) {
        SetCol(c);
        left = std::max(c - VisibleColCount() / 2, FixedCols());
    }
    if (r < TopRow() || r >= TopRow() + VisibleRowCount()) {
        SetRow(r);
        top = std::max(r - VisibleRowCount() / 2, FixedRows());
    }
    left = std::min(left, ColCount() - VisibleColCount() + 1);
    if (FixedCols() + VisibleColCount() < ColCount()) SetLeftCol(left);
    top = std::min(top, RowCount() - VisibleRowCount() + 1);
    if (FixedRows() + VisibleRowCount() >= RowCount()) return;
    SetTopRow(top);
}

bool TExtStringGrid::IsOnSizingBorder(int x, int y)
{
    const TGridCoord cell = MouseCoord(x, y);
    if (cell.X < 0 || cell.Y < 0) return false;
    const TRect rect = CellRect(cell.X, cell.Y);
    bool on = false;
    if (cell.Y <= FixedRows() && HasOption(goColSizing))
        on = std::abs(x - rect.Left) < 4 || std::abs(x - rect.Right) < 4;
    if (cell.X <= FixedCols() && HasOption(goRowSizing))
        on = std::abs(y - rect.Top) < 4 || std::abs(y - rect.Bottom) < 4;
    return on;
}

// ---------------------------------------------------------------------------
// Merging equal cells

void TExtStringGrid::MergeColumnCells(int c, bool mainMerge)
{
    int start = FixedRows();
    int n = 1;
    const int last = RowCount() - FFixedFooters - 1;
    for (int r = FixedRows() + 1; r <= last; ++r) {
        if (Cells(c, r) == Cells(c, r - 1) && (mainMerge || RowSpanIdentical(r, r - 1))) {
            ++n;
            continue;
        }
        if (n > 1) MergeCells(c, start, 1, n);
        start = r;
        n = 1;
    }
    if (n > 1) MergeCells(c, start, 1, n);
}

void TExtStringGrid::MergeRowCells(int r, bool mainMerge)
{
    int start = FixedCols();
    int n = 1;
    const int last = ColCount() - FFixedRightCols - 1;
    for (int c = FixedCols() + 1; c <= last; ++c) {
        if (Cells(c, r) == Cells(c - 1, r) && (mainMerge || ColSpanIdentical(c, c - 1))) {
            ++n;
            continue;
        }
        if (n > 1) MergeCells(start, r, n, 1);
        start = c;
        n = 1;
    }
    if (n > 1) MergeCells(start, r, n, 1);
}

// The scans reach the last normal row and column.
void TExtStringGrid::SplitColumnCells(int c)
{
    int r = 0;
    while (r < RowCount() - FFixedFooters) {
        if (IsYMergedCell(c, r)) {
            const QPoint base = BaseCell(c, r);
            const int span = CellSpan(base.x(), base.y()).y();
            SplitCells(base.x(), base.y());
            r = base.y() + span + 1;
        } else {
            ++r;
        }
    }
}

void TExtStringGrid::SplitRowCells(int r)
{
    int c = 0;
    while (c < ColCount() - FFixedRightCols) {
        if (IsMergedCell(c, r)) {
            const QPoint base = BaseCell(c, r);
            const int span = CellSpan(base.x(), base.y()).x();
            SplitCells(base.x(), base.y());
            c = base.x() + span + 1;
        } else {
            ++c;
        }
    }
}

void TExtStringGrid::SplitAllCells()
{
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (IsMergedCell(c, r)) SplitCells(c, r);
}

// ---------------------------------------------------------------------------
// Rotated text

void TExtStringGrid::SetRotated(int c, int r, int angle)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g) {
        auto fresh = std::make_unique<TCellGraphic>();
        g = fresh.get();
        SetGraphicObjectEx(c, r, std::move(fresh));
    }
    g->CellType = TCellType::ctRotated;
    g->CellAngle = ((angle % 360) + 360) % 360;
    RepaintCell(c, r);
}

void TExtStringGrid::AddRotated(int c, int r, int angle, const QString& s)
{
    SetGraphicObjectEx(c, r, std::make_unique<TCellGraphic>());
    SetRotated(c, r, angle);
    SetCells(c, r, s);
}

void TExtStringGrid::RemoveRotated(int c, int r)
{
    if (GetCellType(c, r) != TCellType::ctRotated) return;
    SetGraphicObjectEx(c, r, nullptr);
    RepaintCell(c, r);
}

bool TExtStringGrid::IsRotated(int c, int r, int& angle)
{
    if (GetCellType(c, r) != TCellType::ctRotated) return false;
    if (const TCellGraphic* g = GetCellGraphic(c, r)) angle = g->CellAngle;
    return true;
}

// ---------------------------------------------------------------------------
// Queries

bool TExtStringGrid::IsCell(const QString& subStr, int& c, int& r)
{
    for (int row = 0; row < RowCount(); ++row)
        for (int col = 0; col < ColCount(); ++col)
            if (GridCells(col, row) == subStr) {
                c = col;
                r = row;
                return true;
            }
    return false;
}

bool TExtStringGrid::IsWideCell(int c, int r) { return Cells(c, r).startsWith(QLatin1String("|\\")); }
