// Sizing the string grid's columns and rows to their contents, through the
// grid's cell measurer, and to the grid's own width or height.
#include "grid/ExtGrid.h"

#include "controls/ExtUtil.h"

#include <QScopeGuard>
#include <cmath>

namespace {

bool IsCheckKind(TCellType t)
{
    using enum TCellType;
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRadioButton;
}

// Rounded to the nearest integer, halves to the even neighbour.
int RoundEven(double v) { return int(std::nearbyint(v)); }

// Width of the system's vertical scroll bar.
constexpr int ScrollBarWidth = 17;

} // namespace

// ---------------------------------------------------------------------------
// Columns

int TExtStringGrid::AutoSizeColumnInternal(int c, bool growOnly)
{
    TCellMeasurer& m = CellMeasurer();
    const int realc = RealColIndex(c);
    int first = 0, last = RowCount() - 1;
    switch (FColumnSize->Rows()) {
    case TAutoSizeRows::arAll: break;
    case TAutoSizeRows::arNormal:
        first = FixedRows();
        last = RowCount() - FFixedFooters - 1;
        break;
    case TAutoSizeRows::arFixed: last = FixedRows() - 1; break;
    }
    int widest = 0;
    for (int r = first; r <= last; ++r) {
        if (IsXMergedCell(realc, r)) continue;
        const QSize g = m.GetCellGraphicSize(realc, r);
        int w = g.width() + m.GetCellTextSize(realc, r, false).width();
        if (FControlLook->DropDownAlwaysVisible() && HasCombo(realc, r)) w += 16;
        if (FilterDropDownAuto() && r == FilterDropDownRow() && GetColumnFilter(realc)) w += 12;
        if (IsSortIndicatorCell(c, r) && c == FSortSettings->Column()) w += 10;
        if (const TCellGraphic* cg = GetCellGraphic(realc, r); cg && cg->CellHAlign == TCellHAlign::haFull)
            w = g.width() - (2 * GridLineWidth() + FXYOffset.x() + 2);
        widest = std::max(widest, w);
    }
    int width = widest + m.GetHorzTextOffset() + 2 * GridLineWidth() + 2;
    if (!growOnly || ColWidths(c) < width) {
        UpdateAutoColumnSize(c, width);
        SetColWidths(c, ClampToLimits(width, MinColWidth(), MaxColWidth()));
    }
    return ColWidths(c);
}

void TExtStringGrid::AutoSizeCol(int c, int padding)
{
    if (c < 0 || c >= ColCount()) return;
    AutoSizeColumnInternal(c, SizeGrowOnly());
    if (padding != 0) SetColWidths(c, ClampToLimits(ColWidths(c) + padding, MinColWidth(), MaxColWidth()));
}

void TExtStringGrid::AutoSizeColumns(bool doFixedCols, int padding)
{
    const int first = doFixedCols ? 0 : FixedCols();
    const int last = doFixedCols ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
    for (int c = first; c <= last; ++c) AutoSizeCol(c, padding);
}

// ---------------------------------------------------------------------------
// Rows

int TExtStringGrid::AutoSizeRowInternal(int r, bool growOnly, int padding)
{
    TCellMeasurer& m = CellMeasurer();
    int highest = 0;
    for (int c = 0; c < ColCount(); ++c) {
        const int realc = RealColIndex(c);
        if (IsYMergedCell(realc, r) || IsIgnoredColumn(realc)) continue;
        int th = m.GetCellTextSize(realc, r, WordWrap()).height();
        int gh = m.CalcCellGraphicSize(realc, r, padding).height();
        const TCellGraphic* g = GetCellGraphic(realc, r);
        const TCellType kind = g ? g->CellType : TCellType::ctNone;
        if (g && g->CellVAlign == TCellVAlign::vaFull) gh = th > 0 ? 0 : DefaultRowHeight();
        if ((kind == TCellType::ctDataCheckBox || kind == TCellType::ctVirtCheckBox) && gh > 0) th = 0;
        int h = th + gh;
        if (IsMergedNonBaseCell(realc, r)) h = 0;
        if (IsCheckKind(kind)) h = DefaultRowHeight();
        highest = std::max(highest, h);
    }
    int height = m.GetVertTextOffset() + highest + 2 * GridLineWidth();
    if (XYOffsetTopLeftOnly()) height += 2;
    if (!growOnly || RowHeights(r) < height) SetRowHeights(r, ClampToLimits(height, MinRowHeight(), MaxRowHeight()));
    return RowHeights(r);
}

void TExtStringGrid::AutoSizeRow(int r, int padding)
{
    if (r < 0 || r >= RowCount()) return;
    AutoSizeRowInternal(r, SizeGrowOnly(), padding);
    if (padding != 0) SetRowHeights(r, ClampToLimits(RowHeights(r) + padding, MinRowHeight(), MaxRowHeight()));
}

void TExtStringGrid::AutoSizeRowToLines(int r, int lines, int padding)
{
    const int h = CellMeasurer().GetCellLineHeight(FixedCols(), r);
    SetRowHeights(r, ClampToLimits(padding + lines * (h + h / 8), MinRowHeight(), MaxRowHeight()));
}

void TExtStringGrid::AutoSizeRows(bool doFixedRows, int padding)
{
    if (RowCount() == 0) return;
    const int first = doFixedRows ? 0 : FixedRows();
    ExportNotification(TGridExportState::esExportStart, first);
    for (int r = first; r < RowCount(); ++r) {
        ExportNotification(TGridExportState::esExportNextRow, r);
        if (WordWrap()) {
            AutoSizeRow(r, 0);
            if (padding != 0) SetRowHeights(r, ClampToLimits(RowHeights(r) + padding, MinRowHeight(), MaxRowHeight()));
        } else {
            AutoSizeRowToLines(r, CellMeasurer().MaxLinesInRow(r), padding);
        }
    }
    UpdateScrollBarAlways(true);
    ExportNotification(TGridExportState::esExportDone, -1);
}

// ---------------------------------------------------------------------------
// Cells, fitting and sizing to the contents

void TExtStringGrid::AutoSizeCells(bool doFixedCells, int paddingX, int paddingY)
{
    TCellMeasurer& m = CellMeasurer();
    BeginUpdate();
    const auto done = qScopeGuard([this] { EndUpdate(); });
    const int firstCol = doFixedCells ? 0 : FixedCols();
    const int firstRow = doFixedCells ? 0 : FixedRows();
    for (int c = firstCol; c < ColCount(); ++c) {
        const int realc = RealColIndex(c);
        int w = SizeGrowOnly() ? ColWidths(c) : 0;
        for (int r = firstRow; r < RowCount(); ++r) {
            const int h = RowHeights(r);
            const QSize g = m.GetCellGraphicSize(realc, r);
            const QSize t = m.GetCellTextSize(realc, r, WordWrap());
            const int tw = t.width() + g.width() + paddingX + FXYOffset.x();
            const int th = t.height() + g.height() + paddingY + FXYOffset.y();
            if (!IsXMergedCell(realc, r) && tw > w) {
                if (const int d = ClampToLimits(tw, MinColWidth(), MaxColWidth()); d > w) {
                    SetColWidths(c, d);
                    w = d;
                }
            }
            if (!IsYMergedCell(realc, r) && th > h) {
                if (const int d = ClampToLimits(th, MinRowHeight(), MaxRowHeight()); d > h) SetRowHeights(r, d);
            }
        }
    }
}

void TExtStringGrid::AutoFitColumns(bool doFixedCells)
{
    const bool vertBar = FScrollBarAlways == TScrollBarAlways::saVert ||
                         (ScrollBars() != TScrollStyle::ssNone && VisibleRowCount() + FixedRows() < RowCount());
    const int sb = vertBar ? ScrollBarWidth : 0;
    const int bw = 0; // the grid draws no border of its own
    const int first = doFixedCells ? 0 : FixedCols();
    const int last = doFixedCells ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
    if (last < first) return;
    int room = Width();
    if (!doFixedCells) {
        for (int c = 0; c < ColCount(); ++c)
            if (c < first || c > last) room -= ColWidths(c);
    }
    int lines = HasOption(goVertLine) ? GridLineWidth() * (ColCount() - FixedCols() - FFixedRightCols) : 0;
    if (HasOption(goFixedVertLine) && doFixedCells) lines += FixedCols() + FFixedRightCols;
    const int target = room - sb - bw;

    if (ColCount() < 2) {
        SetColWidths(0, Width() - (sb + 5));
    } else {
        int sum = 0;
        for (int c = first; c <= last; ++c) sum += ColWidths(c);
        // Nothing to share out: no widths to scale, or the room is filled.
        if (sum == 0 || sum == target) return;
        const double factor = double(target - lines) / sum;
        int total = 0;
        for (int c = first; c <= last; ++c) total += RoundEven(ColWidths(c) * factor);
        for (int c = first; c <= last; ++c) SetColWidths(c, RoundEven(double(ColWidths(c)) * total / sum));
    }
    int newSum = 0;
    for (int c = first; c <= last; ++c) newSum += ColWidths(c);
    int rest = target - newSum;
    const int n = last - first + 1;
    if (n < rest && n > 1) {
        for (int c = first; c <= last; ++c) SetColWidths(c, ColWidths(c) + rest / n);
        rest %= n;
    }
    int widest = first;
    for (int c = first + 1; c <= last; ++c)
        if (ColWidths(c) > ColWidths(widest)) widest = c;
    SetColWidths(widest, ColWidths(widest) + rest);
}

void TExtStringGrid::SizeToCols()
{
    int w = 0;
    for (int c = 0; c < ColCount(); ++c) w += ColWidths(c);
    SetWidth(w);
}

void TExtStringGrid::SizeToRows()
{
    int h = 0;
    for (int r = 0; r < RowCount(); ++r) h += RowHeights(r);
    SetHeight(h);
}

void TExtStringGrid::SizeToCells()
{
    const TScrollStyle bars = ScrollBars();
    SetScrollBars(TScrollStyle::ssNone);
    SizeToCols();
    SizeToRows();
    SetScrollBars(bars);
}
