#include "common/TestSupport.h"
#include "controls/EsgHTMLUtil.h"

#include <gtest/gtest.h>


namespace {
QString Q(const char* utf8) { return QString::fromUtf8(utf8); }
} // namespace

TEST(MiniHtmlText, Strip)
{
    const std::pair<const char*, const char*> cases[] = {
        {"a<B>b</B><br>c", "ab\r\nc"},
        {"5 > 3 <B>x</B>", "5 > 3 x"},
        {"a<b", "a<b"},
        {"x<Hr>y<BR>", "x\r\ny\r\n"},
        {"<FONT color=\"red\">r</FONT>&amp;", "r&amp;"},
        {"a<i>b<c", "ab<c"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(StripMiniHtml(in), out) << in;
    EXPECT_EQ(StripTagsOnly("a<br>b"), "ab");
}

TEST(MiniHtmlText, EscapeAndUnescape)
{
    EXPECT_EQ(EscapeHtmlChars("a<b & c", false), "a&lt;b &amp; c");
    EXPECT_EQ(EscapeHtmlChars("say \"x\" > y", false), "say &quot;x&quot; &gt; y");
    EXPECT_EQ(EscapeHtmlChars(Q("é"), true), "&eacute;");
    EXPECT_EQ(EscapeHtmlChars(Q("é"), false), Q("é"));
    EXPECT_EQ(EscapeHtmlChars(Q("É€©»ß"), true), Q("&Eacute;&euro;&copy;&raquo;ß"));
    EXPECT_EQ(UnescapeHtmlChars("&Eacute;&eacute;&EACUTE;", true), Q("Éé&EACUTE;"));
    EXPECT_EQ(UnescapeHtmlChars("&eacute;", false), "&eacute;");
    EXPECT_EQ(UnescapeHtmlChars("&amp;lt; &lt &nbsp;", false), "&lt; &lt &nbsp;");

    // Every text survives a round trip, also texts that look like entities.
    const QString texts[] = {
        Q("a<b & c"), Q("*amp; and &amp;"), Q("&amp;quot;"), Q("\"&lt;\""), Q("Crème brûlée à 5 € «x»"),
        Q("&eacute; é"), Q("&&;;<<>>"), Q(""),
    };
    for (const QString& t : texts)
        for (bool accents : {false, true})
            EXPECT_EQ(UnescapeHtmlChars(EscapeHtmlChars(t, accents), accents), t) << t.toStdString() << accents;
}

TEST(MiniHtmlText, NonBreakingBlanks) { EXPECT_EQ(SpacesToNbsp(" a  b"), "&nbsp;a&nbsp;&nbsp;b"); }

struct MarkCase {
    const char* text;
    const char* search;
    bool caseSensitive;
    const char* marked;
};

// Readable parameter names in test lists.
void PrintTo(const MarkCase& c, std::ostream* os)
{
    *os << '[' << c.text << "] find [" << c.search << ']' << (c.caseSensitive ? " case-sensitive" : "");
}

class MarkMatches : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MarkMatches, AroundTagsAndBack)
{
    const MarkCase& c = GetParam();
    const QString marked = MarkMatchesInHtml(Q(c.text), Q(c.search), "HI", c.caseSensitive);
    EXPECT_EQ(marked, Q(c.marked));
    // The visible text is unchanged by marking except for escaped angles.
    EXPECT_EQ(UnmarkMatchesInHtml(marked, "hi"), UnmarkMatchesInHtml(Q(c.marked), "HI"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, MarkMatches,
    ::testing::Values(MarkCase{"<B>abc</B>d", "cd", false, "<B>ab<HI>c</B>d</HI>"},
                      MarkCase{"<B>abc</B>d", "C", false, "<B>ab<HI>c</HI></B>d"},
                      MarkCase{"<B>abc</B>d", "C", true, "<B>abc</B>d"},
                      MarkCase{"abab", "ab", true, "<HI>ab</HI><HI>ab</HI>"},
                      MarkCase{"a<B>b</B>ab", "ab", true, "<HI>a<B>b</HI><HI></B>ab</HI>"},
                      MarkCase{"aaa", "aa", true, "<HI>aa</HI>a"},
                      MarkCase{"x<I>y</I>", "xy", true, "<HI>x<I>y</HI></I>"},
                      MarkCase{"abc", "", true, "abc"},
                      MarkCase{"abc", "z", false, "abc"},
                      // Angles in the visible text are escaped before marks go in.
                      MarkCase{"x > y <B>y</B>", "y", true, "x &gt; <HI>y</HI> <HI>y</HI>"},
                      // A "<" with a later ">" starts a tag, as the renderer reads it.
                      MarkCase{"a < b <B>c</B>", "b", true, "a < b <B>c</B>"},
                      MarkCase{"5 > 3 <B>x</B>", "X", false, "5 &gt; 3 <HI>x</HI>"},
                      MarkCase{"a<b", "B", false, "a&lt;<HI>b</HI>"},
                      MarkCase{"a<b", "<", true, "a<HI>&lt;</HI>b"},
                      // A match never lands inside an escaped angle.
                      MarkCase{"5 > 3 <B>total</B>", "T", false, "5 &gt; 3 <HI>t</HI>o<HI>t</HI>al"},
                      MarkCase{"x>y>z", ">Y>", false, "x<HI>&gt;y&gt;</HI>z"},
                      MarkCase{"Straße", "SSE", false, "Straße"},
                      MarkCase{"ÄbÄ", "ä", false, "<HI>Ä</HI>b<HI>Ä</HI>"}));

// The marking done in one pass gives what the step-by-step rule gives: find
// each match in the visible text and insert its two marks at the places
// HtmlPosOfVisibleChar names (an opening mark never before the previous
// closing one, so that adjacent matches do not nest), over many generated texts with tags, stray
// angles and adjacent matches.
TEST(MiniHtmlText, OnePassMarkingFollowsTheStepByStepRule)
{
    const auto stepByStep = [](const QString& text, const QString& search, bool cs) {
        const QString visible = StripTagsOnly(text);
        if (FindNextMatch(visible, search, 0, cs) == 0) return text;
        const bool escaped = visible.contains('<') || visible.contains('>');
        QString working = text;
        if (escaped) working = QString(visible).replace('<', "&lt;").replace('>', "&gt;");
        const auto inWorking = [&](int p) {
            int shift = 0;
            for (int k = 0; escaped && k < p - 1; ++k)
                if (visible[k] == '<' || visible[k] == '>') shift += 3;
            return p + shift;
        };
        qsizetype afterClose = 0;
        for (int from = 0, p; (p = FindNextMatch(visible, search, from, cs)) > 0; from = p - 1 + int(search.size())) {
            working.insert(std::max(qsizetype(HtmlPosOfVisibleChar(working, inWorking(p)) - 1), afterClose), "<HI>");
            const qsizetype close = HtmlPosOfVisibleChar(working, inWorking(p + int(search.size()))) - 1;
            working.insert(close, "</HI>");
            afterClose = close + 5;
        }
        return working;
    };
    const QString alphabet = QStringLiteral("aAb <>/B");
    uint32_t seed = 12345;
    const auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int round = 0; round < 3000; ++round) {
        QString text, search;
        for (uint32_t i = 0, n = next(24); i < n; ++i) text += alphabet[int(next(uint32_t(alphabet.size())))];
        for (uint32_t i = 0, n = 1 + next(3); i < n; ++i) search += alphabet[int(next(uint32_t(alphabet.size())))];
        const bool cs = next(2) == 0;
        ASSERT_EQ(MarkMatchesInHtml(text, search, "HI", cs), stepByStep(text, search, cs))
            << "[" << text.toStdString() << "] find [" << search.toStdString() << "]";
    }
}

TEST(MiniHtmlText, UnmarkRemovesTheTagInAnyCase)
{
    EXPECT_EQ(UnmarkMatchesInHtml("<B>ab<HI>c</B>d</HI>", "hi"), "<B>abc</B>d");
    EXPECT_EQ(UnmarkMatchesInHtml("<hi>a</Hi> &lt;x&gt;", "HI"), "a <x>");
}

TEST(MiniHtmlText, VisiblePositions)
{
    const QString t = "<B>ab</B>c";
    EXPECT_EQ(HtmlPosOfVisibleChar(t, 1), 1);  // before the opening tag
    EXPECT_EQ(HtmlPosOfVisibleChar(t, 2), 5);  // "b"
    EXPECT_EQ(HtmlPosOfVisibleChar(t, 3), 6);  // before "</B>"
    EXPECT_EQ(HtmlPosOfVisibleChar(t, 4), 11); // one past the end
    EXPECT_EQ(HtmlPosOfVisibleChar(t, 5), 0);
    EXPECT_EQ(FindNextMatch("abcabc", "BC", 0, false), 2);
    EXPECT_EQ(FindNextMatch("abcabc", "BC", 2, false), 5);
    EXPECT_EQ(FindNextMatch("abcabc", "BC", 0, true), 0);
}

TEST(MiniHtmlText, IgnoreCaseReplace)
{
    EXPECT_EQ(PosIgnoreCase("amp;", "a&AMP;b"), 3);
    EXPECT_EQ(PosIgnoreCase(Q("é"), Q("É")), 0); // only ASCII letters fold
    EXPECT_EQ(PosIgnoreCase("", "abc"), 0);
    QString s = "x &NBSP; &nbsp;";
    EXPECT_TRUE(ReplaceFirstIgnoreCase("&nbsp;", " ", s));
    EXPECT_EQ(s, "x   &nbsp;");
    EXPECT_FALSE(ReplaceFirstIgnoreCase("&gt;", ">", s));
    EXPECT_EQ(s, "x   &nbsp;");
}
