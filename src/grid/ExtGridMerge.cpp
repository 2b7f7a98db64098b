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

namespace {

// One line of cells: a column (down) or a row, at index `at`; the cell at
// position i along it.
struct TCellLine {
    TExtStringGrid& Grid;
    bool Down;
    int At;
    int Col(int i) const { return Down ? At : i; }
    int Row(int i) const { return Down ? i : At; }
};

// Runs of equal texts from first to last become merged ranges; without
// mainMerge only where neighbours already share their ranges.
void MergeLine(const TCellLine& l, int first, int last, bool mainMerge)
{
    TExtStringGrid& g = l.Grid;
    auto merge = [&](int start, int n) {
        if (n > 1) g.MergeCells(l.Col(start), l.Row(start), l.Down ? 1 : n, l.Down ? n : 1);
    };
    int start = first;
    int n = 1;
    for (int i = first + 1; i <= last; ++i) {
        const bool same = g.Cells(l.Col(i), l.Row(i)) == g.Cells(l.Col(i - 1), l.Row(i - 1));
        const bool nested = l.Down ? g.RowSpanIdentical(i, i - 1) : g.ColSpanIdentical(i, i - 1);
        if (same && (mainMerge || nested)) {
            ++n;
            continue;
        }
        merge(start, n);
        start = i;
        n = 1;
    }
    merge(start, n);
}

// Splits every range met along the line up to end (excluded). Down the
// line only ranges merged across rows count.
void SplitLine(const TCellLine& l, int end)
{
    TExtStringGrid& g = l.Grid;
    int i = 0;
    while (i < end) {
        const int c = l.Col(i), r = l.Row(i);
        if (l.Down ? g.IsYMergedCell(c, r) : g.IsMergedCell(c, r)) {
            const QPoint base = g.BaseCell(c, r);
            const QPoint span = g.CellSpan(base.x(), base.y());
            g.SplitCells(base.x(), base.y());
            i = (l.Down ? base.y() + span.y() : base.x() + span.x()) + 1;
        } else {
            ++i;
        }
    }
}

} // namespace

void TExtStringGrid::MergeColumnCells(int c, bool mainMerge)
{
    MergeLine(TCellLine{*this, true, c}, FixedRows(), RowCount() - FFixedFooters - 1, mainMerge);
}

void TExtStringGrid::MergeRowCells(int r, bool mainMerge)
{
    MergeLine(TCellLine{*this, false, r}, FixedCols(), ColCount() - FFixedRightCols - 1, mainMerge);
}

// The scans reach the last normal row and column.
void TExtStringGrid::SplitColumnCells(int c) { SplitLine(TCellLine{*this, true, c}, RowCount() - FFixedFooters); }

void TExtStringGrid::SplitRowCells(int r) { SplitLine(TCellLine{*this, false, r}, ColCount() - FFixedRightCols); }

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
