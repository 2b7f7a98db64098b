// The grid base's cell painter: PlanCell decides, ExecuteCellPlan draws.
#include "controls/BaseGrid.h"
#include "controls/ExtUtilDraw.h"

#include <algorithm>

using enum TGridSelectionStyle;

namespace {

// colour, colour to, mirror, mirror to, top line, bottom line, frame, corner
constexpr TColor kVista[8] = {0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB};
constexpr TColor kWin7[8] = {0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE};
constexpr TColor kOffice2007[8] = {0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF, 0x8DD7D3, 0xC3D9DF};
// Whatever the style, a grid without the focus shows this set.
constexpr TColor kGrey[8] = {0xF8F8F8, 0xE5E5E5, clNone, clNone, 0xFBFAFA, 0xF0F0F0, 0xD9D9D9, 0xEFEFEF};

} // namespace

void TBaseGrid::Paint(TCanvas& canvas)
{
    TObjStringGrid::Paint(canvas);
    ++FPaintID;
}

void TBaseGrid::DrawCell(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state)
{
    PaintCellPrivate(canvas, c, r, rect, state, true);
}

void TBaseGrid::PaintCell(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state)
{
    PaintCellPrivate(canvas, c, r, rect, state, true);
}

void TBaseGrid::PaintCellExt(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state)
{
    PaintCellPrivate(canvas, c, r, rect, state, false);
}

void TBaseGrid::PaintLastRowCell(TCanvas& canvas, int c, const TRect& rect, TGridDrawState state)
{
    const bool was = FPaintingLastRow;
    FPaintingLastRow = true;
    PaintCellPrivate(canvas, c, RowCount() - 1, rect, state, true);
    FPaintingLastRow = was;
}

void TBaseGrid::DrawCellContent(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state)
{
    TRect tr = rect;
    canvas.SetBkMode(TBkMode::Transparent);
    canvas.DrawText(Cells(c, r), tr, tfCenter | tfVCenter | tfSingleLine | tfNoPrefix);
}

TBaseCellPlan TBaseGrid::PlanCell(int c, int r, const TRect& cellRect, TGridDrawState state, TColor brushColor,
                                  TColor /*fontColor*/, bool withContent)
{
    TBaseCellPlan plan;
    plan.Rect = cellRect;
    plan.WithContent = withContent;
    // 1. The hidden last row is painted over in the grid's colour.
    if (r == RowCount() - 1 && FHideLastRow && !FPaintingLastRow) {
        plan.Kind = TBaseCellPlan::ckHiddenRow;
        plan.FillColor = Color;
        return plan;
    }
    // 2. A merged range is painted once per pass, whole, by the first of its
    // cells the paint reaches.
    if (const TCellProperties* props = CellPropsOrNull(c, r)) {
        if (!props->IsBaseCell() && props->CellSpanX() != -1 && props->CellSpanY() != -1) {
            const QPoint b = props->BaseCell(c, r);
            const TCellProperties* bp = CellPropsOrNull(b.x(), b.y());
            plan.Kind = bp && bp->PaintID() != FPaintID ? TBaseCellPlan::ckBaseCell : TBaseCellPlan::ckSkip;
            plan.BaseCell = b;
            return plan;
        }
        if (withContent && InPaint() && IsMergedCell(c, r) && props->PaintID() == FPaintID) {
            plan.Kind = TBaseCellPlan::ckSkip;
            return plan;
        }
    }
    // 3. Cells the grid treats as fixed; the rectangle of the whole range.
    // The hidden last row is painted on another surface (the footer strip):
    // there the caller's rectangle holds, never the row's place in the grid.
    if (IsFixed(c, r) && withContent) state = state.With(gdFixed).Without(gdSelected);
    TRect rect = withContent && !FPaintingLastRow ? CellRect(c, r) : cellRect;
    plan.Rect = rect;
    plan.State = state;
    // 4. A scrolled range never paints over the fixed cells (which are not
    // on the footer strip).
    const bool fixedCol = c < FixedCols(), fixedRow = r < FixedRows();
    const int fcw = FixedColsWidth(), frh = FixedRowsHeight();
    if (!FPaintingLastRow && ((!fixedCol && FixedCols() > 0 && rect.Left < fcw) || (!fixedRow && FixedRows() > 0 && rect.Top < frh))) {
        plan.Clip = true;
        plan.ClipRect = {fcw, frh, ClientWidth(), ClientHeight()};
    }
    // 5. The visual properties: the brush as the platform set it for the
    // state, the font the grid's own (with its colour).
    TVisualProperties vp;
    vp.Brush.Color = brushColor;
    vp.Font.Font = Font;
    vp.Font.Color = FontColor;
    vp.WordWrap = FWordWrap;
    vp.State = state;
    vp.Print = false;
    vp.Select = true;
    vp.Remap = true;
    GetVisualProperties(c, r, vp);
    state = vp.State;
    plan.State = state;
    TCellBrush& brush = vp.Brush;
    TColor& colorTo = vp.ColorTo;
    TColor& mirror = vp.MirrorColor;
    TColor& mirrorTo = vp.MirrorColorTo;
    TCellGradientDirection& gd = vp.GradientDir;
    const TCellFont& font = vp.Font;
    // The hook may have changed the state: the rest follows what it left.
    const bool fixed = state.Contains(gdFixed);
    const bool selected = state.Contains(gdSelected);
    // 6. The hovered row.
    if (r == FHoverRowIdx && FHoverRow && !(selected && !FHoverRowCells.Contains(hcSelected)) &&
        !(fixed && !FHoverRowCells.Contains(hcFixed))) {
        brush.Color = FHoverRowColor;
        colorTo = FHoverRowColorTo;
        mirror = mirrorTo = clNone;
        gd = GradientVertical;
    }
    // 7. The active (current) row.
    if ((FActiveRowShow && r == Row() && !fixedCol && (c != Col() || !FShowSel)) || (!withContent && selected)) {
        brush.Color = FActiveRowColor;
        colorTo = FActiveRowColorTo;
        mirror = FActiveRowMirrorColor;
        mirrorTo = FActiveRowMirrorColorTo;
    }
    plan.FillColor = brush.Color;
    plan.ColorTo = colorTo;
    plan.MirrorColor = mirror;
    plan.MirrorColorTo = mirrorTo;
    plan.Horizontal = gd == GradientHorizontal;
    // 8. Background.
    if (selected && FSelectionStyle != ssDefault && FShowSel) {
        const TGridRect sel = Selection();
        plan.Background = TBaseCellPlan::bgSelectionFace;
        plan.FacePlace = bpSingle;
        if (sel.Right > sel.Left) plan.FacePlace = c == sel.Left ? bpLeft : c == sel.Right ? bpRight : bpMiddle;
        plan.FaceRect = rect;
        if (!HasOption(goHorzLine)) plan.FaceRect.Bottom += 1;
        if (!HasOption(goVertLine)) plan.FaceRect.Right += 1;
        const TColor* face = kGrey;
        if (Focused() || HasOption(goDrawFocusSelected))
            face = FSelectionStyle == ssVista ? kVista : FSelectionStyle == ssWin7 ? kWin7 : kOffice2007;
        std::copy(face, face + 8, plan.Face);
    } else if (UseStyleElements() && (fixed || selected)) {
        plan.Background = TBaseCellPlan::bgNone;
    } else {
        plan.Background = mirrorTo == clNone ? TBaseCellPlan::bgGradient : TBaseCellPlan::bgMirror;
    }
    // 9. Grid lines, inside the cell at its right and bottom edge.
    plan.LineWidth = fixed ? 1 : FGridLineWidth;
    const int h = fixed ? 1 : (FGridLineWidth + 1) / 2;
    plan.LineColor = fixed ? FGridFixedLineColor : FGridLineColor;
    if (plan.LineWidth > 0) {
        plan.HorzLine = (BaseCell(c, r).x() != 0 || !HasNodes()) && HasOption(fixed ? goFixedHorzLine : goHorzLine);
        plan.HorzFrom = QPoint(rect.Left - h + 1, rect.Bottom - h);
        plan.HorzTo = QPoint(rect.Right - h + 1, rect.Bottom - h);
        plan.VertLine = HasOption(fixed ? goFixedVertLine : goVertLine);
        plan.VertFrom = QPoint(rect.Right - h, rect.Bottom - h);
        plan.VertTo = QPoint(rect.Right - h, rect.Top - h);
    }
    // 10. Content.
    plan.ContentRect = fixed ? TRect{rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 2}
                             : rect.Inflated(-FGridLineWidth, -FGridLineWidth);
    plan.Font = font;
    return plan;
}

void TBaseGrid::ExecuteCellPlan(TCanvas& canvas, int c, int r, const TBaseCellPlan& plan)
{
    if (plan.Clip) {
        canvas.Save();
        canvas.IntersectClipRect(plan.ClipRect);
    }
    canvas.SetPenWidth(1);
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(plan.FillColor);
    canvas.SetPenColor(plan.FillColor);
    switch (plan.Background) {
    case TBaseCellPlan::bgSelectionFace:
        DrawBevelTabFace(canvas, plan.Face[0], plan.Face[1], plan.Face[2], plan.Face[3], plan.Face[4], plan.Face[5],
                         plan.Face[6], plan.Face[7], Color, plan.FaceRect, plan.FacePlace);
        break;
    case TBaseCellPlan::bgGradient:
        FillGradientRect(canvas, plan.FillColor, plan.ColorTo, plan.Horizontal, plan.Rect, 64);
        break;
    case TBaseCellPlan::bgMirror:
        DrawMirrorGradient(canvas, plan.Rect, plan.FillColor, true, false, clNone, true, plan.MirrorColorTo,
                           plan.MirrorColor, plan.ColorTo);
        break;
    case TBaseCellPlan::bgNone: break;
    }
    if (plan.HorzLine || plan.VertLine) {
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(plan.LineColor);
        canvas.SetPenWidth(plan.LineWidth);
        if (plan.HorzLine) {
            canvas.MoveTo(plan.HorzFrom.x(), plan.HorzFrom.y());
            canvas.LineTo(plan.HorzTo.x(), plan.HorzTo.y());
        }
        if (plan.VertLine) {
            canvas.MoveTo(plan.VertFrom.x(), plan.VertFrom.y());
            canvas.LineTo(plan.VertTo.x(), plan.VertTo.y());
        }
        canvas.SetPenWidth(1);
    }
    if (plan.WithContent) {
        canvas.SetFont(plan.Font.Font);
        canvas.SetFontColor(plan.Font.Color);
        canvas.SetBrushColor(plan.FillColor);
        DrawCellContent(canvas, c, r, plan.ContentRect, plan.State);
    }
    if (plan.Clip) canvas.Restore();
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetPenStyle(TPenStyle::Solid);
}

void TBaseGrid::PaintCellPrivate(TCanvas& canvas, int c, int r, TRect rect, TGridDrawState state, bool withContent)
{
    const TBaseCellPlan plan = PlanCell(c, r, rect, state, canvas.BrushColor(), canvas.FontColor(), withContent);
    switch (plan.Kind) {
    case TBaseCellPlan::ckHiddenRow:
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(plan.FillColor);
        canvas.FillRect(plan.Rect);
        return;
    case TBaseCellPlan::ckSkip: return;
    case TBaseCellPlan::ckBaseCell:
        // The base cell's own pass below marks the range as painted.
        PaintCell(canvas, plan.BaseCell.x(), plan.BaseCell.y(), rect, state);
        return;
    case TBaseCellPlan::ckCell: break;
    }
    if (withContent && IsMergedCell(c, r))
        if (TCellProperties* p = CellPropsOrNull(c, r)) p->SetPaintID(FPaintID);
    ExecuteCellPlan(canvas, c, r, plan);
}
