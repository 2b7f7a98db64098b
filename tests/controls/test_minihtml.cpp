#include "common/PixelSupport.h"
#include "common/TestSupport.h"
#include "controls/EsgHTMLE.h"
#include "controls/EsgHTMLUtil.h"
#include "controls/ExtXPVS.h"
#include "controls/PictureContainer.h"
#include "platform/ImageList.h"

#include <QBuffer>
#include <QFontMetrics>
#include <gtest/gtest.h>
#include <memory>

namespace {

QFont TestFont()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

int Adv(const QString& s, bool bold = false)
{
    QFont f = TestFont();
    f.setBold(bold);
    return QFontMetrics(f).horizontalAdvance(s);
}

// The width of a run that ends in a blank, without the blank.
int AdvTrim(const QString& s) { return Adv(s + " ") - Adv(" "); }

int LineH() { return QFontMetrics(TestFont()).height(); }

// A white 96-dpi image with a canvas in the test font, black text.
struct Surface {
    explicit Surface(int w = 200, int h = 60) : img(White(w, h))
    {
        img.setDotsPerMeterX(3780);
        img.setDotsPerMeterY(3780);
        canvas = std::make_unique<TCanvas>(&img);
        canvas->SetFont(TestFont());
        canvas->SetFontColor(clBlack);
        canvas->SetBrushColor(clWhite);
    }
    TMiniHtmlResult Render(const QString& text, const TRect& r, std::function<void(TMiniHtmlParams&)> setup = {})
    {
        TMiniHtmlParams p(*canvas, text, r);
        if (setup) setup(p);
        return RenderMiniHtml(p);
    }
    TMiniHtmlResult Measure(const QString& text, int width = 1000, bool wrap = false)
    {
        return Render(text, Rect(0, 0, width, 1000), [&](TMiniHtmlParams& p) {
            p.MeasureOnly = true;
            p.WordWrap = wrap;
        });
    }
    // Pixels of colour c inside r.
    int Count(TColor c, const TRect& r) const
    {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (At(img, x, y) == c) ++n;
        return n;
    }
    // The leftmost column in r holding a pixel that is not white; -1 none.
    int FirstInk(const TRect& r) const
    {
        for (int x = r.Left; x < r.Right; ++x)
            for (int y = r.Top; y < r.Bottom; ++y)
                if (At(img, x, y) != clWhite) return x;
        return -1;
    }
    QImage img;
    std::unique_ptr<TCanvas> canvas;
};

} // namespace

TEST(MiniHtmlMeasure, EmptyTextHasTheHeightOfGh)
{
    Surface s;
    const TMiniHtmlResult r = s.Measure(QString());
    EXPECT_EQ(r.MaxLineWidth, 0);
    EXPECT_EQ(r.TotalHeight, LineH());
    EXPECT_EQ(r.AnchorCount, 0);
    EXPECT_EQ(r.HitAnchorNumber, -1);
    // Drawing it paints nothing and restores the canvas.
    s.Render(QString(), Rect(0, 0, 200, 60));
    EXPECT_EQ(s.Count(clWhite, Rect(0, 0, 200, 60)), 200 * 60);
    EXPECT_EQ(s.canvas->BrushColor(), clWhite);
    EXPECT_EQ(s.canvas->Font(), TestFont());
}

TEST(MiniHtmlMeasure, WidthsOfRunsAndStyles)
{
    Surface s;
    struct Case {
        QString text;
        int width;
    } cases[] = {
        {"abc", Adv("abc")},
        {"ab<B>cd</B>ef", Adv("ab") + Adv("cd", true) + Adv("ef")},
        // Style flags do not nest: one </B> ends the bold.
        {"<B><B>x</B>y", Adv("x", true) + Adv("y")},
        // Hidden text takes no width.
        {"a<Z>hidden</Z>b", Adv("a") + Adv("b")},
        // An unknown tag is skipped; a "<" without ">" swallows the rest.
        {"a<Q>b", Adv("a") + Adv("b")},
        {"ab<c d", Adv("ab")},
        // Placeholders show their name.
        {"<#name>", Adv("#name")},
        // The trailing blank of the widest line does not count.
        {"abc ", AdvTrim("abc")},
    };
    for (const Case& c : cases) EXPECT_EQ(s.Measure(c.text).MaxLineWidth, c.width) << c.text.toStdString();
}

TEST(MiniHtmlMeasure, EntitiesAreDecodedOnce)
{
    Surface s;
    struct Case {
        QString text;
        QString plain;
    } cases[] = {
        {"a&amp;b", "a&b"},
        {"a&AMP;b", "a&b"},
        {"&lt;b&gt;", "<b>"},
        {"&permil;", QString(QChar(0x2030))},
        {"&euro;&copy;&reg;&trade;&sect;&para;&quot;", QString::fromUtf8("€©®™§¶\"")},
        {"a&nbsp;b", "a b"},
        // Decoded once: an escaped entity shows as written.
        {"&amp;lt;", "&lt;"},
        // &lt; and &gt; are matched in exactly this case.
        {"&LT;", "&LT;"},
    };
    for (const Case& c : cases) {
        const TMiniHtmlResult r = s.Measure(c.text);
        EXPECT_EQ(r.PlainText, c.plain) << c.text.toStdString();
        EXPECT_EQ(r.MaxLineWidth, Adv(c.plain)) << c.text.toStdString();
    }
}

TEST(MiniHtmlDraw, AmpersandShowsWithoutMnemonic)
{
    // "a&b" drawn is as wide as the three characters: the & is not taken
    // for a mnemonic prefix.
    Surface s;
    s.Render("a&amp;b", Rect(0, 0, 200, 30));
    Surface t;
    TRect r = Rect(1, 0, 200, LineH());
    t.canvas->DrawText("a&b", r, tfSingleLine | tfBottom | tfNoPrefix);
    EXPECT_EQ(s.img, t.img);
    Surface mnemonic;
    r = Rect(1, 0, 200, LineH());
    mnemonic.canvas->DrawText("a&b", r, tfSingleLine | tfBottom);
    EXPECT_NE(s.img, mnemonic.img);
}

TEST(MiniHtmlMeasure, LineBreaks)
{
    Surface s;
    const int h = LineH();
    EXPECT_EQ(s.Measure("one<BR>two").TotalHeight, 2 * h);
    EXPECT_EQ(s.Measure("one<BR>two").PlainText, "one\rtwo");
    EXPECT_EQ(s.Measure("one\r\ntwo").TotalHeight, 2 * h);
    EXPECT_EQ(s.Measure("one\ntwo").TotalHeight, h);
    EXPECT_EQ(s.Measure("one\ntwo").MaxLineWidth, Adv("onetwo"));
    EXPECT_EQ(s.Measure("<LI>a<LI>b").TotalHeight, 2 * h);
    EXPECT_EQ(s.Measure("a<HR>b").TotalHeight, 2 * h);
    EXPECT_EQ(s.Measure("<P>a</P>b").TotalHeight, 2 * h);
    EXPECT_EQ(s.Measure("a<UL><LI>b</UL>").TotalHeight, 2 * h);
    // The widest line counts.
    EXPECT_EQ(s.Measure("a<BR>abc<BR>ab").MaxLineWidth, Adv("abc"));
}

TEST(MiniHtmlMeasure, WordWrap)
{
    Surface s;
    const int h = LineH();
    // The line is one pixel narrower than the rectangle; runs are measured
    // one by one, each with its trailing blank.
    const int two = Adv("aaa ") + Adv("bbb ");
    TMiniHtmlResult r = s.Measure("aaa bbb ccc", Adv("bbb ") + 3, true);
    EXPECT_EQ(r.TotalHeight, 3 * h);
    EXPECT_EQ(r.MaxLineWidth, std::max({AdvTrim("aaa"), AdvTrim("bbb"), Adv("ccc")}));
    // A run that moves on is measured again on the next line.
    EXPECT_EQ(r.PlainText, "aaa bbb bbb cccccc");
    r = s.Measure("aaa bbb ccc ddd", two + 2, true);
    EXPECT_EQ(r.TotalHeight, 2 * h);
    EXPECT_EQ(r.MaxLineWidth, Adv("aaa ") + AdvTrim("bbb"));
    // A word wider than the rectangle stays alone on its line.
    r = s.Measure("a verylongword b", Adv("verylong"), true);
    EXPECT_EQ(r.TotalHeight, 3 * h);
    EXPECT_EQ(r.MaxLineWidth, Adv("verylongword"));
    // A glued word is not split from its predecessor.
    r = s.Measure("x<B>yyyy</B>", Adv("x") + 3, true);
    EXPECT_EQ(r.TotalHeight, h);
    EXPECT_EQ(r.MaxLineWidth, Adv("x") + Adv("yyyy", true));
}

TEST(MiniHtmlMeasure, WithoutWordWrapNothingFollowsAnOverflowingLine)
{
    Surface s;
    const int h = LineH();
    EXPECT_EQ(s.Measure("line one<BR>line two", 200).TotalHeight, 2 * h);
    const TMiniHtmlResult r = s.Measure("line one<BR>line two", Adv("line"));
    EXPECT_EQ(r.TotalHeight, h);
    EXPECT_EQ(r.PlainText, "line one");
}

TEST(MiniHtmlMeasure, FontSizes)
{
    Surface s;
    auto width = [](int points) {
        QFont f = TestFont();
        f.setPointSize(points);
        return QFontMetrics(f).horizontalAdvance("Wx");
    };
    struct Case {
        QString text;
        int width;
    } cases[] = {
        {"<FONT SIZE=\"1\">Wx</FONT>", width(8)},  {"<FONT SIZE=\"3\">Wx</FONT>", width(12)},
        {"<FONT SIZE=\"5\">Wx</FONT>", width(16)}, {"<FONT SIZE=\"9\">Wx</FONT>", width(9)},
        {"<FONT SIZE=\" 2x\">Wx</FONT>", width(10)},
        // </FONT> goes back to the starting size.
        {"<FONT SIZE=\"5\"></FONT>Wx", Adv("Wx")},
    };
    for (const Case& c : cases) EXPECT_EQ(s.Measure(c.text).MaxLineWidth, c.width) << c.text.toStdString();
}

TEST(MiniHtmlColors, NamesAndHex)
{
    EXPECT_EQ(HtmlColorNameToColor("clred"), clRed);
    EXPECT_EQ(HtmlColorNameToColor("clmaroon"), clMaroon);
    EXPECT_EQ(HtmlColorNameToColor("clblack"), clBlack);
    EXPECT_EQ(HtmlColorNameToColor("clbtnface"), clBtnFace);
    EXPECT_EQ(HtmlColorNameToColor("clinfobk"), clInfoBk);
    EXPECT_EQ(HtmlColorNameToColor("clbackground"), clBackground);
    EXPECT_EQ(HtmlColorNameToColor("clRed"), clBlack); // compared exactly
    EXPECT_EQ(HtmlColorNameToColor("nosuch"), clBlack);
    EXPECT_EQ(HtmlHexToColor("#FF0000"), clRed);
    EXPECT_EQ(HtmlHexToColor("#0080FF"), RGBColor(0, 0x80, 0xFF));
    EXPECT_EQ(HtmlHexToColor("#12"), RGBColor(0x12, 0, 0));
}

TEST(MiniHtmlDraw, FontColorAndBackground)
{
    Surface s(200, 40);
    const TRect r = Rect(0, 0, 100, 20);
    s.Render("<FONT COLOR=\"clRed\">WWW</FONT>", r);
    EXPECT_GT(s.Count(clRed, r), 10);
    EXPECT_EQ(s.Count(clBlack, r), 0);

    Surface t(200, 40);
    t.Render("<FONT COLOR=\"#FF0000\">WWW</FONT>", r);
    EXPECT_EQ(t.img, s.img);

    // BGCOLOR fills behind the text but leaves the text colour alone.
    Surface u(200, 40);
    u.Render("<FONT BGCOLOR=\"clRed\">WWW</FONT>x", r);
    EXPECT_GT(u.Count(clRed, r), 30);
    EXPECT_GT(u.Count(clBlack, r), 10);
    // After </FONT> no background: the x has white around it.
    const int xLeft = 1 + Adv("WWW");
    EXPECT_EQ(u.Count(clRed, Rect(xLeft, 0, xLeft + Adv("x"), 20)), 0);
}

TEST(MiniHtmlDraw, ParagraphAlignment)
{
    const int w = 200;
    Surface left(w, 20), right(w, 20), center(w, 20), indent(w, 20);
    left.Render("WW", Rect(0, 0, w, 20));
    right.Render("<P ALIGN=\"RIGHT\">WW", Rect(0, 0, w, 20));
    center.Render("<P ALIGN=\"CENTER\">WW", Rect(0, 0, w, 20));
    indent.Render("<P ALIGN=\"CENTER\" INDENT=\"10\">WW", Rect(0, 0, w, 20));
    const int leftInk = left.FirstInk(Rect(0, 0, w, 20));
    ASSERT_GE(leftInk, 1);
    const int bearing = leftInk - 1; // the glyph's own left bearing
    EXPECT_EQ(right.FirstInk(Rect(0, 0, w, 20)), w - Adv("WW") + bearing);
    EXPECT_EQ(center.FirstInk(Rect(0, 0, w, 20)), 1 + (w - 1 - Adv("WW")) / 2 + bearing);
    // Aligned, then moved by the indent.
    EXPECT_EQ(indent.FirstInk(Rect(0, 0, w, 20)), 1 + (w - 1 - Adv("WW")) / 2 + 10 + bearing);
}

TEST(MiniHtmlHit, TwoAnchors)
{
    Surface s;
    const QString text = "go <A HREF=\"one\" TITLE=\"first\">aa</A> or <A HREF=\"two\" TITLE=\"second\">bbb</A>!";
    const int start2 = 1 + Adv("go ") + Adv("aa") + Adv(" or ");
    const int y = LineH() / 2;
    TMiniHtmlResult r = s.Render(text, Rect(0, 0, 200, 60), [&](TMiniHtmlParams& p) {
        p.HitX = start2 + 3;
        p.HitY = y;
        p.HitTestOnly = true;
    });
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.AnchorCount, 2);
    EXPECT_EQ(r.HitAnchorNumber, 2);
    EXPECT_EQ(r.HitAnchorRef, "two");
    EXPECT_EQ(r.HitAnchorTitle, "second");
    EXPECT_EQ(r.HitAnchorRect, Rect(start2, 0, start2 + Adv("bbb"), LineH()));

    r = s.Render(text, Rect(0, 0, 200, 60), [&](TMiniHtmlParams& p) {
        p.HitX = 1 + Adv("go ") + 1;
        p.HitY = y;
    });
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.HitAnchorNumber, 1);
    EXPECT_EQ(r.HitAnchorRef, "one");

    // Between the anchors, and below the line: nothing.
    for (auto [hx, hy] : {std::pair{start2 - 3, y}, std::pair{start2 + 3, LineH() + 5}}) {
        r = s.Render(text, Rect(0, 0, 200, 60), [&, hx = hx, hy = hy](TMiniHtmlParams& p) {
            p.HitX = hx;
            p.HitY = hy;
        });
        EXPECT_FALSE(r.Hit);
        EXPECT_EQ(r.HitAnchorNumber, -1);
        EXPECT_EQ(r.HitAnchorRef, "");
    }
}

// ---- Pictures in texts ------------------------------------------------------

namespace {

QImage Solid(int w, int h, TColor c)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(ColorToQColor(c));
    return img;
}

QByteArray Png(int w, int h, TColor c)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Solid(w, h, c).save(&buffer, "PNG");
    return bytes;
}

// A list of three 16 x 16 pictures: red, green, blue.
TCustomImageList ThreeImages()
{
    TCustomImageList list(16, 16);
    list.Add(Solid(16, 16, clRed));
    list.Add(Solid(16, 16, clLime));
    list.Add(Solid(16, 16, clBlue));
    return list;
}

} // namespace

TEST(MiniHtmlPictures, ImageListPictures)
{
    Surface s;
    const TCustomImageList list = ThreeImages();
    auto withList = [&](TMiniHtmlParams& p) { p.Images = &list; };
    // An index outside the list: nothing drawn, no space taken.
    TMiniHtmlResult r = s.Render("a<IMG SRC=\"IDX:5\">b", Rect(0, 0, 200, 60), [&](TMiniHtmlParams& p) {
        p.Images = &list;
        p.MeasureOnly = true;
    });
    EXPECT_EQ(r.MaxLineWidth, Adv("a") + Adv("b"));
    s.Render("<IMG SRC=\"IDX:5\">", Rect(0, 0, 200, 60), withList);
    EXPECT_EQ(s.Count(clRed, Rect(0, 0, 200, 60)) + s.Count(clBlue, Rect(0, 0, 200, 60)), 0);
    // Without a list IDX: pictures are nothing either.
    EXPECT_EQ(s.Measure("<IMG SRC=\"IDX:1\">").MaxLineWidth, 0);

    // Picture 1 at the line's left and top; the line is as tall as it.
    r = s.Render("<IMG SRC=\"IDX:1\">x", Rect(0, 0, 200, 60), withList);
    EXPECT_EQ(r.MaxLineWidth, 16 + Adv("x"));
    EXPECT_EQ(r.TotalHeight, std::max(16, LineH()));
    EXPECT_EQ(s.Count(clLime, Rect(1, 0, 17, 16)), 256);
    EXPECT_EQ(s.Count(clLime, Rect(0, 0, 200, 60)), 256);
}

TEST(MiniHtmlPictures, NamedPicturesAreScaledInProportion)
{
    TPictureContainer container;
    TPictureItem& item = container.Items().Add();
    item.SetName("Pic");
    QByteArray png = Png(64, 16, clRed);
    QBuffer buffer(&png);
    buffer.open(QIODevice::ReadOnly);
    item.Picture().LoadFromStream(&buffer);

    Surface s(200, 80);
    auto measure = [&](const QString& text) {
        return s.Render(text, Rect(0, 0, 1000, 1000), [&](TMiniHtmlParams& p) {
            p.NamedPictures = &container;
            p.MeasureOnly = true;
        });
    };
    struct Case {
        QString text;
        int width, height;
    } cases[] = {
        {"<IMG SRC=\"pic\">", 64, 16},
        {"<IMG SRC=\"PIC\" WIDTH=\"32\">", 32, LineH()}, // 32 x 8: the text line is taller
        {"<IMG SRC=\"pic\" HEIGHT=\"32\">", 128, 32},
        {"<IMG SRC=\"pic\" WIDTH=\"10\" HEIGHT=\"40\">", 10, 40},
        {"<IMG SRC=\"nosuch\" WIDTH=\"10\">", 0, LineH()},
    };
    for (const Case& c : cases) {
        const TMiniHtmlResult r = measure(c.text);
        EXPECT_EQ(r.MaxLineWidth, c.width) << c.text.toStdString();
        EXPECT_EQ(r.TotalHeight, c.height) << c.text.toStdString();
    }
    // Drawn stretched into 32 x 8 at (1, 0).
    s.Render("<IMG SRC=\"pic\" WIDTH=\"32\">", Rect(0, 0, 200, 80), [&](TMiniHtmlParams& p) { p.NamedPictures = &container; });
    EXPECT_EQ(s.Count(clRed, Rect(0, 0, 200, 80)), 32 * 8);
    EXPECT_EQ(s.Count(clRed, Rect(1, 0, 33, 8)), 32 * 8);

    // A picture that could not be decoded is empty: it takes no space.
    TPictureItem& broken = container.Items().Add();
    broken.SetName("broken");
    QByteArray junk("junk");
    QBuffer junkBuffer(&junk);
    junkBuffer.open(QIODevice::ReadOnly);
    EXPECT_THROW(broken.Picture().LoadFromStream(&junkBuffer), Exception);
    EXPECT_EQ(measure("a<IMG SRC=\"broken\" WIDTH=\"10\">").MaxLineWidth, Adv("a"));
    EXPECT_EQ(measure("a<IMG SRC=\"broken\" HEIGHT=\"10\">").MaxLineWidth, Adv("a"));
}

TEST(MiniHtmlPictures, PicturesByUrlGoThroughTheCache)
{
    THTMLPictureCache cache;
    Surface s(200, 80);
    auto render = [&](const QString& text) {
        return s.Render(text, Rect(0, 0, 200, 80), [&](TMiniHtmlParams& p) { p.PictureCache = &cache; });
    };
    // A resource picture: loaded once into the cache, drawn at the size of
    // its animation (the first frame, red, at its top-left).
    TMiniHtmlResult r = render("<IMG SRC=\"res://LOGO\">");
    EXPECT_EQ(r.MaxLineWidth, 64);
    EXPECT_EQ(r.TotalHeight, 56);
    ASSERT_EQ(cache.Count(), 1);
    EXPECT_NE(cache.FindPicture("res://LOGO"), nullptr);
    EXPECT_EQ(s.Count(clRed, Rect(1, 0, 17, 16)), 256);
    EXPECT_EQ(s.Count(clRed, Rect(0, 0, 200, 80)), 256);
    render("<IMG SRC=\"res://LOGO\">");
    EXPECT_EQ(cache.Count(), 1);

    // The second frame is drawn at its own offset.
    cache.FindPicture("res://LOGO")->SetFrame(2);
    s.img.fill(Qt::white);
    render("<IMG SRC=\"res://LOGO\">");
    EXPECT_EQ(s.Count(clLime, Rect(5, 44, 13, 52)), 64);
    EXPECT_EQ(s.Count(clLime, Rect(0, 0, 200, 80)), 64);

    // A web picture is not fetched: empty, no space, findable by its URL.
    r = render("a<IMG SRC=\"http://127.0.0.1:9/p.png\">b");
    EXPECT_EQ(r.MaxLineWidth, Adv("a") + Adv("b"));
    ASSERT_EQ(cache.Count(), 2);
    THTMLPicture* web = cache.FindPicture("http://127.0.0.1:9/p.png");
    ASSERT_NE(web, nullptr);
    EXPECT_TRUE(web->Empty());
    EXPECT_FALSE(web->ThreadBusy());
    render("<IMG SRC=\"http://127.0.0.1:9/p.png\">");
    EXPECT_EQ(cache.Count(), 2);

    // Without a cache nothing is looked up.
    EXPECT_EQ(s.Measure("<IMG SRC=\"res://LOGO\">").MaxLineWidth, 0);
}

TEST(MiniHtmlPictures, PictureInsideAnAnchor)
{
    const TCustomImageList list = ThreeImages();
    Surface s(100, 40);
    auto render = [&](int hx, int hy) {
        s.img.fill(Qt::white);
        return s.Render("<A HREF=\"pic\" TITLE=\"t\"><IMG SRC=\"IDX:0\" ALT=\"IDX:2\"></A>", Rect(0, 0, 100, 40), [&](TMiniHtmlParams& p) {
            p.Images = &list;
            p.HitX = hx;
            p.HitY = hy;
        });
    };
    TMiniHtmlResult r = render(8, 8);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.HitAnchorRef, "pic");
    EXPECT_EQ(r.HitAnchorTitle, "t");
    // Under the point the ALT picture shows.
    EXPECT_EQ(s.Count(clBlue, Rect(1, 0, 17, 16)), 256);
    r = render(50, 8);
    EXPECT_FALSE(r.Hit);
    EXPECT_EQ(s.Count(clRed, Rect(1, 0, 17, 16)), 256);
}

TEST(MiniHtmlPictures, AlignTopRaisesTheText)
{
    TCustomImageList list(32, 32);
    list.Add(Solid(32, 32, clLime));
    auto inkRows = [&](const QString& text) {
        Surface s(100, 40);
        s.Render(text, Rect(0, 0, 100, 40), [&](TMiniHtmlParams& p) { p.Images = &list; });
        int first = -1, last = -1;
        for (int y = 0; y < 40; ++y)
            if (s.Count(clBlack, Rect(33, y, 100, y + 1)) > 0) {
                if (first < 0) first = y;
                last = y;
            }
        return std::pair{first, last};
    };
    const auto bottom = inkRows("<IMG SRC=\"IDX:0\">Hx");
    const auto top = inkRows("<IMG SRC=\"IDX:0\" ALIGN=\"TOP\">Hx");
    const auto middle = inkRows("<IMG SRC=\"IDX:0\" ALIGN=\"MIDDLE\">Hx");
    ASSERT_GE(bottom.first, 0);
    const int offset = 32 - LineH();
    EXPECT_EQ(top.first, bottom.first - offset);
    EXPECT_EQ(middle.first, bottom.first - offset / 2);
}

// ---- Inline controls ------------------------------------------------------

TEST(MiniHtmlControls, LayoutAndSizes)
{
    Surface s;
    const int h = LineH();
    // Without WIDTH a control is nothing.
    EXPECT_EQ(s.Measure("a<CONTROL TYPE=\"EDIT\" ID=\"e1\" VALUE=\"abc\">b").MaxLineWidth, Adv("a") + Adv("b"));
    // An edit: its width, the height of "gh" + 10.
    TMiniHtmlResult r = s.Measure("<CONTROL TYPE=\"EDIT\" ID=\"e1\" VALUE=\"abc\" WIDTH=\"50\">");
    EXPECT_EQ(r.MaxLineWidth, 50);
    EXPECT_EQ(r.TotalHeight, std::max(23, h + 10));
    // Check boxes and radio buttons: 16 x 16 whatever WIDTH says.
    r = s.Measure("<CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"true\" WIDTH=\"20\">");
    EXPECT_EQ(r.MaxLineWidth, 16);
    EXPECT_EQ(r.TotalHeight, 16);
    // Buttons and combos are 25 high; a tall HEIGHT sets the line.
    EXPECT_EQ(s.Measure("<CONTROL TYPE=\"BUTTON\" ID=\"b\" VALUE=\"Go\" WIDTH=\"40\">").TotalHeight, 25);
    EXPECT_EQ(s.Measure("<CONTROL TYPE=\"COMBO\" ID=\"b\" VALUE=\"Go\" WIDTH=\"40\" HEIGHT=\"40\">").TotalHeight, 38);
}

TEST(MiniHtmlControls, CheckBoxDrawnCheckedOnlyForTrue)
{
    for (bool styles : {false, true}) {
        SetVisualStylesActive(styles);
        Surface on(60, 30), yes(60, 30), off(60, 30);
        on.Render("<CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"true\" WIDTH=\"20\">", Rect(0, 0, 60, 30));
        yes.Render("<CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"yes\" WIDTH=\"20\">", Rect(0, 0, 60, 30));
        off.Render("<CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"\" WIDTH=\"20\">", Rect(0, 0, 60, 30));
        EXPECT_NE(on.img, yes.img) << styles;
        EXPECT_EQ(yes.img, off.img) << styles;
        // Something is drawn where the box stands.
        EXPECT_LT(off.Count(clWhite, Rect(0, 0, 20, 16)), 20 * 16) << styles;
    }
    SetVisualStylesActive(true);
}

TEST(MiniHtmlControls, PasswordShowsStars)
{
    Surface pw(100, 30), stars(100, 30);
    pw.Render("<CONTROL TYPE=\"PASSWORD\" ID=\"p\" VALUE=\"abc\" WIDTH=\"60\">", Rect(0, 0, 100, 30));
    stars.Render("<CONTROL TYPE=\"EDIT\" ID=\"p\" VALUE=\"***\" WIDTH=\"60\">", Rect(0, 0, 100, 30));
    EXPECT_EQ(pw.img, stars.img);
    Surface plain(100, 30);
    plain.Render("<CONTROL TYPE=\"EDIT\" ID=\"p\" VALUE=\"abc\" WIDTH=\"60\">", Rect(0, 0, 100, 30));
    EXPECT_NE(pw.img, plain.img);
}

TEST(MiniHtmlControls, HitTests)
{
    Surface s(300, 40);
    const QString text = "x<CONTROL TYPE=\"edit\" ID=\"e1\" VALUE=\"a&amp;b\" WIDTH=\"50\"><CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"TRUE\" WIDTH=\"20\">";
    const int editLeft = 1 + Adv("x");
    // The point over the edit.
    TMiniHtmlResult r = s.Render(text, Rect(0, 0, 300, 40), [&](TMiniHtmlParams& p) {
        p.HitX = editLeft + 10;
        p.HitY = 5;
        p.HitTestOnly = true;
    });
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.HitAnchorRef, "ctrl");
    EXPECT_EQ(r.HitControlID, "e1");
    EXPECT_EQ(r.HitControlType, "EDIT");
    EXPECT_EQ(r.HitControlValue, "a&b");
    EXPECT_EQ(r.HitControlRect, Rect(editLeft, 0, editLeft + 50, LineH() + 10));

    // Asked for by ID: found wherever the point is.
    r = s.Render(text, Rect(0, 0, 300, 40), [&](TMiniHtmlParams& p) {
        p.HitX = -1;
        p.HitY = -1;
        p.HitTestOnly = true;
        p.HitControlID = "c1";
    });
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.HitControlID, "c1");
    EXPECT_EQ(r.HitControlType, "CHECK");
    EXPECT_EQ(r.HitControlValue, "TRUE");
    EXPECT_EQ(r.HitControlRect, Rect(editLeft + 50, 0, editLeft + 66, 16));

    // Nothing under the point.
    r = s.Render(text, Rect(0, 0, 300, 40), [&](TMiniHtmlParams& p) {
        p.HitX = 250;
        p.HitY = 5;
    });
    EXPECT_FALSE(r.Hit);
    EXPECT_EQ(r.HitControlID, "");
    EXPECT_EQ(r.HitControlRect, TRect());
}

namespace {

// The value of control `id`, or "(none)" when there is no such control.
QString ValueOf(const QString& text, const QString& id)
{
    QString value;
    return GetControlValue(text, id, value) ? value : QStringLiteral("(none)");
}

} // namespace

TEST(ControlTags, Attributes)
{
    // Attribute names are whole tokens: an "ID=" inside a value is no ID.
    const TControlTagAttributes a = ParseControlTagAttributes(
        "<CONTROL type=\"combo\" VALUE=\"ID=x &lt;b&gt; &eacute;\" ID=\"c2\" WIDTH=\"70\" HEIGHT=\"30\" PROP=\"p&amp;q\" MAXLEN=\"12\">");
    EXPECT_EQ(a.Type, "COMBO");
    EXPECT_EQ(a.ID, "c2");
    EXPECT_EQ(a.Value, QString::fromUtf8("ID=x <b> é"));
    EXPECT_EQ(a.Width, "70");
    EXPECT_EQ(a.Height, "30");
    EXPECT_EQ(a.Prop, "p&q");
    EXPECT_EQ(a.MaxLen, "12");
    const TControlTagAttributes none = ParseControlTagAttributes("<CONTROL WIDTH=40>");
    EXPECT_EQ(none.Width, ""); // without quotes: empty
    EXPECT_EQ(none.ID, "");

    EXPECT_TRUE(HasControlTag("a<control"));
    EXPECT_FALSE(HasControlTag("a<contro"));
}

TEST(ControlTags, Routines)
{
    const QString text = "<CONTROL TYPE=\"EDIT\" ID=\"e1\" VALUE=\"ID=&quot;c1&quot;\" WIDTH=\"40\" MAXLEN=\"12x\">"
                         " and <control type=\"CHECK\" ID=\"c1\" VALUE=\"TRUE\" WIDTH=\"16\" PROP=\"kept\">"
                         " <CONTROL TYPE=\"EDIT\" ID=\"e2\" VALUE=\"\" WIDTH=\"40\" HEIGHT=\"30\" PROP=\"a&lt;b\" COLOR=\"red\">";
    EXPECT_EQ(NextEditableControlID(text, ""), "e1");
    EXPECT_EQ(NextEditableControlID(text, "e1"), "e2");
    EXPECT_EQ(NextEditableControlID(text, "c1"), "e2");
    EXPECT_EQ(NextEditableControlID(text, "e2"), "");
    EXPECT_EQ(NextEditableControlID(text, "zz"), "");

    EXPECT_EQ(ValueOf(text, "e1"), "ID=\"c1\"");
    EXPECT_EQ(ValueOf(text, "c1"), "TRUE");
    EXPECT_EQ(ValueOf(text, "zz"), "(none)");
    EXPECT_EQ(GetControlProp(text, "c1"), "kept");
    EXPECT_EQ(GetControlProp(text, "e2"), "a<b");
    EXPECT_EQ(GetControlProp(text, "zz"), "");
    EXPECT_EQ(GetControlMaxLen(text, "e1"), 12);
    EXPECT_EQ(GetControlMaxLen(text, "e2"), 0);

    // Rebuilt with the new value; HEIGHT, PROP and unknown attributes kept.
    QString t = text;
    ASSERT_TRUE(BuildControlTag(t, "e2", "x<y"));
    EXPECT_TRUE(t.startsWith(text.left(text.indexOf(" <CONTROL TYPE=\"EDIT\" ID=\"e2\""))));
    EXPECT_TRUE(t.endsWith("<CONTROL ID=\"e2\" VALUE=\"x&lt;y\" WIDTH=\"40\" TYPE=\"EDIT\" HEIGHT=\"30\" PROP=\"a&lt;b\" COLOR=\"red\">"))
        << t.toStdString();
    EXPECT_EQ(ValueOf(t, "e2"), "x<y");
    EXPECT_EQ(GetControlProp(t, "e2"), "a<b");
    t = text;
    ASSERT_TRUE(BuildControlTag(t, "e1", "v"));
    EXPECT_TRUE(t.startsWith("<CONTROL ID=\"e1\" VALUE=\"v\" WIDTH=\"40\" TYPE=\"EDIT\" MAXLEN=\"12x\"> and <control type=\"CHECK\""));
    // An unknown ID changes nothing.
    t = text;
    EXPECT_FALSE(BuildControlTag(t, "zz", "v"));
    EXPECT_EQ(t, text);
}

TEST(ControlTags, UncheckRadioControlsLeavesCheckBoxes)
{
    const QString text = "<CONTROL TYPE=\"RADIO\" ID=\"r1\" VALUE=\"TRUE\" WIDTH=\"16\">"
                         "<CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"TRUE\" WIDTH=\"16\">"
                         "<CONTROL TYPE=\"radio\" ID=\"r2\" VALUE=\"TRUE\" WIDTH=\"16\">";
    const QString out = UncheckRadioControls(text);
    EXPECT_EQ(ValueOf(out, "r1"), "FALSE");
    EXPECT_EQ(ValueOf(out, "r2"), "FALSE");
    EXPECT_EQ(ValueOf(out, "c1"), "TRUE");
    EXPECT_TRUE(out.contains("<CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"TRUE\" WIDTH=\"16\">"));
}

// ---- More tags --------------------------------------------------------------

TEST(MiniHtmlDraw, HighlightAndSelection)
{
    SetHtmlHighlightColors(clYellow, clRed);
    Surface s(100, 20);
    s.Render("<HI>WW</HI>WW", Rect(0, 0, 100, 20));
    const int split = 1 + Adv("WW");
    EXPECT_GT(s.Count(clYellow, Rect(0, 0, split, 20)), 20);
    EXPECT_GT(s.Count(clRed, Rect(0, 0, split, 20)), 10);
    // After </HI> the colours are back: black text, no background.
    EXPECT_EQ(s.Count(clYellow, Rect(split, 0, 100, 20)), 0);
    EXPECT_GT(s.Count(clBlack, Rect(split, 0, 100, 20)), 10);
    SetHtmlHighlightColors(clHighlight, clHighlightText);

    // On a selection FONT colours are not applied.
    Surface sel(100, 20);
    sel.Render("<FONT COLOR=\"clRed\" BGCOLOR=\"clLime\">WW</FONT>", Rect(0, 0, 100, 20), [](TMiniHtmlParams& p) { p.OnSelection = true; });
    EXPECT_EQ(sel.Count(clRed, Rect(0, 0, 100, 20)), 0);
    EXPECT_EQ(sel.Count(clLime, Rect(0, 0, 100, 20)), 0);
    EXPECT_GT(sel.Count(clBlack, Rect(0, 0, 100, 20)), 10);
}

TEST(MiniHtmlDraw, AnchorColours)
{
    const QString text = "<A HREF=\"a\">WW</A>WW<A HREF=\"b\">WW</A>";
    const int w = Adv("WW");
    const TRect first = Rect(1, 0, 1 + w, 20), middle = Rect(1 + w, 0, 1 + 2 * w, 20), last = Rect(1 + 2 * w, 0, 1 + 3 * w, 20);
    Surface s(150, 20);
    s.Render(text, Rect(0, 0, 150, 20), [](TMiniHtmlParams& p) { p.URLColor = clRed; });
    EXPECT_GT(s.Count(clRed, first), 10);
    EXPECT_EQ(s.Count(clRed, middle), 0);
    EXPECT_GT(s.Count(clBlack, middle), 10);
    EXPECT_GT(s.Count(clRed, last), 10);

    // Only the hovered anchor gets the hover colours.
    Surface h(150, 20);
    h.Render(text, Rect(0, 0, 150, 20), [](TMiniHtmlParams& p) {
        p.URLColor = clRed;
        p.UnderlineHoverOnly = true;
        p.HoverAnchorNumber = 2;
        p.HoverTextColor = clBlue;
        p.HoverBrushColor = clYellow;
    });
    EXPECT_GT(h.Count(clRed, first), 10);
    EXPECT_EQ(h.Count(clYellow, first), 0);
    EXPECT_GT(h.Count(clBlue, last), 10);
    EXPECT_GT(h.Count(clYellow, last), 10);
    EXPECT_EQ(h.Count(clRed, last), 0);
}

TEST(MiniHtmlDraw, BackgroundsOfBodyAndParagraph)
{
    Surface body(100, 40);
    body.Render("<BODY BGCOLOR=\"clSilver\">x", Rect(10, 5, 90, 35));
    EXPECT_EQ(body.Count(clSilver, Rect(10, 5, 90, 35)) + body.Count(clBlack, Rect(10, 5, 90, 35)), 80 * 30);
    EXPECT_EQ(body.Count(clSilver, Rect(0, 0, 100, 5)), 0);

    Surface para(100, 60);
    const int h = LineH();
    para.Render("<P BGCOLOR=\"#00FF00\">a<BR>b</P>c", Rect(0, 0, 100, 60));
    // The band of both lines across the rectangle, not the third.
    EXPECT_EQ(para.Count(clLime, Rect(90, 0, 100, 2 * h)), 10 * 2 * h);
    EXPECT_EQ(para.Count(clLime, Rect(0, 2 * h, 100, 60)), 0);
}

TEST(MiniHtmlDraw, ErrorMarkingAndShadow)
{
    Surface e(100, 30);
    e.Render("<E>WWW</E>", Rect(0, 0, 100, 30));
    const int h = LineH();
    // A red zig-zag between the text bottom - 1 and + 1.
    EXPECT_GT(e.Count(clRed, Rect(0, h - 1, 100, h + 2)), Adv("WWW") / 2);
    EXPECT_EQ(e.Count(clRed, Rect(0, 0, 100, h - 1)), 0);

    Surface sh(100, 30);
    sh.Render("<SHAD>WWW</SHAD>", Rect(0, 0, 100, 30), [](TMiniHtmlParams& p) {
        p.ShadowTextColor = clRed;
        p.ShadowShift = 2;
    });
    EXPECT_GT(sh.Count(clRed, Rect(0, 0, 100, 30)), 10);
    EXPECT_GT(sh.Count(clBlack, Rect(0, 0, 100, 30)), 10);
}

TEST(MiniHtmlMeasure, SubSuperscriptAndHiddenHeights)
{
    Surface s;
    const int h = LineH();
    EXPECT_EQ(s.Measure("x<SUB>2</SUB>").TotalHeight, h + h / 4);
    EXPECT_EQ(s.Measure("x<SUP>2</SUP>").TotalHeight, h + h / 4);
    EXPECT_EQ(s.Measure("x<SUB>2</SUB><SUP>3</SUP>").TotalHeight, h + 2 * (h / 4));
    // Sub- and superscript end with the line.
    EXPECT_EQ(s.Measure("<SUB>x<BR>y").TotalHeight, h + h / 4 + h);
    // Hidden text still counts in the plain text.
    EXPECT_EQ(s.Measure("a<Z>b</Z>c").PlainText, "abc");
}

TEST(MiniHtmlDraw, BlinkHiddenAndIndent)
{
    Surface blink(100, 20);
    blink.Render("<BLINK>WWW</BLINK>", Rect(0, 0, 100, 20), [](TMiniHtmlParams& p) { p.BlinkVisible = false; });
    EXPECT_EQ(blink.Count(clWhite, Rect(0, 0, 100, 20)), 100 * 20);
    Surface shown(100, 20);
    shown.Render("<BLINK>WWW</BLINK>", Rect(0, 0, 100, 20));
    EXPECT_GT(shown.Count(clBlack, Rect(0, 0, 100, 20)), 10);

    Surface s;
    EXPECT_EQ(s.Measure("a<IND x=\"50\">b").MaxLineWidth, 50 + Adv("b"));
    // Indents never move backwards; a bad value is ignored.
    EXPECT_EQ(s.Measure("abcdefgh<IND x=\"2\">b").MaxLineWidth, Adv("abcdefgh") + Adv("b"));
    EXPECT_EQ(s.Measure("a<IND x=\"5o\">b").MaxLineWidth, Adv("a") + Adv("b"));
}

TEST(MiniHtmlDraw, TextTallerThanTheRectangle)
{
    Surface s(100, 100);
    const int h = LineH();
    // Drawing stops after the first line whose successor would not fit.
    TMiniHtmlResult r = s.Render("a<BR>b<BR>c<BR>d", Rect(0, 0, 100, 2 * h + 2));
    EXPECT_EQ(r.TotalHeight, 2 * h);
    EXPECT_EQ(s.Count(clBlack, Rect(0, 2 * h, 100, 100)), 0);
    EXPECT_EQ(s.Measure("a<BR>b<BR>c<BR>d", 100).TotalHeight, 4 * h);
}

TEST(MiniHtmlDraw, FocusedAnchorAndRule)
{
    Surface s(120, 40);
    TMiniHtmlResult r = s.Render("<A HREF=\"one\">a</A> <A HREF=\"two\">b</A><HR>x", Rect(0, 0, 120, 40),
                                 [](TMiniHtmlParams& p) { p.FocusAnchorIndex = 1; });
    EXPECT_EQ(r.FocusAnchorRef, "two");
    EXPECT_EQ(r.AnchorCount, 2);
    // The rule: a black line below the first line, across it.
    const int h = LineH();
    EXPECT_EQ(s.Count(clBlack, Rect(1, h, 120, h + 1)), 119);
}

TEST(MiniHtmlDraw, CanvasStateIsRestored)
{
    Surface s;
    s.canvas->SetPenColor(clGreen);
    s.canvas->SetPenWidth(2);
    s.canvas->SetBrushColor(clAqua);
    s.Render("<FONT FACE=\"DejaVu Serif\" SIZE=\"5\" COLOR=\"clRed\" BGCOLOR=\"clLime\"><B><R a=\"90\">x<HI>y<P BGCOLOR=\"clRed\">z",
             Rect(0, 0, 200, 60));
    EXPECT_EQ(s.canvas->PenColor(), clGreen);
    EXPECT_EQ(s.canvas->PenWidth(), 2);
    EXPECT_EQ(s.canvas->BrushColor(), clAqua);
    EXPECT_EQ(s.canvas->Font(), TestFont());
    EXPECT_EQ(s.canvas->FontColor(), clBlack);
    EXPECT_EQ(s.canvas->FontEscapement(), 0);
}

TEST(MiniHtmlText, EscapedTextIsShownAsWritten)
{
    // A value typed by the user is escaped before it goes into a mini-HTML
    // text; it then shows as typed, tags and entities included.
    Surface s;
    const QString typed = "<b>x</b> & \"q\" &amp;";
    const TMiniHtmlResult r = s.Measure("<B>Name:</B> " + EscapeHtmlChars(typed, false));
    EXPECT_EQ(r.PlainText, "Name: " + typed);
}

TEST(MiniHtmlHit, AnchorOverTwoLines)
{
    Surface s(200, 60);
    const int h = LineH();
    // "aaa " on the first line, "bbb" on the second, both in one anchor.
    const QString text = "x <A HREF=\"ab\">aaa bbb</A> <A HREF=\"c\">c</A>";
    const int width = Adv("x ") + Adv("aaa ") + 3;
    auto hit = [&](int hx, int hy) {
        return s.Render(text, Rect(0, 0, width, 60), [&](TMiniHtmlParams& p) {
            p.WordWrap = true;
            p.HitX = hx;
            p.HitY = hy;
            p.HitTestOnly = true;
        });
    };
    TMiniHtmlResult r = hit(1 + Adv("bb"), h + h / 2);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.HitAnchorRef, "ab");
    EXPECT_EQ(r.HitAnchorNumber, 1);
    // Started on an earlier line: the rectangle starts at this line's left and top.
    EXPECT_EQ(r.HitAnchorRect, Rect(1, h, 1 + Adv("bbb"), 2 * h));
    // Hit on its first line, the rectangle is still the part on the line where it ends.
    r = hit(1 + Adv("x ") + 2, h / 2);
    EXPECT_EQ(r.HitAnchorNumber, 1);
    EXPECT_EQ(r.HitAnchorRef, "ab");
    EXPECT_EQ(r.HitAnchorRect, Rect(1, h, 1 + Adv("bbb"), 2 * h));
    // An anchor on one line: from its first to its last character.
    r = hit(1 + Adv("bbb") + Adv(" ") + 2, h + h / 2);
    EXPECT_EQ(r.HitAnchorRef, "c");
    EXPECT_EQ(r.HitAnchorNumber, 2);
    EXPECT_EQ(r.AnchorCount, 2);
}

TEST(MiniHtmlDraw, RightToLeftPlacesRunsFromTheRight)
{
    Surface ltr(100, 20), rtl(100, 20);
    ltr.Render("WW", Rect(0, 0, 100, 20));
    rtl.Render("WW", Rect(0, 0, 100, 20), [](TMiniHtmlParams& p) { p.BiDiMode = 1; });
    const int bearing = ltr.FirstInk(Rect(0, 0, 100, 20)) - 1;
    EXPECT_EQ(rtl.FirstInk(Rect(0, 0, 100, 20)), 100 - Adv("WW") + bearing);
    EXPECT_EQ(MiniHtmlBiDiFlags(0, true), unsigned(tfSingleLine | tfBottom | tfNoPrefix));
    EXPECT_EQ(MiniHtmlBiDiFlags(1, false), unsigned(tfSingleLine | tfBottom | tfNoPrefix | tfRtlReading | tfRight | tfEndEllipsis));
    EXPECT_EQ(MiniHtmlBiDiFlags(3, true), unsigned(tfSingleLine | tfBottom | tfNoPrefix | tfRtlReading));
}

TEST(MiniHtmlPictures, PrintingAndSystemIcons)
{
    const TCustomImageList list = ThreeImages();
    Surface s(100, 60);
    s.Render("<IMG SRC=\"IDX:2\">", Rect(0, 0, 100, 60), [&](TMiniHtmlParams& p) {
        p.Images = &list;
        p.Printing = true;
        p.PrintScale = 2.0;
    });
    // Printed: stretched by the print scale.
    EXPECT_EQ(s.Count(clBlue, Rect(0, 0, 100, 60)), 32 * 32);
    EXPECT_EQ(s.Count(clBlue, Rect(1, 0, 33, 32)), 32 * 32);
    // System icons take the size of the small or large icon.
    EXPECT_EQ(s.Measure("<IMG SRC=\"SSYS:/tmp\">").MaxLineWidth, 16);
    EXPECT_EQ(s.Measure("<IMG SRC=\"LSYS:/tmp\">").TotalHeight, 32);
    EXPECT_EQ(s.Measure("<IMG SRC=\"LSYS:3\">").MaxLineWidth, 32);
}

TEST(MiniHtmlDraw, OverflowIsCutWithAnEllipsis)
{
    // Without word wrap a line too wide ends in "..." inside the rectangle.
    Surface s(150, 20);
    s.Render("WWWWWWWWWWWWWWWWWWWW", Rect(0, 0, 60, 20));
    EXPECT_EQ(s.Count(clBlack, Rect(60, 0, 150, 20)), 0);
    EXPECT_GT(s.Count(clBlack, Rect(0, 0, 60, 20)), 20);
    Surface dots(150, 20);
    TRect r = Rect(1, 0, 60, LineH());
    dots.canvas->DrawText("WWWWWWWWWWWWWWWWWWWW", r, tfSingleLine | tfBottom | tfNoPrefix | tfEndEllipsis);
    EXPECT_EQ(s.img, dots.img);
}

TEST(MiniHtmlDraw, SelectRotatedFont)
{
    Surface s;
    const TCanvasFontState before = SelectRotatedFont(*s.canvas, 90);
    EXPECT_EQ(s.canvas->FontEscapement(), 900);
    EXPECT_EQ(before.Escapement, 0);
    EXPECT_EQ(before.Font, TestFont());
    // The turned font is given up by </R>: the text after it is level again.
    Surface a(100, 40), b(100, 40);
    a.Render("<R a=\"90\">W</R>x", Rect(0, 0, 100, 40));
    b.Render("<R a=\"90\">W</R>", Rect(0, 0, 100, 40));
    const int xLeft = 1 + Adv("W");
    EXPECT_GT(a.Count(clBlack, Rect(xLeft, 0, xLeft + Adv("x"), 40)), 0);
    EXPECT_EQ(b.Count(clBlack, Rect(xLeft, 0, 100, 40)), 0);
    // The turned W stands above the line's bottom, inside the rectangle's width.
    EXPECT_GT(b.Count(clBlack, Rect(0, 0, xLeft, LineH())), 5);
}

TEST(MiniHtmlText, PlainTextOnceWhenDrawing)
{
    // Drawing runs two passes per line; the plain text holds each run once.
    Surface s;
    EXPECT_EQ(s.Render("a<B>b</B><BR>c", Rect(0, 0, 200, 60)).PlainText, "ab\rc");
    EXPECT_EQ(s.Render("a<B>b</B><BR>c", Rect(0, 0, 200, 60), [](TMiniHtmlParams& p) { p.HitTestOnly = true; }).PlainText, "ab\rc");
}
