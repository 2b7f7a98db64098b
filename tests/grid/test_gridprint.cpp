// Printing of the string grid: the page layout as data through a fixed text
// measurer (every character 20 units wide, every line 40 high), the print
// events, a preview on an image and a real PDF read back with pdfinfo and
// pdftotext.
#include "grid/ExtGridPrint.h"
#include "controls/ExtRichText.h"
#include "platform/Canvas.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QFont DejaVuFont(int points)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(points);
    return f;
}

struct FixedMeasurer : TPrintMeasurer {
    int TextWidth(const QFont&, int, const QString& text) override { return 20 * int(text.size()); }
    int TextHeight(const QFont&, int) override { return 40; }
};

// With the fixed measurer: th = hh = fh = 40, s = 5, g2 = 10, m = 20; a
// one-line row is 40 + 5 = 45 high, 55 on the page.
constexpr int kRowOnPage = 55;

// A grid of 4 columns (one fixed) and n rows (one fixed); column c holds
// texts of widths 20, 60, 40 and "gh" (40) for the empty last column.
struct PrintLayoutTest : ::testing::Test {
    TExtStringGrid g;
    FixedMeasurer m;
    void Fill(int rows)
    {
        g.SetColCount(4);
        g.SetRowCount(rows);
        for (int r = 0; r < rows; ++r) {
            g.SetCells(0, r, QStringLiteral("a"));
            g.SetCells(1, r, QStringLiteral("bbb"));
            g.SetCells(2, r, QStringLiteral("cc"));
        }
    }
    void SetUp() override { Fill(6); }
    TPrintLayout Lay(int W, int Hgt, TGridRect range = TGridRect{-1, 0, 0, 0}, bool selectedOnly = false,
                     int pageCount = -1)
    {
        if (range.Left < 0) range = TGridRect{0, 0, g.ColCount() - 1, g.RowCount() - 1};
        TPrintComposer composer(g, m);
        return composer.Compose(range, pkDrawPreview, selectedOnly, pageCount, W, Hgt, 1, 1000,
                                EncodeDate(2026, 3, 4) + 0.5);
    }
    static std::vector<std::vector<int>> Rows(const TPrintLayout& l)
    {
        std::vector<std::vector<int>> out;
        for (const TPrintPage& p : l.Pages) out.push_back(p.Rows);
        return out;
    }
};

using V = std::vector<int>;
using VV = std::vector<std::vector<int>>;

TEST_F(PrintLayoutTest, WidthsAndIndentsFollowCenteringAndMargins)
{
    TPrintSettings& ps = g.PrintSettings();
    struct Case {
        bool centered;
        int leftSize, columnSpacing;
        V indents; // Indents[0 .. 4]
    } cases[] = {
        {false, 100, 0, {100, 140, 220, 280, 340}},
        {true, 100, 0, {880, 920, 1000, 1060, 1120}}, // (2000 - 240) / 2, LeftSize not applied
        {false, 0, 10, {0, 50, 140, 210, 280}},       // m = 30
    };
    for (const Case& k : cases) {
        ps.SetCentered(k.centered);
        ps.SetLeftSize(k.leftSize);
        ps.SetColumnSpacing(k.columnSpacing);
        const TPrintLayout l = Lay(2000, -2000);
        EXPECT_EQ(V(l.MaxWidths.begin(), l.MaxWidths.begin() + 4), (V{20, 60, 40, 40}));
        ASSERT_EQ(l.Bands.size(), 1u);
        EXPECT_EQ(V(l.Bands[0].Indents.begin(), l.Bands[0].Indents.begin() + 5), k.indents);
        EXPECT_EQ(g.PrintColOffset(1), k.indents[1]);
        EXPECT_EQ(g.PrintColWidth(1), 60);
    }
    // The first cell of the second row sits one row below the first.
    ps.SetColumnSpacing(0);
    const TPrintLayout l = Lay(2000, -2000);
    ASSERT_GE(l.Pages[0].Cells.size(), 8u);
    const TPrintCell& c = l.Pages[0].Cells[4];
    EXPECT_EQ(c.Row, 1);
    EXPECT_EQ(c.Rect.Top, -kRowOnPage);
    EXPECT_EQ(c.Rect.Bottom, -2 * kRowOnPage);
    EXPECT_EQ(c.Rect.Width(), 20 + 20);
}

TEST_F(PrintLayoutTest, ColumnTablesGrowWithTheColumns)
{
    g.SetColCount(600);
    g.SetCells(599, 1, QStringLiteral("wide"));
    TPrintComposer composer(g, m);
    composer.Compose(TGridRect{590, 0, 599, 1}, pkCountPreview, false, -1, 20000, -2000, 1, 1, 0);
    EXPECT_EQ(g.PrintColWidth(599), 80);
    EXPECT_THROW(g.PrintColWidth(int(g.MaxWidths.size())), EExtGridError);
    EXPECT_THROW(g.PrintColOffset(-1), EExtGridError);
}

TEST_F(PrintLayoutTest, RowsPerPageAndRepeatedFixedRows)
{
    Fill(17);
    // Page bottom -400, footer reserve 45: a row fits while its top is above -310.
    struct Case {
        bool repeat;
        TGridRect range;
        VV rows;
    } cases[] = {
        {false, {0, 0, 3, 16}, {{0, 1, 2, 3, 4, 5}, {6, 7, 8, 9, 10, 11}, {12, 13, 14, 15, 16}}},
        {true, {0, 0, 3, 16}, {{0, 1, 2, 3, 4, 5}, {0, 6, 7, 8, 9, 10}, {0, 11, 12, 13, 14, 15}, {0, 16}}},
        // A range that starts below the fixed rows repeats them on its first page too.
        {true, {0, 3, 3, 10}, {{0, 3, 4, 5, 6, 7}, {0, 8, 9, 10}}},
        {false, {0, 3, 3, 10}, {{3, 4, 5, 6, 7, 8}, {9, 10}}},
    };
    for (const Case& k : cases) {
        g.PrintSettings().SetRepeatFixedRows(k.repeat);
        const TPrintLayout l = Lay(2000, -400, k.range);
        EXPECT_EQ(Rows(l), k.rows) << k.repeat << " " << k.range.Top;
        EXPECT_EQ(l.Pages[0].RowTops[1], -kRowOnPage);
    }
}

TEST_F(PrintLayoutTest, BandsRepeatFixedColumnsAndNumberPagesWithinTheBand)
{
    Fill(8);
    TPrintSettings& ps = g.PrintSettings();
    ps.SetPageNr(TPrintPosition::ppBottomRight);
    // Widths with spacing: 40, 80, 60, 60; the page takes 200.
    struct Case {
        bool repeat;
        TGridRect range;
        std::vector<std::pair<int, int>> bands;
        std::vector<bool> repeated;
    } cases[] = {
        {false, {0, 0, 3, 7}, {{0, 2}, {3, 3}}, {false, false}},
        {true, {0, 0, 3, 7}, {{0, 2}, {3, 3}}, {false, true}},
        // Starting after the fixed column, the first band repeats it too.
        {true, {1, 0, 3, 7}, {{1, 2}, {3, 3}}, {true, true}},
    };
    for (const Case& k : cases) {
        ps.SetRepeatFixedCols(k.repeat);
        const TPrintLayout l = Lay(200, -2000, k.range);
        ASSERT_EQ(l.Bands.size(), k.bands.size());
        for (size_t b = 0; b < l.Bands.size(); ++b) {
            EXPECT_EQ(std::make_pair(l.Bands[b].First, l.Bands[b].Last), k.bands[b]);
            EXPECT_EQ(l.Bands[b].RepeatFixed, k.repeated[b]);
        }
        // The fixed column is printed first in a band that repeats it.
        const TPrintPage& second = l.Pages.back();
        EXPECT_EQ(second.Cells.front().Col, k.repeated.back() ? 0 : 3);
        if (k.repeated.back()) {
            EXPECT_EQ(second.Cells[0].Rect.Left, l.Bands[1].Indents[0]);
            EXPECT_EQ(second.Cells[1].Rect.Left, l.Bands[1].Indents[0] + 40);
        }
    }
    // Two bands of one page each: "page-band".
    const TPrintLayout l = Lay(200, -2000, TGridRect{0, 0, 3, 7}, false, 2);
    ASSERT_EQ(l.Pages.size(), 2u);
    EXPECT_EQ(l.Pages[0].PlaceTexts[int(TPrintPosition::ppBottomRight) - 1], QStringLiteral(" 1-1 "));
    EXPECT_EQ(l.Pages[1].PlaceTexts[int(TPrintPosition::ppBottomRight) - 1], QStringLiteral(" 1-2 "));
}

TEST_F(PrintLayoutTest, AColumnWiderThanThePageFormsABandAlone)
{
    g.SetCells(2, 3, QString(30, QLatin1Char('w'))); // 600 wide
    const TPrintLayout l = Lay(300, -2000);
    std::vector<std::pair<int, int>> bands;
    for (const TPrintBand& b : l.Bands) bands.emplace_back(b.First, b.Last);
    EXPECT_EQ(bands, (std::vector<std::pair<int, int>>{{0, 1}, {2, 2}, {3, 3}}));
    // Its cells are cut at the page's right edge.
    for (const TPrintCell& c : l.Pages[1].Cells) {
        EXPECT_EQ(c.Col, 2);
        EXPECT_LE(c.FillRect.Right, 300);
    }
}

TEST_F(PrintLayoutTest, ARowTallerThanThePageIsPrintedAloneAndCut)
{
    g.SetMultilinecells(true);
    QStringList lines;
    for (int i = 0; i < 30; ++i) lines << QStringLiteral("x");
    g.SetCells(1, 2, lines.join(QStringLiteral("\r\n"))); // 1200 + 150 high
    const TPrintLayout l = Lay(2000, -400);
    EXPECT_EQ(Rows(l), (VV{{0, 1}, {2}, {3, 4, 5}}));
    for (const TPrintCell& c : l.Pages[1].Cells) EXPECT_GE(c.FillRect.Bottom, -400 + 45);
}

TEST_F(PrintLayoutTest, FitToPageScalesTheColumns)
{
    TPrintSettings& ps = g.PrintSettings();
    int asked = 0;
    bool allow = true;
    g.OnFitToPage = [&](TExtStringGrid*, double& f, bool& a) {
        ++asked;
        EXPECT_DOUBLE_EQ(f, 0.75);
        a = allow;
    };
    // S = 240 with v = 80 of spacing: o = (W - 80) / 160.
    struct Case {
        TFitToPage fit;
        int W;
        bool allow;
        V widths;
    } cases[] = {
        {TFitToPage::fpNever, 200, true, {20, 60, 40, 40}},
        {TFitToPage::fpShrink, 200, true, {15, 45, 30, 30}},
        {TFitToPage::fpShrink, 2000, true, {20, 60, 40, 40}}, // never enlarges
        {TFitToPage::fpGrow, 2000, true, {240, 720, 480, 480}},
        {TFitToPage::fpGrow, 200, true, {20, 60, 40, 40}}, // never reduces
        {TFitToPage::fpAlways, 200, true, {15, 45, 30, 30}},
        {TFitToPage::fpCustom, 200, true, {15, 45, 30, 30}},
        {TFitToPage::fpCustom, 200, false, {20, 60, 40, 40}},
        {TFitToPage::fpAlways, 50, true, {20, 60, 40, 40}}, // spacing alone wider than the page
    };
    for (const Case& k : cases) {
        ps.SetFitToPage(k.fit);
        allow = k.allow;
        const TPrintLayout l = Lay(k.W, -2000);
        EXPECT_EQ(V(l.MaxWidths.begin(), l.MaxWidths.begin() + 4), k.widths) << int(k.fit) << " " << k.W;
    }
    EXPECT_EQ(asked, 2);
}

TEST_F(PrintLayoutTest, NewPageEventAndColumnAndRowEvents)
{
    g.OnPrintNewPage = [](TExtStringGrid*, int r, bool& newPage) { newPage = r == 3; };
    g.OnPrintSetColumnWidth = [](TExtStringGrid*, int c, int& w) {
        if (c == 2) w = 100;
    };
    g.OnPrintSetRowHeight = [](TExtStringGrid*, int r, int& h) {
        if (r == 4) h = 95;
    };
    const TPrintLayout l = Lay(2000, -2000);
    EXPECT_EQ(Rows(l), (VV{{0, 1, 2}, {3, 4, 5}}));
    EXPECT_EQ(l.MaxWidths[2], 100);
    EXPECT_EQ(l.Pages[1].RowTops, (V{0, -kRowOnPage, -kRowOnPage - 105}));
}

TEST_F(PrintLayoutTest, HeaderAndFooterTextsAndPlaces)
{
    Fill(17);
    TPrintSettings& ps = g.PrintSettings();
    ps.SetTime(TPrintPosition::ppTopLeft);
    ps.SetDate(TPrintPosition::ppTopLeft);
    ps.SetDateFormat(QStringLiteral("yyyy-mm-dd"));
    ps.SetTitle(TPrintPosition::ppTopCenter);
    ps.SetTitleText(QStringLiteral("Report"));
    ps.SetPageNr(TPrintPosition::ppBottomRight);
    ps.SetPagePrefix(QStringLiteral("Page"));
    ps.SetHeaderSize(30);
    ps.SetFooterSize(20);
    ps.SetLeftSize(15);
    ps.SetRightSize(25);
    ps.SetTitleSpacing(10);
    int asked = 0;
    g.OnPrintGetPageNum = [&](TExtStringGrid*, int num, int band, QString& s) {
        ++asked;
        EXPECT_EQ(band, 1);
        if (num == 2) s = QStringLiteral("two");
    };
    const TPrintLayout l = Lay(2000, -600, TGridRect{-1, 0, 0, 0}, false, 3);
    // E = s + hh + HeaderSize = 75, G = 2s + 2fh + FooterSize = 110.
    EXPECT_EQ(l.E, 75);
    EXPECT_EQ(l.G, 110);
    EXPECT_EQ(l.Pages[0].RowTops[0], -75 - 10);
    const TPrintPage& p = l.Pages[0];
    EXPECT_EQ(p.PlaceTexts[0], QStringLiteral("2026-03-04 12:00"));
    EXPECT_EQ(p.PlaceTexts[2], QStringLiteral("Report"));
    EXPECT_EQ(p.PlaceTexts[4], QStringLiteral("Page 1/3 "));
    EXPECT_EQ(l.Pages[1].PlaceTexts[4], QStringLiteral("Page two "));
    EXPECT_EQ(asked, int(l.Pages.size()));
    ASSERT_EQ(p.Texts.size(), 3u);
    auto at = [&](const QString& text) {
        for (const TPrintText& t : p.Texts)
            if (t.Text == text) return QPoint(t.X, t.Y);
        return QPoint(-1, -1);
    };
    EXPECT_EQ(at(QStringLiteral("2026-03-04 12:00")), QPoint(15, -30));
    EXPECT_EQ(at(QStringLiteral("Report")), QPoint((2000 - 120) / 2, -30));
    // Right: W - width - RightSize - 20; bottom: Hgt + fh + s + FooterSize.
    EXPECT_EQ(at(QStringLiteral("Page 1/3 ")), QPoint(2000 - 180 - 25 - 20, -600 + 40 + 5 + 20));
    // Rows stop above the footer: the last row top leaves room for 45 + G.
    for (const TPrintPage& page : l.Pages)
        EXPECT_GT(page.RowTops.back() - 45, -600 + 110);
}

TEST_F(PrintLayoutTest, WordWrapInTheGridsColumnWidths)
{
    g.SetWordWrap(true);
    g.PrintSettings().SetNoAutoSize(true);
    for (int c = 0; c < 4; ++c) g.SetColWidths(c, 60);
    g.SetCells(1, 1, QStringLiteral("aa bb cc dd"));
    const TPrintLayout l = Lay(2000, -2000);
    // 60 pixels are 159 units; "aa bb cc" (160) does not fit inside the margins.
    EXPECT_EQ(l.MaxWidths[1], 159);
    EXPECT_EQ(l.Pages[0].RowTops[2] - l.Pages[0].RowTops[1], -(2 * 40 + 10 + 10));
    for (const TPrintCell& c : l.Pages[0].Cells)
        if (c.Col == 1 && c.Row == 1) {
            EXPECT_EQ(c.Lines, (QStringList{QStringLiteral("aa bb"), QStringLiteral("cc dd")}));
        }
}

TEST_F(PrintLayoutTest, RangesOutsideTheGridAreCut)
{
    EXPECT_EQ(Rows(Lay(2000, -2000, TGridRect{2, 4, 40, 90})), (VV{{4, 5}}));
    EXPECT_EQ(g.PrintRange(), (TGridRect{2, 4, 3, 5}));
    EXPECT_TRUE(Lay(2000, -2000, TGridRect{3, 5, 1, 2}).Pages.empty());
}

TEST_F(PrintLayoutTest, AMiniHtmlTitleIsRenderedAndReservedOnEveryPage)
{
    Fill(17);
    TPrintSettings& ps = g.PrintSettings();
    ps.SetTitle(TPrintPosition::ppTopLeft);
    ps.SetTitleLines(QStringList{QStringLiteral("<B>Gateway</B>"), QStringLiteral("<BR>report")});
    ps.SetHeaderFont(DejaVuFont(10));
    ps.SetHeaderSize(30);
    const TPrintLayout l = Lay(2000, -600);
    ASSERT_FALSE(l.TitleImage.isNull());
    // Two lines of a 10-point font: more than 7 mm, less than 12.
    EXPECT_GT(l.TitleSize.height(), 70);
    EXPECT_LT(l.TitleSize.height(), 120);
    EXPECT_EQ(l.E, 5 + 40 + 30 + l.TitleSize.height());
    ASSERT_GT(l.Pages.size(), 1u);
    for (const TPrintPage& p : l.Pages) {
        EXPECT_EQ(p.RowTops.front(), -l.E);
        EXPECT_EQ(p.TitleRect, (TRect{0, -30, l.TitleSize.width(), -30 - l.TitleSize.height()}));
        EXPECT_TRUE(p.PlaceTexts[0].isEmpty()); // no second, plain title
    }
    // Its ink is on the picture.
    int ink = 0;
    for (int y = 0; y < l.TitleImage.height(); ++y)
        for (int x = 0; x < l.TitleImage.width(); ++x) ink += qAlpha(l.TitleImage.pixel(x, y)) > 0;
    EXPECT_GT(ink, 50);
}

TEST_F(PrintLayoutTest, FastPrintNumbersPagesWithoutACount)
{
    g.PrintSettings().SetPageNr(TPrintPosition::ppTopLeft);
    g.FastPrint = true;
    const TPrintLayout l = Lay(2000, -2000, TGridRect{-1, 0, 0, 0}, false, 2147483647);
    EXPECT_EQ(l.Pages[0].PlaceTexts[0], QStringLiteral(" 1 "));
}

TEST_F(PrintLayoutTest, SelectedOnlyRowsAndColumns)
{
    Fill(8);
    g.SetSelection(TGridRect{1, 2, 2, 4});
    TPrintLayout l = Lay(2000, -2000, TGridRect{-1, 0, 0, 0}, true);
    EXPECT_EQ(Rows(l), (VV{{2, 3, 4}}));
    std::set<int> cols;
    for (const TPrintCell& c : l.Pages[0].Cells) cols.insert(c.Col);
    EXPECT_EQ(cols, (std::set<int>{1, 2}));
    // Fixed cells always, and disjunct row selection (every column).
    g.PrintSettings().SetFixedCellsAlways(true);
    g.MouseActions().SetDisjunctRowSelect(true);
    g.SetRowSelect(5, true);
    g.SetRowSelect(7, true);
    l = Lay(2000, -2000, TGridRect{-1, 0, 0, 0}, true);
    EXPECT_EQ(Rows(l), (VV{{0, 5, 7}}));
    cols.clear();
    for (const TPrintCell& c : l.Pages[0].Cells) cols.insert(c.Col);
    EXPECT_EQ(cols, (std::set<int>{0, 1, 2, 3}));
}

TEST_F(PrintLayoutTest, GraphicsAndRotatedCells)
{
    // F = 254 / 96: a 15-pixel glyph is 40 units on the page.
    g.AddCheckBox(1, 2, true, false);
    g.SetCells(1, 2, QStringLiteral("bbb"));
    QImage bmp(30, 30, QImage::Format_RGB32);
    bmp.fill(Qt::red);
    g.AddBitmap(2, 3, &bmp, false, TCellHAlign::haRight, TCellVAlign::vaTop);
    g.AddRotated(3, 1, 90, QStringLiteral("up"));
    TPrintComposer composer(g, m);
    TPrintLayout l = Lay(2000, -2000);
    // Without PrintGraphics the graphics take no room; the rotated text
    // "up" (40 x 40) stands on its side.
    QSize gs;
    ASSERT_FALSE(composer.PrintGraphic(1, 2, gs).isNull());
    const int side = 40; // the 15-pixel glyph
    EXPECT_EQ(l.MaxWidths[1], 60);
    EXPECT_EQ(l.MaxWidths[3], 40);
    g.PrintSettings().SetPrintGraphics(true);
    l = Lay(2000, -2000);
    EXPECT_EQ(l.MaxWidths[1], 60 + side);
    EXPECT_EQ(l.MaxWidths[2], std::max(40 + 79, 79)); // 30 pixels: 79 units
    auto cellAt = [&](int c, int r) -> const TPrintCell& {
        for (const TPrintCell& cell : l.Pages[0].Cells)
            if (cell.Col == c && cell.Row == r) return cell;
        throw std::runtime_error("no cell");
    };
    const TPrintCell& box = cellAt(1, 2);
    ASSERT_FALSE(box.Graphic.isNull());
    EXPECT_EQ(box.GraphicRect.Width(), side);
    EXPECT_GE(box.TextRect.Left, box.GraphicRect.Right); // the text moves behind a left glyph
    const TPrintCell& pic = cellAt(2, 3);
    EXPECT_EQ(pic.Graphic.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_LE(pic.TextRect.Right, pic.GraphicRect.Left); // and before a right one
    EXPECT_EQ(pic.GraphicRect.Right, pic.FillRect.Right - 10);
    EXPECT_EQ(cellAt(3, 1).Angle, 90);
}

// A custom drawing object that fills what it is given and notes whether it
// was asked to print.
struct GreenDrawer : TInterfacedPersistent {
    bool Printing = false;
    void Draw(TCanvas& canvas, const TRect& r, int, int, bool, bool printing) override
    {
        Printing = printing;
        canvas.SetBrushColor(clLime);
        canvas.FillRect(r);
    }
    QSize PreferredSize() const override { return {12, 10}; }
};

TEST_F(PrintLayoutTest, EveryGraphicKindIsDrawnByItsScreenRoutine)
{
    // The graphics print at their screen size times 254 / 96, drawn by the
    // grid's own drawers; each shows its colour where the drawer puts it.
    g.SetColCount(3);
    g.SetRowCount(9);
    g.SetFixedCols(0);
    g.SetColWidths(1, 80);
    TCustomImageList images(16, 12);
    QImage red(16, 12, QImage::Format_RGB32), blue(16, 12, QImage::Format_RGB32);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    images.Add(red);
    images.Add(blue);
    g.SetGridImages(&images);
    g.AddImageIdx(1, 1, 1, TCellHAlign::haLeft, TCellVAlign::vaTop);
    g.AddMultiImage(1, 2, 0, TCellHAlign::haLeft, TCellVAlign::vaTop);
    g.CellImages(1, 2)->Add(0);
    g.CellImages(1, 2)->Add(1);
    g.AddProgress(1, 3, clBlue, clYellow);
    g.SetFloats(1, 3, 50);
    g.AddProgressPie(1, 4, clRed, 100);
    QStringList captions{QStringLiteral("one"), QStringLiteral("two")};
    g.AddRadio(1, 5, 0, 0, &captions);
    g.SetCells(1, 5, QStringLiteral("hidden"));
    GreenDrawer drawer;
    g.AddInterfacedCell(1, 6, &drawer);
    QImage pic(20, 10, QImage::Format_ARGB32);
    pic.fill(Qt::magenta);
    g.AddPicture(1, 7, &pic, false, TStretchMode::noStretch, 0, TCellHAlign::haLeft, TCellVAlign::vaTop);
    g.SetCells(1, 7, QString());

    TPrintComposer composer(g, m);
    composer.Compose(TGridRect{0, 0, 2, 8}, pkDrawPreview, false, -1, 3000, -3000, 1, 1000, 0);
    const double F = 254.0 / 96;
    auto units = [&](int px) { return int(std::nearbyint(px * F)); };
    struct Case {
        int row;
        QSize screen;       // pixels
        QPoint probe;       // pixel of the drawn image
        QColor colour;
    };
    const Case cases[] = {
        {1, {16, 12}, {8, 6}, Qt::blue},           // image-list image 1
        {2, {32, 12}, {24, 6}, Qt::blue},          // two images side by side
        {3, {80, g.RowHeights(3)}, {6, g.RowHeights(3) / 2}, Qt::blue}, // the bar from the left
        {4, {20, 20}, {6, 12}, Qt::red},          // a full pie
        {6, {12, 10}, {6, 5}, Qt::green},          // the custom drawer at its own size
        {7, {20, 10}, {10, 5}, Qt::magenta},       // the picture
    };
    for (const Case& c : cases) {
        QSize gs;
        const QImage img = composer.PrintGraphic(1, c.row, gs);
        ASSERT_FALSE(img.isNull()) << c.row;
        EXPECT_EQ(gs, QSize(units(c.screen.width()), units(c.screen.height()))) << c.row;
        EXPECT_EQ(img.pixelColor(c.probe).rgb(), c.colour.rgb()) << c.row;
    }
    EXPECT_TRUE(drawer.Printing);

    // The radio group and the progress bar take the whole cell and write
    // their own texts, so the cell's text is not printed over them.
    g.PrintSettings().SetPrintGraphics(true);
    const TPrintLayout l = Lay(3000, -3000);
    int found = 0;
    for (const TPrintCell& cell : l.Pages.at(0).Cells) {
        if (cell.Col != 1 || (cell.Row != 5 && cell.Row != 3)) continue;
        ++found;
        ASSERT_FALSE(cell.Graphic.isNull());
        EXPECT_EQ(cell.GraphicRect.Left, cell.FillRect.Left);
        if (cell.Row == 3) {
            EXPECT_EQ(cell.GraphicRect.Right, cell.FillRect.Right);
        }
        EXPECT_EQ(cell.GraphicRect.Top, cell.FillRect.Top);
        EXPECT_TRUE(cell.Lines.join(QString()).isEmpty()) << cell.Row;
    }
    EXPECT_EQ(found, 2);
}

TEST_F(PrintLayoutTest, TreeNodesPrintAsPlusOrMinus)
{
    g.SetRowCount(6);
    g.AddNode(1, 3);
    g.CellNode().SetNodeColor(clRed);
    TPrintComposer composer(g, m);
    composer.Compose(TGridRect{0, 0, 3, 5}, pkDrawPreview, false, -1, 3000, -3000, 1, 1000, 0);
    auto glyph = [&](bool contract) {
        if (contract) g.ContractNode(1);
        else g.ExpandNode(1);
        QSize gs;
        const QImage img = composer.PrintGraphic(0, 1, gs);
        EXPECT_EQ(gs, QSize(53, 53)); // 20 pixels
        return img;
    };
    const QImage open = glyph(false), closed = glyph(true);
    ASSERT_FALSE(open.isNull());
    ASSERT_FALSE(closed.isNull());
    // The minus sign in both, the upright stroke of the plus only when contracted.
    EXPECT_EQ(open.pixelColor(7, 10).rgb(), QColor(Qt::red).rgb());
    EXPECT_EQ(closed.pixelColor(7, 10).rgb(), QColor(Qt::red).rgb());
    EXPECT_NE(open.pixelColor(10, 6).rgb(), QColor(Qt::red).rgb());
    EXPECT_EQ(closed.pixelColor(10, 6).rgb(), QColor(Qt::red).rgb());
}

TEST_F(PrintLayoutTest, UrlsAreMeasuredWithoutTheirScheme)
{
    g.SetCells(2, 1, QStringLiteral("http://abc"));
    const struct {
        bool show, full;
        int width;
    } cases[] = {{false, false, 20 * 10}, {true, false, 20 * 3}, {true, true, 20 * 10}};
    for (const auto& c : cases) {
        g.SetURLShow(c.show);
        g.SetURLFull(c.full);
        EXPECT_EQ(Lay(3000, -3000).MaxWidths[2], c.width) << c.show << c.full;
    }
}

TEST(PrintFontMapping, PointsAndTenthsOfMillimetres)
{
    TExtStringGrid g;
    EXPECT_EQ(g.MapFontHeight(10), -35);
    EXPECT_EQ(TExtStringGrid::MapFontSize(35), 9);
    g.Fontscalefactor = 0.5;
    EXPECT_EQ(g.MapFontHeight(10), -17);
}

TEST(PrintCanvas, LowMetricMapsTenthsOfMillimetresUpwards)
{
    QImage img(100, 100, QImage::Format_RGB32);
    img.setDotsPerMeterX(10000); // 254 dpi: one unit a pixel
    img.setDotsPerMeterY(10000);
    TCanvas c(&img);
    c.SetMapMode(TMapMode::mmLoMetric);
    c.SetViewportOrg(QPoint(10, 20));
    EXPECT_EQ(c.LPtoDP(QPoint(30, -40)), QPoint(40, 60));
    EXPECT_EQ(c.DPtoLP(QPoint(40, 60)), QPoint(30, -40));
    EXPECT_EQ(c.LPtoDP(TRect{0, 0, 50, -30}), (TRect{10, 20, 60, 50}));
    c.SetMapMode(TMapMode::mmText);
    EXPECT_EQ(c.LPtoDP(QPoint(30, 40)), QPoint(40, 60));
}

// ---------------------------------------------------------------------------
// Jobs, previews and events on real devices.

QFont DejaVu(int points)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(points);
    return f;
}

struct RecordingGrid : TExtStringGrid {
    std::vector<TGridExportState> Told;
    void ExportNotification(TGridExportState state, int) override { Told.push_back(state); }
};

struct PrintJobTest : ::testing::Test {
    RecordingGrid g;
    QTemporaryDir dir;
    QPrinter printer{QPrinter::HighResolution};
    std::vector<int> pagesDrawn, pagesAnnounced;
    void SetUp() override
    {
        g.SetColCount(6);
        g.SetRowCount(120);
        for (int c = 0; c < 6; ++c) g.SetCells(c, 0, QStringLiteral("Head%1").arg(c));
        for (int r = 1; r < 120; ++r)
            for (int c = 0; c < 6; ++c) g.SetCells(c, r, QStringLiteral("Cell%1x%2 wwwwwwwwwwww").arg(r).arg(c));
        TPrintSettings& ps = g.PrintSettings();
        ps.SetUseDisplayFont(false);
        ps.SetFont(DejaVu(10));
        ps.SetFixedFont(DejaVu(10));
        ps.SetHeaderFont(DejaVu(10));
        ps.SetFooterFont(DejaVu(10));
        ps.SetTitle(TPrintPosition::ppTopCenter);
        ps.SetTitleText(QStringLiteral("Gateway Report"));
        ps.SetPageNr(TPrintPosition::ppBottomRight);
        ps.SetPagePrefix(QStringLiteral("Page"));
        ps.SetRepeatFixedRows(true);
        ps.SetJobName(QStringLiteral("grid job"));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setOutputFileName(Pdf());
        g.SetPrinter(&printer);
        // Pages outside the pages to draw get a 1 x 1 scratch canvas.
        g.OnPrintPage = [this](TExtStringGrid*, TCanvas& c, int nr, int, int) {
            pagesAnnounced.push_back(nr);
            if (c.Painter().device()->width() > 1) pagesDrawn.push_back(nr);
        };
    }
    QString Pdf() const { return dir.filePath(QStringLiteral("grid.pdf")); }
    static QString Run(const QString& tool, const QStringList& args)
    {
        QProcess p;
        p.start(tool, args);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    int PdfPages() const
    {
        const QString info = Run(QStringLiteral("pdfinfo"), {Pdf()});
        for (const QString& line : info.split(QLatin1Char('\n')))
            if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
        return -1;
    }
    QString PageText(int page) const
    {
        return Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                                                  QStringLiteral("-l"), QString::number(page), Pdf(), QStringLiteral("-")});
    }
};

TEST_F(PrintJobTest, PdfReadsBackAsLaidOut)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "poppler-utils missing";
    g.Print();
    ASSERT_TRUE(QFile::exists(Pdf()));
    // Kept for a person to look at when KR_SCREENSHOT_DIR is set.
    const QString keep = qEnvironmentVariable("KR_SCREENSHOT_DIR");
    if (!keep.isEmpty()) QFile::copy(Pdf(), QDir(keep).filePath(QStringLiteral("grid-print.pdf")));
    const int n = g.PrintNrOfPages();
    EXPECT_GT(n, 2);
    EXPECT_EQ(PdfPages(), n);
    EXPECT_EQ(int(pagesDrawn.size()), n);
    // The same layout again, as data: which rows and columns each page holds.
    TDevicePrintMeasurer measurer(1200);
    TPrintComposer composer(g, measurer);
    const TPrintLayout l = composer.Compose(TGridRect{0, 0, 5, 119}, pkDrawPrint, false, n, g.PrevRect().Right,
                                            -g.PrevRect().Bottom, 1, n, 0);
    ASSERT_EQ(int(l.Pages.size()), n);
    EXPECT_GE(l.Bands.size(), 2u);
    for (const TPrintPage& page : l.Pages) {
        const QString text = PageText(page.Index + 1);
        EXPECT_TRUE(text.contains(QStringLiteral("Gateway Report"))) << page.Index;
        EXPECT_TRUE(text.contains(QStringLiteral("Page %1-%2").arg(page.PageInBand + 1).arg(page.Band)))
            << page.Index << text.toStdString();
        // The repeated header row and every cell of the page's rows and band.
        const TPrintBand& band = l.Bands[size_t(page.Band - 1)];
        for (int c = band.First; c <= band.Last; ++c) {
            EXPECT_TRUE(text.contains(QStringLiteral("Head%1").arg(c))) << page.Index;
            for (int r : page.Rows)
                if (r > 0) {
                    EXPECT_TRUE(text.contains(QStringLiteral("Cell%1x%2 ").arg(r).arg(c))) << r << " " << c;
                }
        }
        // No cell of another band's columns.
        for (const TPrintBand& other : l.Bands)
            if (&other != &band) {
                EXPECT_FALSE(text.contains(QStringLiteral("x%1 w").arg(other.First))) << page.Index;
            }
    }
}

TEST_F(PrintJobTest, FormattedTextAndGraphicsReachThePaper)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) GTEST_SKIP() << "poppler-utils missing";
    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetCells(0, 1, QStringLiteral("<B>Bold</B> markup"));
    TRichTextRun run;
    run.Text = QStringLiteral("Rich words");
    run.Color = Qt::red;
    g.SetCells(1, 1, RichTextRunsToRtf({run}));
    g.SetColWidths(2, 120);
    g.AddProgress(2, 2, clBlue, clYellow);
    g.SetFloats(2, 2, 100);
    TCustomImageList images(16, 16);
    QImage green(16, 16, QImage::Format_RGB32);
    green.fill(Qt::green);
    images.Add(green);
    g.SetGridImages(&images);
    g.AddImageIdx(1, 2, 0, TCellHAlign::haLeft, TCellVAlign::vaTop);
    g.AddProgressPie(0, 2, clRed, 75);
    QStringList captions{QStringLiteral("North"), QStringLiteral("South")};
    g.AddRadio(1, 3, 0, 1, &captions);
    g.PrintSettings().SetPrintGraphics(true);
    g.Print();
    const QString text = PageText(1);
    // The markup is rendered, not printed as text, and rich text keeps its words.
    EXPECT_TRUE(text.contains(QStringLiteral("Bold markup"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("<B>")));
    EXPECT_TRUE(text.contains(QStringLiteral("Rich words"))) << text.toStdString();
    // The page as a picture: red rich text and a blue progress bar.
    const QString png = dir.filePath(QStringLiteral("page"));
    Run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
                                     QStringLiteral("-singlefile"), Pdf(), png});
    const QImage page(png + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    const QString keep = qEnvironmentVariable("KR_SCREENSHOT_DIR");
    if (!keep.isEmpty()) page.save(QDir(keep).filePath(QStringLiteral("grid-print-formatted.png")));
    int redInk = 0, blueInk = 0, greenInk = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            redInk += c.red() > 200 && c.green() < 80 && c.blue() < 80;
            blueInk += c.blue() > 200 && c.red() < 60 && c.green() < 60;
            greenInk += c.green() > 200 && c.red() < 60 && c.blue() < 60;
        }
    EXPECT_GT(greenInk, 50); // the image-list image
    EXPECT_GT(redInk, 20);
    EXPECT_GT(blueInk, 200);
}

TEST_F(PrintJobTest, RefusedRangePrintsNothingAndStillReportsDone)
{
    g.OnPrintStart = [](TExtStringGrid*, int pages, int& from, int&) {
        EXPECT_GT(pages, 1);
        from = 0;
    };
    g.Print();
    EXPECT_FALSE(QFile::exists(Pdf()));
    EXPECT_TRUE(pagesDrawn.empty());
    ASSERT_FALSE(g.Told.empty());
    EXPECT_EQ(g.Told.front(), TGridExportState::esExportStart);
    EXPECT_EQ(g.Told.back(), TGridExportState::esExportDone);
}

TEST_F(PrintJobTest, ChosenRangeAndCancelStopAfterTheirPage)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()) GTEST_SKIP() << "poppler-utils missing";
    g.OnPrintStart = [](TExtStringGrid*, int, int& from, int& to) {
        from = 2;
        to = 4;
    };
    g.OnPrintCancel = [](TExtStringGrid*, int page, bool& cancel) { cancel = page == 3; };
    g.Print();
    EXPECT_EQ(pagesDrawn, (std::vector<int>{2, 3}));
    // The skipped first page opens the column band: it is announced too.
    EXPECT_EQ(pagesAnnounced, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(PdfPages(), 2);
    EXPECT_EQ(g.PrintNrOfPages(), 4);
}

TEST_F(PrintJobTest, OrientationUnlessTheDefaultIsKept)
{
    g.SetRowCount(3);
    TPrintSettings& ps = g.PrintSettings();
    ps.SetOrientation(TPrinterOrientation::poLandscape);
    g.Print();
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_GT(g.PrevRect().Right, g.PrevRect().Bottom); // the page in 0.1 mm, across
    ps.SetOrientation(TPrinterOrientation::poPortrait);
    ps.SetUseDefaultOrientation(true);
    g.Print();
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
}

TEST_F(PrintJobTest, CustomCellDrawRunsForPrintedCells)
{
    g.SetRowCount(3);
    int printing = 0;
    g.OnCustomCellDraw = [&](TExtStringGrid*, TCanvas& canvas, int, int, TGridDrawState, const TRect& r, bool p) {
        printing += p;
        EXPECT_EQ(canvas.MapMode(), TMapMode::mmText);
        EXPECT_GT(r.Width(), 0);
        EXPECT_GT(r.Height(), 0);
    };
    g.Print();
    EXPECT_EQ(printing, 3 * 6);
}

TEST_F(PrintJobTest, DrawOnACanvasTakesItsClipBoxAndFiresThePageEventsInOrder)
{
    std::vector<QString> events;
    g.OnPrintPage = [&](TExtStringGrid*, TCanvas&, int nr, int w, int h) {
        events.push_back(QStringLiteral("page %1 %2 %3").arg(nr).arg(w).arg(h));
    };
    g.OnPrintPageDone = [&](TExtStringGrid*, TCanvas&, int lastRow, int, int lastPage, int, int) {
        events.push_back(QStringLiteral("done %1 %2").arg(lastPage).arg(lastRow > 1));
    };
    g.OnPrintCancel = [&](TExtStringGrid*, int page, bool&) { events.push_back(QStringLiteral("cancel %1").arg(page)); };
    QImage img(400, 600, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        TCanvas canvas(&img);
        canvas.SetClipRect(TRect{100, 50, 300, 550}); // 200 x 500 pixels at 96 dpi
        g.PrintDraw(canvas, TRect{0, 0, 10, 10});
        EXPECT_EQ(canvas.MapMode(), TMapMode::mmText);
    }
    // Page 1 is drawn; the pages laid out after it still report their end
    // and are asked for cancelling, each in turn.
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(std::vector<QString>(events.begin(), events.begin() + 3),
              (std::vector<QString>{QStringLiteral("page 1 529 -1323"), QStringLiteral("done 1 1"),
                                    QStringLiteral("cancel 1")}));
    int pageDone = 1;
    for (size_t i = 3; i < events.size(); ++i)
        if (events[i].startsWith(QStringLiteral("done"))) {
            ++pageDone;
            EXPECT_TRUE(events[i].startsWith(QStringLiteral("done %1 ").arg(pageDone))) << events[i].toStdString();
            ASSERT_LT(i + 1, events.size());
            EXPECT_EQ(events[i + 1], QStringLiteral("cancel %1").arg(pageDone));
        }
    EXPECT_GT(pageDone, 1);
    EXPECT_EQ(g.PrintNrOfPages(), 1);
    EXPECT_EQ(g.PrevRect(), (TRect{0, 0, 10, 10}));
    // Nothing outside the clip box; ink inside it.
    int outside = 0, inside = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool in = x >= 100 && x < 300 && y >= 50 && y < 550;
            const bool ink = img.pixelColor(x, y) != QColor(Qt::white);
            (in ? inside : outside) += ink;
        }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(inside, 100);
}

TEST_F(PrintJobTest, NoPrinterAndNoFileIsAnError)
{
    QPrinter none;
    none.setOutputFormat(QPrinter::PdfFormat);
    none.setOutputFileName(QString());
    g.SetPrinter(&none);
    EXPECT_THROW(g.Print(), EExtGridError);
    // A file that cannot be written is an error too, not an empty success.
    none.setOutputFileName(dir.filePath(QStringLiteral("missing/folder/grid.pdf")));
    EXPECT_THROW(g.Print(), EExtGridError);
    EXPECT_TRUE(pagesDrawn.empty());
}

TEST_F(PrintJobTest, PreviewDrawsPreviewPageOnly)
{
    QImage img(794, 1123, QImage::Format_RGB32); // A4 at 96 dpi
    img.fill(Qt::white);
    TCanvas canvas(&img);
    g.SetPreviewPage(3);
    // What a handler draws for a skipped page lands on no page.
    g.OnPrintPageDone = [](TExtStringGrid*, TCanvas& c, int, int, int page, int, int) {
        if (page != 3) c.Painter().fillRect(QRect(0, 0, 794, 1123), Qt::black);
    };
    g.PrintPreview(canvas, TRect{0, 0, 794, 1123});
    EXPECT_EQ(pagesDrawn, (std::vector<int>{3}));
    EXPECT_EQ(img.pixelColor(3, 3), QColor(Qt::white));
    g.OnPrintPageDone = nullptr;
    EXPECT_GT(g.PrintNrOfPages(), 3);
    EXPECT_FALSE(g.IsPrintPreview());
    EXPECT_EQ(g.Told.back(), TGridExportState::esExportDone);
    // With FastPrint nothing is counted: the page count stays.
    const int before = g.PrintNrOfPages();
    g.FastPrint = true;
    g.SetPreviewPage(1);
    g.SetRowCount(3);
    g.PrintPreview(canvas, TRect{0, 0, 794, 1123});
    EXPECT_EQ(g.PrintNrOfPages(), before);
}

TEST_F(PrintJobTest, PreviewWidgetCountsThePrintedPages)
{
    QPrintPreviewWidget preview(&printer);
    QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, [this](QPrinter* p) {
        g.SetPrinter(p);
        g.Print();
    });
    preview.updatePreview();
    EXPECT_GT(g.PrintNrOfPages(), 1);
    EXPECT_EQ(preview.pageCount(), g.PrintNrOfPages());
}

TEST(PrintPreviewPixels, LinesBackgroundAndPageNumber)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) g.SetCells(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
    TPrintSettings& ps = g.PrintSettings();
    ps.SetUseDisplayFont(false);
    ps.SetFont(DejaVu(10));
    ps.SetFixedFont(DejaVu(10));
    ps.SetFooterFont(DejaVu(10));
    ps.SetPageNr(TPrintPosition::ppBottomCenter);
    ps.SetBorderColor(clBlue);
    g.OnGetCellPrintColor = [](TExtStringGrid*, int r, int, TGridDrawState, TCellBrush& b, TCellFont&) {
        b.Color = r % 2 ? clYellow : clLime;
    };
    QImage img(400, 500, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        TCanvas canvas(&img);
        g.PrintPreview(canvas, TRect{0, 0, 400, 500});
    }
    const QString keep = qEnvironmentVariable("KR_SCREENSHOT_DIR");
    if (!keep.isEmpty()) img.save(QDir(keep).filePath(QStringLiteral("grid-preview.png")));
    // The layout of the same page, to find where things are.
    TDevicePrintMeasurer measurer(1200);
    TPrintComposer composer(g, measurer);
    const TPrintLayout l = composer.Compose(TGridRect{0, 0, 2, 3}, pkDrawPreview, false, 1,
                                            int(std::lround(400 * 254.0 / 96)), -int(std::lround(500 * 254.0 / 96)),
                                            1, 1, 0);
    auto dev = [](int x, int y) { return QPoint(int(std::lround(x * 96 / 254.0)), int(std::lround(-y * 96 / 254.0))); };
    auto colour = [&](QPoint p) { return QColorToColor(img.pixelColor(p)); };
    const TPrintPage& page = l.Pages.at(0);
    for (const TPrintCell& c : page.Cells) {
        // Inside, near the bottom-right corner (away from the text): the row's colour.
        const QPoint in = dev(c.Rect.Right - 15, c.Rect.Bottom + 15);
        EXPECT_EQ(colour(in), ColorToRGB(c.Row % 2 ? clYellow : clLime)) << c.Row << " " << c.Col;
        // The top line in the border colour.
        const QPoint top = dev((c.Rect.Left + c.Rect.Right) / 2, c.Rect.Top);
        bool blue = false;
        for (int dy = -1; dy <= 1; ++dy)
            if (top.y() + dy >= 0) blue |= colour(top + QPoint(0, dy)) == ColorToRGB(clBlue);
        EXPECT_TRUE(blue) << c.Row << " " << c.Col;
    }
    // Outside the cells the page stays white.
    EXPECT_EQ(colour(QPoint(5, 5)), ColorToRGB(clWhite));
    // The page number: ink inside its place, centred at the bottom.
    ASSERT_EQ(page.Texts.size(), 1u);
    const TPrintText& t = page.Texts[0];
    const QPoint tl = dev(t.X, t.Y);
    int ink = 0;
    for (int y = tl.y(); y < tl.y() + 15 && y < img.height(); ++y)
        for (int x = tl.x(); x < tl.x() + 20; ++x) ink += colour(QPoint(x, y)) != ColorToRGB(clWhite);
    EXPECT_GT(ink, 5);
    EXPECT_NEAR(tl.x(), 200 - 5, 10);
    EXPECT_GT(tl.y(), 450);
}

} // namespace
