#include "common/PixelSupport.h"
#include "controls/ExtStyleIF.h"
#include "controls/ExtUtilDraw.h"
#include "controls/ExtXPVS.h"

#include <QFontMetrics>
#include <cmath>
#include <gtest/gtest.h>

namespace {

QImage White() { return ::White(80, 50); }

// Restores the visual-styles switch at the end of a test.
struct VisualStyles {
    explicit VisualStyles(bool on) { SetVisualStylesActive(on); }
    ~VisualStyles() { SetVisualStylesActive(true); }
};

} // namespace

TEST(Gradient, BandsTable)
{
    // Width 11: length 10, 10 steps of 1 pixel, bands 2 pixels long cut at the end.
    auto bands = GradientBands(RGBColor(0, 0, 0), RGBColor(100, 0, 0), true, Rect(0, 0, 11, 5), 10);
    ASSERT_EQ(bands.size(), 11u);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(bands[i].Color, RGBColor(10 * i, 0, 0)) << i;
        EXPECT_EQ(bands[i].Rect, Rect(i, 0, std::min(i + 2, 11), 5)) << i;
    }
    // More steps than pixels: one step per pixel.
    EXPECT_EQ(GradientBands(RGBColor(0, 0, 0), RGBColor(100, 0, 0), true, Rect(0, 0, 11, 5), 500), bands);

    // Vertical, 2 steps over 9 rows: e = 4, bands at 0, 4, 8 of 5 rows; the
    // middle channel 2.5 rounds to the even 2.
    bands = GradientBands(RGBColor(0, 0, 0), RGBColor(5, 0, 0), false, Rect(3, 10, 6, 19), 2);
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(bands[1].Color, RGBColor(2, 0, 0));
    EXPECT_EQ(bands[0].Rect, Rect(3, 10, 6, 15));
    EXPECT_EQ(bands[1].Rect, Rect(3, 14, 6, 19));
    EXPECT_EQ(bands[2].Rect, Rect(3, 18, 6, 19));

    // Reversed top and bottom are swapped; an empty height draws nothing.
    EXPECT_EQ(GradientBands(clBlack, clWhite, false, Rect(0, 9, 5, 0), 3).front().Rect.Top, 0);
    EXPECT_TRUE(GradientBands(clBlack, clWhite, false, Rect(0, 4, 5, 4), 3).empty());
    // One colour none: the other fills; both none: nothing.
    bands = GradientBands(clNone, clBtnFace, true, Rect(0, 0, 5, 5), 3);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].Color, ColorToRGB(clBtnFace));
    EXPECT_EQ(bands[0].Rect, Rect(0, 0, 5, 5));
    EXPECT_TRUE(GradientBands(clNone, clNone, true, Rect(0, 0, 5, 5), 3).empty());
}

TEST(Gradient, MirrorGradientHalvesAndBorder)
{
    QImage img = White();
    {
        TCanvas c(&img);
        DrawMirrorGradient(c, Rect(0, 0, 20, 20), clRed, true, false, clBlack, true, clGreen, clBlue, clYellow);
        DrawMirrorGradient(c, Rect(30, 0, 50, 20), clRed, true, true, clBlack, false, clNone, clNone, clNone);
    }
    // Each half is 10 rows: 9 steps, so row k of a half is step k (row 0 lies under the frame).
    EXPECT_EQ(At(img, 10, 1), RGBColor(255, 28, 0)) << "top half: red -> yellow";
    EXPECT_EQ(At(img, 10, 10), clBlue) << "bottom half starts at the mirror colour";
    EXPECT_EQ(At(img, 10, 18), RGBColor(0, 114, 255 - 227)) << "blue -> green";
    EXPECT_EQ(At(img, 0, 10), clBlack);
    EXPECT_EQ(At(img, 10, 0), clBlack);
    EXPECT_EQ(At(img, 19, 19), clBlack);
    // Solid, one pixel taller, and only the side lines.
    EXPECT_EQ(At(img, 40, 20), clRed);
    EXPECT_EQ(At(img, 40, 21), clWhite);
    EXPECT_EQ(At(img, 30, 5), clBlack);
    EXPECT_EQ(At(img, 49, 5), clBlack);
    EXPECT_EQ(At(img, 40, 0), clRed);
}

TEST(Gradient, BevelTabFacePixels)
{
    const TColor face = RGBColor(10, 20, 30), top = RGBColor(1, 1, 1), bottom = RGBColor(2, 2, 2), frame = RGBColor(3, 3, 3),
                 corner = RGBColor(4, 4, 4), cornerBg = RGBColor(5, 5, 5);
    QImage img = White();
    {
        TCanvas c(&img);
        DrawBevelTabFace(c, face, clNone, clNone, clNone, top, bottom, frame, corner, cornerBg, Rect(10, 10, 60, 30), bpSingle);
    }
    // L 10, T 10, R 59, B 28, mid 19.
    EXPECT_EQ(At(img, 30, 11), top);
    EXPECT_EQ(At(img, 11, 15), top);
    EXPECT_EQ(At(img, 57, 15), top);
    EXPECT_EQ(At(img, 30, 27), bottom);
    EXPECT_EQ(At(img, 11, 24), bottom);
    EXPECT_EQ(At(img, 30, 10), frame);
    EXPECT_EQ(At(img, 30, 28), frame);
    EXPECT_EQ(At(img, 10, 15), frame);
    EXPECT_EQ(At(img, 58, 15), frame);
    EXPECT_EQ(At(img, 11, 10), corner);
    EXPECT_EQ(At(img, 10, 11), corner);
    EXPECT_EQ(At(img, 10, 10), cornerBg);
    EXPECT_EQ(At(img, 10, 28), cornerBg);
    EXPECT_EQ(At(img, 58, 10), cornerBg);
    EXPECT_EQ(At(img, 30, 15), face);
    EXPECT_EQ(At(img, 30, 29), clWhite) << "2 pixels left free at the bottom";

    // A middle part: no side lines, no corners, no insets.
    img = White();
    {
        TCanvas c(&img);
        DrawBevelTabFace(c, face, clNone, clNone, clNone, top, bottom, frame, corner, cornerBg, Rect(10, 10, 60, 30), bpMiddle);
    }
    EXPECT_EQ(At(img, 10, 10), frame);
    EXPECT_EQ(At(img, 11, 15), face);
    EXPECT_EQ(At(img, 10, 15), face);
    EXPECT_EQ(At(img, 58, 15), face);
    EXPECT_EQ(At(img, 59, 15), clWhite);
}

TEST(ColorArithmetic, Table)
{
    // 25.5 * 5 = 127.5 rounds to the even 128, also downward: 255 - 128.
    EXPECT_EQ(BlendColorStep(RGBColor(0, 255, 10), RGBColor(255, 0, 10), 0, 5, 10), RGBColor(128, 127, 10));
    EXPECT_EQ(BlendColorStep(RGBColor(0, 0, 0), RGBColor(255, 255, 255), 0, 10, 10), clWhite);
    EXPECT_EQ(BlendColorStep(RGBColor(1, 2, 3), clNone, 0, 5, 10), RGBColor(1, 2, 3));
    EXPECT_EQ(BlendColorStep(RGBColor(1, 2, 3), clWhite, 4, 5, 4), RGBColor(1, 2, 3)) << "empty range";
    EXPECT_EQ(BlendColorStep(RGBColor(0, 0, 0), clWhite, 0, 20, 10), clWhite) << "clamped";

    EXPECT_EQ(HalveColor(RGBColor(255, 101, 0)), RGBColor(127, 50, 0));
    EXPECT_EQ(HalveColor(clBtnFace), RGBColor(0xD4 / 2, 0xD0 / 2, 0xC8 / 2));

    EXPECT_EQ(ScaleColorPercent(RGBColor(100, 200, 50), 10), RGBColor(110, 220, 55));
    EXPECT_EQ(ScaleColorPercent(RGBColor(100, 200, 50), -50), RGBColor(50, 100, 25));
    EXPECT_EQ(ScaleColorPercent(RGBColor(25, 15, 200), 10), RGBColor(28, 16, 220)) << "27.5 -> 28, 16.5 -> 16";
    EXPECT_EQ(ScaleColorPercent(RGBColor(200, 0, 0), 50), RGBColor(255, 0, 0));
    EXPECT_EQ(ScaleColorPercent(RGBColor(200, 0, 0), -150), RGBColor(0, 0, 0));
}

TEST(Progress, SegmentsOfTheBlockStyle)
{
    using Segs = std::vector<std::pair<int, int>>;
    const Segs ninety = ProgressSegments(90);
    ASSERT_EQ(ninety.size(), 10u);
    EXPECT_EQ(ninety.front(), std::make_pair(2, 7));
    EXPECT_EQ(ninety.back(), std::make_pair(83, 7));
    const Segs fortyNine = ProgressSegments(49);
    ASSERT_EQ(fortyNine.size(), 6u);
    EXPECT_EQ(fortyNine.back(), std::make_pair(47, 3));
    EXPECT_EQ(ProgressSegments(5), Segs({{2, 4}}));
    EXPECT_EQ(ProgressSegments(9), Segs({{2, 8}}));
    EXPECT_EQ(ProgressSegments(11), Segs({{2, 7}})) << "a remainder of 2 adds no block";
    EXPECT_TRUE(ProgressSegments(1).empty());
}

TEST(Progress, BlocksTable)
{
    TProgressSettings s;
    s.Level1Perc = 70;
    s.Level2Perc = 90;
    const TRect h = Rect(0, 0, 102, 20); // bar length 100

    using B = std::vector<TProgressBlock>;
    EXPECT_EQ(ProgressBarBlocks(h, 50, s), B({{Rect(1, 1, 51, 19), 0}}));
    EXPECT_EQ(ProgressBarBlocks(h, 75, s).front().Level, 1);
    EXPECT_EQ(ProgressBarBlocks(h, 95, s).front().Level, 2);
    EXPECT_EQ(ProgressBarBlocks(h, 100, s), B({{Rect(1, 1, 101, 19), 3}}));
    EXPECT_EQ(ProgressBarBlocks(h, 250, s), ProgressBarBlocks(h, 100, s));
    EXPECT_TRUE(ProgressBarBlocks(h, 0, s).empty());
    EXPECT_TRUE(ProgressBarBlocks(Rect(0, 0, 2, 20), 50, s).empty()) << "no room";

    // Vertical bars grow upward from the bottom.
    s.Style = pbdVertical;
    EXPECT_EQ(ProgressBarBlocks(Rect(0, 0, 20, 102), 25, s), B({{Rect(1, 76, 19, 101), 0}}));
    s.Style = pbdHorizontal;

    s.Stacked = true;
    EXPECT_EQ(ProgressBarBlocks(h, 95, s), B({{Rect(1, 1, 71, 19), 0}, {Rect(71, 1, 91, 19), 1}, {Rect(91, 1, 96, 19), 3}}));
    EXPECT_EQ(ProgressBarBlocks(h, 100, s).back(), TProgressBlock({Rect(91, 1, 101, 19), 3}));
    EXPECT_EQ(ProgressBarBlocks(h, 40, s), B({{Rect(1, 1, 41, 19), 0}}));
    s.Stacked = false;

    s.CompletionSmooth = false;
    const B blocks = ProgressBarBlocks(h, 90, s);
    ASSERT_EQ(blocks.size(), 10u);
    EXPECT_EQ(blocks[0].Rect, Rect(2, 2, 9, 18));
    EXPECT_EQ(blocks[1].Rect, Rect(11, 2, 18, 18));
}

TEST(Progress, PaintedBar)
{
    TProgressSettings s;
    s.ShowPercentage = false;
    s.ShowBorder = true;
    s.BorderColor = clBlack;
    s.UnCompleteColor = clWhite;
    s.LevelColor[0] = clGreen;
    s.CompletionSmooth = false;
    QImage img = White(120, 30);
    {
        TCanvas c(&img);
        DrawCellProgressBar(c, Rect(0, 0, 102, 20), 49, s);
    }
    EXPECT_EQ(At(img, 0, 10), clBlack);
    EXPECT_EQ(At(img, 101, 10), clBlack);
    EXPECT_EQ(At(img, 5, 10), clGreen);
    EXPECT_EQ(At(img, 9, 10), clWhite) << "gap";
    EXPECT_EQ(At(img, 5, 1), clWhite) << "blocks are 2 pixels in";
    EXPECT_EQ(At(img, 60, 10), clWhite);

    // With a gradient each block runs end colour -> colour -> end colour across.
    s.CompletionSmooth = true;
    s.ShowGradient = true;
    s.LevelColorTo[0] = clWhite;
    s.Steps = 8;
    img = White(120, 30);
    {
        TCanvas c(&img);
        DrawCellProgressBar(c, Rect(0, 0, 102, 20), 49, s);
    }
    EXPECT_EQ(At(img, 20, 1), clWhite);
    EXPECT_EQ(At(img, 20, 10), clGreen);

    // Beyond 100 the bar stops at the end, but the text tells the value.
    s.ShowGradient = false;
    s.ShowPercentage = true;
    s.Font = QFont(QStringLiteral("DejaVu Sans"));
    s.Font.setPixelSize(11);
    auto paint = [&](int p) {
        QImage bar = White(120, 30);
        TCanvas c(&bar);
        DrawCellProgressBar(c, Rect(0, 0, 102, 20), p, s);
        return bar;
    };
    const QImage full = paint(100), beyond = paint(150);
    EXPECT_EQ(At(beyond, 5, 3), At(full, 5, 3));
    EXPECT_EQ(At(beyond, 100, 3), At(full, 100, 3));
    EXPECT_NE(beyond, full) << "150% is shown, not 100%";
}

TEST(Progress, FormattedTextTable)
{
    struct Case {
        const char* format;
        double min, max, value;
        const char* text;
        int percentage;
    };
    const Case cases[] = {
        {"%d", 0, 200, 50.5, "50", 25},
        {"%d", 0, 200, 51.5, "52", 26},
        {"%.1f", 0, 10, 2.5, "2.5", 25},
        {"%5.1f dB", 0, 100, 12, " 12.0 dB", 12},
        {"%x", 0, 1000, 255, "ff", 26},
        {"%d%%", 0, 100, 40, "40%", 40},
        {"%s", 0, 100, 40, "%s", 40},
        {"%d", 10, 10, 10, "10", 0},
        {"%d", 0, 100, 250, "250", 100},
        {"%d", 0, 100, -5, "-5", 0},
        {"", 0, 100, 42.5, "42%", 42},
        {"", 0, 100, 120, "120%", 100},
        // Values no integer can hold stop at the ends of the range; NaN is 0.
        {"", 0, 100, 1e20, "2147483647%", 100},
        {"", 0, 100, std::nan(""), "0%", 0},
        {"%d", 0, 100, 1e300, "9223372036854775807", 100},
        {"%#d", 0, 100, 7, "7", 7},
    };
    for (const Case& c : cases) {
        const TProgressText t = ProgressFmtText(QString::fromLatin1(c.format), c.min, c.max, c.value);
        EXPECT_EQ(t.Text, QString::fromLatin1(c.text)) << c.format << " " << c.value;
        EXPECT_EQ(t.Percentage, c.percentage) << c.format << " " << c.value;
    }
}

TEST(Progress, FormattedBarPixels)
{
    QImage img = White(120, 30);
    TProgressFmtColors colors;
    colors.Bar = clBlue;
    colors.Background = clYellow;
    {
        TCanvas c(&img);
        c.SetBrushColor(clGreen);
        DrawCellProgressBarFmt(c, Rect(0, 0, 104, 24), colors, QString(), 0, 100, 2, 2, 25);
        EXPECT_EQ(c.BrushColor(), clGreen);
    }
    // Inner rectangle (2, 2, 102, 22): 25 pixels of bar, then background.
    EXPECT_EQ(At(img, 3, 3), clBlue);
    EXPECT_EQ(At(img, 26, 3), clBlue);
    EXPECT_EQ(At(img, 27, 3), clYellow);
    EXPECT_EQ(At(img, 1, 10), clYellow) << "inner frame";
    EXPECT_EQ(At(img, 0, 10), clGreen) << "outer frame in the entry brush";
}

TEST(BarGraph, RectTable)
{
    const TRect r = Rect(0, 0, 104, 20); // inner (2,2,102,18), half 50, centre 52
    EXPECT_EQ(BarGraphRect(r, 50, 100), Rect(52, 2, 77, 18));
    EXPECT_EQ(BarGraphRect(r, -100, 100), Rect(2, 2, 52, 18));
    EXPECT_EQ(BarGraphRect(r, 300, 100), Rect(52, 2, 102, 18)) << "beyond the maximum: full half";
    EXPECT_EQ(BarGraphRect(r, -300, 100), Rect(2, 2, 52, 18));
    EXPECT_TRUE(BarGraphRect(r, 0, 100).IsEmpty());
    EXPECT_TRUE(BarGraphRect(r, 50, 0).IsEmpty()) << "no maximum";

    QImage img = White(120, 30);
    {
        TCanvas c(&img);
        DrawCellBarGraph(c, r, -50, clGreen, clRed, false, 100);
    }
    EXPECT_EQ(At(img, 40, 10), clRed);
    EXPECT_EQ(At(img, 26, 10), clWhite);
    EXPECT_EQ(At(img, 60, 10), clWhite);
}

TEST(Pie, HandAndFill)
{
    const TRect r = Rect(0, 0, 41, 41); // centre (20, 20), hand radius 21
    EXPECT_EQ(PieHandEnd(r, 0), QPoint(20, -1));
    EXPECT_EQ(PieHandEnd(r, 25), QPoint(41, 20));
    EXPECT_EQ(PieHandEnd(r, 50), QPoint(20, 41));

    auto paint = [&](double p, bool outside) {
        QImage img = White(60, 60);
        TCanvas c(&img);
        DrawCellPie(c, r, clBlue, outside, p);
        return img;
    };
    QImage img = paint(0, false);
    EXPECT_EQ(At(img, 20, 10), RGBColor(128, 128, 128)) << "the 12 o'clock line";
    EXPECT_EQ(At(img, 20, 0), RGBColor(128, 128, 128));
    EXPECT_EQ(At(img, 25, 10), clWhite) << "nothing filled at 0 %";

    img = paint(25, false);
    EXPECT_EQ(At(img, 30, 20), RGBColor(128, 128, 128)) << "hand at 3 o'clock";
    EXPECT_EQ(At(img, 28, 12), clBlue);
    EXPECT_EQ(At(img, 12, 12), clWhite);
    EXPECT_EQ(At(img, 28, 28), clWhite);

    img = paint(75, false);
    EXPECT_EQ(At(img, 28, 28), clBlue);
    EXPECT_EQ(At(img, 12, 28), clBlue);
    EXPECT_EQ(At(img, 12, 12), clWhite);

    // The fill stays inside the gray outline: on every row it lies between
    // the outline's leftmost and rightmost pixels, and nothing is filled
    // beyond them.
    for (double p : {10.0, 37.5, 50.0, 75.0, 99.0, 100.0}) {
        img = paint(p, false);
        int blue = 0;
        for (int y = 0; y < 60; ++y) {
            int left = 60, right = -1;
            for (int x = 0; x < 60; ++x)
                if (At(img, x, y) == RGBColor(128, 128, 128)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            for (int x = 0; x < 60; ++x)
                if (At(img, x, y) == clBlue) {
                    ++blue;
                    EXPECT_TRUE(x > left && x < right) << p << "%: " << x << "," << y;
                }
        }
        EXPECT_GT(blue, int(p * 41 * 41 * 0.7 / 100 * 0.5)) << p;
    }
    // The runs match what is painted, and the outline's own pixels stay out.
    img = paint(75, false);
    for (const TRect& run : PieFillRuns(r, 75, false))
        for (int x = run.Left; x < run.Right; ++x) EXPECT_EQ(At(img, x, run.Top), clBlue);
    EXPECT_TRUE(PieFillRuns(r, 0, false).empty());

    // The caller's clip holds for the fill too.
    img = White(60, 60);
    {
        TCanvas c(&img);
        c.SetClipRect(Rect(0, 0, 20, 60));
        DrawCellPie(c, r, clBlue, false, 75);
    }
    EXPECT_EQ(At(img, 12, 28), clBlue);
    EXPECT_EQ(At(img, 28, 28), clWhite);

    // The fill never leaves the cell.
    img = paint(60, true);
    EXPECT_EQ(At(img, 1, 1), clBlue);
    EXPECT_EQ(At(img, 28, 12), clWhite);
    EXPECT_EQ(At(img, 45, 45), clWhite);
    EXPECT_EQ(At(img, 41, 1), clWhite);
}

TEST(Shapes, GeometryTable)
{
    using P = std::vector<QPoint>;
    auto pts = [](TCellShape s, int a, int b) { return CellShapeGeometry(s, 10, 20, a, b).Points; };
    EXPECT_EQ(pts(csTriangleLeft, 8, 6), P({{16, 20}, {16, 28}, {10, 24}}));
    EXPECT_EQ(pts(csTriangleRight, 8, 6), P({{10, 20}, {10, 28}, {16, 24}}));
    EXPECT_EQ(pts(csTriangleUp, 8, 6), P({{10, 28}, {16, 28}, {13, 20}}));
    EXPECT_EQ(pts(csTriangleDown, 8, 6), P({{10, 20}, {16, 20}, {13, 28}}));
    EXPECT_EQ(pts(csDiamond, 9, 7), P({{10, 24}, {13, 20}, {16, 24}, {13, 28}}));
    // v = 8, q = 2
    EXPECT_EQ(pts(csArrowUp, 10, 9), P({{10, 25}, {14, 20}, {18, 25}, {16, 25}, {16, 30}, {12, 30}, {12, 25}}));
    EXPECT_EQ(pts(csArrowDown, 10, 9), P({{10, 25}, {14, 30}, {18, 25}, {16, 25}, {16, 20}, {12, 20}, {12, 25}}));
    // g = 8, q = 2
    EXPECT_EQ(pts(csArrowLeft, 9, 10), P({{15, 20}, {10, 24}, {15, 28}, {15, 26}, {20, 26}, {20, 22}, {15, 22}}));
    EXPECT_EQ(pts(csArrowRight, 9, 10), P({{15, 20}, {20, 24}, {15, 28}, {15, 26}, {10, 26}, {10, 22}, {15, 22}}));

    const P star = pts(csStar, 20, 20); // centre (20, 30), radii 10 and 10/3
    ASSERT_EQ(star.size(), 10u);
    EXPECT_EQ(star[0], QPoint(20, 20));
    EXPECT_EQ(star[1], QPoint(22, 27)); // 36 degrees at 3.33: (1.96, 2.70)
    EXPECT_EQ(star[5], QPoint(20, 33));
    const P half = pts(csHalfStar, 20, 20);
    ASSERT_EQ(half.size(), 6u);
    EXPECT_EQ(half[0], star[0]);
    EXPECT_EQ(half[1], star[5]);
    EXPECT_EQ(half[5], star[9]);

    auto rect = [](TCellShape s, int a, int b) { return CellShapeGeometry(s, 10, 20, a, b).Rect; };
    EXPECT_EQ(rect(csRectangle, 8, 6), Rect(10, 20, 15, 27));
    EXPECT_EQ(rect(csSquare, 8, 6), Rect(10, 20, 15, 25));
    EXPECT_EQ(rect(csCircle, 8, 6), Rect(10, 20, 16, 26));
    EXPECT_EQ(rect(csEllips, 8, 6), Rect(10, 20, 16, 28));
    EXPECT_EQ(rect(csRoundSquare, 8, 12), Rect(10, 20, 18, 28));
    EXPECT_EQ(rect(csLineVert, 8, 6), Rect(13, 20, 14, 28));
    EXPECT_EQ(rect(csLineHorz, 8, 6), Rect(10, 24, 16, 25));
    EXPECT_EQ(CellShapeGeometry(csRoundRect, 0, 0, 5, 5).kind, TShapeGeometry::RoundRect);

    QImage img = White();
    {
        TCanvas c(&img);
        DrawCellShape(c, 10, 10, clBlack, clRed, csTriangleDown, 10, 10);
    }
    EXPECT_EQ(At(img, 15, 12), clRed);
    EXPECT_EQ(At(img, 15, 20), clBlack);
    EXPECT_EQ(At(img, 11, 18), clWhite);
}

TEST(Decorations, SquiggleTriangleAndBitmap)
{
    using P = std::vector<QPoint>;
    EXPECT_EQ(SquigglePoints(0, 7, 10), P({{0, 10}, {3, 13}, {6, 10}, {9, 13}, {12, 10}}));
    EXPECT_EQ(SquigglePoints(5, 5, 0), P({{5, 0}, {8, 3}}));

    QImage img = White();
    {
        TCanvas c(&img);
        DrawSmallDownTriangle(c, 20, 10, clBlack);
        QImage pic(3, 2, QImage::Format_RGB32);
        pic.fill(QColor(255, 0, 0));
        pic.setPixel(1, 1, qRgb(0, 0, 255));
        DrawBitmapTransparent(c, pic, clGreen, Rect(40, 10, 50, 20));
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(11);
        c.SetFont(f);
        DrawSpellErrorSquiggle(nullptr, c, QStringLiteral("abc defg"), 4, 4, 10, Rect(0, 30, 80, 45));
    }
    EXPECT_EQ(At(img, 17, 10), clBlack);
    EXPECT_EQ(At(img, 23, 10), clBlack);
    EXPECT_EQ(At(img, 20, 13), clBlack);
    EXPECT_EQ(At(img, 20, 14), clWhite);
    EXPECT_EQ(At(img, 16, 10), clWhite);
    EXPECT_EQ(At(img, 40, 10), clGreen);
    EXPECT_EQ(At(img, 41, 11), clBlue);
    // The zig-zag starts under "d" and is red.
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    const int x0 = QFontMetrics(f).horizontalAdvance(QStringLiteral("abc "));
    int red = 0;
    for (int y = 40; y < 48; ++y)
        for (int x = 0; x < 80; ++x)
            if (At(img, x, y) == clRed) {
                ++red;
                EXPECT_GE(x, x0 - 1);
            }
    EXPECT_GT(red, 10);
}

TEST(Buttons, AreasAndOwnColours)
{
    EXPECT_EQ(ComboButtonRect(Rect(0, 0, 100, 20)), Rect(81, 1, 98, 19));
    EXPECT_EQ(SpinButtonsRect(Rect(0, 0, 100, 20)), Rect(84, -1, 99, 19));
    EXPECT_EQ(SpinButtonHalves(Rect(84, -1, 99, 19)), std::make_pair(Rect(84, -1, 99, 9), Rect(84, 9, 99, 19)));

    TColorTones tones;
    tones.Foreground = {clWhite, clNavy, clBlack};
    tones.Hover = {clYellow, clBlack, clBlack};
    tones.Selected = {clAqua, clTeal, clBlack};
    const TButtonColors fromTones = ButtonColorsFromTones(tones);
    EXPECT_EQ(fromTones.Brush[bdsNormal], clWhite);
    EXPECT_EQ(fromTones.Pen[bdsNormal], clNavy);
    EXPECT_EQ(fromTones.Brush[bdsPressed], clAqua);
    EXPECT_EQ(fromTones.Brush[bdsDisabled], clNone);
    EXPECT_EQ(fromTones.Line, clNavy);
    EXPECT_EQ(fromTones.Arrow, clBlack);

    TButtonColors colors;
    colors.Brush[bdsHot] = clYellow;
    colors.Pen[bdsHot] = clBlack;
    colors.Line = clRed;
    colors.Arrow = clBlue;
    QImage img = White(120, 30);
    {
        TCanvas c(&img);
        DrawThemedPushButton(c, nullptr, Rect(0, 0, 30, 20), colors, bdsHot, blkOwnColors);
        DrawThemedComboButton(c, nullptr, Rect(0, 0, 120, 20), colors, bdsHot, blkOwnColors);
    }
    EXPECT_EQ(At(img, 0, 0), clBlack);
    EXPECT_EQ(At(img, 10, 10), clYellow);
    // Combo area (101 + 3, 1, 118, 19): line at its left + 1, arrow below the middle.
    EXPECT_EQ(At(img, 104, 5), clBlack);
    EXPECT_EQ(At(img, 105, 5), clRed);
    EXPECT_EQ(At(img, 112, 10), clBlue);
    EXPECT_EQ(At(img, 112, 12), clBlue);
    EXPECT_EQ(At(img, 110, 5), clYellow);
}

TEST(Buttons, ClassicAndVisualStyles)
{
    const TButtonColors colors;
    auto paint = [&](int state, int look) {
        QImage img = White(40, 30);
        TCanvas c(&img);
        DrawThemedPushButton(c, nullptr, Rect(0, 0, 40, 30), colors, state, look);
        return img;
    };
    QImage classic = paint(bdsNormal, blkClassic);
    EXPECT_EQ(At(classic, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(At(classic, 39, 29), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(At(classic, 38, 28), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(classic, 20, 15), ColorToRGB(clBtnFace));
    QImage pressed = paint(bdsPressed, blkClassic);
    EXPECT_EQ(At(pressed, 0, 0), ColorToRGB(clBtnShadow));
    QImage flat = paint(bdsNormal, blkClassicFlat);
    EXPECT_EQ(At(flat, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(flat, 1, 1), ColorToRGB(clBtnFace));

    {
        VisualStyles off(false);
        EXPECT_EQ(paint(bdsNormal, blkVisualStyles), classic) << "without visual styles: the classic look";
        EXPECT_EQ(OpenThemeData(nullptr, QStringLiteral("button")), nullptr);
    }
    EXPECT_NE(paint(bdsNormal, blkVisualStyles), classic) << "with them: the style draws";
    TThemeData* t = OpenThemeData(nullptr, QStringLiteral("spin"));
    ASSERT_NE(t, nullptr);
    CloseThemeData(t);
    EXPECT_EQ(OpenThemeData(nullptr, QStringLiteral("toolbar")), nullptr);

    // The classic combo and spin buttons change only when disabled.
    auto paintCombo = [&](int state, bool spin) {
        QImage img = White(60, 30);
        TCanvas c(&img);
        if (spin) DrawThemedSpinButtons(c, nullptr, Rect(0, 0, 60, 30), colors, state, blkClassic);
        else DrawThemedComboButton(c, nullptr, Rect(0, 0, 60, 30), colors, state, blkClassic);
        return img;
    };
    for (bool spin : {false, true}) {
        EXPECT_EQ(paintCombo(bdsPressed, spin), paintCombo(bdsNormal, spin)) << spin;
        EXPECT_EQ(paintCombo(bdsHot, spin), paintCombo(bdsNormal, spin)) << spin;
        EXPECT_NE(paintCombo(bdsDisabled, spin), paintCombo(bdsNormal, spin)) << spin;
    }

    // Spin buttons: two halves, classic arrows up and down.
    QImage img = White(40, 30);
    {
        VisualStyles off(false);
        TCanvas c(&img);
        DrawThemedSpinButtons(c, nullptr, Rect(0, 0, 40, 30), colors, bdsNormal, blkClassic);
    }
    EXPECT_EQ(At(img, 25, 0), ColorToRGB(cl3DLight)) << "upper half, inner bevel (outer is above the cell)";
    EXPECT_EQ(At(img, 24, 14), ColorToRGB(clBtnHighlight)) << "lower half starts at row 14";
}

TEST(Theme, OfficeThemeLookup)
{
    struct Case {
        int t2010, t2007, scheme;
        TOfficeTheme theme;
    };
    const Case cases[] = {
        {-1, -1, 0, ot2003Classic}, {-1, 2, 0, ot2007Silver}, {0, -1, 0, ot2003Blue},   {1, 3, 0, ot2010Blue},
        {3, -1, 0, ot2010Black},    {2, 1, 3, ot2010Silver},  {-1, 1, 0, ot2007Blue},   {-1, 3, 2, ot2007Black},
        {-1, 7, 0, ot2003Blue},     {-1, -1, 1, ot2003Blue},  {-1, -1, 2, ot2003Olive}, {-1, -1, 3, ot2003Silver},
    };
    for (const Case& c : cases) EXPECT_EQ(OfficeThemeFromValues(c.t2010, c.t2007, c.scheme), c.theme) << c.t2010 << "/" << c.t2007 << "/" << c.scheme;

    EXPECT_EQ(XPThemeSchemeFromName(QStringLiteral("NormalColor")), 1);
    EXPECT_EQ(XPThemeSchemeFromName(QStringLiteral("HomeStead")), 2);
    EXPECT_EQ(XPThemeSchemeFromName(QStringLiteral("Metallic")), 3);
    EXPECT_EQ(XPThemeSchemeFromName(QStringLiteral("fusion")), 0);

    VisualStyles off(false);
    EXPECT_EQ(CurrentXPThemeScheme(), 0);
    EXPECT_EQ(GetCurrentOfficeTheme(), ot2003Classic);
}

TEST(Theme, PlatformFlagsPickTheFont)
{
    EXPECT_EQ(DefaultUIFontName(), "Segoe UI");
    SetPlatformVersionFlags(true, false, true);
    EXPECT_EQ(DefaultUIFontName(), "Tahoma");
    SetPlatformVersionFlags(true, true, true);
}
