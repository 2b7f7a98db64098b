#include "common/PixelSupport.h"
#include "common/TestSupport.h"
#include "controls/EsgHTMLE.h"
#include "controls/EsgHTMLUtil.h"
#include "controls/ExtXPVS.h"
#include "controls/PictureContainer.h"
#include "platform/ImageList.h"

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
        r = s.Render(text, Rect(0, 0, 200, 60), [&](TMiniHtmlParams& p) {
            p.HitX = hx;
            p.HitY = hy;
        });
        EXPECT_FALSE(r.Hit);
        EXPECT_EQ(r.HitAnchorNumber, -1);
        EXPECT_EQ(r.HitAnchorRef, "");
    }
}
