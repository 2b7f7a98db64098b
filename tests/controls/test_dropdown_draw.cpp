#include "common/PixelSupport.h"
#include "controls/ExtDropDownDraw.h"
#include "platform/ImageList.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

QImage Solid(int w, int h, QColor c)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(c);
    return img;
}

// The first and last pixel of the row or column painted in `c`.
std::pair<int, int> RunOf(const QImage& img, TColor c, bool alongX, int at)
{
    int first = -1, last = -1;
    const int n = alongX ? img.width() : img.height();
    for (int i = 0; i < n; ++i) {
        const TColor p = alongX ? At(img, i, at) : At(img, at, i);
        if (p == c) {
            if (first < 0) first = i;
            last = i;
        }
    }
    return {first, last};
}

// The single-line extent of a text as a measuring call in a 1000 x 500
// rectangle gives it.
QSize Measured(const QFont& f, const QString& text)
{
    return QFontMetrics(f).boundingRect(QRect(0, 0, 1000, 500), Qt::TextSingleLine, text).size();
}

} // namespace

TEST(DropDownGradient, BandTable)
{
    struct Case {
        const char* name;
        TColor from, to;
        int steps;
        TRect r;
        bool alongX;
        std::vector<TColorBand> bands;
    };
    const Case cases[] = {
        // Steps 0 counts as 1: one band of the first colour over 10 rows.
        {"steps 0", clRed, clBlue, 0, Rect(0, 0, 20, 10), false, {{clRed, Rect(0, 0, 20, 10)}}},
        {"steps -5", clRed, clBlue, -5, Rect(0, 0, 20, 10), false, {{clRed, Rect(0, 0, 20, 10)}}},
        // Extent 99, d = 49.5: offsets 0 and 50, 51 pixels each, the second
        // cut at the rectangle; 127.5 rounds to the even 128.
        {"black to white", clBlack, clWhite, 2, Rect(0, 0, 100, 8), true,
         {{clBlack, Rect(0, 0, 51, 8)}, {RGBColor(128, 128, 128), Rect(50, 0, 100, 8)}}},
        // Along Y with an offset rectangle, system colours resolved first:
        // extent 9, d = 4.5 rounds to the even 4, so the last row stays free.
        {"system colour", clBtnFace, clBtnFace, 2, Rect(5, 10, 9, 20), false,
         {{ColorToRGB(clBtnFace), Rect(5, 10, 9, 15)}, {ColorToRGB(clBtnFace), Rect(5, 14, 9, 19)}}},
        // Empty and inverted rectangles have no bands (no division by a zero extent).
        {"empty", clBlack, clWhite, 4, Rect(0, 0, 0, 10), true, {}},
        {"inverted", clBlack, clWhite, 4, Rect(0, 10, 10, 0), false, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(DropDownGradientBands(c.from, c.to, c.steps, c.r, c.alongX), c.bands) << c.name;

    // Many steps over few pixels: every band stays inside the rectangle.
    for (const TColorBand& b : DropDownGradientBands(clBlack, clWhite, 80, Rect(3, 0, 13, 22), true)) {
        EXPECT_GE(b.Rect.Left, 3);
        EXPECT_LE(b.Rect.Right, 13);
    }
}

TEST(DropDownGradient, PaintsTheBands)
{
    QImage img = White(120, 30);
    {
        TCanvas c(&img);
        FillDropDownGradient(c, clBlack, clWhite, 2, Rect(10, 5, 110, 25), true);
        FillDropDownGradient(c, clRed, clBlue, 0, Rect(0, 26, 10, 30), false);
    }
    EXPECT_EQ(RunOf(img, clBlack, true, 15), std::make_pair(10, 59));
    EXPECT_EQ(RunOf(img, RGBColor(128, 128, 128), true, 15), std::make_pair(60, 109));
    EXPECT_EQ(At(img, 110, 15), clWhite); // nothing past the rectangle
    EXPECT_EQ(At(img, 50, 4), clWhite);
    EXPECT_EQ(At(img, 50, 25), clWhite);
    EXPECT_EQ(At(img, 5, 28), clRed);
}

TEST(DropDownColours, BlendAndAdjust)
{
    EXPECT_EQ(BlendColors(clBlack, clWhite, 50), RGBColor(128, 128, 128));
    EXPECT_EQ(BlendColors(clRed, clBlue, 100), clRed);
    EXPECT_EQ(BlendColors(clRed, clBlue, 250), clRed);
    EXPECT_EQ(BlendColors(clRed, clBlue, 0), clBlue);
    EXPECT_EQ(BlendColors(clRed, clBlue, -3), clBlue);
    // 20 % of the border colour and 80 % white: the strips' light frame.
    EXPECT_EQ(BlendColors(RGBColor(0, 100, 200), clWhite, 20), RGBColor(204, 224, 244));

    struct Case {
        TColor color;
        int dr, dg, db;
        TColor result;
    };
    const Case cases[] = {
        {0x000000, 30, 30, 30, 0x1E1E1E},         // zero channels take the percentage
        {0xFFFFFF, 20, 20, 20, 0xFFFFFF},         // only negative percentages change others
        {0xF5F0E1, -10, -10, 0, 0xF5D8CA},        // the checked button colours
        {0xF9D2B2, -10, -10, 0, 0xF9BDA0},
        {0x000000, 1000, -5, 0, RGBColor(255, 0, 0)}, // clamped to a byte
        {RGBColor(100, 100, 100), -150, -50, 0, RGBColor(0, 50, 100)},
    };
    for (const Case& c : cases) EXPECT_EQ(AdjustColorPercent(c.color, c.dr, c.dg, c.db), c.result) << std::hex << c.color;
}

TEST(DropDownDraw, GradientRectWithFrame)
{
    QImage img = White(60, 40);
    {
        TCanvas c(&img);
        DrawGradientRect(c, Rect(0, 0, 40, 20), clBlack, TGradientDirection::gdHorizontal, 2, clRed, clWhite);
        DrawGradientRect(c, Rect(0, 22, 20, 40), clGreen, TGradientDirection::gdVertical, 0, clRed, clNone);
        DrawGradientRect(c, Rect(30, 22, 50, 40), clNone, TGradientDirection::gdVertical, 1, clNone, clNone);
    }
    // A 2-pixel red frame, inside a gradient getting lighter to the right.
    for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {39, 10}, {38, 10}, {20, 19}, {20, 18}}) EXPECT_EQ(At(img, x, y), clRed) << x << "," << y;
    EXPECT_NE(At(img, 2, 10), clRed);
    EXPECT_LT(GetRValue(At(img, 3, 10)), GetRValue(At(img, 36, 10)));
    EXPECT_EQ(At(img, 3, 3), At(img, 3, 16)); // bands run along X
    // Solid fill, no frame with width 0; nothing at all with no colours.
    EXPECT_EQ(At(img, 0, 22), clGreen);
    EXPECT_EQ(At(img, 19, 39), clGreen);
    EXPECT_EQ(At(img, 40, 30), clWhite);
}

TEST(DropDownDraw, ImageText)
{
    TCustomImageList images(8, 8);
    images.Add(Solid(8, 8, QColor(0, 0, 255)));
    QImage img = White(120, 40);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    {
        TCanvas c(&img);
        c.SetFont(f);
        c.SetFontColor(clBlack);
        c.SetBrushStyle(TBrushStyle::Clear);
        DrawImageText(c, Rect(0, 0, 120, 20), QStringLiteral("Abc"), 0, &images);
        DrawImageText(c, Rect(0, 20, 120, 40), QStringLiteral("Abc"), -1, &images);
    }
    // The image 4 pixels in, centred: (20 - 8) / 2 = 6.
    EXPECT_EQ(At(img, 4, 6), clBlue);
    EXPECT_EQ(At(img, 11, 13), clBlue);
    EXPECT_EQ(At(img, 3, 6), clWhite);
    EXPECT_EQ(At(img, 4, 5), clWhite);
    // Left-aligned text starts at 4 + 8 + 8 - 4 = 16 (image width + 8).
    const QFontMetrics fm(f);
    const int w = fm.horizontalAdvance(QStringLiteral("Abc"));
    auto inkColumns = [&](int top, int bottom) {
        int first = -1, last = -1;
        for (int x = 0; x < 120; ++x)
            for (int y = top; y < bottom; ++y)
                if (GetRValue(At(img, x, y)) < 128 && At(img, x, y) != clBlue) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        return std::make_pair(first, last);
    };
    const auto row1 = inkColumns(0, 20);
    EXPECT_GE(row1.first, 16);
    EXPECT_LE(row1.first, 17);
    // Without an image the text is centred.
    const auto row2 = inkColumns(20, 40);
    EXPECT_NEAR(row2.first, (120 - w) / 2, 2);
    EXPECT_NEAR(row2.second, (120 + w) / 2, 2);
}

TEST(DropDownDraw, TransparentBitmap)
{
    QImage bmp = Solid(6, 6, QColor(255, 0, 255)); // the key colour at (0, 0)
    for (int y = 2; y < 4; ++y)
        for (int x = 2; x < 4; ++x) bmp.setPixelColor(x, y, QColor(0, 128, 0));
    QImage img = White(20, 20);
    {
        TCanvas c(&img);
        DrawTransparentBitmap(c, bmp, clYellow, Rect(5, 5, 10, 10));
    }
    EXPECT_EQ(At(img, 5, 5), clYellow);
    EXPECT_EQ(At(img, 7, 7), clGreen);
    EXPECT_EQ(At(img, 9, 9), clYellow);
    EXPECT_EQ(At(img, 10, 10), clWhite); // the area is the rectangle's size
    EXPECT_EQ(At(img, 4, 5), clWhite);
}

TEST(DropDownText, ExtentAndEllipsis)
{
    QImage img = White(10, 10);
    TCanvas c(&img);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    c.SetFont(f);
    EXPECT_EQ(TextExtent(c, QString()), QSize(0, 0));
    EXPECT_EQ(TextExtent(c, QStringLiteral("Hello")), Measured(f, QStringLiteral("Hello")));

    const QString text = QStringLiteral("Drop-down caption");
    const int full = Measured(f, text).width();
    EXPECT_EQ(EllipsizeText(c, text, full, true), text); // fits: unchanged, no dots
    const QString cut = EllipsizeText(c, text, full / 2, true);
    EXPECT_TRUE(cut.endsWith(QStringLiteral("...")));
    EXPECT_LT(Measured(f, cut).width(), full / 2);
    // One more character would not fit.
    const QString longer = text.left(cut.size() - 3 + 1) + QStringLiteral("...");
    EXPECT_GE(Measured(f, longer).width(), full / 2);
    EXPECT_FALSE(EllipsizeText(c, text, full / 2, false).endsWith(QStringLiteral("...")));
    // Not even "..." fits: the full text stays.
    EXPECT_EQ(EllipsizeText(c, text, 3, true), text);
}

TEST(DropDownText, ItemTextAndCaseFold)
{
    QImage img = White(100, 20);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    QFont bold = f;
    bold.setBold(true);
    QSize measured, tagged, drawn;
    {
        TCanvas c(&img);
        c.SetFont(f);
        c.SetFontColor(clBlack);
        EXPECT_EQ(DrawItemTextOrHtml(c, QString(), Rect(0, 0, 100, 20), nullptr, true, nullptr), QSize(0, 0));
        measured = DrawItemTextOrHtml(c, QStringLiteral("Item"), Rect(0, 0, 100, 20), nullptr, false, nullptr);
        tagged = DrawItemTextOrHtml(c, QStringLiteral("<b>Item</b>"), Rect(0, 0, 100, 20), nullptr, false, nullptr);
    }
    // Plain text is one run; tags are read, not shown.
    EXPECT_EQ(measured, QSize(QFontMetrics(f).horizontalAdvance(QStringLiteral("Item")), QFontMetrics(f).height()));
    EXPECT_EQ(tagged.width(), QFontMetrics(bold).horizontalAdvance(QStringLiteral("Item")));
    EXPECT_EQ(img, White(100, 20)); // measuring draws nothing
    {
        TCanvas c(&img);
        c.SetFont(f);
        c.SetFontColor(clBlack);
        drawn = DrawItemTextOrHtml(c, QStringLiteral("Item"), Rect(0, 0, 100, 20), nullptr, true, nullptr);
    }
    EXPECT_EQ(drawn, measured);
    bool ink = false, beyond = false;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool dark = GetRValue(At(img, x, y)) < 128;
            if (x <= measured.width() + 1) ink = ink || dark;
            else beyond = beyond || dark;
        }
    EXPECT_TRUE(ink);
    EXPECT_FALSE(beyond);

    EXPECT_EQ(CaseFoldText(QStringLiteral("aBc"), true), QStringLiteral("aBc"));
    EXPECT_EQ(CaseFoldText(QStringLiteral("aBc\u00e4"), false), QStringLiteral("ABC\u00c4"));
}
