#include "common/TestSupport.h"
#include "controls/ExtUtil.h"
#include "platform/Exception.h"
#include "platform/Files.h"

#include <QDate>
#include <QDateTime>
#include <gtest/gtest.h>

// Readable failure output for texts.

namespace {

constexpr QChar CR = QChar(13);
constexpr QChar LF = QChar(10);

TDateTime At(int y, int m, int d, int h = 0, int mi = 0, int s = 0)
{
    TDateTime t = 0;
    EXPECT_TRUE(TryEncodeTime(h, mi, s, 0, t));
    return EncodeDate(y, m, d) + t;
}

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

} // namespace

// ---------------------------------------------------------------------------
// Cell codings

TEST(CellCoding, LineBreakCodings)
{
    const QString ab = QStringLiteral("a\r\nb");
    EXPECT_EQ(CsvQuoteMultiline(ab), QString("\"a") + QChar(11) + "b\"");
    EXPECT_EQ(CsvQuoteMultiline("ab"), "\"ab\"");
    EXPECT_EQ(VTToCRLF(QString("a") + QChar(11) + "b"), ab);
    EXPECT_EQ(VTToCRLF("a\rb"), "a\rb");

    EXPECT_EQ(CRToTilde(ab), "a~b");
    EXPECT_EQ(TildeToCRLF("a~b"), ab);
    EXPECT_EQ(TildeToCRLF("^"), "");
    EXPECT_EQ(TildeToCRLF("a^"), "a^");

    EXPECT_EQ(CRToEscapedNewline(ab), "a\\nb");
    EXPECT_EQ(EscapedNewlineToCR("a\\nb\\n"), "a\rb\r");
    EXPECT_EQ(CRLFToLF("a\r\nb\rc"), "a\nb\rc");
    EXPECT_EQ(StripCR("a\r\nb\r"), "a\nb");
    EXPECT_EQ(CRToLF("a\r\nb"), "a\n\nb");
    EXPECT_EQ(CRToHtmlBreak(ab), "a<br>\nb");
    EXPECT_EQ(CRToHtmlBreak("a\nb"), "a\nb");
    EXPECT_EQ(DoubleQuoteChars("say \"hi\""), "say \"\"hi\"\"");
    EXPECT_EQ(UndoubleChar('"', "a\"\"b\"\"\"c"), "a\"b\"\"c");
    EXPECT_EQ(UndoubleChar('x', "abc"), "abc");
}

TEST(CellCoding, SingleLineFormRoundTrip)
{
    const QString multi = QString("one\r\ntwo") + QChar(0) + "\r\nthree";
    const QString single = MultilineToSingleLine(multi);
    EXPECT_FALSE(single.contains(CR));
    EXPECT_FALSE(single.contains(LF));
    EXPECT_FALSE(single.contains(QChar(0)));
    EXPECT_EQ(SingleLineToMultiline(single, true), multi);
    EXPECT_EQ(SingleLineToMultiline(single, false), "one");
    // Without a CR nothing is coded; without character 8 nothing is decoded.
    const QString plain = QString("a") + QChar(0) + "b" + QChar(9);
    EXPECT_EQ(MultilineToSingleLine(plain), plain);
    EXPECT_EQ(SingleLineToMultiline(plain, true), plain);
}

TEST(CellCoding, WideTextRoundTrip)
{
    const QString aZh = QString("A") + QChar(0x0416);
    const QString coded = EncodeWideCellText(aZh);
    EXPECT_EQ(coded, QString("|\\") + QChar(0) + "A" + QChar(4) + QChar(22));
    EXPECT_EQ(DecodeWideCellText(coded), aZh);
    EXPECT_EQ(EncodeWideCellText(""), "|\\");

    const QString samples[] = {Q("Grüße"), Q("日本語"), QString(QChar(0xFFFF)) + QChar(0) + QChar(0x100), Q("|\\x")};
    for (const QString& s : samples) EXPECT_EQ(DecodeWideCellText(EncodeWideCellText(s)), s) << s.toStdString();

    EXPECT_EQ(DecodeWideCellText("plain"), "plain");
    // An odd last character is ignored.
    EXPECT_EQ(DecodeWideCellText(QString("|\\") + QChar(0) + "A" + QChar(0)), "A");
}

TEST(CellCoding, OemConversionUsesCodePage850)
{
    // In code page 850 "ü" is byte 0x81 and "é" byte 0x82.
    const QString oem = AnsiTextToOem(Q("üé"));
    EXPECT_EQ(EncodeAnsi(oem), QByteArray("\x81\x82"));
    const QString text = Q("Grüße, Ålesund: 1½ €?");
    EXPECT_EQ(OemTextToAnsi(AnsiTextToOem(Q("Grüße, Ålesund: 1½"))), Q("Grüße, Ålesund: 1½"));
    // A character the OEM code page lacks (the euro sign) becomes "?".
    EXPECT_EQ(OemTextToAnsi(AnsiTextToOem(text)), Q("Grüße, Ålesund: 1½ ??"));
}

// ---------------------------------------------------------------------------
// Numbers

struct NumericCase {
    const char* text;
    int kind;
};

// Readable parameter names in test lists.
void PrintTo(const NumericCase& c, std::ostream* os) { *os << '[' << c.text << "] is " << c.kind; }

class ClassifyNumeric : public ::testing::TestWithParam<NumericCase> {};

TEST_P(ClassifyNumeric, WithCommaThousandsAndPointDecimals)
{
    EXPECT_EQ(ClassifyNumericText(QString::fromUtf8(GetParam().text), DayMonthYear()), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Table, ClassifyNumeric,
                         ::testing::Values(NumericCase{"123", 0}, NumericCase{"-123", 0}, NumericCase{"12-3", 2},
                                           NumericCase{"1,234.5", 1}, NumericCase{"1,23", 1}, NumericCase{"1,2,3", 2},
                                           NumericCase{"1.5e-3", 5}, NumericCase{"e5", 2}, NumericCase{"1e", 2},
                                           NumericCase{"", 2}, NumericCase{"1.2.3", 2}, NumericCase{"-", 0},
                                           NumericCase{"1,234,567.25", 1}, NumericCase{"--1", 2},
                                           NumericCase{"1E5", 5}, NumericCase{"1e+", 2}, NumericCase{"1,2e5", 2},
                                           NumericCase{"-1.5e-3", 5}, NumericCase{"1-.5e--3", 2},
                                           NumericCase{"12a", 2}, NumericCase{"1e5e", 2}));

TEST(Numbers, ClassifyFollowsTheLocaleSeparators)
{
    FormatSettings de = DayMonthYear();
    de.DecimalSeparator = ',';
    de.ThousandSeparator = '.';
    EXPECT_EQ(ClassifyNumericText("1.234,5", de), 1);
    EXPECT_EQ(ClassifyNumericText("1,2,3", de), 2);
    EXPECT_EQ(ClassifyNumericText("1,5e3", de), 5);
    EXPECT_EQ(ClassifyNumericText("1.5e3", de), 2);
}

TEST(Numbers, NormalizeForConversion)
{
    const FormatSettings fs = DayMonthYear();
    const std::pair<const char*, const char*> cases[] = {
        {"(1,234.50)", "-1234.50"}, {"USD 12", "12"}, {"", ""},        {"  -5 ", "-5"},
        {"12 kg", "12"},            {"1.5e+3", "1.5e+3"}, {"x", ""}, {"$-7", "-7"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(NormalizeNumericText(in, fs), out) << in;

    FormatSettings de = fs;
    de.DecimalSeparator = ',';
    de.ThousandSeparator = '.';
    EXPECT_EQ(NormalizeNumericText("1.234,5 EUR", de), "1234.5");
}

TEST(Numbers, CharacterTests)
{
    FormatSettings de = DayMonthYear();
    de.DecimalSeparator = ',';
    de.ThousandSeparator = QChar(0x00A0);
    EXPECT_TRUE(IsDigitChar('7'));
    EXPECT_FALSE(IsDigitChar('x'));
    // Every Unicode number counts: another script's digit, a Roman numeral,
    // a superscript.
    EXPECT_TRUE(IsDigitChar(QChar(0x0663)));
    EXPECT_TRUE(IsDigitChar(QChar(0x2163)));
    EXPECT_TRUE(IsDigitChar(QChar(0x00B2)));
    EXPECT_FALSE(IsDigitChar(QChar(0x00B7)));
    EXPECT_TRUE(IsDigitOrMinus('-'));
    EXPECT_FALSE(IsDigitOrMinus('+'));
    EXPECT_TRUE(IsNumericChar(QChar(0x00A0), de));
    EXPECT_FALSE(IsNumericChar('.', de));
    EXPECT_FALSE(IsNumericChar('+', de));
    EXPECT_TRUE(IsSignedNumericChar('+', de));
    EXPECT_TRUE(IsPlainNumberChar(','));
    EXPECT_FALSE(IsPlainNumberChar(QChar(0x00A0)));
}

// ---------------------------------------------------------------------------
// Dates

struct LocaleDateCase {
    const char* text;
    bool ok;
    bool stored;
    TDateTime value;
};

void PrintTo(const LocaleDateCase& c, std::ostream* os)
{
    *os << '[' << c.text << "] " << (c.ok ? "true" : "false") << (c.stored ? ", value stored" : ", no value");
}

class LocaleDate : public ::testing::TestWithParam<LocaleDateCase> {};

TEST_P(LocaleDate, DayMonthYearFormat)
{
    const LocaleDateCase& c = GetParam();
    TDateTime v = -12345;
    EXPECT_EQ(ParseDateByShortFormat(QString::fromUtf8(c.text), v, DayMonthYear()), c.ok);
    if (c.stored) EXPECT_NEAR(v, c.value, 1e-9);
    else EXPECT_EQ(v, -12345);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LocaleDate,
    ::testing::Values(LocaleDateCase{"31/12/2020 23:59:59", true, true, At(2020, 12, 31, 23, 59, 59)},
                      LocaleDateCase{"31/12/2020 10:30", true, true, At(2020, 12, 31, 10, 30)},
                      LocaleDateCase{"31/12/2020", true, true, At(2020, 12, 31)},
                      LocaleDateCase{"32/12/2020", false, false, 0},
                      LocaleDateCase{"31/12/2020 10", false, true, At(2020, 12, 31)},
                      LocaleDateCase{"31/02/2020", false, false, 0},
                      LocaleDateCase{"31/12/2020 10:30:60", false, false, 0},
                      LocaleDateCase{"31/12/2020 24:00", false, false, 0},
                      LocaleDateCase{"31/12/2020 10:60", false, false, 0},
                      LocaleDateCase{"1/13/2020", false, false, 0},
                      LocaleDateCase{"01/02/20", true, true, At(20, 2, 1)},
                      LocaleDateCase{"a/02/2020", false, false, 0},
                      LocaleDateCase{"01/02", false, false, 0},
                      LocaleDateCase{"0102 2020", false, false, 0},
                      LocaleDateCase{"", false, false, 0},
                      LocaleDateCase{"  1/2/2020  ", true, true, At(2020, 2, 1)}));

TEST(Dates, ShortFormatOrderComesFromTheFormat)
{
    FormatSettings us = DayMonthYear();
    us.ShortDateFormat = QStringLiteral("M/d/yy");
    TDateTime v = 0;
    ASSERT_TRUE(ParseDateByShortFormat("12/31/2020 8:05", v, us));
    EXPECT_NEAR(v, At(2020, 12, 31, 8, 5), 1e-9);

    FormatSettings iso = DayMonthYear();
    iso.ShortDateFormat = QStringLiteral("yyyy-MM-dd");
    iso.DateSeparator = '-';
    iso.TimeSeparator = '.';
    ASSERT_TRUE(ParseDateByShortFormat("2021-03-04 1.02.03", v, iso));
    EXPECT_NEAR(v, At(2021, 3, 4, 1, 2, 3), 1e-9);
}

TEST(Dates, ShortDatesWithYearCompletion)
{
    EXPECT_EQ(ParseDateDMY("1-2-3"), EncodeDate(2003, 2, 1));
    EXPECT_EQ(ParseDateDMY("1/2-3"), 0);
    EXPECT_EQ(ParseDateMDY("2/1/3"), EncodeDate(2003, 2, 1));
    EXPECT_EQ(ParseDateDMY("05.06.25"), EncodeDate(2025, 6, 5));
    EXPECT_EQ(ParseDateDMY("05.06.26"), EncodeDate(1926, 6, 5));
    EXPECT_EQ(ParseDateMDY("05/06/99"), EncodeDate(1999, 5, 6));
    // Four-digit years are taken as written.
    EXPECT_EQ(ParseDateMDY("05/06/2024"), EncodeDate(2024, 5, 6));
    EXPECT_EQ(ParseDateDMY("05/06/1925"), EncodeDate(1925, 6, 5));
    EXPECT_EQ(ParseDateDMY("no date"), 0);
    EXPECT_EQ(ParseDateDMY("1/2/x"), 0);
    EXPECT_EQ(ParseDateDMY("1/2/2020 10:00"), 0);
    EXPECT_THROW(ParseDateDMY("31/02/2020"), EConvertError);
    EXPECT_THROW(ParseDateMDY("13/01/2020"), EConvertError);
}

TEST(Dates, TwoDateSeparators)
{
    const FormatSettings fs = DayMonthYear();
    EXPECT_TRUE(HasTwoDateSeparators("1/2/3", fs));
    EXPECT_TRUE(HasTwoDateSeparators("12/2/", fs));
    EXPECT_FALSE(HasTwoDateSeparators("/2/3", fs));
    EXPECT_FALSE(HasTwoDateSeparators("1//3", fs));
    EXPECT_FALSE(HasTwoDateSeparators("1/23", fs));
    EXPECT_FALSE(HasTwoDateSeparators("1-2-3", fs));
}

TEST(Dates, SeriesSteps)
{
    const TDateTime dec15 = At(2020, 12, 15, 6);
    EXPECT_NEAR(IncDateParts(0, 1, 0, 0, dec15), At(2021, 1, 15, 6), 1e-9);
    EXPECT_NEAR(IncDateParts(0, -1, 0, 0, At(2021, 1, 15)), At(2020, 12, 15), 1e-9);
    EXPECT_NEAR(IncDateParts(0, 0, 3, 0, dec15), At(2020, 12, 18, 6), 1e-9);
    EXPECT_NEAR(IncDateParts(2, 0, 0, 0, dec15), At(2022, 12, 15, 6), 1e-9);
    EXPECT_NEAR(IncDateParts(1, 1, 0, 0.5, dec15), dec15 + 0.5, 1e-9);
    EXPECT_NEAR(IncDateParts(0, 0, 0, 7, dec15), dec15 + 7, 1e-9);
    EXPECT_THROW(IncDateParts(0, 1, 0, 0, At(2021, 1, 31)), EConvertError);
    EXPECT_THROW(IncDateParts(1, 0, 0, 0, At(2020, 2, 29)), EConvertError);
    EXPECT_THROW(IncDateParts(0, 14, 0, 0, dec15), EConvertError);
}

TEST(Dates, ValuesCountDaysFrom1899)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    int y = 0, m = 0, d = 0;
    DecodeDate(At(2024, 2, 29, 13), y, m, d);
    EXPECT_EQ(QDate(y, m, d), QDate(2024, 2, 29));
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
}

// ---------------------------------------------------------------------------
// HTML and clipboard

namespace {
int HeaderNumber(const QByteArray& data, const char* name)
{
    const qsizetype p = data.indexOf(name);
    EXPECT_GE(p, 0) << name;
    const qsizetype start = p + qsizetype(qstrlen(name));
    const qsizetype end = data.indexOf("\r\n", start);
    EXPECT_EQ(end - start, 8) << name;
    return data.mid(start, end - start).toInt();
}
} // namespace

TEST(Html, ClipboardWrapperOffsetsAreUtf8Bytes)
{
    const QString fragments[] = {Q(""), Q("<table><tr><td>x</td></tr></table>"), Q("<td>Grüße 日本 €</td>")};
    for (const QString& f : fragments) {
        const QByteArray data = WrapClipboardHtml(f);
        ASSERT_TRUE(data.startsWith("Version:1.0\r\nStartHTML:"));
        const int startHtml = HeaderNumber(data, "StartHTML:");
        const int endHtml = HeaderNumber(data, "EndHTML:");
        const int startFrag = HeaderNumber(data, "StartFragment:");
        const int endFrag = HeaderNumber(data, "EndFragment:");
        EXPECT_EQ(startHtml, 97);
        EXPECT_TRUE(data.mid(startHtml).startsWith("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">"));
        EXPECT_TRUE(data.left(startFrag).endsWith("<!--StartFragment-->"));
        EXPECT_EQ(data.mid(startFrag, endFrag - startFrag), f.toUtf8());
        EXPECT_EQ(data.mid(endFrag), "<!--EndFragment--></body></html>");
        EXPECT_EQ(endHtml, data.size());
        EXPECT_TRUE(data.contains("charset=utf-8"));
    }
}

TEST(Html, TextWithLinkBecomesAnchor)
{
    QString html = QStringLiteral("untouched");
    EXPECT_FALSE(TextToHtmlWithLinks("no link here", "HTTP://", html));
    EXPECT_EQ(html, "untouched");

    ASSERT_TRUE(TextToHtmlWithLinks("see Http://x.org/a_b?q=1 <now> & then", "HTTP://", html));
    EXPECT_EQ(html, "see <a href=\"Http://x.org/a_b\">Http://x.org/a_b</a>?q=1 &lt;now&gt; &amp; then");

    ASSERT_TRUE(TextToHtmlWithLinks("a<b mail: www.x-y.com/{p}%20(1)", "WWW.", html));
    EXPECT_EQ(html, "a&lt;b mail: <a href=\"www.x-y.com/{p}%20(1)\">www.x-y.com/{p}%20(1)</a>");
}

TEST(Html, ColorHexIsRedGreenBlue)
{
    EXPECT_EQ(ColorToHtmlHex(RGBColor(0x12, 0xAB, 0x0F)), "12AB0F");
    EXPECT_EQ(ColorToHtmlHex(clBlue), "0000FF");
    EXPECT_EQ(ColorToHtmlHex(clWindow), ColorToHtmlHex(ColorToRGB(clWindow)));
}

// ---------------------------------------------------------------------------
// Cell-text tests and small functions

TEST(CellText, Kinds)
{
    const std::pair<QString, int> plain[] = {
        {"", 0},
        {"=A1+1", 3},
        {"{\\rtf1 x}", 2},
        {EncodeWideCellText("=x"), 3},
        {EncodeWideCellText("x="), 5},
        {EncodeWideCellText("="), 5},
        {"a</b>", 0},
        {"plain", 0},
    };
    for (const auto& [text, kind] : plain) EXPECT_EQ(DetectCellTextKind(text, false), kind) << text.toStdString();
    const std::pair<QString, int> html[] = {
        {"a</b>", 1}, {"<B>x", 1}, {"<I>x", 1}, {"<CONTROL>", 1}, {"<b>x", 0}, {"a < b", 0}, {"=<B>", 3},
    };
    for (const auto& [text, kind] : html) EXPECT_EQ(DetectCellTextKind(text, true), kind) << text.toStdString();
}

TEST(CellText, UrlsAndReferences)
{
    EXPECT_TRUE(TextIsUrl("http://x"));
    EXPECT_TRUE(TextIsUrl("write to mailto:me@x"));
    EXPECT_FALSE(TextIsUrl("www.x.com"));
    QString s = "see http://a://b";
    RemoveUrlScheme(s);
    EXPECT_EQ(s, "a://b");
    s = "mailto:me@x";
    RemoveUrlScheme(s);
    EXPECT_EQ(s, "me@x");
    s = "plain";
    RemoveUrlScheme(s);
    EXPECT_EQ(s, "plain");

    QPoint p(-1, -1);
    EXPECT_TRUE(ParseRowColRef("R12C3", p));
    EXPECT_EQ(p, QPoint(3, 12));
    EXPECT_TRUE(ParseRowColRef("r1c20", p));
    EXPECT_EQ(p, QPoint(20, 1));
    p = QPoint(-1, -1);
    for (const char* bad : {"R1C", "RC12", "A1C2", "R1X2", "R1", "R1Cx"}) EXPECT_FALSE(ParseRowColRef(bad, p)) << bad;
    EXPECT_EQ(p, QPoint(-1, -1));
}

TEST(CellText, ProperCase)
{
    const std::pair<const char*, const char*> cases[] = {
        {"o'brien-smith", "O'Brien-Smith"}, {"ronald mcdonald", "Ronald McDonald"}, {"henry iii", "Henry III"},
        {"MACDONALD", "Macdonald"},         {"mcbride", "McBride"},                  {"john ii", "John II"},
        {"i am here", "I Am Here"},         {"", ""},                                {"st.john,x", "St.John,X"},
        // Only the first " Mc" of the text capitalises the letter after it.
        {"ann mcbride mcdonald", "Ann McBride Mcdonald"}, {"mcx mcy mcz", "McX McY Mcz"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(ProperCaseText(in), out) << in;
}

TEST(CellText, TokensAndLines)
{
    QString s = "abc";
    EXPECT_EQ(ExtractToken(s, ","), "");
    EXPECT_EQ(s, "abc");
    s = "a,b,c";
    EXPECT_EQ(ExtractToken(s, ","), "a");
    EXPECT_EQ(s, "b,c");
    s = "a::b";
    EXPECT_EQ(ExtractToken(s, "::"), "a");
    EXPECT_EQ(s, ":b");

    QString first;
    s = "one\r\ntwo\rthree";
    ExtractFirstLine(s, true, first);
    EXPECT_EQ(first, "one");
    EXPECT_EQ(s, "two\rthree");
    ExtractFirstLine(s, false, first);
    EXPECT_EQ(first, "two");
    EXPECT_EQ(s, "");
    s = "single";
    ExtractFirstLine(s, true, first);
    EXPECT_EQ(first, "single");
    EXPECT_EQ(s, "");

    EXPECT_EQ(LineCountOf("a\r\nb\r\nc", true), 3);
    EXPECT_EQ(LineCountOf("a\r\nb\r\nc", false), 1);
}

TEST(CellText, ClosingQuotes)
{
    const std::pair<const char*, int> cases[] = {
        {"abc\",x", 4},    // the quote before the separator
        {"a\"\"b\",x", 5}, // a doubled quote is skipped
        {"abc\"", 4},      // a quote at the end
        {"ab\"\"", 4},     // ends with a quote, whatever the run
        {"abc", 0},
        {"a\"\"b", 0},
        {"", 0},
        {"\"\"\",", 3},
    };
    for (const auto& [text, pos] : cases) EXPECT_EQ(FindClosingQuote('"', text), pos) << text;
    EXPECT_EQ(CountClosingQuotes('"', "a\",b\",c\""), 3);
    EXPECT_EQ(CountClosingQuotes('"', "a\"\"b"), 0);
    EXPECT_EQ(CountClosingQuotes('\'', "x',y'"), 2);
}

TEST(CellText, SmallFunctions)
{
    EXPECT_EQ(CharCount('a', "banana"), 3);
    EXPECT_EQ(CharPos('n', "banana"), 3);
    EXPECT_EQ(CharPos('x', "banana"), 0);
    int pos = 99;
    EXPECT_EQ(CharPosVar('x', "banana", pos), 0);
    EXPECT_EQ(pos, 99);
    EXPECT_EQ(CharPosVar('b', "banana", pos), 1);
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(PosVar("na", "banana", pos), 3);
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(UpperTextPos("NA", "banana"), 3);
    EXPECT_EQ(UpperTextPos("na", "banana"), 0);
    EXPECT_EQ(WidePos(Q("日"), Q("x日本")), 2);
    QString s = "abc";
    FillWithChar(s, '*');
    EXPECT_EQ(s, "***");
    EXPECT_EQ(ConcatStrings({"a", "", "bc"}), "abc");

    const int clamp[][4] = {
        // value, min, max, result
        {5, 7, 7, 5},   {5, 10, 20, 10}, {25, 10, 20, 20}, {15, 10, 20, 15},
        {-5, 0, 20, -5}, {25, 10, 0, 25}, {5, 10, 0, 10},
    };
    for (const auto& c : clamp) EXPECT_EQ(ClampToLimits(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
    EXPECT_EQ(IntMax(-3, 2), 2);
    EXPECT_EQ(IntMin(-3, 2), -3);

    struct R {
        int Left, Top, Right, Bottom;
    } r{1, 2, 3, 4};
    EXPECT_TRUE(CellInGridRect(r, 1, 2));
    EXPECT_TRUE(CellInGridRect(r, 3, 4));
    EXPECT_FALSE(CellInGridRect(r, 0, 3));
    EXPECT_FALSE(CellInGridRect(r, 2, 5));
}
