// The cell graphic: its size and place in the cell, its drawing by kind, and
// the check-box and radio-button glyphs in the control styles.
#include "controls/ExtUtilDraw.h"
#include "controls/ExtXPVS.h"
#include "grid/ExtGrid.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionButton>
#include <cmath>

using enum TCellType;
using enum TControlStyle;

namespace {

bool IsCheckKind(TCellType t)
{
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox ||
           t == ctRadioButton || t == ctTriStateCheckBox;
}

// A glyph whose bottom-left pixel gives the transparent colour.
void DrawGlyph(TCanvas& canvas, int x, int y, const QImage& img)
{
    if (img.isNull()) return;
    canvas.DrawTransparent(x, y, img, QColorToColor(img.pixelColor(0, img.height() - 1)));
}

void Line(TCanvas& canvas, TColor color, int x0, int y0, int x1, int y1)
{
    canvas.SetPenColor(color);
    canvas.MoveTo(x0, y0);
    canvas.LineTo(x1, y1);
}

// The classic sunken square of a check box or a flat one, with its tick.
void DrawClassicCheck(TCanvas& canvas, const TRect& b, bool checked, bool grayed, bool flat, bool enabled)
{
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenWidth(1);
    FillRectColor(canvas, b, enabled && !grayed ? clWindow : clBtnFace);
    if (flat) {
        canvas.SetPenColor(clBtnShadow);
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.Rectangle(b);
        canvas.SetBrushStyle(TBrushStyle::Solid);
    } else {
        Line(canvas, clBtnShadow, b.Left, b.Bottom - 1, b.Left, b.Top);
        Line(canvas, clBtnShadow, b.Left, b.Top, b.Right - 1, b.Top);
        Line(canvas, cl3DDkShadow, b.Left + 1, b.Bottom - 2, b.Left + 1, b.Top + 1);
        Line(canvas, cl3DDkShadow, b.Left + 1, b.Top + 1, b.Right - 2, b.Top + 1);
        Line(canvas, clBtnHighlight, b.Left, b.Bottom - 1, b.Right - 1, b.Bottom - 1);
        Line(canvas, clBtnHighlight, b.Right - 1, b.Bottom - 1, b.Right - 1, b.Top - 1);
    }
    if (checked || grayed) {
        const TColor tick = enabled && !grayed ? clWindowText : clBtnShadow;
        const int x = b.Left + (b.Width() - 7) / 2, y = b.Top + (b.Height() - 7) / 2 + 2;
        for (int i = 0; i < 3; ++i) {
            Line(canvas, tick, x, y + i, x + 2, y + 2 + i);
            Line(canvas, tick, x + 2, y + 2 + i, x + 7, y - 3 + i);
        }
    }
}


} // namespace

TCellGraphic* TExtStringGrid::GetCellGraphicLayout(int rc, int r, TCellVAlign& gva, TCellHAlign& gha,
                                                   bool& textBeside, int& gh, int& gw)
{
    gw = gh = 0;
    textBeside = true;
    gha = TCellHAlign::haLeft;
    gva = TCellVAlign::vaTop;
    TCellGraphic* g = GetCellGraphic(rc, r);
    if (!g) return nullptr;
    gha = g->CellHAlign;
    gva = g->CellVAlign;
    const int check = FControlLook->CheckSize();
    const TCustomImageList* images = GetGridImages();
    switch (g->CellType) {
    case ctBitmap:
        if (const QImage* b = g->Bitmap()) gw = b->width(), gh = b->height();
        break;
    case ctIcon:
        if (const QImage* i = g->Icon()) gw = i->width(), gh = i->height();
        break;
    case ctImageList:
        if (images) gw = images->Width(), gh = images->Height();
        break;
    case ctImages:
        if (images && g->IntList()) {
            const int n = g->IntList()->Count();
            gw = g->CellBoolean ? n * images->Width() : images->Width();
            gh = g->CellBoolean ? images->Height() : n * images->Height();
        }
        break;
    case ctPicture:
    case ctFilePicture: {
        const QPoint size = g->GetPictureSize(ColWidths(DisplColIndex(rc)), RowHeights(r), !Cells(rc, r).isEmpty());
        gw = size.x();
        gh = size.y();
        break;
    }
    case ctCheckBox:
    case ctTriStateCheckBox: gw = gh = check; break;
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
        gw = gh = check;
        textBeside = false;
        break;
    case ctDataImage:
        if (images) gw = images->Width(), gh = images->Height();
        textBeside = false;
        break;
    case ctRotated:
    case ctRadio:
    case ctProgress:
    case ctRangeIndicator:
    case ctXPProgress: textBeside = false; break;
    case ctButton:
    case ctBitButton:
        gw = g->CellIndex & 0xFFFF;
        gh = (g->CellIndex >> 16) & 0xFFFF;
        break;
    case ctProgressPie: gw = gh = 20; break;
    case ctRadioButton: gw = gh = FControlLook->RadioSize() + 4; break;
    case ctShape: gw = gh = RowHeights(r) - 2 * FXYOffset.y(); break;
    case ctRating:
        gw = g->CellAngle * 18;
        gh = 16;
        textBeside = false;
        break;
    default: break;
    }
    return g;
}

TRect TExtStringGrid::PlaceCellGraphic(const TExtCellPlan& plan, TRect r, TVAlignment va) const
{
    const TCellGraphic& g = *plan.Graphic;
    const TCellType t = g.CellType;
    if (t != ctNode && t != ctProgress && t != ctRangeIndicator && t != ctXPProgress)
        r = {r.Left + FXYOffset.x() - 1, r.Top + FXYOffset.y() - 1, r.Right - FXYOffset.x() + 1,
             r.Bottom - FXYOffset.y() + 1};
    const int gw = plan.GraphicWidth, gh = plan.GraphicHeight;
    const int tw = FTextWidth;
    const TAlignment tha = FTextAlign;
    const int width = r.Width(), height = r.Height();
    TRect p = r;
    using enum TCellHAlign;
    switch (g.CellHAlign) {
    case haLeft: p.Left = r.Left + 1; break;
    case haRight: p.Left = r.Right - 1 - gw; break;
    case haCenter: p.Left = gw < width ? r.Left + (width - gw) / 2 : r.Left + 1; break;
    case haBeforeText:
        p.Left = tha == taLeftJustify    ? r.Left + 1
                 : tha == taRightJustify ? std::max(r.Left + 1, r.Right - tw - gw)
                                         : std::max(r.Left + 1, r.Left + (width - tw - gw) / 2);
        break;
    case haAfterText:
        p.Left = tha == taLeftJustify    ? r.Left + tw
                 : tha == taRightJustify ? r.Right - 1 - gw
                                         : std::max(r.Left + 1, r.Left + tw + (width - tw - gw) / 2);
        break;
    case haFull: break;
    }
    if (g.CellHAlign != haFull) p.Right = p.Left + gw;
    using enum TCellVAlign;
    TCellVAlign gva = g.CellVAlign;
    if (IsCheckKind(t) && va != FVAlignment)
        gva = va == vtaTop ? vaTop : va == vtaCenter ? vaCenter : vaBottom;
    switch (gva) {
    case vaTop:
    case vaAboveText: p.Top = r.Top + 1; break;
    case vaBottom: p.Top = r.Bottom - 1 - gh; break;
    case vaCenter: p.Top = gh < height ? r.Top + (height - gh) / 2 : r.Top + 1; break;
    case vaUnderText: p.Top = r.Bottom - gh; break;
    case vaFull: break;
    }
    p.Bottom = gva == vaUnderText || gva == vaFull ? r.Bottom : p.Top + gh;
    return p;
}

void TExtStringGrid::DrawCellGraphic(TCanvas& canvas, const TExtCellPlan& plan, const TRect& placed, const TRect& cell)
{
    TCellGraphic& g = *plan.Graphic;
    const int rc = plan.RealCol;
    const int row = plan.Row;
    bool enabled = true;
    QueryCanEdit(rc, row, enabled);
    const TControlStyle style = FControlLook->ControlStyle();
    const int gw = plan.GraphicWidth;
    TRect p = placed;
    // The area the graphic was placed in (after the offsets).
    const TRect area{cell.Left + FXYOffset.x() - 1, cell.Top + FXYOffset.y() - 1, cell.Right - FXYOffset.x() + 1,
                     cell.Bottom - FXYOffset.y() + 1};
    const TCustomImageList* images = GetGridImages();
    switch (g.CellType) {
    case ctBitmap:
        if (const QImage* b = g.Bitmap()) {
            if (g.CellTransparent) DrawGlyph(canvas, p.Left, p.Top, *b);
            else canvas.Draw(p.Left, p.Top, *b);
        }
        break;
    case ctIcon:
        if (const QImage* i = g.Icon()) canvas.Draw(p.Left, p.Top, *i);
        break;
    case ctImageList:
        if (images) images->Draw(canvas, p.Left, p.Top, g.CellIndex);
        break;
    case ctDataImage: {
        const int index = Ints(rc, row) + g.CellIndex;
        if (images && index >= 0 && index < images->Count()) images->Draw(canvas, p.Left, p.Top, index);
        break;
    }
    case ctImages:
        if (images && g.IntList()) {
            int x = p.Left, y = p.Top;
            for (int i = 0; i < g.IntList()->Count(); ++i) {
                images->Draw(canvas, x, y, g.IntList()->Items(i));
                if (g.CellBoolean) x += images->Width();
                else y += images->Height();
            }
        }
        break;
    case ctPicture:
        if (const QImage* pic = g.Picture()) {
            if (TStretchMode(g.CellAngle) != TStretchMode::noStretch) canvas.StretchDraw(p, *pic);
            else canvas.Draw(p.Left, p.Top, *pic);
        }
        break;
    case ctFilePicture:
        if (const TFilePicture* fp = g.FilePicture()) fp->DrawPicture(canvas, p);
        break;
    case ctInterface:
        if (TInterfacedPersistent* object = g.Interfaced())
            object->Draw(canvas, {cell.Left - 1, cell.Top - 1, cell.Right, cell.Bottom}, rc, row,
                         CellInSelection(DisplColIndex(rc), row), false);
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
    case ctRadioButton: {
        const int tw = FTextWidth;
        const bool plain = g.CellType == ctCheckBox || g.CellType == ctTriStateCheckBox || g.CellType == ctRadioButton;
        if (FTextAlign == taRightJustify) {
            const int right = plain || g.CellType == ctRadioButton ? area.Right - tw : area.Right;
            p.Left = std::max(area.Left + 1, right - gw - 1);
        } else if (FTextAlign == taCenter) {
            if (plain && tw >= 1) p.Left = area.Left + std::max(0, area.Right - tw - area.Left) / 2 - gw;
            else p.Left = area.Left + std::max(0, area.Right - gw - area.Left) / 2;
            p.Left = std::max(p.Left, area.Left + 1);
        } else {
            p.Left = area.Left + 1;
        }
        p.Right = p.Left + gw;
        if (g.CellType == ctRadioButton) {
            p.Left += FXYOffset.x();
            const int rs = FControlLook->RadioSize() + (style == csFlat ? 2 : 0);
            DrawRadioGlyph(canvas, {p.Left, p.Top, p.Left + rs, p.Top + rs}, style, g.CellBoolean, enabled);
            break;
        }
        bool checked = g.CellBoolean;
        if (g.CellType == ctDataCheckBox || g.CellType == ctVirtCheckBox) {
            QString trueText;
            GetCheckTrue(rc, row, trueText);
            checked = GridCells(rc, row) == trueText;
        }
        DrawCheckBoxGlyph(canvas, p, checked, g.CellCheckBoxState, g.CellType == ctTriStateCheckBox, style,
                          g.CellAngle > 0, enabled);
        break;
    }
    case ctRadio: {
        const QStringList* items = g.Strings();
        canvas.SetFont(plan.Font.Font);
        canvas.SetFontColor(plan.Font.Color);
        DrawRadioGlyph(canvas, area, false, 1.0, style, row, rc, CellInSelection(DisplColIndex(rc), row), items,
                       !enabled, g.CellBoolean, g.CellIndex, items ? int(items->size()) : 0);
        break;
    }
    case ctRotated: {
        TRect o = cell;
        const QString text = GetFormattedCell(rc, row);
        RotatedTextOrigin(o, g.CellAngle, plan.VAlign, plan.HAlign, text);
        QPainter& painter = canvas.Painter();
        painter.save();
        painter.setClipRect(QRect(cell.Left + 2, cell.Top + 2, cell.Width() - 4, cell.Height() - 4), Qt::IntersectClip);
        painter.setFont(plan.Font.Font);
        painter.setPen(ColorToQColor(plan.Font.Color));
        painter.translate(o.Left, o.Top);
        painter.rotate(-g.CellAngle);
        painter.drawText(0, QFontMetrics(plan.Font.Font).ascent(), text);
        painter.restore();
        // A rotated header of the sorted column, or of a key of the sort
        // list, carries its mark at the top right.
        const int dc = DisplColIndex(rc);
        if (IsSortIndicatorCell(dc, row) && (rc == FSortSettings->Column() || FSortIndexes.FindIndex(rc) >= 0) &&
            TCustomGrid::FixedRows() > 0 && (dc >= TCustomGrid::FixedCols() || FSortSettings->FixedCols()))
            DrawSortIndicator(canvas, rc, p.Top + 8, area.Right - 10);
        break;
    }
    case ctProgress: {
        TRect b = cell.Inflated(-2, -2);
        TProgressFmtColors colors;
        colors.Bar = g.BitmapColor();
        colors.Background = g.IconColor();
        if (g.CellBoolean) {
            colors.BarText = TColor(g.CellIndex);
            colors.BackgroundText = TColor(g.CellAngle);
        } else {
            colors.BarText = ColorToRGB(g.BitmapColor()) ^ 0xFFFFFF;
            colors.BackgroundText = ColorToRGB(g.IconColor()) ^ 0xFFFFFF;
        }
        canvas.SetPenColor(FControlLook->ProgressBorderColor());
        DrawCellProgressBarFmt(canvas, b, colors, g.CellText, g.CellErrFrom, g.CellErrLen,
                               FControlLook->ProgressMarginX(), FControlLook->ProgressMarginY(), Floats(rc, row));
        break;
    }
    case ctXPProgress: {
        TRect b = cell.Inflated(-FControlLook->ProgressMarginX(), -FControlLook->ProgressMarginY());
        b.Right -= 1;
        b.Bottom -= 1;
        const int range = g.CellErrLen - g.CellErrFrom;
        const int pct = range == 0 ? 0 : int(std::lround(std::abs(double(Ints(rc, row) - g.CellErrFrom)) / range * 100));
        const TGridProgressAppearance& a = *FProgressAppearance;
        TProgressSettings s;
        s.LevelColor[0] = a.Level0Color();
        s.LevelColor[1] = a.Level1Color();
        s.LevelColor[2] = a.Level2Color();
        s.LevelColor[3] = a.Level3Color();
        s.LevelColorTo[0] = a.Level0ColorTo();
        s.LevelColorTo[1] = a.Level1ColorTo();
        s.LevelColorTo[2] = a.Level2ColorTo();
        s.LevelColorTo[3] = a.Level3ColorTo();
        s.Level1Perc = a.Level1Perc();
        s.Level2Perc = a.Level2Perc();
        s.ShowBorder = a.ShowBorder();
        s.BorderColor = a.BorderColor();
        s.Stacked = a.Stacked();
        s.ShowPercentage = a.ShowPercentage();
        s.CompletionSmooth = a.CompletionSmooth();
        s.ShowGradient = a.ShowGradient();
        s.Font = Font;
        s.CompleteFontColor = a.CompleteFontColor();
        s.Steps = a.Steps();
        s.UnCompleteColor = a.UnCompleteColor() != clNone ? a.UnCompleteColor() : canvas.BrushColor();
        DrawCellProgressBar(canvas, b, pct, s);
        break;
    }
    case ctComment: {
        if (FControlLook->CommentColor() == clNone) break;
        const int x = area.Right + FXYOffset.x(), t = area.Top - FXYOffset.y() + 1;
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(TColor(g.CellIndex));
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(TColor(g.CellIndex));
        canvas.Polygon({QPoint(x - 8, t), QPoint(x - 3, t), QPoint(x - 3, t + 5)});
        canvas.SetBrushColor(Color);
        break;
    }
    case ctNode: {
        const TCellNode& cn = *FCellNode;
        const int indent = GetNodeIndent(row);
        const int ni = cn.NodeIndent();
        TRect R = cell;
        R.Left = indent - ni;
        const int mid = (R.Top + R.Bottom) / 2;
        if (cn.ShowTree() && row >= TCustomGrid::FixedRows()) {
            canvas.SetPenStyle(TPenStyle::Solid);
            canvas.SetPenWidth(1);
            const int x = R.Left + ni / 2 + 2;
            const int next = row + 1 < RowCount() ? GetNodeIndent(row + 1) : 0;
            if (next > 0 && (!g.CellBoolean || next >= indent)) Line(canvas, cn.TreeColor(), x, mid, x, R.Bottom);
            if (row > 0 && GetNodeIndent(row - 1) >= indent) Line(canvas, cn.TreeColor(), x, R.Top, x, R.Top + 6);
        }
        R.Left = indent - ni / 2 - 4;
        if (plan.Fixed && !FFlat &&
            (FLook == TGridLook::glSoft || FLook == TGridLook::glStudio || FLook == TGridLook::glXP ||
             FLook == TGridLook::glListView))
            R.Left += 1;
        TColor back = plan.BrushColor;
        if (back == clNone) back = TCustomGrid::FixedCols() == 0 ? Color : FixedColor;
        const bool contracted = g.CellBoolean;
        const TNodeType type = cn.NodeType();
        if (type == TNodeType::cn3D) FillRectColor(canvas, R, cn.Color());
        if (type == TNodeType::cnLeaf) {
            const QImage leaf = GridGlyph(contracted ? QStringLiteral("ESGLEAFCLOSE") : QStringLiteral("ESGLEAFOPEN"));
            DrawGlyph(canvas, R.Left, mid - 6, leaf);
        } else if (type == TNodeType::cnXP) {
            canvas.Draw(R.Left + 4, mid - 5, GridGlyph(contracted ? QStringLiteral("XPNODEC") : QStringLiteral("XPNODEO")));
        } else if (type == TNodeType::cnGlyph && !cn.ExpandGlyph().isNull() && !cn.ContractGlyph().isNull()) {
            const QImage& glyph = contracted ? cn.ContractGlyph() : cn.ExpandGlyph();
            DrawBitmapTransparent(canvas, glyph, back, {R.Left, mid - glyph.height() / 2, R.Left + glyph.width(), mid + glyph.height()});
        } else {
            const TRect box{R.Left + 4, mid - 4, R.Left + 13, mid + 5};
            FillRectColor(canvas, box, cn.Color());
            canvas.SetPenStyle(TPenStyle::Solid);
            canvas.SetPenWidth(1);
            if (type == TNodeType::cnFlat) {
                canvas.SetPenColor(cn.NodeColor());
                canvas.SetBrushStyle(TBrushStyle::Clear);
                canvas.Rectangle(box);
                canvas.SetBrushStyle(TBrushStyle::Solid);
                Line(canvas, cn.NodeColor(), box.Left + 2, box.Top + 4, box.Left + 7, box.Top + 4);
                if (contracted) Line(canvas, cn.NodeColor(), box.Left + 4, box.Top + 2, box.Left + 4, box.Top + 7);
            } else {
                // Raised when contracted, sunken when expanded.
                const TColor lt = contracted ? clWhite : clGray, rb = contracted ? clGray : clWhite;
                Line(canvas, lt, box.Left, box.Bottom - 1, box.Left, box.Top);
                Line(canvas, lt, box.Left, box.Top, box.Right - 1, box.Top);
                Line(canvas, rb, box.Right - 1, box.Top, box.Right - 1, box.Bottom - 1);
                Line(canvas, rb, box.Right - 1, box.Bottom - 1, box.Left - 1, box.Bottom - 1);
            }
        }
        break;
    }
    case ctProgressPie:
        DrawCellPie(canvas, {p.Left, p.Top, p.Left + 20, p.Top + 20}, g.BitmapColor(), false, g.CellAngle);
        break;
    case ctRangeIndicator: {
        const TRect b = cell.Inflated(-FControlLook->ProgressMarginX(), -FControlLook->ProgressMarginY());
        DrawCellBarGraph(canvas, b, Ints(rc, row), g.IconColor(), g.BitmapColor(), g.CellBoolean, g.CellIndex);
        break;
    }
    case ctShape:
        DrawCellShape(canvas, p.Left, p.Top, g.BitmapColor(), TColor(g.CellIndex), TCellShape(g.CellAngle),
                      p.Bottom - p.Top - 1, p.Right - p.Left - 1);
        break;
    case ctRating: {
        const double v = std::trunc(Floats(rc, row) * 2) / 2;
        int x = p.Left;
        for (int i = 0; i < g.CellAngle; ++i) {
            const TColor fill = i + 1 > v ? g.BitmapColor() : TColor(g.CellIndex);
            DrawCellShape(canvas, x, p.Top, fill, fill, csStar, 16, 16);
            if (i < v && v < i + 1) DrawCellShape(canvas, x, p.Top, TColor(g.CellIndex), TColor(g.CellIndex), csHalfStar, 16, 16);
            x += 18;
        }
        break;
    }
    case ctButton:
    case ctBitButton:
    case ctExpand: {
        const bool expand = g.CellType == ctExpand;
        TRect b = expand ? TRect{area.Right - 13, area.Top, area.Right, area.Top + 13} : p;
        // Where the button sits in the cell, for the mouse hit test.
        g.CellValue = double(((b.Top - cell.Top) & 0xFFFF) << 16 | ((b.Left - cell.Left) & 0xFFFF));
        // Down while pressed, hot while the mouse is over it.
        int state = g.CellBoolean ? 2 : (FHoverButton == TGridCoord{DisplColIndex(rc), row} ? 1 : 0);
        if (!expand && !FControlLook->NoDisabledButtonLook() && !enabled) state = 3;
        int look = FControlLook->FlatButton() ? 2 : (IsThemedComCtl6() ? 0 : 1);
        if (FFlat && FTones.Background.BrushColor != clNone) look = 3;
        DrawThemedPushButton(canvas, HandleAllocated() ? reinterpret_cast<QWidget*>(Widget()) : nullptr, b,
                             ButtonColorsFromTones(FTones), state, look);
        if (expand) {
            canvas.SetPenColor(clBlack);
            const int R = area.Right, T = area.Top;
            if (!g.CellVar.toBool()) canvas.Polyline({QPoint(R - 10, T + 5), QPoint(R - 7, T + 8), QPoint(R - 3, T + 4)});
            else canvas.Polyline({QPoint(R - 10, T + 8), QPoint(R - 7, T + 5), QPoint(R - 3, T + 9)});
            break;
        }
        // A pressed button moves its content by one pixel down and right.
        const int shift = state == 2 ? 1 : 0;
        TRect tr{b.Left + 1 + shift, b.Top + shift, b.Right + shift, b.Bottom + shift};
        const QImage* glyph = g.CellType == ctBitButton ? g.Bitmap() : nullptr;
        if (glyph && !glyph->isNull()) {
            const int gwid = glyph->width(), ghei = glyph->height();
            const bool room = gwid + 6 <= b.Width();
            int gx = b.Left + 3, gy = ghei <= b.Height() ? b.Top + (b.Height() - ghei) / 2 : b.Top + 3;
            if (g.CellText.isEmpty() && room) gx = b.Left + (b.Width() - gwid) / 2;
            DrawGlyph(canvas, gx + shift, gy + shift, *glyph);
            // The caption takes the room after the glyph.
            tr.Left = gx + gwid + shift;
        }
        if (!g.CellText.isEmpty()) {
            TColor text = clBtnText;
            if (look == 3) {
                const TColorTone* tones[] = {&FTones.Background, &FTones.Hover, &FTones.Selected, &FTones.Disabled};
                if (tones[state]->TextColor != clNone) text = tones[state]->TextColor;
            }
            canvas.SetBkMode(TBkMode::Transparent);
            canvas.SetBrushColor(clBtnFace);
            canvas.SetFontColor(text);
            canvas.DrawText(g.CellText, tr,
                            tfCenter | tfVCenter | tfEndEllipsis | tfNoPrefix |
                                (g.CellText.contains(QLatin1Char('\r')) ? tfWordBreak : tfSingleLine));
        }
        break;
    }
    default: break;
    }
}

void TExtStringGrid::DrawCheckBoxGlyph(TCanvas& canvas, const TRect& r, bool checked, TCheckBoxState state,
                                       bool triState, TControlStyle style, bool grayed, bool enabled)
{
    const bool en = enabled || FControlLook->NoDisabledCheckRadioLook() || FControlLook->CheckAlwaysActive();
    if (style == csTheme && !IsThemedComCtl6()) style = csClassic;
    if (triState) {
        checked = state == cbChecked;
        grayed = state == cbGrayed;
    }
    const int size = FControlLook->CheckSize();
    switch (style) {
    case csWinXP:
    case csStudio: {
        const int base = style == csStudio ? 1 : 5;
        const int n = base + (checked ? 0 : 1) + (en ? 0 : 2);
        DrawGlyph(canvas, r.Left, r.Top, GridGlyph(QStringLiteral("ESGCHK0%1").arg(n)));
        break;
    }
    case csGlyph: DrawGlyph(canvas, r.Left, r.Top, checked ? FControlLook->CheckedGlyph() : FControlLook->UnCheckedGlyph()); break;
    case csBorland: {
        const TRect b{r.Left, r.Top, r.Left + size, r.Top + size};
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(clBtnFace);
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(en ? clBtnFace : clBtnShadow);
        canvas.Rectangle(b);
        Line(canvas, clBtnHighlight, b.Left, b.Bottom - 1, b.Left, b.Top);
        Line(canvas, clBtnHighlight, b.Left, b.Top, b.Right - 1, b.Top);
        Line(canvas, clBtnShadow, b.Right - 1, b.Top, b.Right - 1, b.Bottom - 1);
        Line(canvas, clBtnShadow, b.Right - 1, b.Bottom - 1, b.Left, b.Bottom - 1);
        if (checked) {
            const TColor tick = en ? FControlLook->Color() : clGray;
            const int top = b.Top - 1, bottom = b.Bottom - 1;
            Line(canvas, tick, b.Left + 2, top + size / 2, b.Left + size / 2 - 1, bottom - 2);
            Line(canvas, tick, b.Left + 3, top + size / 2, b.Left + size / 2, bottom - 2);
            Line(canvas, tick, b.Left + size / 2 - 1, bottom - 2, b.Right - 2, top + 3);
            Line(canvas, tick, b.Left + size / 2, bottom - 2, b.Right - 1, top + 3);
        }
        break;
    }
    case csTheme: {
        QStyleOptionButton opt;
        opt.rect = QRect(r.Left, r.Top, size, size);
        opt.state = grayed ? QStyle::State_NoChange : checked ? QStyle::State_On : QStyle::State_Off;
        if (en) opt.state |= QStyle::State_Enabled;
        QApplication::style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, &canvas.Painter());
        break;
    }
    case csClassic:
    case csFlat: {
        const int x = r.Left + (r.Width() - size) / 2, y = r.Top + (r.Height() - size) / 2;
        DrawClassicCheck(canvas, {x, y, x + size, y + size}, checked, grayed, style == csFlat, en);
        break;
    }
    }
}

void TExtStringGrid::DrawRadioGlyph(TCanvas& canvas, const TRect& r, bool reverse, double scale, TControlStyle style,
                                    int row, int col, bool selected, const QStringList* items, bool disabled,
                                    bool horizontal, int index, int count)
{
    if (style == csTheme && !IsThemedComCtl6()) style = csClassic;
    const QFontMetrics fm(canvas.Font());
    const int th = fm.height();
    const bool small = style == csClassic || style == csFlat;
    const int size = small ? int((FControlLook->RadioSize() + (style == csFlat ? 2 : 0)) * scale) : 16;
    const QString cellText = GridCells(col, row);
    canvas.SetBkMode(TBkMode::Transparent);
    if (items && selected && FShowSelection && FSelectionTextColor != clNone) canvas.SetFontColor(FSelectionTextColor);
    const TColor textColor = canvas.FontColor();
    // Rows of a vertical group run up the canvas when reversed (a canvas
    // whose y axis points up).
    const int dir = reverse ? -1 : 1;
    int before = 0; // widths of the earlier captions
    for (int i = 1; i <= count; ++i) {
        const QString caption = items && i - 1 < items->size() ? items->at(i - 1) : QString();
        const bool checked = i == index + 1 || (index == -1 && items && caption == cellText);
        int x = 0, y = 0, tx = 0, ty = 0;
        if (horizontal) {
            x = small ? r.Left + 2 + (i - 1) * size + before : r.Left + i * 16 - 14 + before;
            y = r.Top + (r.Height() - size) / 2;
            tx = x + (small ? size + 2 : 16);
            ty = r.Top + (r.Height() - th) / 2 - (small ? 2 : 0);
        } else {
            const int pitch = small ? th : std::max(16, th);
            x = r.Left + 2;
            y = r.Top + 2 + dir * (i - 1) * pitch;
            tx = small ? r.Left + 2 + int((FControlLook->RadioSize() + 4) * scale)
                       : r.Left + (style == csBorland || style == csTheme ? 20 : 18);
            ty = y + (size - th) / 2;
        }
        if (count == 1 && caption.isEmpty()) x = r.Left + (r.Width() - size) / 2;
        DrawRadioGlyph(canvas, {x, y, x + size, y + size}, style, checked, !disabled);
        if (!caption.isEmpty()) {
            canvas.SetFontColor(textColor);
            canvas.TextOut(tx, ty, caption);
        }
        before += fm.horizontalAdvance(caption);
    }
}

void TExtStringGrid::DrawRadioGlyph(TCanvas& canvas, const TRect& r, TControlStyle style, bool checked, bool enabled)
{
    const bool en = enabled || FControlLook->NoDisabledCheckRadioLook() || FControlLook->RadioAlwaysActive();
    if (style == csTheme && !IsThemedComCtl6()) style = csClassic;
    switch (style) {
    case csWinXP:
    case csStudio: {
        const int n = (style == csStudio ? 1 : 5) + (checked ? 0 : 1) + (en ? 0 : 2);
        DrawGlyph(canvas, r.Left, r.Top, GridGlyph(QStringLiteral("ESGRAD0%1").arg(n)));
        break;
    }
    case csGlyph: DrawGlyph(canvas, r.Left, r.Top, checked ? FControlLook->RadioOnGlyph() : FControlLook->RadioOffGlyph()); break;
    case csTheme: {
        QStyleOptionButton opt;
        opt.rect = QRect(r.Left, r.Top, 16, 16);
        opt.state = checked ? QStyle::State_On : QStyle::State_Off;
        if (en) opt.state |= QStyle::State_Enabled;
        QApplication::style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &opt, &canvas.Painter());
        break;
    }
    case csBorland: {
        const int s = 12, x = r.Left, y = r.Top + std::max(0, (r.Height() - s) / 2);
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(clBtnFace);
        canvas.SetPenColor(clBtnFace);
        canvas.Polygon({QPoint(x, y + s / 2), QPoint(x + s / 2, y), QPoint(x + s, y + s / 2), QPoint(x + s / 2, y + s)});
        Line(canvas, clWhite, x, y + s / 2, x + s / 2, y);
        Line(canvas, clWhite, x + s / 2, y, x + s, y + s / 2);
        Line(canvas, clGray, x + s, y + s / 2, x + s / 2, y + s);
        Line(canvas, clGray, x + s / 2, y + s, x, y + s / 2);
        if (checked) FillRectColor(canvas, {x + s / 2 - 1, y + s / 2 - 1, x + s / 2 + 2, y + s / 2 + 2}, clBlack);
        break;
    }
    case csClassic:
    case csFlat: {
        const int size = std::max(1, r.Width());
        const TRect b{r.Left, r.Top, r.Left + size, r.Top + size};
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(style == csFlat ? clBtnShadow : cl3DDkShadow);
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(en ? clWindow : clBtnFace);
        canvas.Ellipse(b);
        if (checked) {
            canvas.SetPenColor(en ? clWindowText : clBtnShadow);
            canvas.SetBrushColor(en ? clWindowText : clBtnShadow);
            canvas.Ellipse(b.Inflated(-size / 3, -size / 3));
        }
        break;
    }
    }
}
