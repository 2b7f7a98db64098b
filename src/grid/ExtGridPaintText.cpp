// The text of a cell: where and how it is drawn (selection colours, links,
// mini-HTML, the filter button, the sort indicator, the error marker), the
// measuring that column and row sizing share with painting, and the
// placement of rotated text.
#include "controls/EsgHTMLE.h"
#include "controls/ExtRichText.h"
#include "controls/ExtUtil.h"
#include "controls/ExtUtilDraw.h"
#include "grid/ExtGrid.h"

#include <QFontMetrics>
#include <QRegion>
#include <algorithm>
#include <cmath>

using enum TCellType;

namespace {

// The flags of the text drawer for the alignments.
unsigned AlignFlags(TAlignment ha, TVAlignment va)
{
    unsigned f = 0;
    if (ha == taRightJustify) f |= tfRight;
    else if (ha == taCenter) f |= tfCenter;
    if (va == vtaCenter) f |= tfVCenter;
    else if (va == vtaBottom) f |= tfBottom;
    return f;
}

// Width and height of text drawn with the flags in a rectangle of the given width.
QSize TextBox(const QFont& font, const QString& text, int width, unsigned flags)
{
    const QFontMetrics fm(font);
    if (flags & tfSingleLine) return QSize(fm.horizontalAdvance(text), fm.height());
    int qf = Qt::TextExpandTabs;
    if (flags & tfWordBreak) qf |= Qt::TextWordWrap;
    const QRect b = fm.boundingRect(QRect(0, 0, std::max(1, width), 1 << 20), qf, text);
    return b.size();
}

} // namespace

void PlaceRotatedText(TRect& r, TAlignment ha, TVAlignment va, int a, int b, int c, int d, int angle)
{
    const int q = angle <= 90 ? 1 : angle <= 180 ? 2 : angle <= 270 ? 3 : 4;
    auto half = [](int v) { return v / 2; };
    const int k = half(b + r.Top + a - r.Bottom);
    const int L = r.Left, R = r.Right, T = r.Top, B = r.Bottom;
    int left = L, top = T;
    switch (q) {
    case 1:
        left = ha == taLeftJustify ? L : ha == taRightJustify ? R - d - c : L + half(R - L - c - d);
        top = va == vtaTop ? T + b : va == vtaCenter ? T + b - k : B - a;
        break;
    case 2:
        left = ha == taLeftJustify ? L + d : ha == taRightJustify ? R - c : R - half(c + R - L - d);
        top = va == vtaTop ? T + a + b : va == vtaCenter ? T + a + b - k : B;
        break;
    case 3:
        left = ha == taLeftJustify ? L + c + d : ha == taRightJustify ? R : R - half(R - L - c - d);
        top = va == vtaTop ? T + a : va == vtaCenter ? T + a - k : B - b;
        break;
    default:
        left = ha == taLeftJustify ? L + c : ha == taRightJustify ? R - d : L + half(c + R - L - d);
        top = va == vtaTop ? T : va == vtaCenter ? T - k : B - a - b;
        break;
    }
    r.Left = left;
    r.Top = top;
}

void TExtStringGrid::RotatedTextOrigin(TRect& r, int angle, TVAlignment va, TAlignment ha, const QString& text)
{
    r = r.Inflated(-2, -2);
    const QFontMetrics fm(Canvas() ? Canvas()->Font() : Font);
    const int w = fm.horizontalAdvance(text), h = fm.height();
    const double rad = angle * 3.1415926535897932385 / 180;
    const double s = std::abs(std::sin(rad)), co = std::abs(std::cos(rad));
    PlaceRotatedText(r, ha, va, int(co * h), int(s * w), int(s * h), int(co * w), angle);
}

QSize TExtStringGrid::GetCellTextSize(int c, int r, bool vs, bool sb)
{
    QString text = GetFormattedCell(c, r);
    const int kind = DetectCellTextKind(text, EnableHTML());
    const int dc = DisplColIndex(c);
    TGridDrawState state;
    TCellFont font;
    TCellBrush brush;
    GetFontProperties(dc, c, r, state, font, brush, true);
    const bool fixed = dc < TCustomGrid::FixedCols() || r < TCustomGrid::FixedRows();
    if (fixed && FActiveCellShow && FActiveCellFont.Font.bold()) font.Font.setBold(true);
    if (FZoomFactor != 0) font.Font.setPointSize(std::max(1, FontSizeOf(font.Font) + FZoomFactor));
    TRect R = CellRect(dc, r);
    R.Left += FXYOffset.x();
    R.Top += FXYOffset.y();
    if (!FXYOffsetTopLeftOnly) {
        R.Right -= FXYOffset.x();
        R.Bottom -= FXYOffset.y();
    }
    if (vs) R.Right -= 17;
    const QFontMetrics fm(font.Font);
    QSize size;
    if (kind == 1) {
        if (!sb) R.Right = 65535;
        R.Bottom = 65535;
        QImage scratch(1, 1, QImage::Format_RGB32);
        TCanvas canvas(&scratch);
        canvas.SetFont(font.Font);
        TMiniHtmlParams params(canvas, text, R);
        params.MeasureOnly = true;
        params.WordWrap = sb;
        const TMiniHtmlResult res = RenderMiniHtml(params);
        return QSize(res.MaxLineWidth + 2, res.TotalHeight + 2);
    }
    if (kind == 2) {
        const QSizeF rich = MeasureRichText(text, font.Font, sb ? R.Width() : -1);
        return QSize(int(std::ceil(rich.width())), int(std::ceil(rich.height())) + 4);
    }
    const TCellGraphic* g = GetCellGraphic(c, r);
    const bool rotated = g && g->CellType == ctRotated;
    if (sb) {
        R = R.Inflated(-2, -2);
        if (EditorMode() && c == RealColIndex(Col()) && r == Row() && text.endsWith(QLatin1Char('\n')))
            text += QLatin1Char('w');
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const QSize box = TextBox(font.Font, text, R.Width(), rotated ? tfSingleLine : tfWordBreak);
        size = QSize(R.Width(), box.height());
    } else {
        int width = 0, lines = 0;
        QString rest = text;
        do {
            QString line;
            if (Multilinecells()) ExtractFirstLine(rest, true, line);
            else {
                line = rest;
                rest.clear();
            }
            if (URLShow() && !URLFull() && kind == 0) RemoveUrlScheme(line);
            width = std::max(width, fm.horizontalAdvance(line));
            ++lines;
        } while (!rest.isEmpty());
        size = QSize(width, fm.height() * lines);
    }
    if (rotated) {
        const double rad = g->CellAngle * 3.1415926535897932385 / 180;
        const double s = std::sin(rad), co = std::cos(rad);
        const int W = size.width(), H = size.height();
        const int hs = std::abs(int(H * s)), wc = std::abs(int(W * co));
        const int hc = std::abs(int(H * co)), ws = std::abs(int(W * s));
        size = QSize(std::abs(hs - wc) + 12, std::abs(hc - ws) + 12);
    }
    return size;
}

namespace {

class TFontCellMeasurer : public TCellMeasurer {
public:
    using TCellMeasurer::TCellMeasurer;
    QSize GetCellTextSize(int c, int r, bool wordWrap) override { return Grid().GetCellTextSize(c, r, false, wordWrap); }
    int GetCellLineHeight(int c, int r) override
    {
        TGridDrawState state;
        TCellFont font;
        TCellBrush brush;
        Grid().GetFontProperties(Grid().DisplColIndex(c), c, r, state, font, brush, true);
        return QFontMetrics(font.Font).height();
    }
};

} // namespace

std::unique_ptr<TCellMeasurer> MakeFontCellMeasurer(TExtStringGrid& grid)
{
    return std::make_unique<TFontCellMeasurer>(grid);
}

// ---------------------------------------------------------------------------
// The text step of the cell painter

void TExtStringGrid::PlanCellText(TExtCellPlan& plan, int c, int r, const TVisualProperties& vp,
                                  const TCellFont& before, TColor brushBefore)
{
    const int rc = plan.RealCol;
    const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
    const TRect R = plan.Rect;
    plan.Font = vp.Font;
    plan.BrushColor = vp.Brush.Color;
    plan.HAlign = vp.HAlign;
    plan.VAlign = vp.VAlign;
    // 1.-2. Selection colours of the text.
    plan.UrlColor = URLColor();
    const bool displFixed = plan.Fixed;
    const bool selected = (CellInSelection(c, r) || (RowSelect(r) && HasOption(goRowSelect) && c >= fc)) &&
                          !displFixed && !FMouseActions->DisjunctRowSelect() && !FMouseActions->DisjunctColSelect();
    if (selected && FShowSelection) {
        if (FSelectionColor != clNone) plan.BrushColor = FSelectionColor;
        if (FSelectionTextColor != clNone) plan.Font.Color = FSelectionTextColor;
        plan.UrlColor = FSelectionTextColor;
    }
    (void)before;
    (void)brushBefore;
    // 3.-5. The text.
    QString text = GetFormattedCell(rc, r);
    int kind = DetectCellTextKind(text, EnableHTML());
    if (kind == 3) {
        FormulaCellText(rc, r, text);
        kind = DetectCellTextKind(text, EnableHTML());
    }
    if (const TCellGraphic* g = plan.Graphic; g && (g->CellType == ctEmpty || g->CellType == ctValue))
        GetMarker(rc, r, plan.ErrPos, plan.ErrLen);
    bool password = false;
    QueryPasswordCell(rc, r, password);
    if (password && !PasswordChar().isEmpty()) text = QString(text.size(), PasswordChar().at(0));
    // 6.-7.
    TRect TR = R;
    if (displFixed) {
        TR.Left += GridLineWidth();
        TR.Top += GridLineWidth();
    }
    plan.FilterButton = r == FFilterDropDownRow && GetColumnFilter(rc);
    // 9.-10. The grid's background inside the cell.
    {
        const TBackGround& bg = *FBackGround;
        const bool covered = bg.Cells() == TBackGroundCells::bcAll ||
                             (bg.Cells() == TBackGroundCells::bcFixed) == displFixed;
        const bool shownSelected = FShowSelection && (selected || vp.State.Contains(gdSelected));
        const int lw = GridLineWidth();
        const bool gradient = bg.Display() == TBackGroundDisplay::bdGradientHorz ||
                              bg.Display() == TBackGroundDisplay::bdGradientVert;
        const TCellType gkind = plan.Graphic ? plan.Graphic->CellType : ctEmpty;
        const bool control = gkind == ctCheckBox || gkind == ctDataCheckBox || gkind == ctRadio || gkind == ctButton ||
                             gkind == ctRadioButton;
        if (!bg.Bitmap().isNull() && covered && !shownSelected && Colors(rc, r) == clNone) {
            plan.Background = 1;
            plan.BackgroundRect = {TR.Left - lw + 1, TR.Top - lw + 1, TR.Right, TR.Bottom};
            // The tiling runs on from the first (normal) cell across the
            // columns and rows before this one.
            int px = 0, py = 0;
            const int c0 = bg.Cells() == TBackGroundCells::bcAll ? 0 : fc;
            const int r0 = bg.Cells() == TBackGroundCells::bcAll ? 0 : fr;
            for (int i = std::min(c0, c); i < c; ++i) px += ColWidths(i);
            for (int i = std::min(r0, r); i < r; ++i) py += RowHeights(i);
            plan.BackgroundPhase = QPoint(px % bg.Bitmap().width(), py % bg.Bitmap().height());
        } else if (gradient && bg.ColorTo() != clNone && covered && !shownSelected &&
                   (Colors(rc, r) == clNone || control)) {
            plan.Background = 2;
            plan.BackgroundRect = {TR.Left - 1, TR.Top - lw, TR.Right, TR.Bottom + lw - 1};
            const bool horz = bg.Display() == TBackGroundDisplay::bdGradientHorz;
            const int last = horz ? ClientWidth() : ClientHeight();
            const int a = horz ? R.Left : R.Top, b = horz ? R.Right : R.Bottom;
            plan.BackFrom = BlendColorStep(bg.Color(), bg.ColorTo(), 0, std::clamp(a, 0, last), last);
            plan.BackTo = BlendColorStep(bg.Color(), bg.ColorTo(), 0, std::clamp(b, 0, last), last);
        }
    }
    // 11. Selection rectangle.
    if (FSelectionRectangle && !displFixed && CellInSelection(c, r)) {
        const TGridRect s = Selection();
        const int lw = GridLineWidth();
        plan.SelectionRect = true;
        plan.SelRect = {TR.Left - lw + 1, TR.Top - lw + 1, TR.Right - 1, TR.Bottom};
        plan.SelLeft = c == s.Left;
        plan.SelRight = c == s.Right;
        plan.SelTop = r == s.Top;
        plan.SelBottom = r == s.Bottom;
        plan.SelResizer = FSelectionResizer && c == s.Right && r == s.Bottom;
    }
    // 13. The text rectangle and the graphic's room.
    TR.Left += FXYOffset.x();
    TR.Top += FXYOffset.y();
    if (!FXYOffsetTopLeftOnly) TR.Right -= FXYOffset.x();
    int graphicOffset = 0;
    if (plan.Graphic && plan.Graphic->CellType != ctRotated) {
        const TCellGraphic& g = *plan.Graphic;
        if (g.CellHAlign == TCellHAlign::haBeforeText) TR.Left += plan.GraphicWidth;
        else if (g.CellHAlign == TCellHAlign::haAfterText) TR.Right -= plan.GraphicWidth;
        else if (g.CellHAlign == TCellHAlign::haLeft) graphicOffset = plan.GraphicWidth;
        if (g.CellVAlign == TCellVAlign::vaAboveText) TR.Top += plan.GraphicHeight;
        else if (g.CellVAlign == TCellVAlign::vaUnderText) TR.Bottom -= plan.GraphicHeight;
    }
    if (rc == 0 && HasNodes() && !IsNode(r)) TR.Left += GetNodeIndent(r);
    const bool sortCell = IsSortIndicatorCell(c, r) && (rc == FSortSettings->Column() || FSortIndexes.FindIndex(rc) >= 0) &&
                          fr > 0 && (c >= fc || FSortSettings->FixedCols());
    auto sortY = [&](const TRect& t) {
        return plan.VAlign == vtaTop ? t.Top + 8 : plan.VAlign == vtaCenter ? (t.Top + t.Bottom) / 2 : t.Bottom - 8;
    };
    plan.Text = text;
    plan.DrawText = true;
    FTextAlign = plan.HAlign;
    FTextWidth = 0;
    if (kind == 1) {
        // 14. Mini-HTML.
        plan.TextKind = 1;
        if (plan.FilterButton) TR.Right -= 18;
        TR.Left -= 1;
        if (sortCell) TR.Right -= 10;
        plan.TextRect = TR;
        if (sortCell) {
            plan.SortIndicator = true;
            plan.SortX = TR.Right + 2;
            plan.SortY = sortY(TR);
        }
        return;
    }
    if (kind == 2) {
        // 15. Rich text: the brush fills the text rectangle first, unless
        // an unfocused selected cell shows no selection colour.
        plan.TextKind = 2;
        plan.TextRect = TR;
        plan.FillTextBrush = !(selected && !Focused() && FSelectionColor == clNone);
        return;
    }
    // 16. Plain text.
    if (plan.HAlign == taCenter && sortCell && rc == FSortSettings->Column()) TR.Left += 10;
    if (URLShow() && TextIsUrl(text)) {
        if (!URLFull()) RemoveUrlScheme(text);
        plan.Url = true;
        plan.Font.Font.setUnderline(true);
        plan.Font.Color = plan.UrlColor;
        plan.Text = text;
    }
    unsigned flags = 0;
    if (LineCountOf(text, Multilinecells()) <= 1 && !vp.WordWrap) {
        QString first;
        QString rest = text;
        ExtractFirstLine(rest, false, first);
        plan.Text = first;
        flags = tfSingleLine;
        if (EnhTextSize()) flags |= tfEndEllipsis;
    } else if (vp.WordWrap && !Multilinecells() && EnhTextSize()) {
        flags |= tfEndEllipsis;
    }
    flags |= tfNoPrefix | AlignFlags(plan.HAlign, plan.VAlign);
    if (vp.WordWrap || Multilinecells()) flags |= tfWordBreak;
    else flags |= tfSingleLine;
    plan.Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (plan.FilterButton) TR.Right -= 16;
    plan.TextFlags = flags;
    plan.TextRect = TR;
    if (plan.Graphic && !plan.Text.isEmpty())
        FTextWidth = TextBox(plan.Font.Font, plan.Text, TR.Width(), flags).width() + 2;
    if (sortCell) {
        TRect sr = R;
        if (plan.FilterButton) sr.Right -= 16;
        const int textWidth = QFontMetrics(plan.Font.Font).horizontalAdvance(plan.Text);
        const int w = std::max(0, std::min(sr.Width() - 16, textWidth));
        plan.SortIndicator = true;
        plan.SortX = plan.HAlign == taLeftJustify    ? sr.Left + w + graphicOffset + 10
                     : plan.HAlign == taRightJustify ? sr.Right - w - 10
                                                     : sr.Left + 8;
        plan.SortY = sortY(sr);
    }
}

void TExtStringGrid::ExecuteCellText(TCanvas& canvas, TExtCellPlan& plan)
{
    const TRect& R = plan.Rect;
    if (plan.FilterButton) {
        // The filter collection is not kept here: the plain glyph is shown.
        const QImage& glyph = FFilterDropDown->Glyph();
        if (glyph.isNull()) {
            DrawBitmapTransparent(canvas, GridGlyph(QStringLiteral("ESGFILT")), FixedColor,
                                  {R.Right - 16, R.Top, R.Right, R.Top + 16});
        } else {
            canvas.DrawTransparent(R.Right - 16, R.Top, glyph, QColorToColor(glyph.pixelColor(0, glyph.height() - 1)));
        }
    }
    if (plan.Background == 1) {
        const QImage& pic = FBackGround->Bitmap();
        const TRect& b = plan.BackgroundRect;
        canvas.Save();
        canvas.SetClipRegion(QRegion(b.Left, b.Top, b.Width(), b.Height()));
        if (FBackGround->Display() == TBackGroundDisplay::bdTile) {
            for (int y = b.Top - plan.BackgroundPhase.y(); y < b.Bottom; y += pic.height())
                for (int x = b.Left - plan.BackgroundPhase.x(); x < b.Right; x += pic.width()) canvas.Draw(x, y, pic);
        } else {
            canvas.Draw(FBackGround->Left(), FBackGround->Top(), pic);
        }
        canvas.Restore();
    } else if (plan.Background == 2) {
        FillGradientRect(canvas, plan.BackFrom, plan.BackTo,
                         FBackGround->Display() == TBackGroundDisplay::bdGradientHorz, plan.BackgroundRect, 128);
    }
    if (plan.SelectionRect) {
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenWidth(2);
        canvas.SetPenColor(FSelectionRectangleColor);
        const TRect& s = plan.SelRect;
        auto line = [&canvas](int x0, int y0, int x1, int y1) {
            canvas.MoveTo(x0, y0);
            canvas.LineTo(x1, y1);
        };
        if (plan.SelLeft) line(s.Left, s.Top, s.Left, s.Bottom);
        if (plan.SelRight) line(s.Right, s.Top, s.Right, s.Bottom);
        if (plan.SelTop) line(s.Left, s.Top, s.Right, s.Top);
        if (plan.SelBottom) line(s.Left, s.Bottom, s.Right, s.Bottom);
        canvas.SetPenWidth(1);
        if (plan.SelResizer) FillRectColor(canvas, {s.Right - 4, s.Bottom - 4, s.Right, s.Bottom}, FSelectionRectangleColor);
    }
    if (!plan.DrawText) return;
    // Beside an in-cell scroll bar the text moves up by its position,
    // clipped to the cell left of the bar.
    TRect textRect = plan.TextRect;
    const bool scrolled = plan.ScrollBar && plan.ScrollPos > 0;
    if (scrolled) {
        canvas.Save();
        const TRect& cell = plan.Rect;
        canvas.Painter().setClipRect(
            QRect(cell.Left, cell.Top, plan.ScrollBarRect.Left - cell.Left, cell.Height()), Qt::IntersectClip);
        textRect.Top -= plan.ScrollPos;
        textRect.Bottom -= plan.ScrollPos;
    }
    canvas.SetFont(plan.Font.Font);
    canvas.SetFontColor(plan.Font.Color);
    canvas.SetBrushColor(plan.BrushColor);
    canvas.SetBkMode(TBkMode::Transparent);
    if (plan.TextKind == 2) {
        if (plan.FillTextBrush) FillRectColor(canvas, plan.TextRect, plan.BrushColor);
        DrawRichTextCell(plan.RealCol, plan.Row, textRect, canvas);
        canvas.SetFontColor(clBlack);
    } else if (plan.TextKind == 1) {
        TMiniHtmlParams params(canvas, plan.Text, textRect);
        params.URLColor = plan.UrlColor;
        params.ShadowTextColor = clGray;
        params.UnderlineHoverOnly = URLUnderlineOnHover();
        params.WordWrap = true;
        params.ThemeWindow = HandleAllocated() ? reinterpret_cast<QWidget*>(Widget()) : nullptr;
        const TMiniHtmlResult res = RenderMiniHtml(params);
        FTextWidth = res.MaxLineWidth;
    } else {
        TRect tr = textRect;
        canvas.DrawText(plan.Text, tr, plan.TextFlags);
        if (plan.ErrLen > 0)
            DrawSpellErrorSquiggle(nullptr, canvas, plan.Text, plan.ErrLen, plan.ErrPos, 0, textRect);
    }
    if (scrolled) canvas.Restore();
    if (plan.SortIndicator) DrawSortIndicator(canvas, plan.RealCol, plan.SortY, plan.SortX);
}

void TExtStringGrid::DrawSortIndicator(TCanvas& canvas, int c, int y, int x)
{
    const TSortSettings& ss = *FSortSettings;
    const int place = FSortIndexes.FindIndex(c);
    const bool descending =
        place >= 0 ? !FSortIndexes.SortDirections(place) : ss.Direction() == TSortDirection::sdDescending;
    if (place > 0 && !ss.IndexShow()) return;
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenWidth(1);
    if (ss.IndexShow() && place >= 0) {
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(ss.IndexColor());
        canvas.SetPenColor(clBlack);
        if (descending) {
            if (ss.IndexUpGlyph().isNull()) canvas.Polygon({QPoint(x - 7, y - 5), QPoint(x + 7, y - 5), QPoint(x, y + 8)});
            else canvas.Draw(x - 7, y - 7, ss.IndexUpGlyph());
        } else {
            if (ss.IndexDownGlyph().isNull()) canvas.Polygon({QPoint(x - 6, y + 8), QPoint(x + 6, y + 8), QPoint(x, y - 4)});
            else canvas.Draw(x - 7, y - 7, ss.IndexDownGlyph());
        }
        QFont f = canvas.Font();
        f.setPointSize(6);
        canvas.SetFont(f);
        canvas.SetFontColor(clBlack);
        canvas.SetBkMode(TBkMode::Transparent);
        canvas.TextOut(x - 2, descending ? y - 4 : y - 2, QString::number(place + 1));
        return;
    }
    const bool glyphs = !ss.UpGlyph().isNull() && !ss.DownGlyph().isNull();
    auto line = [&canvas](TColor color, int x0, int y0, int x1, int y1) {
        canvas.SetPenColor(color);
        canvas.MoveTo(x0, y0);
        canvas.LineTo(x1, y1);
    };
    if (descending) {
        if (!glyphs) {
            line(clWhite, x + 4, y - 4, x, y + 4);
            line(clGray, x, y + 4, x - 4, y - 4);
            line(clGray, x - 4, y - 4, x + 4, y - 4);
            canvas.SetPenColor(clBlack);
        } else {
            canvas.DrawTransparent(x - 4, y - 4, ss.DownGlyph(), QColorToColor(ss.DownGlyph().pixelColor(0, 0)));
        }
    } else {
        if (!glyphs) {
            line(clWhite, x - 4, y + 4, x + 4, y + 4);
            line(clWhite, x + 4, y + 4, x, y - 4);
            line(clGray, x, y - 4, x - 4, y + 4);
            canvas.SetPenColor(clBlack);
        } else {
            canvas.DrawTransparent(x - 4, y - 4, ss.UpGlyph(), QColorToColor(ss.UpGlyph().pixelColor(0, 0)));
        }
    }
}

void TExtStringGrid::DrawRichTextCell(int c, int r, const TRect& rect, TCanvas& canvas)
{
    if (FDesigning) return;
    QString rtf = Cells(c, r);
    const int dc = DisplColIndex(c);
    const bool shownSelected = (CellInSelection(dc, r) && !(dc == Col() && r == Row() && Focused())) ||
                               (FMouseActions->DisjunctRowSelect() && RowSelect(r)) ||
                               (FMouseActions->DisjunctColSelect() && ColSelect(dc));
    if (shownSelected && !FSelectionRTFKeep && FSelectionTextColor != clNone) {
        TRichTextRuns runs = ParseRichText(rtf);
        for (TRichTextRun& run : runs) run.Color = ColorToQColor(FSelectionTextColor);
        rtf = RichTextRunsToRtf(runs);
    }
    const int dx = FXYOffset.x();
    const QRectF area(rect.Left + dx, rect.Top, std::max(0, rect.Width() - 2 * dx), rect.Height());
    DrawRichText(canvas.Painter(), area, rtf, canvas.Font(), ColorToQColor(canvas.FontColor()), true);
}
