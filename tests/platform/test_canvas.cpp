#include "common/PixelSupport.h"
#include "platform/Canvas.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

QImage White() { return ::White(40, 30); }

// The painted pixels (not white) of a row or a column, as a string of '#' and '.'.
std::string Row(const QImage& img, int y, int x0, int x1)
{
    std::string s;
    for (int x = x0; x < x1; ++x) s += At(img, x, y) == clWhite ? '.' : '#';
    return s;
}

} // namespace

TEST(Canvas, LinesLeaveOutTheirEndPixel)
{
    QImage img = White();
    {
        TCanvas c(&img);
        c.SetPenColor(clBlack);
        c.MoveTo(2, 1);
        c.LineTo(8, 1); // right
        EXPECT_EQ(c.PenPos(), QPoint(8, 1));
        c.MoveTo(8, 3);
        c.LineTo(2, 3); // left
        c.MoveTo(1, 5);
        c.LineTo(1, 9); // down
        c.MoveTo(10, 10);
        c.LineTo(14, 14); // diagonal
        c.MoveTo(20, 20);
        c.LineTo(20, 20); // empty
    }
    EXPECT_EQ(Row(img, 1, 0, 10), "..######..");
    EXPECT_EQ(Row(img, 3, 0, 10), "...######.");
    EXPECT_EQ(At(img, 1, 5), clBlack);
    EXPECT_EQ(At(img, 1, 8), clBlack);
    EXPECT_EQ(At(img, 1, 9), clWhite);
    EXPECT_EQ(At(img, 13, 13), clBlack);
    EXPECT_EQ(At(img, 14, 14), clWhite);
    EXPECT_EQ(At(img, 20, 20), clWhite);
}

TEST(Canvas, RectanglesCoverLeftToRightMinusOne)
{
    QImage img = White();
    {
        TCanvas c(&img);
        c.SetBrushColor(clBtnFace); // a system colour, resolved on painting
        c.FillRect(Rect(2, 2, 6, 4));
        c.SetPenColor(clBlack);
        c.SetBrushColor(clRed);
        c.Rectangle(Rect(10, 2, 15, 7));
        c.SetBrushColor(clBlue);
        c.FrameRect(Rect(20, 2, 25, 7));
        c.SetBrushColor(clNone); // paints nothing
        c.FillRect(Rect(30, 2, 35, 7));
        c.SetBrushStyle(TBrushStyle::Clear);
        c.SetBrushColor(clRed);
        c.FillRect(Rect(30, 10, 35, 15));
    }
    EXPECT_EQ(Row(img, 2, 0, 8), "..####..");
    EXPECT_EQ(At(img, 2, 2), ColorToRGB(clBtnFace));
    EXPECT_EQ(At(img, 2, 3), ColorToRGB(clBtnFace));
    EXPECT_EQ(At(img, 2, 4), clWhite);
    // Outline on l..r-1 and t..b-1, brush inside.
    EXPECT_EQ(Row(img, 2, 9, 16), ".#####.");
    EXPECT_EQ(At(img, 14, 6), clBlack);
    EXPECT_EQ(At(img, 12, 4), clRed);
    EXPECT_EQ(At(img, 12, 7), clWhite);
    EXPECT_EQ(At(img, 20, 6), clBlue);
    EXPECT_EQ(At(img, 22, 4), clWhite);
    EXPECT_EQ(At(img, 32, 4), clWhite);
    EXPECT_EQ(At(img, 32, 12), clWhite);
}

TEST(Canvas, ShapesStayInsideTheirRectangle)
{
    QImage img = White();
    {
        TCanvas c(&img);
        c.SetPenColor(clBlack);
        c.SetBrushColor(clRed);
        c.Ellipse(Rect(2, 2, 12, 12));
        c.Polygon({QPoint(20, 2), QPoint(30, 2), QPoint(25, 12)});
    }
    EXPECT_EQ(At(img, 7, 7), clRed);
    EXPECT_EQ(At(img, 2, 7), clBlack);
    EXPECT_EQ(At(img, 11, 7), clBlack);
    EXPECT_EQ(At(img, 12, 7), clWhite);
    EXPECT_EQ(At(img, 7, 12), clWhite);
    // The polygon's vertices are painted, the inside filled.
    EXPECT_EQ(At(img, 20, 2), clBlack);
    EXPECT_EQ(At(img, 25, 12), clBlack);
    EXPECT_EQ(At(img, 25, 5), clRed);
    EXPECT_EQ(At(img, 25, 13), clWhite);
}

TEST(Canvas, RoundShapesAreSymmetricAndRound)
{
    // Outline in the pen, inside in the brush, mirror-symmetric about both
    // axes of the rectangle, within l..r-1 and t..b-1.
    struct Case {
        int w, h, cw, ch; // cw = ch = 0: an ellipse
    };
    for (const Case& k : {Case{10, 8, 0, 0}, Case{7, 7, 0, 0}, Case{41, 41, 0, 0}, Case{40, 20, 6, 6}, Case{40, 19, 4, 4}, Case{30, 12, 10, 10}}) {
        QImage img = White(50, 50);
        {
            TCanvas c(&img);
            c.SetPenColor(clBlack);
            c.SetBrushColor(clRed);
            if (k.cw == 0) c.Ellipse(Rect(3, 4, 3 + k.w, 4 + k.h));
            else c.RoundRect(Rect(3, 4, 3 + k.w, 4 + k.h), k.cw, k.ch);
        }
        const std::string name = std::to_string(k.w) + "x" + std::to_string(k.h) + "/" + std::to_string(k.cw);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x) {
                const bool inside = x >= 3 && x < 3 + k.w && y >= 4 && y < 4 + k.h;
                if (!inside) {
                    ASSERT_EQ(At(img, x, y), clWhite) << name << " " << x << "," << y;
                    continue;
                }
                const int mx = 3 + 3 + k.w - 1 - x, my = 4 + 4 + k.h - 1 - y;
                ASSERT_EQ(At(img, x, y), At(img, mx, y)) << name << " " << x << "," << y;
                ASSERT_EQ(At(img, x, y), At(img, x, my)) << name << " " << x << "," << y;
            }
        // The middle row reaches both sides, the middle column top and bottom.
        EXPECT_EQ(At(img, 3, 4 + k.h / 2), clBlack) << name;
        EXPECT_EQ(At(img, 3 + k.w / 2, 4), clBlack) << name;
    }

    // A 6 x 6 circle, and a 6 x 6 corner: the outline steps diagonally.
    QImage img = White();
    {
        TCanvas c(&img);
        c.SetPenColor(clBlack);
        c.SetBrushColor(clRed);
        c.Ellipse(Rect(0, 0, 6, 6));
        c.RoundRect(Rect(10, 0, 30, 10), 6, 6);
    }
    auto row = [&](int y, int x0, int x1) {
        std::string s;
        for (int x = x0; x < x1; ++x) s += At(img, x, y) == clWhite ? '.' : At(img, x, y) == clBlack ? '#' : 'r';
        return s;
    };
    EXPECT_EQ(row(0, 0, 6), "..##..");
    EXPECT_EQ(row(1, 0, 6), ".#rr#.");
    EXPECT_EQ(row(2, 0, 6), "#rrrr#");
    EXPECT_EQ(row(5, 0, 6), "..##..");
    EXPECT_EQ(row(0, 10, 16), "..####");
    EXPECT_EQ(row(1, 10, 16), ".#rrrr");
    EXPECT_EQ(row(2, 10, 16), "#rrrrr");
    EXPECT_EQ(row(9, 24, 30), "####..");

    // Without a pen the brush covers the same pixels.
    QImage brushOnly = White();
    {
        TCanvas c(&brushOnly);
        c.SetPenStyle(TPenStyle::Clear);
        c.SetBrushColor(clRed);
        c.Ellipse(Rect(0, 0, 6, 6));
    }
    EXPECT_EQ(At(brushOnly, 2, 0), clRed);
    EXPECT_EQ(At(brushOnly, 1, 0), clWhite);
    EXPECT_EQ(At(brushOnly, 0, 2), clRed);
}

TEST(Canvas, PolygonFillStaysWithinItsOutline)
{
    // Convex polygons with slanted edges: on every row and column the brush
    // lies strictly between the outermost pen pixels.
    const std::vector<std::vector<QPoint>> polygons = {
        {{15, 2}, {15, 14}, {2, 8}},
        {{2, 14}, {15, 14}, {8, 2}},
        {{2, 8}, {8, 2}, {14, 8}, {8, 14}},
        {{3, 3}, {25, 6}, {12, 20}},
    };
    for (size_t k = 0; k < polygons.size(); ++k) {
        QImage img = White();
        {
            TCanvas c(&img);
            c.SetPenColor(clBlack);
            c.SetBrushColor(clRed);
            c.Polygon(polygons[k]);
        }
        int red = 0;
        for (int pass = 0; pass < 2; ++pass)
            for (int a = 0; a < (pass ? img.width() : img.height()); ++a) {
                auto px = [&](int b) { return pass ? At(img, a, b) : At(img, b, a); };
                const int n = pass ? img.height() : img.width();
                int lo = n, hi = -1;
                for (int b = 0; b < n; ++b)
                    if (px(b) == clBlack) {
                        lo = std::min(lo, b);
                        hi = std::max(hi, b);
                    }
                for (int b = 0; b < n; ++b)
                    if (px(b) == clRed) {
                        ++red;
                        EXPECT_TRUE(b > lo && b < hi) << "polygon " << k << (pass ? " column " : " row ") << a << " at " << b;
                    }
            }
        EXPECT_GT(red, 0) << k;
    }
}

TEST(Canvas, ClipLimitsDrawing)
{
    QImage img = White();
    {
        TCanvas c(&img);
        c.SetBrushColor(clBlack);
        c.SetClipRect(Rect(5, 0, 10, 30));
        c.FillRect(Rect(0, 0, 40, 2));
        c.IntersectClipRect(Rect(7, 0, 40, 30));
        c.FillRect(Rect(0, 4, 40, 6));
        c.Save();
        c.SetClipRegion(QRegion(20, 0, 2, 30));
        c.FillRect(Rect(0, 8, 40, 10));
        c.Restore();
        c.FillRect(Rect(0, 12, 40, 14));
        c.RemoveClip();
        EXPECT_FALSE(c.HasClip());
        c.FillRect(Rect(0, 16, 40, 18));
    }
    EXPECT_EQ(Row(img, 0, 0, 12), ".....#####..");
    EXPECT_EQ(Row(img, 4, 0, 12), ".......###..");
    EXPECT_EQ(Row(img, 8, 18, 24), "..##..");
    EXPECT_EQ(Row(img, 12, 0, 12), ".......###..") << "Restore brings the clip back";
    EXPECT_EQ(Row(img, 16, 0, 12), "############");
}

TEST(Canvas, TextMeasureAndBackground)
{
    QImage img = White(200, 60);
    TCanvas c(&img);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    c.SetFont(f);
    const QFontMetrics fm(f);
    EXPECT_EQ(c.TextWidth(QStringLiteral("Hello")), fm.horizontalAdvance(QStringLiteral("Hello")));

    // The accelerator mark takes no room, unless prefixes are off.
    TRect a = Rect(5, 5, 5, 5), b = Rect(0, 0, 0, 0), n = Rect(0, 0, 0, 0);
    c.DrawText(QStringLiteral("&Save"), a, tfCalcRect);
    c.DrawText(QStringLiteral("Save"), b, tfCalcRect);
    c.DrawText(QStringLiteral("&Save"), n, tfCalcRect | tfNoPrefix);
    EXPECT_EQ(a.Left, 5);
    EXPECT_EQ(a.Width(), b.Width());
    EXPECT_GT(n.Width(), b.Width());
    EXPECT_EQ(a.Height(), fm.height());

    // Word break in a narrow rectangle gives more lines.
    TRect w = Rect(0, 0, 40, 0);
    const int h = c.DrawText(QStringLiteral("one two three four"), w, tfWordBreak | tfCalcRect);
    EXPECT_GE(h, 3 * fm.height());
    EXPECT_LE(w.Width(), 40 + fm.horizontalAdvance(QStringLiteral("three")));
    TRect e = Rect(3, 3, 50, 3);
    EXPECT_EQ(c.DrawText(QString(), e, tfCalcRect), 0);
    EXPECT_EQ(e, Rect(3, 3, 3, 3));

    // Opaque text fills its box with the brush; transparent text does not.
    c.SetBrushColor(clYellow);
    c.TextOut(10, 20, QStringLiteral("ij"));
    EXPECT_EQ(At(img, 10, 20), clYellow);
    c.SetBkMode(TBkMode::Transparent);
    c.TextOut(60, 20, QStringLiteral("ij"));
    EXPECT_EQ(At(img, 60, 20), clWhite);
}

TEST(Canvas, TransparentDrawLeavesTheKeyColourOut)
{
    QImage pic(4, 2, QImage::Format_RGB32);
    pic.fill(QColor(255, 0, 255));
    pic.setPixel(1, 0, qRgb(0, 0, 255));
    QImage img = White();
    {
        TCanvas c(&img);
        c.DrawTransparent(10, 10, pic, RGBColor(255, 0, 255));
        c.SetPixel(0, 0, clGreen);
        EXPECT_EQ(c.Pixel(0, 0), clGreen);
        EXPECT_EQ(c.Pixel(-1, 0), clNone);
    }
    EXPECT_EQ(At(img, 10, 10), clWhite);
    EXPECT_EQ(At(img, 11, 10), clBlue);
}
