// The grid base's cell painter.
#include "controls/BaseGrid.h"

#include <QPainter>
#include <cmath>

// Drawing routines of the painter. They draw what the control library's
// gradient and selection-face routines draw, on a QPainter.
namespace {

// A horizontal or vertical line from (x1, y1) to (x2, y2), the end point
// excluded, one pixel wide.
void Line(QPainter& p, int x1, int y1, int x2, int y2, const QColor& c)
{
    if (y1 == y2) {
        if (x2 < x1) std::swap(x1, x2);
        if (x2 > x1) p.fillRect(QRect(x1, y1, x2 - x1, 1), c);
    } else if (x1 == x2) {
        if (y2 < y1) std::swap(y1, y2);
        if (y2 > y1) p.fillRect(QRect(x1, y1, 1, y2 - y1), c);
    }
}

void Pixel(QPainter& p, int x, int y, const QColor& c)
{
    p.fillRect(QRect(x, y, 1, 1), c);
}

// Stepped two-colour gradient over r.
void FillGradientRect(QPainter& p, TColor from, TColor to, bool horizontal, const QRect& r, int steps)
{
    if (r.height() <= 0 || r.width() <= 0) return;
    if (from == clNone || to == clNone) {
        const TColor c = from == clNone ? to : from;
        if (c != clNone) p.fillRect(r, ColorToQColor(c));
        return;
    }
    const int L = (horizontal ? r.width() : r.height()) - 1;
    if (L <= 0) {
        p.fillRect(r, ColorToQColor(from));
        return;
    }
    steps = std::max(1, std::min(steps, L));
    const double e = double(L) / steps;
    const TColor f = ColorToRGB(from), t = ColorToRGB(to);
    const int fr = GetRValue(f), fg = GetGValue(f), fb = GetBValue(f);
    const int dr = GetRValue(t) - fr, dg = GetGValue(t) - fg, db = GetBValue(t) - fb;
    const int total = horizontal ? r.width() : r.height();
    for (int i = 0; i <= steps; ++i) {
        const QColor c(fr + int(std::lround(double(i) * dr / steps)), fg + int(std::lround(double(i) * dg / steps)),
                       fb + int(std::lround(double(i) * db / steps)));
        const int start = int(i * e);
        const int len = std::min(int(e + 1), total - start);
        if (len <= 0) continue;
        if (horizontal)
            p.fillRect(QRect(r.left() + start, r.top(), len, r.height()), c);
        else
            p.fillRect(QRect(r.left(), r.top() + start, r.width(), len), c);
    }
}

// Solid fill, one gradient, or two gradients in the top and bottom halves.
void DrawMirrorGradient(QPainter& p, const QRect& r, TColor color, TColor colorTo, TColor mirror, TColor mirrorTo)
{
    if (color == clNone) return;
    if (mirror == clNone) {
        if (colorTo == clNone)
            p.fillRect(r, ColorToQColor(color));
        else
            FillGradientRect(p, color, colorTo, false, r, 128);
        return;
    }
    const int half = r.height() / 2;
    FillGradientRect(p, color, colorTo, false, QRect(r.left(), r.top(), r.width(), half), 128);
    FillGradientRect(p, mirror, mirrorTo, false, QRect(r.left(), r.top() + half, r.width(), r.height() - half), 128);
}

struct SelectionFace {
    TColor color, colorTo, mirror, mirrorTo, topLine, bottomLine, frame, corner;
};

// The bevelled face of a selected cell; part 0 single cell, 1 left end,
// 2 right end, 3 middle.
void DrawBevelTabFace(QPainter& p, const SelectionFace& f, TColor cornerBackground, const QRect& rect, int part)
{
    const int L = rect.left(), T = rect.top();
    const int R = rect.left() + rect.width() - 1, B = rect.top() + rect.height() - 2;
    const int mid = T + (B - T) / 2;
    const bool left = part == 0 || part == 1, right = part == 0 || part == 2;
    const QColor top = ColorToQColor(f.topLine), bottom = ColorToQColor(f.bottomLine);
    const QColor frame = ColorToQColor(f.frame), corner = ColorToQColor(f.corner);
    const QColor bg = ColorToQColor(cornerBackground);
    int insetL = 2, insetR = 2;
    if (part == 1 || part == 3) insetR = 0;
    if (part == 2 || part == 3) insetL = 0;
    // Face first, lines over it.
    const QRect face(L + insetL, T + 2, (R - insetR) - (L + insetL), (B - 1) - (T + 2));
    if (f.colorTo == clNone)
        p.fillRect(face, ColorToQColor(f.color));
    else if (f.mirror == clNone)
        FillGradientRect(p, f.color, f.colorTo, false, face, 16);
    else {
        FillGradientRect(p, f.color, f.colorTo, false, QRect(face.left(), face.top(), face.width(), mid - face.top()), 16);
        FillGradientRect(p, f.mirror, f.mirrorTo, false, QRect(face.left(), mid, face.width(), face.bottom() + 1 - mid), 16);
    }
    Line(p, L, T + 1, R, T + 1, top);
    if (left) Line(p, L + 1, T + 1, L + 1, mid, top);
    if (right) Line(p, R - 2, T + 1, R - 2, mid, top);
    Line(p, L, B - 1, R, B - 1, bottom);
    if (left) Line(p, L + 1, mid, L + 1, B - 1, bottom);
    if (right) Line(p, R - 2, mid, R - 2, B - 1, bottom);
    Line(p, L + insetL, T, R - insetR, T, frame);
    Line(p, L + insetL, B, R - insetR, B, frame);
    if (right) Line(p, R - 1, T + 2, R - 1, B - 1, frame);
    if (left) Line(p, L, T + 2, L, B - 1, frame);
    auto corners = [&](int inner, int outer) {
        Pixel(p, inner, T, corner);
        Pixel(p, inner, T + 1, corner);
        Pixel(p, outer, T + 1, corner);
        Pixel(p, inner, B, corner);
        Pixel(p, inner, B - 1, corner);
        Pixel(p, outer, B - 1, corner);
        Pixel(p, outer, T, bg);
        Pixel(p, outer, B, bg);
    };
    if (left) corners(L + 1, L);
    if (right) corners(R - 2, R - 1);
}

const SelectionFace kVista{0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB};
const SelectionFace kWin7{0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE};
const SelectionFace kOffice2007{0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF, 0x8DD7D3, 0xC3D9DF};
const SelectionFace kGrey{0xF8F8F8, 0xE5E5E5, clNone, clNone, 0xFBFAFA, 0xF0F0F0, 0xD9D9D9, 0xEFEFEF};

// A band of `width` pixels along a line; h as the painter computes it.
void GridLine(QPainter& p, int x1, int y1, int x2, int y2, int width, const QColor& c)
{
    const int off = width / 2;
    if (y1 == y2) {
        if (x2 > x1) p.fillRect(QRect(x1, y1 - off, x2 - x1, width), c);
    } else {
        if (y1 > y2) std::swap(y1, y2);
        if (y2 > y1) p.fillRect(QRect(x1 - off, y1, width, y2 - y1), c);
    }
}

} // namespace

void TBaseGrid::Paint(QPainter& p)
{
    TObjStringGrid::Paint(p);
    ++FPaintID;
}

void TBaseGrid::DrawCell(QPainter& p, int c, int r, const QRect& rect, TGridDrawState state)
{
    PaintCellPrivate(p, c, r, rect, state, true);
}

void TBaseGrid::PaintCell(QPainter& p, int c, int r, const QRect& rect, TGridDrawState state)
{
    PaintCellPrivate(p, c, r, rect, state, true);
}

void TBaseGrid::PaintCellExt(QPainter& p, int c, int r, const QRect& rect, TGridDrawState state)
{
    PaintCellPrivate(p, c, r, rect, state, false);
}

void TBaseGrid::DrawCellContent(QPainter& p, int c, int r, const QRect& rect, TGridDrawState state)
{
    p.drawText(rect, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, Cells(c, r));
}

void TBaseGrid::PaintCellPrivate(QPainter& p, int c, int r, QRect rect, TGridDrawState state, bool withContent)
{
    // 1. The hidden last row is painted over in the grid's colour.
    if (r == RowCount() - 1 && FHideLastRow) {
        p.fillRect(rect, ColorToQColor(Color));
        return;
    }
    // 2. A merged range is painted once per pass, whole, through its base cell.
    if (TCellProperties* props = CellPropsOrNull(c, r)) {
        if (!props->IsBaseCell() && props->CellSpanX() != -1) {
            const QPoint b = props->BaseCell(c, r);
            TCellProperties* bp = CellPropsOrNull(b.x(), b.y());
            if (bp && bp->PaintID() != FPaintID) {
                bp->SetPaintID(FPaintID);
                PaintCell(p, b.x(), b.y(), rect, state);
            }
            return;
        }
        if (IsMergedCell(c, r)) {
            if (withContent && props->PaintID() == FPaintID && rect == CellRect(c, r)) return;
            props->SetPaintID(FPaintID);
        }
    }
    // 3. Cells the grid treats as fixed; the rectangle of the whole range.
    const bool treatFixed = IsFixed(c, r);
    if (treatFixed && withContent) state = state.With(gdFixed).Without(gdSelected);
    if (withContent) rect = CellRect(c, r);
    // 4. A scrolled range never paints over the fixed cells.
    const bool fixedCol = c < FixedCols(), fixedRow = r < FixedRows();
    const int fcw = FixedColsWidth(), frh = FixedRowsHeight();
    bool clipped = false;
    if ((!fixedCol && FixedCols() > 0 && rect.left() < fcw) || (!fixedRow && FixedRows() > 0 && rect.top() < frh)) {
        p.save();
        p.setClipRect(QRect(fcw, frh, ClientWidth() - fcw, ClientHeight() - frh), Qt::IntersectClip);
        clipped = true;
    }
    // 5. Visual properties, starting from the platform's colours for the state.
    const bool fixed = state.Contains(gdFixed);
    const bool selected = state.Contains(gdSelected);
    TCellBrush brush;
    TCellFont font;
    font.Font = Font;
    font.Color = FontColor;
    brush.Color = Color;
    if (fixed) {
        brush.Color = FixedColor;
    } else if (selected) {
        brush.Color = clHighlight;
        font.Color = clHighlightText;
    }
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
    // 8. Background.
    if (selected && FSelectionStyle != ssDefault && FShowSel) {
        const TGridRect sel = Selection();
        int place = 0;
        if (sel.Right > sel.Left) {
            if (c == sel.Left)
                place = 1;
            else if (c == sel.Right)
                place = 2;
            else
                place = 3;
        }
        QRect wide = rect;
        if (!HasOption(goHorzLine)) wide.setHeight(wide.height() + 1);
        if (!HasOption(goVertLine)) wide.setWidth(wide.width() + 1);
        const SelectionFace* face = &kGrey;
        if (Focused() || HasOption(goDrawFocusSelected)) {
            face = FSelectionStyle == ssVista ? &kVista : FSelectionStyle == ssWin7 ? &kWin7 : &kOffice2007;
        }
        DrawBevelTabFace(p, *face, Color, wide, place);
        font.Color = FontColor;
    } else if (!(UseStyleElements() && (fixed || selected))) {
        if (mirrorTo == clNone)
            FillGradientRect(p, brush.Color, colorTo, gd == GradientHorizontal, rect, 64);
        else
            DrawMirrorGradient(p, rect, brush.Color, colorTo, mirror, mirrorTo);
    }
    // 9. Grid lines.
    int lw = 1, h = 1;
    TColor lineColor = FGridFixedLineColor;
    if (!fixed) {
        lw = FGridLineWidth;
        h = (FGridLineWidth + 1) / 2;
        lineColor = FGridLineColor;
    }
    if (lw > 0) {
        const QColor lc = ColorToQColor(lineColor);
        const int left = rect.left(), top = rect.top();
        const int right = rect.left() + rect.width(), bottom = rect.top() + rect.height();
        const int baseCol = BaseCell(c, r).x();
        if ((baseCol != 0 || !HasNodes()) && HasOption(fixed ? goFixedHorzLine : goHorzLine))
            GridLine(p, left - h + 1, bottom - h, right - h + 1, bottom - h, lw, lc);
        if (HasOption(fixed ? goFixedVertLine : goVertLine))
            GridLine(p, right - h, bottom - h + 1, right - h, top - h + 1, lw, lc);
    }
    // 10. Content.
    QRect content = fixed ? QRect(rect.left(), rect.top(), rect.width() - 1, rect.height() - 2)
                          : rect.adjusted(FGridLineWidth, FGridLineWidth, -FGridLineWidth, -FGridLineWidth);
    if (withContent) {
        p.setFont(font.Font);
        p.setPen(ColorToQColor(font.Color));
        p.setBrush(Qt::NoBrush);
        DrawCellContent(p, c, r, content, state);
    }
    // 11.
    if (clipped) p.restore();
    p.setBrush(Qt::SolidPattern);
    p.setPen(Qt::SolidLine);
}
