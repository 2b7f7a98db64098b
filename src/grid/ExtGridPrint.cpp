// Printing and print preview of the string grid: the page composer, the
// page painter and the grid's print entry points.
#include "grid/ExtGridPrint.h"

#include "controls/EsgHTMLE.h"
#include "controls/EsgHTMLUtil.h"
#include "controls/ExtObjTypes.h"
#include "controls/ExtRichText.h"
#include "controls/ExtUtil.h"
#include "controls/ExtUtilDraw.h"
#include "platform/ImageList.h"
#include "platform/Canvas.h"
#include "platform/GridsWidget.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// x taken to the nearest integer, halves to even.
int Nearest(double x) { return int(std::lrint(x)); }

bool IsTop(TPrintPosition p)
{
    return p == TPrintPosition::ppTopLeft || p == TPrintPosition::ppTopRight || p == TPrintPosition::ppTopCenter;
}

bool IsBottom(TPrintPosition p)
{
    return p == TPrintPosition::ppBottomLeft || p == TPrintPosition::ppBottomRight ||
           p == TPrintPosition::ppBottomCenter;
}

// The lines of a cell text (CR LF, CR or LF end a line).
QStringList SplitLines(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t.split(QLatin1Char('\n'));
}

TDateTime ToDateTime(const QDateTime& dt)
{
    TDateTime d = EncodeDate(dt.date().year(), dt.date().month(), dt.date().day());
    TDateTime t = 0;
    TryEncodeTime(dt.time().hour(), dt.time().minute(), dt.time().second(), 0, t);
    return ComposeDateTime(d, t);
}

} // namespace

QString JoinWithBlank(const QString& a, const QString& b)
{
    if (b.isEmpty()) return a;
    if (a.isEmpty()) return b;
    return a + QLatin1Char(' ') + b;
}

// ---------------------------------------------------------------------------
// Measuring

QFont TDevicePrintMeasurer::DeviceFont(const QFont& font, int height, int dpi)
{
    QFont f = font;
    f.setPixelSize(std::max(1, Nearest(std::abs(height) * dpi / 254.0)));
    return f;
}

int TDevicePrintMeasurer::TextWidth(const QFont& font, int height, const QString& text)
{
    const QFontMetricsF fm(DeviceFont(font, height, FDpi));
    return int(std::ceil(fm.horizontalAdvance(text) * 254.0 / FDpi));
}

int TDevicePrintMeasurer::TextHeight(const QFont& font, int height)
{
    const QFontMetricsF fm(DeviceFont(font, height, FDpi));
    return int(std::ceil(fm.height() * 254.0 / FDpi));
}

// ---------------------------------------------------------------------------
// The composer

int TPrintComposer::MapHeight(const QFont& f) { return FGrid.MapFontHeight(FontSizeOf(f)); }

bool TPrintComposer::PrintRowIncluded(int r)
{
    if (!FSelectedOnly) return true;
    if (r < FGrid.FixedRows() && FGrid.PrintSettings().FixedCellsAlways()) return true;
    if (FGrid.MouseActions().DisjunctRowSelect()) return FGrid.RowSelect(r);
    const TGridRect sel = FGrid.Selection();
    return r >= sel.Top && r <= sel.Bottom;
}

bool TPrintComposer::PrintColIncluded(int c)
{
    if (!FSelectedOnly) return true;
    if (FGrid.MouseActions().DisjunctRowSelect()) return true;
    if (c < FGrid.FixedCols() && FGrid.PrintSettings().FixedCellsAlways()) return true;
    if (FGrid.MouseActions().DisjunctColSelect()) return FGrid.ColSelect(c);
    const TGridRect sel = FGrid.Selection();
    return c >= sel.Left && c <= sel.Right;
}

// Greedy word wrap of one text into lines no wider than width.
static QStringList WrapText(TPrintMeasurer& m, const QFont& font, int height, const QString& text, int width)
{
    QStringList out;
    for (const QString& para : SplitLines(text)) {
        const QStringList words = para.split(QLatin1Char(' '));
        QString line;
        for (const QString& w : words) {
            const QString candidate = line.isEmpty() ? w : line + QLatin1Char(' ') + w;
            if (!line.isEmpty() && m.TextWidth(font, height, candidate) > width) {
                out << line;
                line = w;
            } else {
                line = candidate;
            }
        }
        out << line;
    }
    return out;
}

// The text of a cell as printed, its look and its lines.
struct TPrintCellText {
    QString Text;
    int Kind = 0;   // 1: mini-HTML, 2: rich text
    QString Source; // the formatted source of those kinds
    TVisualProperties Look;
    int Height = 0;
    int Angle = 0;
    bool Rotated = false;
    QStringList Lines;
};

static TPrintCellText PrintCellText(TExtStringGrid& grid, int c, int r)
{
    TPrintCellText t;
    const int rc = grid.RealColIndex(c);
    t.Text = grid.IsDataGraphicCell(rc, r) ? QString() : grid.GetFormattedCell(c, r);
    const int kind = DetectCellTextKind(t.Text, grid.EnableHTML());
    if (kind == 1 || kind == 2) {
        t.Kind = kind;
        t.Source = t.Text;
    }
    switch (kind) {
    case 1: t.Text = StripMiniHtml(t.Text); break;
    case 2: t.Text = grid.RichCellToPlainText(t.Text); break;
    case 3: t.Text = grid.GridCells(rc, r); break;
    default: break;
    }
    t.Look.Print = true;
    t.Look.Select = false;
    t.Look.Remap = true;
    t.Look.WordWrap = grid.WordWrap();
    grid.GetVisualProperties(c, r, t.Look);
    t.Height = grid.MapFontHeight(FontSizeOf(t.Look.Font.Font));
    t.Rotated = grid.IsRotated(rc, r, t.Angle);
    const QStringList lines = SplitLines(t.Text);
    t.Lines = grid.Multilinecells() ? lines : QStringList{lines.value(0)};
    return t;
}

// Places a cell graphic of gs (0.1 mm) in the cell by its alignments and
// takes its room from the text.
static void PlacePrintGraphic(TPrintCell& cell, QSize gs, const TCellGraphic* g, bool noText, int margin)
{
    const TRect R = cell.FillRect; // Top > Bottom
    TCellHAlign ha = g->CellHAlign;
    // A check box without text follows the cell's alignment.
    if (noText && ha == TCellHAlign::haLeft) {
        if (cell.HAlign == taRightJustify) ha = TCellHAlign::haRight;
        else if (cell.HAlign == taCenter) ha = TCellHAlign::haCenter;
    }
    int left = R.Left + margin, right = left + gs.width();
    switch (ha) {
    case TCellHAlign::haRight:
    case TCellHAlign::haAfterText:
        right = R.Right - margin;
        left = right - gs.width();
        cell.TextRect.Right = std::min(cell.TextRect.Right, left);
        break;
    case TCellHAlign::haCenter:
        left = R.Left + (R.Width() - gs.width()) / 2;
        right = left + gs.width();
        break;
    case TCellHAlign::haFull:
        left = R.Left;
        right = R.Right;
        break;
    default: cell.TextRect.Left = std::max(cell.TextRect.Left, right + margin); break;
    }
    int top = R.Top - margin, bottom = top - gs.height();
    switch (g->CellVAlign) {
    case TCellVAlign::vaBottom:
    case TCellVAlign::vaAboveText:
        bottom = R.Bottom + margin;
        top = bottom + gs.height();
        if (g->CellVAlign == TCellVAlign::vaAboveText) cell.TextRect.Bottom = std::max(cell.TextRect.Bottom, top);
        break;
    case TCellVAlign::vaCenter:
        top = R.Top - (R.Top - R.Bottom - gs.height()) / 2;
        bottom = top - gs.height();
        break;
    case TCellVAlign::vaFull:
        top = R.Top;
        bottom = R.Bottom;
        break;
    case TCellVAlign::vaUnderText: cell.TextRect.Top = std::min(cell.TextRect.Top, bottom); break;
    default: break;
    }
    cell.GraphicRect = TRect{left, top, right, bottom};
}

QSize TPrintComposer::MeasurePrintCell(int c, int r)
{
    const TPrintCellText t = PrintCellText(FGrid, c, r);
    const QFont& font = t.Look.Font.Font;
    const TPrintSettings& ps = FGrid.PrintSettings();
    const int lh = FMeasurer.TextHeight(font, t.Height);
    QStringList lines = t.Lines;
    if (t.Text.isEmpty()) lines = QStringList{QStringLiteral("gh")};
    int w = 0, h = 0;
    if (t.Kind == 1) {
        // Mini-HTML is measured by its renderer at the grid's screen
        // resolution, in the print font's size.
        const int dpi = std::max(1, Nearest(254.0 / F));
        QImage probe(1, 1, QImage::Format_ARGB32);
        TCanvas canvas(&probe);
        canvas.SetFont(TDevicePrintMeasurer::DeviceFont(font, t.Height, dpi));
        const int width = ps.NoAutoSize() ? FGrid.ColWidths(c) + 12 : 65535;
        TMiniHtmlParams params(canvas, t.Source, TRect{0, 0, width, 65535});
        params.MeasureOnly = true;
        params.Printing = true;
        params.Images = FGrid.GetGridImages();
        const TMiniHtmlResult res = RenderMiniHtml(params);
        w = Nearest(res.MaxLineWidth * F);
        h = std::max(0, Nearest(res.TotalHeight * F) - Nearest(L.s * F));
    } else if (t.Look.WordWrap && ps.NoAutoSize() && !t.Rotated) {
        const int width = Nearest(FGrid.ColWidths(c) * F);
        w = width;
        h = lh * int(WrapText(FMeasurer, font, t.Height, lines.join(QLatin1Char('\n')), width - 2 * L.g2).size());
    } else {
        // A URL is measured as shown: without its scheme unless shown in full.
        const bool noScheme = FGrid.URLShow() && !FGrid.URLFull();
        for (QString line : lines) {
            if (noScheme) RemoveUrlScheme(line);
            w = std::max(w, FMeasurer.TextWidth(font, t.Height, line));
        }
        h = lh * int(lines.size());
    }
    if (t.Rotated) {
        const double a = t.Angle * M_PI / 180.0;
        const double co = std::abs(std::cos(a)), si = std::abs(std::sin(a));
        const int rw = Nearest(co * w) + Nearest(si * h);
        const int rh = Nearest(si * w) + Nearest(co * h);
        w = rw;
        h = rh;
    }
    if (ps.PrintGraphics()) {
        QSize gs;
        if (!PrintGraphic(c, r, gs).isNull()) {
            if (!t.Text.isEmpty()) w += gs.width();
            w = std::max(w, gs.width());
            h = std::max(h, gs.height());
        }
    }
    return QSize(w, h);
}

int TPrintComposer::PrintRowHeight(int r)
{
    if (r == FCachedRow) return FCachedHeight;
    const TPrintSettings& ps = FGrid.PrintSettings();
    int h = 0;
    if (ps.NoAutoSizeRow()) {
        h = Nearest(FGrid.RowHeights(r) * F) - 4;
    } else if (ps.UseFixedHeight()) {
        h = ps.FixedHeight();
    } else {
        const TGridRect& R = FGrid.FPrintRect;
        int best = -1, last = 0;
        for (int c = R.Left; c <= R.Right; ++c) {
            last = MeasurePrintCell(c, r).height();
            if (FGrid.CellSpan(c, r).y() > 0) continue;
            best = std::max(best, last);
        }
        h = best < 0 ? last : best;
        h += h / 8;
        if (FGrid.OnPrintSetRowHeight) FGrid.OnPrintSetRowHeight(&FGrid, r, h);
    }
    FCachedRow = r;
    FCachedHeight = h;
    return h;
}

QImage TPrintComposer::PrintGraphic(int c, int r, QSize& size)
{
    const int rc = FGrid.RealColIndex(c);
    TCellGraphic* g = FGrid.GetCellGraphic(rc, r);
    size = QSize();
    if (!g) return QImage();
    const int cellW = std::max(1, FGrid.ColWidths(c)), cellH = std::max(1, FGrid.RowHeights(r));
    QPoint px;
    FGrid.CalcPrintGraphicSize(rc, r, px, 1.0, cellW, cellH);
    const TControlStyle style =
        FGrid.ControlLook().ControlStyle() == TControlStyle::csFlat ? TControlStyle::csFlat : TControlStyle::csClassic;
    // Most graphics are drawn by the screen's routines into an image of their
    // screen size, which is then stretched onto the page.
    auto canvasImage = [](int w, int h) {
        QImage img(std::max(1, w), std::max(1, h), QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        return img;
    };
    const TCustomImageList* images = FGrid.GetGridImages();
    QImage img;
    switch (g->CellType) {
    case TCellType::ctBitmap:
        if (const QImage* b = g->Bitmap()) img = *b;
        break;
    case TCellType::ctPicture:
        // The picture is drawn as a 24-bit image.
        if (const QImage* pic = g->Picture()) img = pic->convertToFormat(QImage::Format_RGB888);
        else if (const QImage* b = g->Bitmap()) img = *b;
        break;
    case TCellType::ctFilePicture:
        if (const TFilePicture* fp = g->FilePicture(); fp && px.x() > 0 && px.y() > 0) {
            img = canvasImage(px.x(), px.y());
            TCanvas canvas(&img);
            fp->DrawPicture(canvas, TRect{0, 0, px.x(), px.y()});
        }
        break;
    case TCellType::ctIcon:
        // An icon keeps its alpha: a mask and inverted colours cannot go to a PDF.
        if (const QImage* i = g->Icon()) img = i->convertToFormat(QImage::Format_ARGB32);
        break;
    case TCellType::ctImageList:
    case TCellType::ctDataImage: {
        const int index = g->CellType == TCellType::ctDataImage ? FGrid.Ints(rc, r) + g->CellIndex : g->CellIndex;
        if (images && images->ValidIndex(index)) {
            img = canvasImage(images->Width(), images->Height());
            TCanvas canvas(&img);
            images->Draw(canvas, 0, 0, index);
        }
        break;
    }
    case TCellType::ctImages:
        // Side by side (CellBoolean) or stacked, each image one list size apart.
        if (images && g->IntList() && g->IntList()->Count() > 0) {
            const int n = g->IntList()->Count();
            img = canvasImage(g->CellBoolean ? n * images->Width() : images->Width(),
                              g->CellBoolean ? images->Height() : n * images->Height());
            TCanvas canvas(&img);
            for (int i = 0; i < n; ++i)
                images->Draw(canvas, g->CellBoolean ? i * images->Width() : 0, g->CellBoolean ? 0 : i * images->Height(),
                             g->IntList()->Items(i));
            px = QPoint(img.width(), img.height());
        }
        break;
    case TCellType::ctCheckBox:
    case TCellType::ctDataCheckBox:
    case TCellType::ctVirtCheckBox:
    case TCellType::ctRowCheckBox:
    case TCellType::ctTriStateCheckBox: {
        // The grid's own glyph, flat or 3-D, drawn at screen size and stretched.
        const int side = std::max(1, std::min(px.x() > 0 ? px.x() : 15, px.y() > 0 ? px.y() : 15));
        img = canvasImage(side, side);
        bool checked = false;
        FGrid.GetCheckBoxState(rc, r, checked);
        TCanvas canvas(&img);
        FGrid.DrawCheckBoxGlyph(canvas, TRect{0, 0, side, side}, checked, g->CellCheckBoxState,
                                g->CellType == TCellType::ctTriStateCheckBox, style, false, true);
        px = QPoint(side, side);
        break;
    }
    case TCellType::ctRadioButton: {
        const int side = std::max(1, FGrid.ControlLook().RadioSize());
        img = canvasImage(side, side);
        TCanvas canvas(&img);
        FGrid.DrawRadioGlyph(canvas, TRect{0, 0, side, side}, style, g->CellBoolean, true);
        px = QPoint(side, side);
        break;
    }
    case TCellType::ctNode: {
        // A square in the node colour with a minus sign, a plus sign when
        // the node is contracted.
        const TCellNode& cn = FGrid.CellNode();
        img = canvasImage(20, 20);
        TCanvas canvas(&img);
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenWidth(2);
        canvas.SetPenColor(cn.NodeColor());
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.Rectangle(TRect{1, 1, 19, 19});
        canvas.MoveTo(5, 10);
        canvas.LineTo(15, 10);
        if (g->CellBoolean) {
            canvas.MoveTo(10, 5);
            canvas.LineTo(10, 15);
        }
        px = QPoint(20, 20);
        break;
    }
    case TCellType::ctRadio: {
        // The cell's width and the height the items need: the radio drawer
        // writes the item texts itself.
        const QStringList* items = g->Strings();
        const int h = std::max(cellH, px.y());
        img = canvasImage(cellW, h);
        TCanvas canvas(&img);
        TVisualProperties look;
        look.Print = true;
        look.Remap = true;
        FGrid.GetVisualProperties(c, r, look);
        canvas.SetFont(look.Font.Font);
        canvas.SetFontColor(look.Font.Color);
        FGrid.DrawRadioGlyph(canvas, TRect{0, 0, cellW, h}, false, 1.0, style, r, rc, false, items, false,
                             g->CellBoolean, g->CellIndex, items ? int(items->size()) : 0);
        px = QPoint(cellW, h);
        break;
    }
    case TCellType::ctProgress: {
        img = canvasImage(cellW, cellH);
        TCanvas canvas(&img);
        TProgressFmtColors colors;
        colors.Bar = g->BitmapColor();
        colors.Background = g->IconColor();
        if (g->CellBoolean) {
            colors.BarText = TColor(g->CellIndex);
            colors.BackgroundText = TColor(g->CellAngle);
        } else {
            colors.BarText = ColorToRGB(g->BitmapColor()) ^ 0xFFFFFF;
            colors.BackgroundText = ColorToRGB(g->IconColor()) ^ 0xFFFFFF;
        }
        canvas.SetFont(FGrid.Font);
        canvas.SetPenColor(FGrid.ControlLook().ProgressBorderColor());
        DrawCellProgressBarFmt(canvas, TRect{0, 0, cellW, cellH}.Inflated(-2, -2), colors, g->CellText, g->CellErrFrom,
                               g->CellErrLen, FGrid.ControlLook().ProgressMarginX(), FGrid.ControlLook().ProgressMarginY(),
                               FGrid.Floats(rc, r));
        px = QPoint(cellW, cellH);
        break;
    }
    case TCellType::ctProgressPie: {
        img = canvasImage(20, 20);
        TCanvas canvas(&img);
        DrawCellPie(canvas, TRect{0, 0, 20, 20}, g->BitmapColor(), false, g->CellAngle);
        px = QPoint(20, 20);
        break;
    }
    case TCellType::ctInterface:
        // The custom drawing interface draws into an image of its size (or
        // the cell's), printing.
        if (TInterfacedPersistent* object = g->Interfaced()) {
            const int w = px.x() > 0 ? px.x() : cellW, h = px.y() > 0 ? px.y() : cellH;
            img = canvasImage(w, h);
            TCanvas canvas(&img);
            object->Draw(canvas, TRect{0, 0, w, h}, rc, r, false, true);
            px = QPoint(w, h);
        }
        break;
    default: break;
    }
    if (img.isNull()) return img;
    const QPoint s = px.x() > 0 && px.y() > 0 ? px : QPoint(img.width(), img.height());
    size = QSize(Nearest(s.x() * F), Nearest(s.y() * F));
    return img;
}

void TPrintComposer::CalcPrintColWidths()
{
    const TGridRect& R = FGrid.FPrintRect;
    const TPrintSettings& ps = FGrid.PrintSettings();
    std::vector<int>& mw = FGrid.MaxWidths;
    // The columns measured: the range, and the fixed columns that are
    // repeated in front of its bands.
    std::vector<int> cols;
    if (ps.RepeatFixedCols())
        for (int c = 0; c < std::min(FGrid.FixedCols(), R.Left); ++c) cols.push_back(c);
    for (int c = R.Left; c <= R.Right; ++c) cols.push_back(c);
    for (int c : cols) mw[size_t(c)] = 0;
    if (ps.NoAutoSize()) {
        for (int c : cols)
            if (PrintColIncluded(c)) mw[size_t(c)] = Nearest(FGrid.ColWidths(c) * F);
        return;
    }
    std::vector<int> rows;
    if (ps.RepeatFixedRows())
        for (int r = 0; r < std::min(FGrid.FixedRows(), R.Top); ++r) rows.push_back(r);
    for (int r = R.Top; r <= R.Bottom; ++r) rows.push_back(r);
    for (int r : rows)
        for (int c : cols) {
            if (!PrintColIncluded(c)) continue;
            const int w = ps.UseFixedWidth() ? ps.FixedWidth() : MeasurePrintCell(c, r).width();
            if (w > mw[size_t(c)] && FGrid.CellSpan(c, r).x() == 0) mw[size_t(c)] = w;
        }
}

void TPrintComposer::RenderHtmlTitle()
{
    const TPrintSettings& ps = FGrid.PrintSettings();
    const QString html = ps.TitleLines().join(QString());
    if (!IsTop(ps.Title()) || !ps.TitleText().isEmpty() || ps.TitleLines().isEmpty() ||
        DetectCellTextKind(html, true) != 1)
        return;
    // Rendered once at a resolution fine enough for paper, in the header font.
    constexpr int dpi = 300;
    QFont font = TDevicePrintMeasurer::DeviceFont(L.HeaderFont, L.HeaderHeight, dpi);
    const int maxWidth = std::max(1, Nearest((L.W - ps.LeftSize()) * dpi / 254.0));
    QImage probe(1, 1, QImage::Format_ARGB32);
    TMiniHtmlResult size;
    {
        TCanvas canvas(&probe);
        canvas.SetFont(font);
        TMiniHtmlParams params(canvas, html, TRect{0, 0, maxWidth, 65535});
        params.MeasureOnly = true;
        params.Printing = true;
        size = RenderMiniHtml(params);
    }
    const int w = std::min(maxWidth, size.MaxLineWidth + 2), h = std::max(1, size.TotalHeight);
    QImage img(std::max(1, w), h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        TCanvas canvas(&img);
        canvas.SetFont(font);
        canvas.SetBrushStyle(TBrushStyle::Clear);
        TMiniHtmlParams params(canvas, html, TRect{0, 0, img.width(), h});
        params.Printing = true;
        RenderMiniHtml(params);
    }
    L.TitleImage = img;
    L.TitleSize = QSize(Nearest(img.width() * 254.0 / dpi), Nearest(h * 254.0 / dpi));
}

void TPrintComposer::ComputeBands()
{
    const TGridRect& R = FGrid.FPrintRect;
    const TPrintSettings& ps = FGrid.PrintSettings();
    const std::vector<int>& mw = FGrid.MaxWidths;
    const int fc = FGrid.FixedCols();
    int bc = R.Left;
    bool first = true;
    while (bc <= R.Right) {
        TPrintBand b;
        b.First = bc;
        b.RepeatFixed = fc > 0 && ps.RepeatFixedCols() && bc >= fc && !(first && R.Left < fc);
        int wf = 0;
        if (b.RepeatFixed)
            for (int i = 0; i < fc; ++i) wf += mw[size_t(i)] + L.m;
        int total = wf, last = bc;
        for (int c = bc; c <= R.Right; ++c) {
            const int w = PrintColIncluded(c) ? mw[size_t(c)] + L.m : 0;
            // The band's first column always stays, so that a column wider
            // than the page forms a band of its own.
            if (c > bc && total + w > L.W - ps.RightSize()) break;
            total += w;
            last = c;
        }
        b.Last = last;
        b.Width = total;
        std::vector<int> ind(FGrid.Indents.size(), 0);
        const int start = ps.Centered() ? 0 : ps.LeftSize();
        ind[size_t(bc)] = start;
        ind[0] = start;
        for (int c = bc; c <= last; ++c)
            ind[size_t(c + 1)] = ind[size_t(c)] + (PrintColIncluded(c) ? mw[size_t(c)] + L.m : 0);
        // The repeated fixed columns from column 0 (their right end is the
        // band's first column when the band starts right after them).
        if (b.RepeatFixed)
            for (int i = 1; i <= fc && i < bc; ++i) ind[size_t(i)] = ind[size_t(i - 1)] + mw[size_t(i - 1)] + L.m;
        if (ps.Centered() && total < L.W) {
            const int d = (L.W - total) / 2;
            for (int c = bc; c <= last + 1; ++c) ind[size_t(c)] += d;
            if (b.RepeatFixed)
                for (int i = 0; i <= fc && i < bc; ++i) ind[size_t(i)] += d;
        }
        for (int c = bc; c <= last + 1; ++c) ind[size_t(c)] += wf;
        b.Indents = std::move(ind);
        L.Bands.push_back(std::move(b));
        bc = last + 1;
        first = false;
    }
}

void TPrintComposer::ComputeReservedSpace(bool)
{
    const TPrintSettings& ps = FGrid.PrintSettings();
    const int lines = int(ps.TitleLines().size());
    const TPrintPosition items[4] = {ps.Time(), ps.Date(), ps.PageNr(), ps.Title()};
    const bool top = std::any_of(std::begin(items), std::end(items), IsTop);
    const bool bottom = std::any_of(std::begin(items), std::end(items), IsBottom);
    // A mini-HTML title takes its rendered height in place of the lines, on
    // every page alike.
    const int titleRoom = !L.TitleImage.isNull()             ? L.TitleSize.height()
                          : lines > 0 && IsTop(ps.Title()) ? (lines - 1) * L.hh
                                                           : 0;
    L.E = top ? L.s + L.hh + ps.HeaderSize() + titleRoom : ps.HeaderSize();
    L.G = bottom ? 2 * L.s + 2 * L.fh + ps.FooterSize() + (lines > 0 && IsBottom(ps.Title()) ? (lines - 1) * L.fh : 0)
                 : L.s + L.fh + ps.FooterSize();
}

QString TPrintComposer::PageNumberText(int pageIndex, int pageInBand, int band)
{
    const TPrintSettings& ps = FGrid.PrintSettings();
    QString text;
    int num = pageIndex + 1;
    if (L.Bands.size() > 1) {
        text = QString::number(pageInBand + 1) + QLatin1Char('-') + QString::number(band);
        num = pageInBand + 1;
    } else if (!ps.PageNumSep().isEmpty() && FPageCount > 1 && !FGrid.FastPrint) {
        text = QString::number(pageIndex + ps.PageNumberOffset() + 1) + ps.PageNumSep() +
               QString::number(qint64(FPageCount) + ps.MaxPagesOffset());
    } else {
        text = QString::number(pageIndex + ps.PageNumberOffset() + 1);
    }
    if (FGrid.OnPrintGetPageNum) FGrid.OnPrintGetPageNum(&FGrid, num, band, text);
    return text;
}

void TPrintComposer::PrintHeaderFooter(TPrintPage& page)
{
    const TPrintSettings& ps = FGrid.PrintSettings();
    QString* texts = page.PlaceTexts;
    auto add = [texts](TPrintPosition p, const QString& t) {
        if (p == TPrintPosition::ppNone) return;
        QString& s = texts[int(p) - 1];
        s = (p == TPrintPosition::ppTopLeft || p == TPrintPosition::ppBottomLeft) ? JoinWithBlank(t, s)
                                                                                  : JoinWithBlank(s, t);
    };
    add(ps.Time(), FormatDateTime(QStringLiteral("hh:nn"), FNow));
    add(ps.Date(), FormatDateTime(ps.DateFormat(), FNow));
    if (ps.PageNr() != TPrintPosition::ppNone)
        add(ps.PageNr(), ps.PagePrefix() + QLatin1Char(' ') + PageNumberText(page.Index, page.PageInBand, page.Band) +
                             QLatin1Char(' ') + ps.PageSuffix());
    if (!L.TitleImage.isNull())
        page.TitleRect = TRect{ps.LeftSize(), -ps.HeaderSize(), ps.LeftSize() + L.TitleSize.width(),
                               -ps.HeaderSize() - L.TitleSize.height()};
    const bool titleFromLines = ps.TitleText().isEmpty() && L.TitleImage.isNull();
    QStringList titleLines;
    if (!ps.TitleText().isEmpty()) titleLines << ps.TitleText();
    else if (L.TitleImage.isNull())
        for (const QString& line : ps.TitleLines())
            titleLines << (DetectCellTextKind(line, true) == 1 ? StripMiniHtml(line) : line);
    if (!titleLines.isEmpty()) add(ps.Title(), titleLines.first());

    auto place = [&](int idx, const QString& text, int y) {
        if (text.isEmpty()) return;
        const bool footer = idx >= 3;
        const int tw = FMeasurer.TextWidth(footer ? L.FooterFont : L.HeaderFont,
                                           footer ? L.FooterHeight : L.HeaderHeight, text);
        int x = ps.LeftSize();
        const int kind = idx % 3; // 0 left, 1 right, 2 centre
        if (kind == 1) x = L.W - tw - ps.RightSize() - 20;
        else if (kind == 2) x = (L.W - tw) / 2;
        page.Texts.push_back(TPrintText{text, x, y, footer});
    };
    const int topY = -ps.HeaderSize();
    const int bottomY = L.Hgt + L.fh + L.s + ps.FooterSize();
    for (int i = 0; i < 6; ++i) place(i, texts[i], i < 3 ? topY : bottomY);
    if (ps.Title() != TPrintPosition::ppNone && titleFromLines)
        for (int i = 1; i < int(titleLines.size()); ++i) {
            const int idx = int(ps.Title()) - 1;
            place(idx, titleLines[i], idx < 3 ? topY - i * L.hh : bottomY - i * L.fh);
        }
}

void TPrintComposer::PrintPageBorders(TPrintPage& page, const TPrintBand& band, int y)
{
    if (!page.ToDraw) return;
    const TPrintSettings& ps = FGrid.PrintSettings();
    const TPrintBorders b = ps.Borders();
    const int x0 = band.Indents[size_t(band.RepeatFixed ? 0 : band.First)];
    const int x1 = band.Indents[size_t(band.Last + 1)];
    const int top = -L.E - ps.TitleSpacing();
    const int bottom = y + L.s / 2;
    const int width = b == TPrintBorders::pbDouble ? 10 : 2;
    auto line = [&](int ax, int ay, int bx, int by) {
        page.Lines.push_back(TPrintLine{ax, ay, bx, by, clBlack, width, ps.BorderStyle()});
    };
    using P = TPrintBorders;
    if (b == P::pbAround || b == P::pbAroundVertical || b == P::pbAroundHorizontal) {
        line(x0, top, x1, top);
        line(x1, top, x1, bottom);
        line(x1, bottom, x0, bottom);
        line(x0, bottom, x0, top);
    }
    if (b == P::pbDouble || b == P::pbHorizontal || b == P::pbAroundHorizontal) line(x0, bottom, x1, bottom);
    if ((b == P::pbDouble || b == P::pbVertical || b == P::pbAroundVertical) && band.RepeatFixed)
        for (int i = 0; i < FGrid.FixedCols(); ++i) line(band.Indents[size_t(i)], top, band.Indents[size_t(i)], bottom);
}

int TPrintComposer::PrintCellRow(TPrintPage* page, int y, const std::vector<int>& cols, int band, int r)
{
    const TPrintSettings& ps = FGrid.PrintSettings();
    const int rowHeight = 2 * L.s + PrintRowHeight(r) + ps.RowSpacing();
    if (page) {
        page->Rows.push_back(r);
        page->RowTops.push_back(y);
    }
    if (!page || !page->ToDraw) return rowHeight;
    FGrid.Fontscalefactor = L.o;
    const std::vector<int>& ind = FGrid.Indents;
    const std::vector<int>& mw = FGrid.MaxWidths;
    const int bandRight = std::min(L.W, ind[size_t(L.Bands[size_t(band)].Last + 1)]);
    auto tRow = [&](int rr) {
        const int t = Nearest((FGrid.RowHeights(rr) - 4) * F);
        return t + t / 8 + 2 * L.s + ps.RowSpacing();
    };
    for (size_t i = 0; i < cols.size(); ++i) {
        const int c = cols[i];
        int baseCol = c, baseRow = r;
        const bool base = FGrid.IsBaseCellPos(c, r, baseCol, baseRow);
        const QPoint span = base ? FGrid.CellSpan(c, r) : QPoint(0, 0);
        const int dx = std::max(0, span.x()), dy = std::max(0, span.y());
        int width = 0;
        for (int k = c; k <= std::min(c + dx, int(mw.size()) - 1); ++k) width += mw[size_t(k)] + L.m;
        int K = 0;
        if (ps.NoAutoSizeRow()) {
            if (dy == 0) K = rowHeight;
            else
                for (int rr = r; rr <= std::min(r + dy, FGrid.RowCount() - 1); ++rr) K += tRow(rr);
        } else {
            K = rowHeight;
            for (int rr = r + 1; rr <= std::min(r + dy, FGrid.RowCount() - 1); ++rr) K += tRow(rr);
        }
        TPrintCell cell;
        cell.Col = c;
        cell.Row = r;
        cell.Rect = TRect{ind[size_t(c)], y, ind[size_t(c)] + width, y - K};
        // Lines of the cell.
        TCellBorders borders;
        switch (ps.Borders()) {
        case TPrintBorders::pbSingle:
        case TPrintBorders::pbDouble: borders = TCellBorders{cbLeft, cbTop, cbRight, cbBottom}; break;
        case TPrintBorders::pbHorizontal:
        case TPrintBorders::pbAroundHorizontal: borders = TCellBorders{cbTop, cbBottom}; break;
        case TPrintBorders::pbVertical:
        case TPrintBorders::pbAroundVertical: borders = TCellBorders{cbLeft, cbRight}; break;
        default: break;
        }
        TCellPen pen{ps.BorderColor(), 1, TPenStyle::Solid};
        FGrid.GetCellPrintBorder(FGrid.RealColIndex(c), r, pen, borders);
        // A cell inside a merged range loses the sides inside the range.
        if (!base) {
            const QPoint bs = FGrid.CellSpan(baseCol, baseRow);
            if (c > baseCol) borders = borders.Without(cbLeft);
            if (c < baseCol + bs.x()) borders = borders.Without(cbRight);
            if (r > baseRow) borders = borders.Without(cbTop);
            if (r < baseRow + bs.y()) borders = borders.Without(cbBottom);
        }
        int penWidth = pen.Width;
        if (FKind != pkDrawPreview) penWidth = std::max(1, int(pen.Width * F));
        TRect lr = cell.Rect;
        if (lr.Bottom < L.Hgt + ps.FooterSize()) {
            lr.Bottom = y - rowHeight;
            borders = borders.Without(cbBottom);
        }
        // A row taller than the page is cut at the footer.
        if (lr.Bottom < L.Hgt + L.G) {
            lr.Bottom = L.Hgt + L.G;
            borders = borders.Without(cbBottom);
        }
        if (lr.Right > L.W) lr.Right = bandRight;
        if (base) {
            TPrintCellText t = PrintCellText(FGrid, c, r);
            cell.Painted = true;
            cell.Brush = t.Look.Brush.Color;
            cell.BrushTo = t.Look.ColorTo;
            cell.FillRect = lr;
            cell.Font = t.Look.Font.Font;
            cell.FontHeight = t.Height;
            cell.FontColor = t.Look.Font.Color;
            cell.HAlign = t.Look.HAlign;
            cell.VAlign = t.Look.VAlign;
            cell.Angle = t.Rotated ? t.Angle : 0;
            // The driver fix turns rotated text the other way on printers
            // whose landscape rotation is not 270 degrees.
            if (FGrid.PrinterDriverFix && FKind == pkDrawPrint && TExtStringGrid::PrinterLandscapeRotation() != 270)
                cell.Angle = -cell.Angle;
            const int lh = FMeasurer.TextHeight(cell.Font, cell.FontHeight);
            cell.Pitch = lh + ps.RowSpacing() + (lh + ps.RowSpacing()) / 8;
            cell.TextRect = TRect{lr.Left + L.g2 + Nearest(2 * F), y - L.s, lr.Right - L.g2, lr.Bottom + L.s};
            if (ps.PrintGraphics()) {
                QSize gs;
                cell.Graphic = PrintGraphic(c, r, gs);
                const TCellGraphic* g = FGrid.GetCellGraphic(FGrid.RealColIndex(c), r);
                if (!cell.Graphic.isNull() && (g->CellType == TCellType::ctRadio || g->CellType == TCellType::ctProgress)) {
                    // A radio group and a progress bar write their own texts
                    // (the items, the value); the bar fills the cell, the
                    // group keeps its height at the cell's top.
                    cell.GraphicRect = lr;
                    if (g->CellType == TCellType::ctRadio) {
                        cell.GraphicRect.Right = std::min(lr.Right, lr.Left + gs.width());
                        cell.GraphicRect.Bottom = std::max(lr.Bottom, lr.Top - gs.height());
                    }
                    t.Lines.clear();
                    t.Kind = 0;
                } else if (!cell.Graphic.isNull()) {
                    PlacePrintGraphic(cell, gs, g, t.Text.isEmpty(), L.g2);
                }
            }
            if (t.Kind != 0 && !t.Rotated) {
                // Mini-HTML and rich text are drawn formatted by their renderers.
                cell.TextKind = t.Kind;
                cell.Source = t.Source;
                cell.FormattedRect = cell.TextRect;
                if (t.Kind == 1) {
                    cell.FormattedRect.Right = lr.Right - L.g2 - Nearest(2 * F);
                    cell.FormattedRect.Bottom = lr.Bottom - Nearest(L.s * F);
                }
            }
            cell.WordWrap = t.Look.WordWrap && ps.NoAutoSize() && !t.Rotated;
            cell.Lines = cell.WordWrap ? WrapText(FMeasurer, cell.Font, cell.FontHeight, t.Lines.join(QLatin1Char('\n')),
                                                  cell.TextRect.Width())
                                       : t.Lines;
            if (t.Rotated) {
                const double a = t.Angle * M_PI / 180.0;
                const double co = std::abs(std::cos(a)), si = std::abs(std::sin(a));
                int tw = 0;
                for (const QString& line : cell.Lines) tw = std::max(tw, FMeasurer.TextWidth(cell.Font, cell.FontHeight, line));
                const int th = lh * int(cell.Lines.size());
                TRect pr = cell.TextRect;
                PlaceRotatedText(pr, cell.HAlign, cell.VAlign, -int(co * th), -int(si * tw), int(si * th),
                                 int(co * tw), t.Angle);
                cell.RotatedOrigin = QPoint(pr.Left, pr.Top);
            }
        }
        // The lines: the left one a pen width left of the cell after the band's first column.
        const int lx = i > 0 ? lr.Left - penWidth : lr.Left;
        const Qt::PenStyle style = pen.Style == TPenStyle::Dash  ? Qt::DashLine
                                   : pen.Style == TPenStyle::Dot ? Qt::DotLine
                                   : pen.Style == TPenStyle::Clear ? Qt::NoPen
                                                                   : Qt::SolidLine;
        auto add = [&](int ax, int ay, int bx, int by) {
            page->Lines.push_back(TPrintLine{ax, ay, bx, by, pen.Color, penWidth, style});
        };
        if (borders.Contains(cbLeft)) add(lx, lr.Top, lx, lr.Bottom);
        if (borders.Contains(cbRight)) add(lr.Right, lr.Top, lr.Right, lr.Bottom);
        if (borders.Contains(cbTop)) add(lr.Left, lr.Top, lr.Right, lr.Top);
        if (borders.Contains(cbBottom)) add(lr.Left, lr.Bottom, lr.Right, lr.Bottom);
        page->Cells.push_back(std::move(cell));
    }
    FGrid.Fontscalefactor = 1.0;
    return rowHeight;
}

TPrintLayout TPrintComposer::Compose(const TGridRect& range, TPrintPassKind kind, bool selectedOnly, int pageCount,
                                     int W, int Hgt, int firstDraw, int lastDraw, TDateTime now)
{
    // Only cells of the grid are printed.
    FGrid.FPrintRect = TGridRect{std::max(range.Left, 0), std::max(range.Top, 0),
                                 std::min(range.Right, FGrid.ColCount() - 1), std::min(range.Bottom, FGrid.RowCount() - 1)};
    FKind = kind;
    FSelectedOnly = selectedOnly;
    FPageCount = pageCount;
    FNow = now;
    FCachedRow = -1;
    L = TPrintLayout{};
    L.W = W;
    L.Hgt = Hgt;
    TPrintSettings& ps = FGrid.PrintSettings();
    const TGridRect R = FGrid.FPrintRect;
    const int dpi = FGrid.HandleAllocated() && FGrid.Widget()->logicalDpiX() > 0 ? FGrid.Widget()->logicalDpiX() : 96;
    F = 254.0 / dpi;
    FGrid.Fontscalefactor = 1.0;
    // Fonts and the small distances that follow from them.
    L.HeaderFont = ps.HeaderFont();
    L.FooterFont = ps.FooterFont();
    L.HeaderHeight = MapHeight(L.HeaderFont);
    L.FooterHeight = MapHeight(L.FooterFont);
    const int fontHeight = MapHeight(ps.Font());
    L.hh = FMeasurer.TextHeight(L.HeaderFont, L.HeaderHeight);
    L.fh = FMeasurer.TextHeight(L.FooterFont, L.FooterHeight);
    L.th = FMeasurer.TextHeight(ps.Font(), fontHeight);
    L.s = L.th / 8;
    L.g2 = FMeasurer.TextWidth(ps.Font(), fontHeight, QStringLiteral("g")) / 2;
    L.m = ps.UseFixedWidth() ? 0 : ps.ColumnSpacing() + 20;
    RenderHtmlTitle();
    L.o = 1.0;
    // The column tables hold every column of the range (at least 512).
    const size_t need = size_t(std::max({512, R.Right + 2, FGrid.FixedCols() + 2}));
    if (FGrid.MaxWidths.size() < need) FGrid.MaxWidths.resize(need, 0);
    if (FGrid.Indents.size() < need) FGrid.Indents.resize(need, 0);
    CalcPrintColWidths();
    // Fit to page.
    if (ps.FitToPage() != TFitToPage::fpNever) {
        int v = 0, S = 0;
        for (int c = R.Left; c <= R.Right; ++c)
            if (PrintColIncluded(c)) {
                v += L.m;
                S += FGrid.MaxWidths[size_t(c)] + L.m;
            }
        if (S != v) {
            double o = double(L.W - ps.RightSize() - ps.LeftSize() - v) / double(S - v);
            // Spacing alone wider than the page leaves no factor to apply.
            if (o <= 0) o = 1.0;
            switch (ps.FitToPage()) {
            case TFitToPage::fpShrink:
                if (o >= 1) o = 1.0;
                break;
            case TFitToPage::fpGrow:
                if (o < 1) o = 1.0;
                break;
            case TFitToPage::fpCustom:
                if (o != 1.0) {
                    bool allow = true;
                    if (FGrid.OnFitToPage) FGrid.OnFitToPage(&FGrid, o, allow);
                    if (!allow || o <= 0) o = 1.0;
                }
                break;
            default: break;
            }
            L.o = o;
            if (o != 1.0)
                for (int c = R.Left; c <= R.Right; ++c)
                    FGrid.MaxWidths[size_t(c)] = int(FGrid.MaxWidths[size_t(c)] * o);
        }
    }
    if (FGrid.OnPrintSetColumnWidth)
        for (int c = R.Left; c <= R.Right; ++c) FGrid.OnPrintSetColumnWidth(&FGrid, c, FGrid.MaxWidths[size_t(c)]);
    const TGridExportState exportState =
        R.Top <= FGrid.FixedRows() && R.Bottom >= FGrid.RowCount() - FGrid.FixedFooters() - 1
            ? TGridExportState::esExportNewRow
            : TGridExportState::esExportSelRow;
    ComputeBands();

    const int fr = FGrid.FixedRows(), fc = FGrid.FixedCols();
    int pageIndex = 0;
    auto includedRowLeft = [&](int from) {
        for (int rr = from; rr <= R.Bottom; ++rr)
            if (PrintRowIncluded(rr)) return true;
        return false;
    };
    for (size_t b = 0; b < L.Bands.size(); ++b) {
        const TPrintBand& band = L.Bands[b];
        std::copy(band.Indents.begin(), band.Indents.end(), FGrid.Indents.begin());
        FGrid.FPrintPageWidth = band.Width;
        FGrid.FPrintColStart = band.First;
        FGrid.FPrintColEnd = band.Last;
        std::vector<int> cols;
        if (band.RepeatFixed)
            for (int i = 0; i < fc; ++i)
                if (PrintColIncluded(i)) cols.push_back(i);
        for (int c = band.First; c <= band.Last; ++c)
            if (PrintColIncluded(c)) cols.push_back(c);
        ComputeReservedSpace(pageIndex == 0);
        int r = R.Top, pageInBand = 0, y = 0, dataRows = 0;
        TPrintPage* page = nullptr;
        bool pageStart = true;
        while (r <= R.Bottom) {
            FGrid.ExportNotification(exportState, r);
            if (pageStart) {
                L.Pages.emplace_back();
                page = &L.Pages.back();
                page->Index = pageIndex;
                page->Band = int(b) + 1;
                page->PageInBand = pageInBand;
                page->ToDraw = IsDrawing() && pageIndex + 1 >= firstDraw && pageIndex + 1 <= lastDraw;
                y = -L.E;
                if (page->ToDraw) PrintHeaderFooter(*page);
                y -= ps.TitleSpacing();
                if (r > 0 && ps.RepeatFixedRows() && fr > 0 && (pageIndex > 0 || R.Top >= fr))
                    for (int fixedRow = 0; fixedRow < fr; ++fixedRow)
                        y -= PrintCellRow(page, y, cols, int(b), fixedRow);
                pageStart = false;
                dataRows = 0;
            }
            bool endPage = false;
            if (PrintRowIncluded(r)) {
                const int h = PrintRowHeight(r);
                // Every page takes at least one row: a row taller than an
                // empty page is printed alone, cut at the footer.
                if (y - h > L.Hgt + L.G || dataRows == 0) {
                    y -= PrintCellRow(page, y, cols, int(b), r);
                    ++dataRows;
                    ++r;
                } else {
                    endPage = true;
                }
            } else {
                ++r;
            }
            bool newPage = false;
            if (FGrid.OnPrintNewPage) FGrid.OnPrintNewPage(&FGrid, r, newPage);
            if (!endPage && r <= R.Bottom && PrintRowIncluded(r) && !(y - PrintRowHeight(r) > L.Hgt + L.G))
                endPage = true;
            if (newPage) endPage = true;
            page->LastRow = r;
            page->LastRowOffset = y;
            if (!includedRowLeft(r)) break;
            // Without a page count nothing after the last page to draw is needed.
            if (endPage && FGrid.FastPrint && IsDrawing() && pageIndex + 1 >= lastDraw) break;
            if (endPage) {
                PrintPageBorders(*page, band, y);
                ++pageIndex;
                ++pageInBand;
                pageStart = true;
                ComputeReservedSpace(false);
            }
        }
        if (page) PrintPageBorders(*page, band, y);
        if (page) ++pageIndex;
    }
    FGrid.Fontscalefactor = 1.0;
    FGrid.FPrintPageRect = TRect{0, 0, L.W, L.Hgt};
    L.MaxWidths = FGrid.MaxWidths;
    return L;
}

// ---------------------------------------------------------------------------
// Drawing a page

// A mini-HTML or rich-text cell, drawn by its renderer in device units.
static void DrawFormattedCell(TCanvas& canvas, const TPrintCell& cell, const TRect& fill)
{
    QPainter& p = canvas.Painter();
    const int dpi = canvas.DpiY();
    const TRect r = canvas.LPtoDP(cell.FormattedRect);
    p.save();
    p.setClipRect(fill.ToQRect(), Qt::IntersectClip);
    if (cell.TextKind == 1) {
        canvas.Save();
        canvas.SetFont(TDevicePrintMeasurer::DeviceFont(cell.Font, cell.FontHeight, dpi));
        canvas.SetFontColor(cell.FontColor);
        canvas.SetBrushStyle(TBrushStyle::Clear);
        TMiniHtmlParams params(canvas, cell.Source, r);
        params.Printing = true;
        params.PrintScale = dpi / 96.0;
        RenderMiniHtml(params);
        canvas.Restore();
    } else {
        // Rich text is laid out at screen resolution and scaled to the
        // device, so that its own point sizes keep their size on paper.
        const double k = dpi / 96.0;
        p.translate(r.Left, r.Top);
        p.scale(k, k);
        DrawRichText(p, QRectF(0, 0, r.Width() / k, r.Height() / k), cell.Source,
                     TDevicePrintMeasurer::DeviceFont(cell.Font, cell.FontHeight, 96), ColorToQColor(cell.FontColor),
                     cell.WordWrap);
    }
    p.restore();
}

void DrawPrintPage(TCanvas& canvas, const TPrintLayout& layout, const TPrintPage& page)
{
    QPainter& p = canvas.Painter();
    const int dpi = canvas.DpiY();
    canvas.Save();
    for (const TPrintCell& cell : page.Cells) {
        if (!cell.Painted) continue;
        const TRect fill = canvas.LPtoDP(TRect{cell.FillRect.Left, cell.FillRect.Bottom, cell.FillRect.Right,
                                               cell.FillRect.Top});
        if (cell.Brush != clNone) {
            if (cell.BrushTo != clNone) {
                QLinearGradient g(fill.Left, fill.Top, fill.Left, fill.Bottom);
                g.setColorAt(0, ColorToQColor(cell.Brush));
                g.setColorAt(1, ColorToQColor(cell.BrushTo));
                p.fillRect(fill.ToQRect(), g);
            } else {
                canvas.SetBrushStyle(TBrushStyle::Solid);
                canvas.SetBrushColor(cell.Brush);
                canvas.FillRect(fill);
            }
        }
        if (!cell.Graphic.isNull()) {
            const TRect gr = canvas.LPtoDP(cell.GraphicRect);
            p.save();
            p.setClipRect(fill.ToQRect(), Qt::IntersectClip);
            p.drawImage(gr.ToQRect(), cell.Graphic);
            p.restore();
        }
        if (cell.TextKind != 0) {
            DrawFormattedCell(canvas, cell, fill);
            continue;
        }
        if (cell.Lines.isEmpty() || (cell.Lines.size() == 1 && cell.Lines[0].isEmpty())) continue;
        const QFont font = TDevicePrintMeasurer::DeviceFont(cell.Font, cell.FontHeight, dpi);
        p.save();
        p.setClipRect(fill.ToQRect(), Qt::IntersectClip);
        p.setFont(font);
        p.setPen(ColorToQColor(cell.FontColor));
        const QFontMetrics fm(font);
        if (cell.Angle != 0) {
            const QPoint o = canvas.LPtoDP(cell.RotatedOrigin);
            p.translate(o);
            p.rotate(-cell.Angle);
            int ly = fm.ascent();
            for (const QString& line : cell.Lines) {
                p.drawText(0, ly, line);
                ly += fm.height();
            }
            p.restore();
            continue;
        }
        const TRect tr = cell.TextRect;
        const int n = int(cell.Lines.size());
        const int lineH = canvas.LenToLogY(fm.height());
        const int block = cell.Pitch * (n - 1) + lineH;
        int top = tr.Top;
        const int room = tr.Top - tr.Bottom;
        if (cell.VAlign == vtaCenter) top = tr.Top - (room - block) / 2;
        else if (cell.VAlign == vtaBottom) top = tr.Bottom + block;
        for (int i = 0; i < n; ++i) {
            const int ly = top - i * cell.Pitch;
            const TRect lineRect = canvas.LPtoDP(TRect{tr.Left, ly, tr.Right, ly - lineH});
            int flags = Qt::AlignTop | Qt::TextSingleLine;
            flags |= cell.HAlign == taRightJustify ? Qt::AlignRight : cell.HAlign == taCenter ? Qt::AlignHCenter
                                                                                              : Qt::AlignLeft;
            p.drawText(QRect(lineRect.Left, lineRect.Top, lineRect.Width(), std::max(lineRect.Height(), fm.height())),
                       flags, cell.Lines[i]);
        }
        p.restore();
    }
    for (const TPrintLine& l : page.Lines) {
        if (l.Style == Qt::NoPen || l.Color == clNone) continue;
        canvas.SetPenColor(l.Color);
        canvas.SetPenWidth(std::max(1, canvas.LenToDevX(l.Width)));
        canvas.SetPenStyle(l.Style == Qt::DashLine  ? TPenStyle::Dash
                           : l.Style == Qt::DotLine ? TPenStyle::Dot
                                                    : TPenStyle::Solid);
        const QPoint a = canvas.LPtoDP(QPoint(l.X0, l.Y0)), b = canvas.LPtoDP(QPoint(l.X1, l.Y1));
        canvas.MoveTo(a.x(), a.y());
        // The end point is drawn too: lines of a page close their corners.
        const QPoint step(b.x() > a.x() ? 1 : b.x() < a.x() ? -1 : 0, b.y() > a.y() ? 1 : b.y() < a.y() ? -1 : 0);
        canvas.LineTo(b.x() + step.x(), b.y() + step.y());
    }
    if (!layout.TitleImage.isNull() && page.TitleRect.Right > page.TitleRect.Left) {
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(canvas.LPtoDP(page.TitleRect).ToQRect(), layout.TitleImage);
        p.restore();
    }
    canvas.SetBrushStyle(TBrushStyle::Clear);
    for (const TPrintText& t : page.Texts) {
        const QFont font = TDevicePrintMeasurer::DeviceFont(t.Footer ? layout.FooterFont : layout.HeaderFont,
                                                           t.Footer ? layout.FooterHeight : layout.HeaderHeight, dpi);
        const QPoint at = canvas.LPtoDP(QPoint(t.X, t.Y));
        p.save();
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(at.x(), at.y() + QFontMetrics(font).ascent(), t.Text);
        p.restore();
    }
    canvas.Restore();
}

// ---------------------------------------------------------------------------
// The grid's entry points

int TExtStringGrid::MapFontHeight(int pointSize) const
{
    return -int(pointSize * 254.0 / 72.0 * Fontscalefactor);
}

int TExtStringGrid::MapFontSize(int height) { return int(height * 72.0 / 254.0); }

QPrinter* TExtStringGrid::Printer()
{
    if (FPrinterSet) return FPrinterSet;
    if (!FOwnPrinter) FOwnPrinter = std::make_shared<QPrinter>(QPrinter::HighResolution);
    return FOwnPrinter.get();
}

TGridRect TExtStringGrid::WholeGridRange() { return TGridRect{0, 0, ColCount() - 1, RowCount() - 1}; }

void TExtStringGrid::Print() { RunPrintJob(WholeGridRange(), false); }
void TExtStringGrid::PrintRect(const TGridRect& gridRect) { RunPrintJob(gridRect, false); }
void TExtStringGrid::PrintSelection() { RunPrintJob(Selection(), false); }
void TExtStringGrid::PrintSelectedRows() { RunPrintJob(WholeGridRange(), true); }
void TExtStringGrid::PrintSelectedCols() { RunPrintJob(WholeGridRange(), true); }

void TExtStringGrid::PrintPreview(TCanvas& canvas, const TRect& displayRect)
{
    RunPrintPreview(canvas, displayRect, WholeGridRange(), false);
}
void TExtStringGrid::PrintPreviewRect(TCanvas& canvas, const TRect& displayRect, const TGridRect& gridRect)
{
    RunPrintPreview(canvas, displayRect, gridRect, false);
}
void TExtStringGrid::PrintPreviewSelection(TCanvas& canvas, const TRect& displayRect)
{
    RunPrintPreview(canvas, displayRect, Selection(), false);
}
void TExtStringGrid::PrintPreviewSelectedRows(TCanvas& canvas, const TRect& displayRect)
{
    RunPrintPreview(canvas, displayRect, WholeGridRange(), true);
}
void TExtStringGrid::PrintPreviewSelectedCols(TCanvas& canvas, const TRect& displayRect)
{
    RunPrintPreview(canvas, displayRect, WholeGridRange(), true);
}
void TExtStringGrid::PrintDraw(TCanvas& canvas, const TRect& drawRect)
{
    RunPrintDraw(canvas, drawRect, WholeGridRange());
}
void TExtStringGrid::PrintDrawRect(TCanvas& canvas, const TRect& drawRect, const TGridRect& gridRect)
{
    RunPrintDraw(canvas, drawRect, gridRect);
}

namespace {
// The measuring resolution of the composer: fine enough that the layout does
// not depend on the device it is drawn on.
constexpr int kMeasureDpi = 1200;

// Keeps a canvas's mapping mode and viewport origin and gives them back.
struct TMapModeKeeper {
    TCanvas& Canvas;
    TMapMode Mode;
    QPoint Org;
    explicit TMapModeKeeper(TCanvas& c) : Canvas(c), Mode(c.MapMode()), Org(c.ViewportOrg()) {}
    ~TMapModeKeeper()
    {
        Canvas.SetMapMode(Mode);
        Canvas.SetViewportOrg(Org);
    }
    TMapModeKeeper(const TMapModeKeeper&) = delete;
    TMapModeKeeper& operator=(const TMapModeKeeper&) = delete;
};

// Lays out on a page of W x Hgt and, in drawing passes, draws the pages to
// draw with their events. Returns the pages laid out.
int ComposeOn(TExtStringGrid& grid, TCanvas& canvas, int kind, bool selectedOnly, int pageCount, int W, int Hgt,
              int firstDraw, int lastDraw)
{
    TDevicePrintMeasurer measurer(kMeasureDpi);
    TPrintComposer composer(grid, measurer);
    const TPrintLayout layout = composer.Compose(grid.PrintRange(), TPrintPassKind(kind), selectedOnly, pageCount, W, Hgt, firstDraw,
                                                 lastDraw, ToDateTime(QDateTime::currentDateTime()));
    if (kind == pkDrawPreview || kind == pkDrawPrint) {
        // Every laid-out page reports its end and may cancel the job. Pages
        // outside the pages to draw produce no output and no page break:
        // their events (the page event only where a column band opens) get
        // a scratch canvas, so that what a handler draws lands on no page.
        QImage scratchImage(1, 1, QImage::Format_ARGB32);
        TCanvas scratch(&scratchImage);
        scratch.SetMapMode(TMapMode::mmLoMetric);
        bool drawnBefore = false;
        for (const TPrintPage& page : layout.Pages) {
            if (!page.ToDraw) {
                if (page.PageInBand == 0 && grid.OnPrintPage)
                    grid.OnPrintPage(&grid, scratch, page.Index + 1, layout.W, layout.Hgt);
                if (grid.OnPrintPageDone)
                    grid.OnPrintPageDone(&grid, scratch, page.LastRow, page.LastRowOffset, page.Index + 1, layout.W,
                                         layout.Hgt);
                bool cancel = false;
                if (grid.OnPrintCancel) grid.OnPrintCancel(&grid, page.Index + 1, cancel);
                if (cancel) break;
                continue;
            }
            if (drawnBefore && kind == pkDrawPrint)
                if (auto* paged = dynamic_cast<QPagedPaintDevice*>(canvas.Painter().device())) paged->newPage();
            drawnBefore = true;
            if (grid.OnPrintPage) grid.OnPrintPage(&grid, canvas, page.Index + 1, layout.W, layout.Hgt);
            DrawPrintPage(canvas, layout, page);
            if (grid.OnCustomCellDraw) {
                // In device units, with the print font's size.
                for (const TPrintCell& cell : page.Cells) {
                    if (!cell.Painted) continue;
                    const TRect r = canvas.LPtoDP(TRect{cell.Rect.Left, cell.Rect.Bottom, cell.Rect.Right, cell.Rect.Top});
                    canvas.Save();
                    canvas.SetFont(TDevicePrintMeasurer::DeviceFont(cell.Font, cell.FontHeight, canvas.DpiY()));
                    const TMapMode mode = canvas.MapMode();
                    canvas.SetMapMode(TMapMode::mmText);
                    grid.OnCustomCellDraw(&grid, canvas, cell.Col, cell.Row, TGridDrawState{}, r, true);
                    canvas.SetMapMode(mode);
                    canvas.Restore();
                }
            }
            if (grid.OnPrintPageDone)
                grid.OnPrintPageDone(&grid, canvas, page.LastRow, page.LastRowOffset, page.Index + 1, layout.W,
                                     layout.Hgt);
            bool cancel = false;
            if (grid.OnPrintCancel) grid.OnPrintCancel(&grid, page.Index + 1, cancel);
            if (cancel) break;
        }
    }
    return int(layout.Pages.size());
}
} // namespace

int TExtStringGrid::ComposePages(TCanvas& canvas, int kind, bool selectedOnly, int pageCount)
{
    int W = 0, Hgt = 0;
    if (kind == pkDrawPrint || kind == pkCountPrint) {
        // A print job's page size in 0.1 mm, the same for counting and drawing.
        W = FPrevRect.Right - FPrevRect.Left;
        Hgt = -FPrevRect.Bottom - FPrevRect.Top;
    } else {
        W = canvas.LenToLogX(FPrevRect.Width());
        Hgt = -canvas.LenToLogY(FPrevRect.Height());
    }
    return ComposeOn(*this, canvas, kind, selectedOnly, pageCount, W, Hgt, FPrintPageFrom, FPrintPageTo);
}

void TExtStringGrid::RunPrintJob(const TGridRect& range, bool selectedOnly)
{
    ExportNotification(TGridExportState::esExportStart, -1);
    FPrintRect = range;
    QPrinter* printer = Printer();
    const TPrintSettings& ps = *FPrintSettings;
    if (printer->outputFileName().isEmpty() && printer->printerName().isEmpty())
        throw EExtGridError(QStringLiteral("There is no default printer currently selected"));
    if (!ps.UseDefaultOrientation())
        printer->setPageOrientation(ps.Orientation() == TPrinterOrientation::poLandscape ? QPageLayout::Landscape
                                                                                          : QPageLayout::Portrait);
    const int dpiX = printer->logicalDpiX() > 0 ? printer->logicalDpiX() : printer->resolution();
    const int dpiY = printer->logicalDpiY() > 0 ? printer->logicalDpiY() : printer->resolution();
    const QRect paint = printer->pageLayout().paintRectPixels(printer->resolution());
    FPrevRect = TRect{0, 0, Nearest(254.0 / dpiX * paint.width()), Nearest(254.0 / dpiY * paint.height())};
    printer->setDocName(ps.JobName());
    // Counting needs no document: the layout only measures text.
    int count = INT_MAX;
    if (!FastPrint) {
        QImage scratch(1, 1, QImage::Format_RGB32);
        TCanvas countCanvas(&scratch);
        count = ComposeOn(*this, countCanvas, pkCountPrint, selectedOnly, -1, FPrevRect.Right,
                          -FPrevRect.Bottom, 1, 0);
    }
    int from = 1, to = count;
    FPrintNrOfPages = count;
    if (OnPrintStart) {
        OnPrintStart(this, count, from, to);
        if (from <= 0 || to <= 0 || to < from) {
            ExportNotification(TGridExportState::esExportDone, -1);
            return;
        }
    }
    FPrintPageFrom = from;
    FPrintPageTo = to;
    FPrintNrOfPages = to;
    {
        TCanvas canvas(printer);
        if (!canvas.Painter().isActive())
            throw EExtGridError(QStringLiteral("The print job could not be started"));
        canvas.SetMapMode(TMapMode::mmLoMetric);
        // The painter's origin is the corner of the printer's paint rectangle.
        ComposePages(canvas, pkDrawPrint, selectedOnly, count);
    }
    ExportNotification(TGridExportState::esExportDone, -1);
}

void TExtStringGrid::RunPrintPreview(TCanvas& canvas, const TRect& displayRect, const TGridRect& range,
                                     bool selectedOnly)
{
    ExportNotification(TGridExportState::esExportStart, -1);
    FPrintRect = range;
    struct TDone {
        TExtStringGrid* Grid;
        ~TDone()
        {
            Grid->ExportNotification(TGridExportState::esExportDone, -1);
            Grid->FIsPrintPreview = false;
        }
    } done{this};
    TMapModeKeeper keep(canvas);
    canvas.SetMapMode(TMapMode::mmLoMetric);
    canvas.SetViewportOrg(QPoint(displayRect.Left, displayRect.Top));
    FPrevRect = displayRect;
    int count = 1;
    if (!FastPrint) {
        count = ComposePages(canvas, pkCountPreview, selectedOnly, -1);
        FPrintNrOfPages = count;
    }
    FIsPrintPreview = true;
    int from = 1, to = count;
    if (OnPrintStart) OnPrintStart(this, count, from, to);
    if (from <= 0 || to <= 0 || to < from) return;
    FPrevRect = displayRect;
    // A preview draws one page: PreviewPage.
    const int page = FPrintPageFrom;
    int W = canvas.LenToLogX(displayRect.Width()), Hgt = -canvas.LenToLogY(displayRect.Height());
    ComposeOn(*this, canvas, pkDrawPreview, selectedOnly, FastPrint ? -1 : count, W, Hgt, page, page);
}

void TExtStringGrid::RunPrintDraw(TCanvas& canvas, const TRect& drawRect, const TGridRect& range)
{
    FPrintRect = range;
    FPrevRect = drawRect;
    FPrintPageFrom = FPrintPageTo = FPrintNrOfPages = 1;
    TMapModeKeeper keep(canvas);
    canvas.SetMapMode(TMapMode::mmLoMetric);
    QRect box;
    if (canvas.HasClip()) box = canvas.ClipRegion().boundingRect();
    else if (QPaintDevice* d = canvas.Painter().device()) box = QRect(0, 0, d->width(), d->height());
    canvas.SetViewportOrg(box.topLeft());
    ComposeOn(*this, canvas, pkDrawPrint, false, 1, canvas.LenToLogX(box.width()), -canvas.LenToLogY(box.height()), 1,
              1);
}
