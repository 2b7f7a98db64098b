// The string grid's cell painter: the look of a cell (GetVisualProperties),
// what is drawn inside it (PlanCellContent, without a canvas) and the drawing
// of that plan (DrawCellContent), with the fixed-cell faces, cell borders,
// 3-D edges, the focus rectangle and the whole-grid parts around the cells.
#include "controls/ExtObj.h"
#include "controls/ExtUtil.h"
#include "controls/ExtUtilDraw.h"
#include "controls/ExtXPVS.h"
#include "grid/ExtGrid.h"
#include "platform/GridsWidget.h"
#include "platform/SysUtils.h"

#include <QApplication>
#include <QRegion>
#include <QStyle>
#include <QStyleOptionSlider>

using enum TGridLook;
using enum TCellType;

static void InitGlyphResources() { Q_INIT_RESOURCE(ExtGridGlyphs); }

// A picture of the program's resources, loaded for each drawing.
QImage GridGlyph(const QString& name)
{
    static const bool once = (InitGlyphResources(), true);
    (void)once;
    return QImage(QStringLiteral(":/") + name);
}

bool TExtStringGrid::CellInSelection(int c, int r) const
{
    const TGridRect s = Selection();
    return c >= s.Left && c <= s.Right && r >= s.Top && r <= s.Bottom;
}

void TExtStringGrid::GetCellAlignment(int c, int r, TAlignment& ha, TVAlignment& va)
{
    ha = FDefaultAlignment;
    va = FVAlignment;
    const QString raw = Cells(c, r);
    const bool formula = raw.startsWith(QLatin1Char('='));
    if (AutoNumAlign()) {
        const int kind = ClassifyNumericText(raw.trimmed(), SystemFormatSettings());
        if (kind == 0 || kind == 1 || kind == 5) ha = taRightJustify;
    }
    if (!formula)
        if (const TCellProperties* p = CellPropsOrNull(c, r)) ha = p->Alignment();
    QueryAlignment(c, r, ha, va);
}

void TExtStringGrid::GetFontProperties(int c, int rc, int r, TGridDrawState& state, TCellFont& font,
                                       TCellBrush& brush, bool remap)
{
    const bool fixed = IsFixed(c, r) || c < TCustomGrid::FixedCols() || r < TCustomGrid::FixedRows();
    font = fixed ? FFixedFont : TCellFont{Font, FontColor};
    if (const TCellProperties* p = CellPropsOrNull(rc, r)) {
        if (p->FontColor() != clNone) font.Color = p->FontColor();
        if (!p->FontStyle().Empty()) ApplyFontStyles(font.Font, p->FontStyle());
        if (p->FontSize() != 0) font.Font.setPointSize(p->FontSize());
        if (!p->FontName().isEmpty()) font.Font.setFamily(p->FontName());
    }
    GetCellColor(rc, r, state, brush, font);
}

void TExtStringGrid::GetVisualProperties(int c, int r, TVisualProperties& vp)
{
    const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
    const bool normal = c >= fc && r >= fr;
    const bool fixed = IsFixed(c, r) || !normal;
    // 1. Font.
    const bool printFont = vp.Print && !FPrintSettings->UseDisplayFont();
    if (normal) vp.Font = printFont ? TCellFont{FPrintSettings->Font(), FontColor} : TCellFont{Font, FontColor};
    else vp.Font = printFont ? TCellFont{FPrintSettings->FixedFont(), FFixedFont.Color} : FFixedFont;
    // 2.-3.
    const int rc = vp.Remap ? RealColIndex(c) : c;
    vp.Brush.Color = clNone;
    vp.ColorTo = vp.MirrorColor = vp.MirrorColorTo = clNone;
    bool explicitBrush = false;
    // 4. The cell's own properties.
    if (const TCellProperties* p = CellPropsOrNull(rc, r)) {
        vp.Brush.Color = p->BrushColor();
        const TCellType t = GetCellType(rc, r);
        explicitBrush = p->BrushColor() != clNone && (t == ctNone || t == ctRotated || t == ctEmpty);
        if (p->FontColor() != clNone) vp.Font.Color = p->FontColor();
        if (!p->FontStyle().Empty()) ApplyFontStyles(vp.Font.Font, p->FontStyle());
        if (p->FontSize() != 0) vp.Font.Font.setPointSize(p->FontSize());
        if (!p->FontName().isEmpty()) vp.Font.Font.setFamily(p->FontName());
        vp.WordWrap = p->WordWrap();
        vp.ColorTo = p->BrushColorTo();
        vp.GradientDir = p->GradientDirection();
    }
    // 5.
    if (vp.State.Contains(gdSelected)) vp.GradientDir = GradientVertical;
    // 6. Grid colour, bands, fixed parts.
    const bool rightFixed = c >= ColCount() - FFixedRightCols;
    const bool footer = r >= RowCount() - FFixedFooters;
    if (vp.Brush.Color == clNone) {
        vp.Brush.Color = Color;
        if (FBands->Active() && (!vp.Print || FBands->Print()) && normal && !rightFixed && !footer &&
            FBands->TotalLength() > 0)
            vp.Brush.Color = (r - fr) % FBands->TotalLength() < FBands->PrimaryLength() ? FBands->PrimaryColor()
                                                                                       : FBands->SecondaryColor();
        if (!normal || rightFixed || footer) vp.Brush.Color = FixedColor;
    }
    // 7.-8. Fixed cells.
    if (fixed && !vp.Print && !explicitBrush) {
        vp.Brush.Color = FixedColor;
        vp.Font = FFixedFont;
        vp.State = vp.State.With(gdFixed);
    }
    if (fixed && !explicitBrush && int(FLook) > int(glClassic)) {
        vp.Brush.Color = FStudioGradFrom;
        vp.ColorTo = FStudioGradTo;
        vp.MirrorColor = FStudioGradMirrorFrom;
        vp.MirrorColorTo = FStudioGradMirrorTo;
    }
    // 9.-10. The colour and gradient hooks.
    if (vp.Print) GetCellPrintColor(rc, r, vp.State, vp.Brush, vp.Font);
    else GetCellColor(rc, r, vp.State, vp.Brush, vp.Font);
    if (OnGetCellGradient) {
        TColor color = vp.Brush.Color;
        OnGetCellGradient(this, r, rc, color, vp.ColorTo, vp.MirrorColor, vp.MirrorColorTo, vp.GradientDir);
        vp.Brush.Color = color;
    }
    // 11.-15. Selection.
    const TColor r1Brush = vp.Brush.Color, r1Font = vp.Font.Color;
    auto selectionColors = [this, &vp] {
        vp.Brush.Color = FSelectionColor;
        vp.ColorTo = FSelectionColorTo;
        vp.MirrorColor = FSelectionMirrorColor;
        vp.MirrorColorTo = FSelectionMirrorColorTo;
        if (FSelectionTextColor != clNone) vp.Font.Color = FSelectionTextColor;
    };
    const bool mouseDown = FMouseDown;
    const bool active = !vp.Print && vp.Select && FShowSelection && !fixed;
    const bool disjunctRow = FMouseActions->DisjunctRowSelect(), disjunctCol = FMouseActions->DisjunctColSelect();
    if (active && disjunctRow && normal) {
        const bool rowSelected = RowSelect(r);
        if (((mouseDown && r == Row()) || !rowSelected) &&
            (!mouseDown || rowSelected || !vp.State.Contains(gdSelected))) {
            vp.State = vp.State.Without(gdSelected);
        } else {
            vp.State = TGridDrawState{gdSelected};
            selectionColors();
        }
    }
    if (active && disjunctCol && r >= fr && normal) {
        const bool colSelected = ColSelect(c);
        if (((!mouseDown || c != Col()) && colSelected) ||
            (mouseDown && !colSelected && vp.State.Contains(gdSelected))) {
            vp.State = TGridDrawState{gdSelected};
            selectionColors();
        }
    }
    if ((active && CellInSelection(c, r) && !disjunctRow && !disjunctCol) ||
        (vp.State.Contains(gdSelected) && mouseDown && FShowSelection)) {
        const TColor brush = vp.Brush.Color;
        selectionColors();
        if (brush != Color && FSelectionColorMixer)
            vp.Brush.Color = MixColors(FSelectionColor, brush, FSelectionColorMixerFactor);
        vp.State = vp.State.With(gdSelected);
    }
    if (FMouseActions->DisjunctCellSelect() && FShowSelection) {
        if (SelectedCells(c, r)) {
            selectionColors();
            vp.State = vp.State.With(gdSelected);
        } else if (c == Col() && r == Row()) {
            vp.State = vp.State.Without(gdSelected);
            vp.Brush.Color = r1Brush;
            vp.Font.Color = r1Font;
        }
    }
    // 16.
    // A disabled row, or every cell of a disabled grid.
    const bool gridEnabled = !HandleAllocated() || Widget()->isEnabled();
    if (FUseDisabledFont && ((UseEnabledRows() && !RowEnabled(r)) || !gridEnabled))
        vp.Font.Color = DisabledFontColor();
    // 17.
    if (vp.State.Contains(gdSelected) && r != Row() && disjunctRow && FSelectionColorTo == clNone)
        vp.Brush.Color = ScaleColorPercent(vp.Brush.Color, 7);
    // 18.-19.
    QueryWordWrap(rc, r, vp.WordWrap);
    GetCellAlignment(rc, r, vp.HAlign, vp.VAlign);
}

// ---------------------------------------------------------------------------
// Planning one cell

TExtCellPlan TExtStringGrid::PlanCellContent(int c, int r, const TRect& rect, TGridDrawState state,
                                             TColor brushColor, const TCellFont& font)
{
    TExtCellPlan plan;
    const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
    TRect R = rect;
    plan.Rect = rect;
    const int rc = RealColIndex(c);
    plan.RealCol = rc;
    plan.Row = r;
    // 3. An in-cell scroll bar whose page is below its range takes the
    // right edge of the cell; the text moves up by its position.
    if (HasScrollBar(rc, r)) {
        const TScrollProp sp = GetScrollProp(rc, r);
        if (sp.PageSize < sp.Range) {
            const int w = InCellScrollBarWidth();
            plan.ScrollBar = true;
            plan.ScrollBarRect = {std::max(R.Left, R.Right - w), R.Top, R.Right, R.Bottom};
            plan.ScrollPos = std::clamp(GetScrollPosition(rc, r), 0, sp.Range);
            plan.ScrollPage = sp.PageSize;
            plan.ScrollRange = sp.Range;
            R.Right = plan.ScrollBarRect.Left;
        }
    }
    // 4. The look (the selection is the text step's).
    TVisualProperties vp;
    vp.Brush.Color = brushColor;
    vp.Font = font;
    vp.WordWrap = WordWrap();
    vp.State = state;
    vp.Print = false;
    vp.Select = false;
    vp.Remap = true;
    GetVisualProperties(c, r, vp);
    // 5. The graphic and its room.
    TCellVAlign gva;
    TCellHAlign gha;
    bool textBeside = true;
    int gh = 0, gw = 0;
    plan.Graphic = GetCellGraphicLayout(rc, r, gva, gha, textBeside, gh, gw);
    // The node button takes 12 pixels per level (not the node indent).
    if (rc == 0 && plan.Graphic && plan.Graphic->CellType == TCellType::ctNode) gw = std::max(0, GetNodeLevel(r)) * 12 + 4;
    plan.GraphicWidth = gw;
    plan.GraphicHeight = gh;
    // 6.-7.
    if (vp.State.Contains(gdSelected) && !Focused() && FSelectionColor == clNone) vp.Brush.Color = clHighlight;
    if (FZoomFactor != 0) vp.Font.Font.setPointSize(std::max(1, FontSizeOf(vp.Font.Font) + FZoomFactor));
    const TCellFont fontBefore = vp.Font;
    const TColor brushBefore = vp.Brush.Color;
    // 8.
    bool fixed = IsFixed(c, r) || c < fc || r < fr;
    if (r == HoverRowIdx() && HoverRowCells().Contains(hcFixed)) fixed = false;
    plan.Fixed = fixed;
    plan.State = vp.State;
    // 10. The face of a fixed cell.
    const bool gradientLook =
        FLook == glStudio || FLook == glXP || FLook == glVista || FLook == glWin7 || FLook == glOffice2007;
    const bool hotTracked = [&] {
        switch (HoverFixedCells()) {
        case THoverFixedCells::hfAll: return c < fc || r < fr;
        case THoverFixedCells::hfFixedRows: return r < fr;
        case THoverFixedCells::hfFixedColumns: return c < fc;
        case THoverFixedCells::hfNone: break;
        }
        return false;
    }();
    if (fixed && gradientLook) {
        TExtCellPlan::TFace face;
        face.Rect = R;
        if (hotTracked && c == HoverFixedX && r == HoverFixedY && GridState() != gsColMoving && !FDesigning) {
            // The cell under the mouse: the hover colours, the down colours
            // while a button is held; a drop-down button at the right shows
            // the other set of the two.
            face.Rect.Bottom += 1;
            auto hover = [this](TExtCellPlan::TFace& f) {
                f.From = StudioGradientHoverFrom;
                f.To = StudioGradientHoverTo;
                f.MirrorFrom = StudioGradientHoverMirrorFrom;
                f.MirrorTo = StudioGradientHoverMirrorTo;
            };
            auto down = [this](TExtCellPlan::TFace& f) {
                f.From = StudioGradientDownFrom;
                f.To = StudioGradientDownTo;
                f.MirrorFrom = StudioGradientDownMirrorFrom;
                f.MirrorTo = StudioGradientDownMirrorTo;
            };
            const bool button = FControlLook->FixedDropDownButton() && CanShowFixedDropDown(rc);
            if (!HoverFixedDown) {
                hover(face);
                plan.Faces.push_back(face);
            } else if (button) {
                TExtCellPlan::TFace left = face, right = face;
                left.Rect.Right = face.Rect.Right - FixedDropDownWidth;
                right.Rect.Left = left.Rect.Right;
                if (FDropDownDown) {
                    down(right);
                    hover(left);
                } else {
                    down(left);
                    hover(right);
                }
                plan.Faces.push_back(left);
                plan.Faces.push_back(right);
            } else {
                down(face);
                plan.Faces.push_back(face);
            }
            if (button) {
                plan.DropDownLine = true;
                plan.DropDownX = face.Rect.Right - FixedDropDownWidth;
                plan.DropDownLineColor = HoverFixedDown ? StudioGradientDownBorder : StudioGradientHoverBorder;
                plan.DropDownArrow = QPoint(face.Rect.Right - 8, face.Rect.Top + 8);
                plan.DropDownArrowColor = vp.Font.Color == clNone ? clBlack : vp.Font.Color;
                R.Right -= FixedDropDownWidth;
            }
        } else if (FActiveCellShow && ((c + 1 == fc && fc > 0 && r == Row()) || (r + 1 == fr && fr > 0 && c == Col()))) {
            face.From = FActiveCellColor;
            face.To = FActiveCellColorTo;
            plan.Faces.push_back(face);
        } else if (FSortSettings->Column() != -1 && FSortSettings->HeaderColor() != clNone &&
                   rc == FSortSettings->Column() && r == fr - 1 && (c >= fc || FSortSettings->FixedCols())) {
            face.From = FSortSettings->HeaderColor();
            face.To = FSortSettings->HeaderColorTo();
            face.MirrorFrom = FSortSettings->HeaderMirrorColor();
            face.MirrorTo = FSortSettings->HeaderMirrorColorTo();
            plan.Faces.push_back(face);
        } else if (!FFlat) {
            face.From = vp.Brush.Color;
            face.To = vp.ColorTo;
            face.MirrorFrom = vp.MirrorColor;
            face.MirrorTo = vp.MirrorColorTo;
            face.Border = FLook == glVista ? clWhite : clNone;
            plan.Faces.push_back(face);
        }
    }
    // 12. The list-view look without visual styles.
    if (fixed && FLook == glListView && !FFlat) {
        TExtCellPlan::TFace face;
        face.Rect = R;
        face.From = clBtnFace;
        face.Border = clWhite;
        plan.Faces.push_back(face);
    }
    // 11. Row indicator: in the first column of the current row.
    const QImage& indicator = FRowIndicator;
    if (rc == 0 && r == Row() && fc > 0 && !indicator.isNull() && !(RowCount() == fr && FixedRowAlways())) {
        const int h = indicator.height();
        const int y = FVAlignment == vtaTop      ? R.Top
                      : FVAlignment == vtaBottom ? R.Bottom - h
                                                 : R.Top + (R.Height() - h) / 2;
        plan.RowIndicator = true;
        plan.RowIndicatorAt = QPoint(R.Left + 2, y);
        R.Left += indicator.width() + 2;
    }
    // 13. Modified-row mark.
    if (c == 0 && FShowModified->Enabled() && RowModified(r)) {
        plan.ModifiedMark = true;
        plan.ModifiedRect = {R.Right - 4, R.Top, R.Right, R.Bottom};
        plan.ModifiedColor = FShowModified->Color();
    }
    // 15. Always-visible editor buttons.
    const TControlLook& cl = *FControlLook;
    if (!fixed && (cl.DropDownAlwaysVisible() || cl.SpinButtonsAlwaysVisible())) {
        plan.ButtonLook = cl.FlatButton() ? 2 : (IsThemedComCtl6() ? 0 : 1);
        if (FFlat && FTones.Background.BrushColor != clNone) plan.ButtonLook = 3;
        bool canEdit = false;
        QueryCanEdit(rc, r, canEdit);
        plan.ButtonState = canEdit ? 0 : 3;
        if (HasCombo(rc, r)) {
            plan.EditButton = 1;
            plan.ButtonRect = {R.Left - 2, R.Top - 1, R.Right + 1, R.Bottom};
            R.Right -= 16;
        } else if (HasSpin(rc, r)) {
            plan.EditButton = 2;
            plan.ButtonRect = R;
            R.Right -= 16;
        }
    }
    // 17. Text.
    vp.Font = fontBefore;
    vp.Brush.Color = brushBefore;
    const bool userDraws = (TCustomGrid::OnDrawCell || OnCustomCellDraw) && FNoDefaultDraw;
    if (!(plan.Graphic && FNoImageAndText) && !userDraws) {
        plan.Rect = R;
        PlanCellText(plan, c, r, vp, fontBefore, brushBefore);
        if (!textBeside) plan.DrawText = false;
    } else {
        plan.HAlign = vp.HAlign;
        plan.VAlign = vp.VAlign;
        plan.Font = vp.Font;
        plan.BrushColor = vp.Brush.Color;
    }
    plan.Rect = rect;
    R = rect.Inflated(1, 1);
    // 18. Cell borders.
    PlanCellBorders(plan, rc, r, R);
    // 19. 3-D edges of fixed cells.
    if (fixed && !FFlat) {
        const TColor dark = HalveColor(FixedColor);
        auto edge = [&plan](int x0, int y0, int x1, int y1, TColor color) {
            plan.Edges.push_back({QPoint(x0, y0), QPoint(x1, y1), color});
        };
        if (FLook == glClassic) {
            const int l = R.Left + 1, t = R.Top, rr = R.Right, b = R.Bottom;
            edge(l, t, rr - 1, t, clBtnHighlight);
            edge(l, t, l, b - 1, clBtnHighlight);
            edge(rr - 2, t, rr - 2, b - 1, clBtnShadow);
            edge(l, b - 2, rr - 1, b - 2, clBtnShadow);
            edge(rr - 1, t, rr - 1, b, clBlack);
            edge(l, b - 1, rr, b - 1, clBlack);
        } else if ((FLook == glStudio || FLook == glXP) && HasOption(goFixedHorzLine)) {
            const int b = R.Bottom + 1;
            edge(R.Left, b - 2, R.Right, b - 2, dark);
            edge(R.Left, R.Top + 1, R.Right, R.Top + 1, clWhite);
            edge(R.Left + 1, R.Top + 1, R.Left + 1, b - 2, clWhite);
        } else if (FLook == glSoft) {
            const int rr = R.Right + 1, b = R.Bottom + 1;
            if (HasOption(goFixedHorzLine)) {
                edge(R.Left, b - 2, rr, b - 2, dark);
                edge(R.Left, R.Top + 1, rr, R.Top + 1, clWhite);
                edge(R.Left + 1, R.Top + 1, R.Left + 1, b - 2, clWhite);
            }
            if (HasOption(goFixedVertLine)) {
                edge(rr - 2, R.Top, rr - 2, b, dark);
                edge(rr - 1, R.Top, rr - 1, b, clWhite);
            }
        }
    }
    // 20. Fixed right columns of a flat grid.
    if (FFlat && FLook != glClassic && FFixedRightCols > 0 && c >= ColCount() - FFixedRightCols) {
        if (HasOption(goFixedHorzLine)) {
            plan.Edges.push_back({QPoint(R.Left - 1, R.Top - 1), QPoint(R.Right + 1, R.Top - 1), clGray});
            plan.Edges.push_back({QPoint(R.Left - 1, R.Bottom), QPoint(R.Right + 1, R.Bottom), clGray});
        }
        if (HasOption(goFixedVertLine)) {
            plan.Edges.push_back({QPoint(R.Left - 1, R.Top - 1), QPoint(R.Left - 1, R.Bottom + 1), clGray});
            plan.Edges.push_back({QPoint(R.Right, R.Top - 1), QPoint(R.Right, R.Bottom + 1), clGray});
        }
    }
    // 21. Tree lines.
    if (rc == 0 && r >= fr && HasNodes() && FCellNode->ShowTree()) PlanTreeLines(plan, r, R);
    // 22. The graphic.
    plan.GraphicArea = R;
    if (fixed) plan.GraphicArea.Top += 1;
    // 23.-24.
    const int lw = GridLineWidth();
    plan.EventRect = {R.Left + 1, R.Top + 1, R.Right - lw, R.Bottom - lw};
    // 25. Focus rectangle.
    const QPoint base = BaseCell(rc, r);
    if (!HideFocusRect() && DisplColIndex(base.x()) == Col() && base.y() == Row() && Focused() &&
        !HasOption(goRowSelect) && Row() >= fr && Col() >= fc) {
        plan.FocusRect = true;
        TRect f = R.Inflated(lw - 1, lw - 1);
        f.Right -= 1;
        f.Bottom -= 1;
        plan.FocusRectArea = f;
    }
    return plan;
}

void TExtStringGrid::PlanTreeLines(TExtCellPlan& plan, int r, const TRect& R)
{
    const int ni = FCellNode->NodeIndent();
    const TColor color = FCellNode->TreeColor();
    const int indent = GetNodeIndent(r);
    const TCellProperties* p = CellPropsOrNull(0, r);
    const int level = p ? p->NodeLevel() : 0;
    const int x = indent + ni / 2 - ni + 2;
    const int mid = (R.Top + R.Bottom) / 2;
    auto line = [&](int x0, int y0, int x1, int y1) { plan.TreeLines.push_back({QPoint(x0, y0), QPoint(x1, y1), color}); };
    if (level > 0) line(x, mid, FCellNode->ShowTreeFull() ? R.Right : indent + 4, mid);
    switch (GetNodeSpanType(r)) {
    case 1: line(x, R.Top, x, mid); break;
    case 2: line(x, R.Top, x, R.Bottom + 4); break;
    default: break;
    }
    // The lines of the nodes around the row, one per level: on down to
    // the next row while it is still in a node, else ending here.
    const bool last = r + 1 >= RowCount();
    const TCellProperties* next = last ? nullptr : CellPropsOrNull(0, r + 1);
    const bool nextInNode = next && next->NodeLevel() > 0;
    for (int i = 1; i <= level; ++i) {
        const int xi = x - ni * i;
        if (nextInNode) {
            line(xi, R.Top, xi, R.Bottom + 4);
        } else {
            line(xi, R.Top, xi, mid);
            if (i < level) line(xi, mid, x + ni - ni * i, mid);
        }
    }
}

void TExtStringGrid::PlanCellBorders(TExtCellPlan& plan, int rc, int r, TRect rect)
{
    TCellPen pen;
    TCellBorders borders;
    GetCellBorder(rc, r, pen, borders);
    if (borders.Empty()) return;
    TCellPen left = pen, top = pen, right = pen, bottom = pen;
    if (OnGetCellBorderProp) OnGetCellBorderProp(this, r, rc, left, top, right, bottom);
    const int w = (pen.Width + 1) / 2;
    if (HasOption(goVertLine)) {
        rect.Left += w;
        rect.Right -= w;
    }
    if (HasOption(goHorzLine)) rect.Bottom -= w;
    const int lw = GridLineWidth();
    if (borders.Contains(cbLeft))
        plan.Borders.push_back({QPoint(std::max(0, rect.Left), rect.Top), QPoint(std::max(0, rect.Left), rect.Bottom), left});
    if (borders.Contains(cbRight))
        plan.Borders.push_back({QPoint(rect.Right - 1, rect.Top), QPoint(rect.Right - 1, rect.Bottom), right});
    if (borders.Contains(cbTop)) {
        rect.Top += w;
        const int y = lw > 0 ? std::max(0, rect.Top - lw) : rect.Top + 1;
        plan.Borders.push_back({QPoint(rect.Left, y), QPoint(rect.Right, y), top});
    }
    if (borders.Contains(cbBottom))
        plan.Borders.push_back({QPoint(rect.Left - lw - 1, rect.Bottom - 1), QPoint(rect.Right, rect.Bottom - 1), bottom});
}

// ---------------------------------------------------------------------------
// Drawing one cell

void TExtStringGrid::PaintFocusRect(TCanvas&)
{
    // The cell painter draws the focus rectangle inside the current cell.
}

void TExtStringGrid::DrawCellContent(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state)
{
    TCellFont font{canvas.Font(), canvas.FontColor()};
    TExtCellPlan plan = PlanCellContent(c, r, rect, state, canvas.BrushColor(), font);
    const int rc = plan.RealCol;
    for (const TExtCellPlan::TFace& f : plan.Faces) {
        if (f.From == clNone) continue;
        canvas.SetBrushStyle(TBrushStyle::Solid);
        if (f.MirrorFrom == clNone && f.To == clNone) {
            FillRectColor(canvas, f.Rect, f.From);
            if (f.Border != clNone) {
                canvas.SetPenStyle(TPenStyle::Solid);
                canvas.SetPenColor(f.Border);
                canvas.SetBrushStyle(TBrushStyle::Clear);
                canvas.Rectangle(f.Rect);
                canvas.SetBrushStyle(TBrushStyle::Solid);
            }
        } else {
            DrawMirrorGradient(canvas, f.Rect, f.From, true, false, f.Border, true, f.MirrorTo, f.MirrorFrom, f.To);
        }
    }
    if (plan.DropDownLine) {
        if (plan.DropDownLineColor != clNone) {
            canvas.SetPenStyle(TPenStyle::Solid);
            canvas.SetPenWidth(1);
            canvas.SetPenColor(plan.DropDownLineColor);
            canvas.MoveTo(plan.DropDownX, plan.Rect.Top);
            canvas.LineTo(plan.DropDownX, plan.Rect.Bottom);
        }
        DrawSmallDownTriangle(canvas, plan.DropDownArrow.x(), plan.DropDownArrow.y(), plan.DropDownArrowColor);
        canvas.SetBrushStyle(TBrushStyle::Solid);
    }
    if (plan.ScrollBar) PaintScrollBar(canvas, plan);
    if (plan.RowIndicator)
        canvas.DrawTransparent(plan.RowIndicatorAt.x(), plan.RowIndicatorAt.y(), FRowIndicator,
                               QColorToColor(FRowIndicator.pixelColor(0, FRowIndicator.height() - 1)));
    if (plan.ModifiedMark) FillRectColor(canvas, plan.ModifiedRect, plan.ModifiedColor);
    if (OnCustomCellBkgDraw) OnCustomCellBkgDraw(this, canvas, rc, r, plan.State, plan.Rect, false);
    if (plan.EditButton != 0) {
        QWidget* w = HandleAllocated() ? reinterpret_cast<QWidget*>(Widget()) : nullptr;
        const TButtonColors colors = ButtonColorsFromTones(FTones);
        if (plan.EditButton == 1) DrawThemedComboButton(canvas, w, plan.ButtonRect, colors, plan.ButtonState, plan.ButtonLook);
        else DrawThemedSpinButtons(canvas, w, plan.ButtonRect, colors, plan.ButtonState, plan.ButtonLook);
    }
    if (plan.DrawText || plan.FilterButton || plan.SelectionRect) ExecuteCellText(canvas, plan);
    for (const TExtCellPlan::TLine& l : plan.Borders) {
        canvas.SetPenStyle(l.Pen.Style);
        canvas.SetPenWidth(l.Pen.Width);
        canvas.SetPenColor(l.Pen.Color);
        canvas.MoveTo(l.From.x(), l.From.y());
        canvas.LineTo(l.To.x(), l.To.y());
    }
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenWidth(1);
    for (const TExtCellPlan::TEdge& e : plan.Edges) {
        canvas.SetPenColor(e.Color);
        canvas.MoveTo(e.From.x(), e.From.y());
        canvas.LineTo(e.To.x(), e.To.y());
    }
    for (const TExtCellPlan::TEdge& e : plan.TreeLines) {
        canvas.SetPenColor(e.Color);
        canvas.MoveTo(e.From.x(), e.From.y());
        canvas.LineTo(e.To.x(), e.To.y());
    }
    if (plan.Graphic) {
        const TRect placed = PlaceCellGraphic(plan, plan.GraphicArea, plan.VAlign);
        DrawCellGraphic(canvas, plan, placed, plan.GraphicArea);
    }
    if (TCustomGrid::OnDrawCell) TCustomGrid::OnDrawCell(this, rc, r, plan.EventRect, plan.State);
    if (OnCustomCellDraw) OnCustomCellDraw(this, canvas, rc, r, plan.State, plan.GraphicArea, false);
    if (plan.FocusRect) {
        QPainter& p = canvas.Painter();
        p.save();
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(ColorToQColor(clWindowText), 1, Qt::DotLine));
        const TRect& f = plan.FocusRectArea;
        p.drawRect(f.Left, f.Top, f.Width() - 1, f.Height() - 1);
        p.restore();
    }
}

void TExtStringGrid::Paint(TCanvas& canvas)
{
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetBrushStyle(TBrushStyle::Solid);
    TBaseGrid::Paint(canvas);
    if (EditorMode()) {
        const TRect cr = CellRect(Col(), Row());
        const bool noLines = GridLineWidth() < 1 || !(HasOption(goVertLine) || HasOption(goHorzLine));
        canvas.SetPenColor(noLines ? Color : GridLineColor());
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.Rectangle(cr);
        canvas.SetBrushStyle(TBrushStyle::Solid);
    }
    canvas.SetPenColor(clBlack);
    if (!FBackGround->Bitmap().isNull() || FBackGround->ColorTo() != clNone) PaintGridBackground(canvas);
    if (OnPainted) OnPainted(this);
}

// ---------------------------------------------------------------------------
// Around the cells

void TExtStringGrid::PaintGridBackground(TCanvas& canvas)
{
    const TBackGround& bg = *FBackGround;
    const bool gradient = bg.Display() == TBackGroundDisplay::bdGradientHorz ||
                          bg.Display() == TBackGroundDisplay::bdGradientVert;
    if (gradient && bg.ColorTo() == clNone) return;
    const int bottom = ClientHeight() - (FFloatingFooter->Visible() ? FFloatingFooter->Height() : 0) -
                       (FSearchFooter->Visible() ? 32 : 0);
    QRegion empty;
    // The column and the row count as shown when their rectangle is not empty.
    const int lastRight = ColCount() > 0 ? TCustomGrid::CellRect(ColCount() - 1, 0).Right : 0;
    const int lastBottom = RowCount() > 0 ? TCustomGrid::CellRect(0, RowCount() - 1).Bottom : 0;
    if (lastRight > 0 && lastRight + GridLineWidth() < ClientWidth())
        empty += QRect(lastRight + GridLineWidth(), 0, ClientWidth() - lastRight - GridLineWidth(), bottom);
    if (lastBottom > 0 && lastBottom < bottom) empty += QRect(0, lastBottom, ClientWidth(), bottom - lastBottom);
    if (empty.isEmpty()) return;
    canvas.Save();
    canvas.SetClipRegion(empty);
    const TRect client{0, 0, ClientWidth(), bottom};
    if (bg.Bitmap().isNull()) {
        if (gradient)
            FillGradientRect(canvas, bg.Color(), bg.ColorTo(), bg.Display() == TBackGroundDisplay::bdGradientHorz,
                             client, 128);
    } else if (bg.Display() != TBackGroundDisplay::bdTile) {
        canvas.Draw(bg.Left(), bg.Top(), bg.Bitmap());
    } else if (bg.Cells() != TBackGroundCells::bcFixed) {
        int x0 = -1, y0 = -1;
        if (bg.Cells() == TBackGroundCells::bcNormal) {
            x0 = FixedColsWidth();
            y0 = FixedRowsHeight();
        }
        x0 += FXYOffset.x();
        y0 += FXYOffset.y();
        const int w = bg.Bitmap().width(), h = bg.Bitmap().height();
        for (int y = y0; y < bottom; y += h)
            for (int x = x0; x < ClientWidth(); x += w) canvas.Draw(x, y, bg.Bitmap());
    }
    canvas.Restore();
}

void TExtStringGrid::ShowFocusWindow(const TRect& cellRect)
{
    if (!FFocusWindow) return;
    TGridFocusWindow& w = *FFocusWindow;
    w.hide();
    const int W = cellRect.Width() + 9, H = cellRect.Height() + 9;
    // The cell itself stays uncovered: the frame is the outer rectangle less
    // the cell, 4 pixels in from the corner.
    const QRegion frame = QRegion(0, 0, W, H).xored(QRegion(4, 4, cellRect.Width(), cellRect.Height()));
    w.setMask(frame);
    w.Color = 0xFDD397;
    // A soft shadow ring in the frame colour, merged into one translucent layer.
    QImage shadow;
    MakeShadowMask(shadow, W, H, 3, 5, 4);
    QImage colour(W, H, QImage::Format_RGB888);
    colour.fill(ColorToQColor(w.Color));
    TGridAlphaMask layer;
    layer.MergeMask(shadow, colour);
    layer.SetOpacity(230);
    w.Layer = layer.Image();
    w.Opacity = layer.Opacity();
    if (HandleAllocated()) {
        QWidget* viewport = Widget()->viewport();
        if (w.parentWidget() != viewport) {
            w.setParent(viewport);
            // A viewport that goes first takes the frame with it: the grid
            // then only forgets it.
            QObject::connect(&w, &QObject::destroyed, viewport, [this] { (void)FFocusWindow.release(); });
        }
    }
    w.setGeometry(cellRect.Left - 4, cellRect.Top - 4, W, H);
    w.show();
}

void TExtStringGrid::PaintNonClient(TCanvas& canvas, int w, int h)
{
    if (UpdateCount() > 0) return;
    PaintBorder(canvas, w, h);
}

void TExtStringGrid::PaintBorder(TCanvas& canvas, int w, int h)
{
    using enum TGridLook;
    const bool look = FLook == glSoft || FLook == glStudio || FLook == glXP || FLook == glListView ||
                      FLook == glVista || FLook == glWin7 || FLook == glOffice2007;
    if (!look || FBorderColor == clNone || FFlat) return;
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenWidth(1);
    // An outline up the left side from (a, b), along the top at a, down the
    // right side at w - c and back along the bottom at h - c.
    auto outline = [&](int a, int b, int c, TColor color) {
        canvas.SetPenColor(color);
        canvas.MoveTo(a, b);
        canvas.LineTo(a, a);
        canvas.LineTo(w - c, a);
        canvas.LineTo(w - c, h - c);
        canvas.LineTo(a, h - c);
    };
    if (FFitCellsInGrid) {
        outline(1, h, 2, FBorderColor);
        // The outermost pixel takes the colour of what the grid sits on.
        QWidget* parent = HandleAllocated() ? Widget()->parentWidget() : nullptr;
        if (parent) outline(0, h, 1, QColorToColor(parent->palette().color(parent->backgroundRole())));
    } else if (GridIsComCtl6) {
        outline(0, h - 1, 1, FBorderColor);
    }
}

int TExtStringGrid::InCellScrollBarWidth()
{
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void TExtStringGrid::PaintScrollBar(TCanvas& canvas, const TExtCellPlan& plan)
{
    // One drawing routine serves every in-cell bar: the style paints a
    // vertical bar with the cell's range, page and position.
    QStyleOptionSlider o;
    o.orientation = Qt::Vertical;
    o.minimum = 0;
    o.maximum = std::max(0, plan.ScrollRange - plan.ScrollPage);
    o.pageStep = std::max(1, plan.ScrollPage);
    o.singleStep = 10;
    o.sliderPosition = o.sliderValue = std::clamp(plan.ScrollPos, 0, o.maximum);
    const TRect& r = plan.ScrollBarRect;
    o.rect = QRect(r.Left, r.Top, r.Width(), r.Height());
    o.state = QStyle::State_Enabled;
    o.subControls = QStyle::SC_All;
    QWidget* w = HandleAllocated() ? reinterpret_cast<QWidget*>(Widget()) : nullptr;
    if (w) o.palette = w->palette();
    canvas.Save();
    QApplication::style()->drawComplexControl(QStyle::CC_ScrollBar, &o, &canvas.Painter(), w);
    canvas.Restore();
}

bool TExtStringGrid::CanShowFixedDropDown(int c)
{
    bool canShow = true;
    if (OnCanShowFixedDropDown) OnCanShowFixedDropDown(this, c, canShow);
    return canShow;
}

void TExtStringGrid::PlaceFocusWindow()
{
    if (!FFocusWindow || !FFocusWindow->isVisible()) return;
    const TRect r = CellRect(Col(), Row());
    ShowFocusWindow(r);
}

void TExtStringGrid::HideFocusWindow()
{
    if (FFocusWindow) FFocusWindow->hide();
}

void TExtStringGrid::DrawColSizingLine(TCanvas& canvas, int x)
{
    QPainter& p = canvas.Painter();
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1, Qt::DotLine));
    const int last = RowCount() > 0 ? CellRect(0, RowCount() - 1).Bottom : 0;
    p.drawLine(x, 0, x, std::max(ClientHeight(), last));
    p.restore();
}

void TExtStringGrid::DrawRowSizingLine(TCanvas& canvas, int y)
{
    QPainter& p = canvas.Painter();
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1, Qt::DotLine));
    const int last = ColCount() > 0 ? CellRect(ColCount() - 1, 0).Right : 0;
    p.drawLine(0, y, std::max(ClientWidth(), last), y);
    p.restore();
}

void TExtStringGrid::InvalidateCellRect(const TRect& r)
{
    const TRect a = CellRect(r.Left, r.Top), b = CellRect(r.Right, r.Bottom);
    InvalidateRect({std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                    std::max(a.Bottom, b.Bottom)});
}
