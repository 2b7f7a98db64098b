#include "common/TestSupport.h"
#include "controls/ExtFilter.h"

#include <QRandomGenerator>
#include <functional>
#include <gtest/gtest.h>


namespace {

struct FilterCase {
    const char* condition;
    const char* value;
    bool caseSensitive;
    bool result;
};

std::ostream& operator<<(std::ostream& os, const FilterCase& c)
{
    return os << "[" << c.condition << "] on [" << c.value << "]" << (c.caseSensitive ? " case-sensitive" : "");
}

} // namespace

class FilterExpression : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterExpression, Matches)
{
    const FilterCase& c = GetParam();
    EXPECT_EQ(MatchFilterExpression(QString::fromUtf8(c.condition), QString::fromUtf8(c.value), c.caseSensitive,
                                    DayMonthYear()),
              c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FilterExpression,
    ::testing::Values(FilterCase{">5", "7", false, true}, FilterCase{">5", "5", false, false},
                      FilterCase{">=5", "5", false, true}, FilterCase{"<=5", "5.0", false, true},
                      FilterCase{">b", "c", false, true}, FilterCase{">10", "9", false, false},
                      FilterCase{">01/02/2020", "15/03/2020", false, true}, FilterCase{"a*", "abc", false, true},
                      FilterCase{"a?c", "abc", false, true}, FilterCase{"a?c", "ac", false, false},
                      FilterCase{"*c", "abc", false, true}, FilterCase{"a*", "ba", false, false},
                      FilterCase{"!a*", "abc", false, false}, FilterCase{"!a*", "xyz", false, true},
                      FilterCase{"a|b", "b", false, true}, FilterCase{"a&b", "a", false, false},
                      FilterCase{"a|b&c", "a", false, false}, FilterCase{"(a|b)&c*", "b", false, false},
                      FilterCase{"(x|c*)&c*", "cat", false, true}, FilterCase{"=abc", "abc", false, true},
                      FilterCase{"abc", "ABC", false, true}, FilterCase{"abc", "ABC", true, false},
                      FilterCase{"\"a b\"", "a b", false, true}, FilterCase{"a b", "ab", false, true},
                      FilterCase{"\">5&<10\"", "7", false, true}, FilterCase{"\">5&<10\"", "12", false, false},
                      FilterCase{"", "", false, true}, FilterCase{"", "x", false, false},
                      // Beyond the basic table.
                      FilterCase{"<5", "4.5", false, true}, FilterCase{"<5", "5", false, false},
                      FilterCase{">1,000", "999", false, false}, FilterCase{">1,000", "1,500.5", false, true},
                      FilterCase{">-2", "-1", false, true}, FilterCase{"<1e3", "999", false, true},
                      FilterCase{">31/12/2019", "01/01/2020", false, true},
                      FilterCase{"<01/02/2020", "15/03/2020", false, false},
                      FilterCase{">=\"15/03/2020 10:00\"", "15/03/2020 10:00", false, true},
                      FilterCase{">\"15/03/2020 10:00\"", "15/03/2020 10:00", false, false},
                      FilterCase{">\"15/03/2020 10:00\"", "15/03/2020 10:01", false, true},
                      FilterCase{"\"<5^>10\"", "3", false, true}, FilterCase{"\"<5^>10\"", "7", false, false},
                      FilterCase{"\"<5^>10\"", "11", false, true}, FilterCase{"\"<5^>10\"", "5", false, false},
                      FilterCase{"\"<5^>10\"", "5.5", false, false}, FilterCase{"\">10^<5\"", "7", false, false},
                      FilterCase{"\">10^<5\"", "4", false, true}, FilterCase{"a;b", "b", false, true},
                      FilterCase{"a^b", "a", false, true}, FilterCase{"a&b|c", "c", false, true},
                      FilterCase{"((a|b))", "b", false, true}, FilterCase{"x|(a|b)", "b", false, true},
                      FilterCase{"a(b)", "b", false, false}, FilterCase{"a(b)", "a", false, true},
                      FilterCase{"*", "", false, true}, FilterCase{"**a**", "a", false, true},
                      FilterCase{"a*b*c", "aXbYbZc", false, true}, FilterCase{"a*b*c", "aXbYbZ", false, false},
                      FilterCase{"?", "", false, false}, FilterCase{"\"a b\"*", "a bc", false, true},
                      FilterCase{"A*", "abc", true, false}, FilterCase{"!*x*", "abc", false, true},
                      // A "!" is read where the walk through the pattern reaches it.
                      FilterCase{"a!b", "ab", false, false}, FilterCase{"a!b", "xb", false, false},
                      FilterCase{"*!x", "x", false, true}, FilterCase{"a*!b", "ab", false, true},
                      FilterCase{"!a*!b", "ab", false, false},
                      FilterCase{">\"b c\"", "b d", false, true}, FilterCase{">\"b c\"", "b b", false, false},
                      // A group without its ")" takes the rest of the condition.
                      FilterCase{"(a|b", "b", false, true}, FilterCase{"(a|b", "c", false, false},
                      FilterCase{"c|(a", "c", false, true}, FilterCase{"x&(((", "x", false, false},
                      FilterCase{"(", "", false, true}));

TEST(FilterSteps, Helpers)
{
    EXPECT_EQ(StripBlanksOutsideQuotes("a b \"c d\" e"), "ab\"c d\"e");
    EXPECT_EQ(FindUnquotedSeparator("\"a|b\"|c"), 6);
    EXPECT_EQ(FindUnquotedSeparator("abc"), 0);
    EXPECT_EQ(FindUnquotedSeparator("a(b"), 2);
    EXPECT_EQ(FindClosingParen("(a(b)c)d"), 7);
    EXPECT_EQ(FindClosingParen("(a(b)c"), 0);
    FormatSettings de = DayMonthYear();
    de.DecimalSeparator = ',';
    de.ThousandSeparator = '.';
    EXPECT_EQ(NumberTextForConversion("1.234,5 x", de), "1234.5 x");
}

TEST(FilterSteps, ComparisonsUseTheInjectedLocale)
{
    FormatSettings de = DayMonthYear();
    de.DecimalSeparator = ',';
    de.ThousandSeparator = '.';
    de.DateSeparator = '.';
    de.ShortDateFormat = QStringLiteral("dd.MM.yyyy");
    EXPECT_TRUE(MatchFilterExpression("<=1,5", "1,25", false, de));
    EXPECT_FALSE(MatchFilterExpression("<=1,5", "2", false, de));
    EXPECT_TRUE(MatchFilterExpression(">1.000", "1.000,5", false, de));
    // Dates win over numbers: 02.01.2020 is a date here, not a number.
    EXPECT_TRUE(MatchFilterExpression(">01.02.2020", "15.03.2020", false, de));
    EXPECT_FALSE(MatchFilterExpression(">15.03.2020", "01.04.2019", false, de));
}

TEST(FilterSteps, DeepGroupsEndWithoutExhaustingTheStack)
{
    const FormatSettings fs = DayMonthYear();
    const QString open(20000, QChar('('));
    const QString close(20000, QChar(')'));
    EXPECT_FALSE(MatchFilterExpression(open + "a", "b", false, fs));
    EXPECT_FALSE(MatchFilterExpression(open + "a" + close, "b", false, fs));
    // Moderate nesting still evaluates the groups.
    const QString open10(10, QChar('(')), close10(10, QChar(')'));
    EXPECT_TRUE(MatchFilterExpression(open10 + "a|b" + close10 + "&b", "b", false, fs));
    EXPECT_TRUE(MatchFilterExpression(open10 + "a|b", "b", false, fs));
}

namespace {

// The plain recursive reading of the wildcard rules, kept small: the
// matcher must give the same answers without its back-tracking cost.
bool ReferenceMatch(const QString& p, qsizetype i, const QString& v, qsizetype j)
{
    bool negate = false;
    for (;;) {
        if (i == p.size()) return negate != (j == v.size());
        const QChar c = p[i];
        if (c == '!' || c == '"') {
            negate = negate || c == '!';
            ++i;
        } else if (c == '*') {
            while (i < p.size() && p[i] == '*') ++i;
            for (qsizetype k = v.size(); k >= j; --k)
                if (ReferenceMatch(p, i, v, k)) return !negate;
            return negate;
        } else if (j < v.size() && (c == '?' || c == v[j])) {
            ++i;
            ++j;
        } else {
            return negate;
        }
    }
}

} // namespace

TEST(FilterWildcard, SameAnswersAsTheRecursiveRules)
{
    QRandomGenerator rng(12345);
    const QString patternChars = QStringLiteral("ab*?*!\"");
    const QString valueChars = QStringLiteral("ab");
    const FormatSettings fs = DayMonthYear();
    for (int n = 0; n < 20000; ++n) {
        QString p, v;
        for (int k = int(rng.bounded(8)); k > 0; --k) p += patternChars[int(rng.bounded(int(patternChars.size())))];
        for (int k = int(rng.bounded(8)); k > 0; --k) v += valueChars[int(rng.bounded(2))];
        ASSERT_EQ(MatchFilterCondition(p, v, fs), ReferenceMatch(p, 0, v, 0)) << p.toStdString() << " / " << v.toStdString();
    }
}
