// The grid base's cell painter.
#include "controls/BaseGrid.h"
#include "controls/ExtUtilDraw.h"

namespace {

struct SelectionFace {
    TColor color, colorTo, mirror, mirrorTo, topLine, bottomLine, frame, corner;
};

const SelectionFace kVista{0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB};
const SelectionFace kWin7{0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE};
const SelectionFace kOffice2007{0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF, 0x8DD7D3, 0xC3D9DF};
// Whatever the style, a grid without the focus shows this set.
const SelectionFace kGrey{0xF8F8F8, 0xE5E5E5, clNone, clNone, 0xFBFAFA, 0xF0F0F0, 0xD9D9D9, 0xEFEFEF};

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

void TBaseGrid::DrawCellContent(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state)
{
    TRect tr = rect;
    canvas.SetBkMode(TBkMode::Transparent);
    canvas.DrawText(Cells(c, r), tr, tfCenter | tfVCenter | tfSingleLine | tfNoPrefix);
}

void TBaseGrid::PaintCellPrivate(TCanvas& canvas, int c, int r, TRect rect, TGridDrawState state, bool withContent)
{
    // 1. The hidden last row is painted over in the grid's colour.
    if (r == RowCount() - 1 && FHideLastRow) {
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(Color);
        canvas.FillRect(rect);
        return;
    }
    // 2. A merged range is painted once per pass, whole, by the first of its
    // cells the paint reaches.
    if (TCellProperties* props = CellPropsOrNull(c, r)) {
        if (!props->IsBaseCell() && props->CellSpanX() != -1 && props->CellSpanY() != -1) {
            const QPoint b = props->BaseCell(c, r);
            TCellProperties* bp = CellPropsOrNull(b.x(), b.y());
            // The base cell's own test below marks the range as painted.
            if (bp && bp->PaintID() != FPaintID) PaintCell(canvas, b.x(), b.y(), rect, state);
            return;
        }
        if (withContent && IsMergedCell(c, r)) {
            // The base cell itself: once per pass as well.
            if (props->PaintID() == FPaintID && InPaint()) return;
            props->SetPaintID(FPaintID);
        }
    }
    // 3. Cells the grid treats as fixed; the rectangle of the whole range.
    if (IsFixed(c, r) && withContent) state = state.With(gdFixed).Without(gdSelected);
    if (withContent) rect = CellRect(c, r);
    // 4. A scrolled range never paints over the fixed cells.
    const bool fixedCol = c < FixedCols(), fixedRow = r < FixedRows();
    const int fcw = FixedColsWidth(), frh = FixedRowsHeight();
    bool clipped = false;
    if ((!fixedCol && FixedCols() > 0 && rect.Left < fcw) || (!fixedRow && FixedRows() > 0 && rect.Top < frh)) {
        canvas.Save();
        canvas.IntersectClipRect({fcw, frh, ClientWidth(), ClientHeight()});
        clipped = true;
    }
    // 5. The visual properties, starting from the canvas as the platform set
    // it up for the cell's state.
    const bool fixed = state.Contains(gdFixed);
    const bool selected = state.Contains(gdSelected);
    canvas.SetPenWidth(1);
    TCellBrush brush;
    brush.Color = canvas.BrushColor();
    TCellFont font;
    font.Font = Font;
    font.Color = canvas.FontColor();
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TCellGradientDirection gd = GradientVertical;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = FWordWrap;
    GetVisualProperties(c, r, state, false, true, true, brush, colorTo, mirror, mirrorTo, font, ha, va, ww, gd);
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
    canvas.SetBrushColor(brush.Color);
    canvas.SetPenColor(brush.Color);
    // 8. Background.
    if (selected && FSelectionStyle != ssDefault && FShowSel) {
        const TGridRect sel = Selection();
        int place = bpSingle;
        if (sel.Right > sel.Left) place = c == sel.Left ? bpLeft : c == sel.Right ? bpRight : bpMiddle;
        TRect wide = rect;
        if (!HasOption(goHorzLine)) wide.Bottom += 1;
        if (!HasOption(goVertLine)) wide.Right += 1;
        const SelectionFace* f = &kGrey;
        if (Focused() || HasOption(goDrawFocusSelected))
            f = FSelectionStyle == ssVista ? &kVista : FSelectionStyle == ssWin7 ? &kWin7 : &kOffice2007;
        DrawBevelTabFace(canvas, f->color, f->colorTo, f->mirror, f->mirrorTo, f->topLine, f->bottomLine, f->frame,
                         f->corner, Color, wide, place);
        // The faces are light: the text keeps the normal colour.
        if (font.Color == clHighlightText) font.Color = FontColor;
    } else if (!(UseStyleElements() && (fixed || selected))) {
        if (mirrorTo == clNone)
            FillGradientRect(canvas, brush.Color, colorTo, gd == GradientHorizontal, rect, 64);
        else
            DrawMirrorGradient(canvas, rect, brush.Color, true, false, clNone, true, mirrorTo, mirror, colorTo);
    }
    // 9. Grid lines, drawn inside the cell at its right and bottom edge.
    int lw = 1, h = 1;
    TColor lineColor = FGridFixedLineColor;
    if (!fixed) {
        lw = FGridLineWidth;
        h = (FGridLineWidth + 1) / 2;
        lineColor = FGridLineColor;
    }
    if (lw > 0) {
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(lineColor);
        canvas.SetPenWidth(lw);
        if ((BaseCell(c, r).x() != 0 || !HasNodes()) && HasOption(fixed ? goFixedHorzLine : goHorzLine)) {
            canvas.MoveTo(rect.Left - h + 1, rect.Bottom - h);
            canvas.LineTo(rect.Right - h + 1, rect.Bottom - h);
        }
        if (HasOption(fixed ? goFixedVertLine : goVertLine)) {
            canvas.MoveTo(rect.Right - h, rect.Bottom - h);
            canvas.LineTo(rect.Right - h, rect.Top - h);
        }
        canvas.SetPenWidth(1);
    }
    // 10. Content.
    const TRect content = fixed ? TRect{rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 2}
                                : rect.Inflated(-FGridLineWidth, -FGridLineWidth);
    if (withContent) {
        canvas.SetFont(font.Font);
        canvas.SetFontColor(font.Color);
        canvas.SetBrushColor(brush.Color);
        DrawCellContent(canvas, c, r, content, state);
    }
    // 11.
    if (clipped) canvas.Restore();
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetPenStyle(TPenStyle::Solid);
}
