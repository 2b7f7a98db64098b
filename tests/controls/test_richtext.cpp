#include "common/TestSupport.h"
#include "controls/ExtRichText.h"
#include "platform/Files.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

QFont TestFont()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

TRichTextRun PlainRun(const QString& text)
{
    TRichTextRun r;
    r.Text = text;
    return r;
}

} // namespace

// Failing comparisons print runs readably.
void PrintTo(const TRichTextRun& r, std::ostream* os)
{
    *os << '"' << r.Text.toStdString() << "\" b" << r.Bold << " i" << r.Italic << " u" << r.Underline << " fs"
        << r.FontSize << " f'" << r.FontName.toStdString() << "' c" << (r.Color.isValid() ? r.Color.name().toStdString() : "-")
        << " o" << r.Offset;
}

TEST(RichTextReader, KeepsTheFormattingOfTheSubset)
{
    const TRichTextRuns runs = ParseRichText(QStringLiteral(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}"
        "\\pard plain {\\b bold}{\\i italic}{\\ul under\\ulnone line}"
        "\\fs32 big\\fs20\\cf1 red\\cf2 navy\\cf0\\f1 times\\plain"
        " H{\\dn4 2}O x{\\up4 2}}"));
    TRichTextRun fmt;
    const auto with = [&](const QString& text, auto change) {
        TRichTextRun r = fmt;
        r.Text = text;
        change(r);
        return r;
    };
    fmt.FontName = QStringLiteral("Arial");  // \deff0
    const TRichTextRuns expected = {
        with(QStringLiteral("plain "), [](TRichTextRun&) {}),
        with(QStringLiteral("bold"), [](TRichTextRun& r) { r.Bold = true; }),
        with(QStringLiteral("italic"), [](TRichTextRun& r) { r.Italic = true; }),
        with(QStringLiteral("under"), [](TRichTextRun& r) { r.Underline = true; }),
        with(QStringLiteral("line"), [](TRichTextRun&) {}),
        with(QStringLiteral("big"), [](TRichTextRun& r) { r.FontSize = 32; }),
        with(QStringLiteral("red"), [](TRichTextRun& r) { r.FontSize = 20; r.Color = QColor(255, 0, 0); }),
        with(QStringLiteral("navy"), [](TRichTextRun& r) { r.FontSize = 20; r.Color = QColor(0, 0, 128); }),
        with(QStringLiteral("times"), [](TRichTextRun& r) { r.FontSize = 20; r.FontName = QStringLiteral("Times New Roman"); }),
        with(QStringLiteral("H"), [](TRichTextRun&) {}),
        with(QStringLiteral("2"), [](TRichTextRun& r) { r.Offset = -40; }),
        with(QStringLiteral("O x"), [](TRichTextRun&) {}),
        with(QStringLiteral("2"), [](TRichTextRun& r) { r.Offset = 40; }),
    };
    EXPECT_EQ(runs, expected);
}

TEST(RichTextReader, CharactersBreaksAndSkippedDestinations)
{
    struct Case {
        const char* rtf;
        QString plain;
    };
    const Case cases[] = {
        {"{\\rtf1 a\\par b\\line c\\tab d}", QStringLiteral("a\r\nb\r\nc\td")},
        {"{\\rtf1 caf\\'e9 \\'80}", QString::fromUtf8("café €")},
        {"{\\rtf1\\uc1 \\u937?\\u-10179?\\u-8704? ok}", QString::fromUtf8("Ω😀 ok")},
        {"{\\rtf1\\uc2 \\u937\\'3f\\'3fx}", QString::fromUtf8("Ωx")},
        {"{\\rtf1 \\{\\}\\\\ a\\~b}", QString::fromUtf8("{}\\ a\u00A0b")},
        {"{\\rtf1 line\r\nbreaks\r\n ignored}", QStringLiteral("linebreaks ignored")},
        {"{\\rtf1{\\*\\unknown hidden}{\\info{\\title t}}{\\stylesheet{\\s0 Normal;}}shown}", QStringLiteral("shown")},
        {"{\\rtf1{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}}", QStringLiteral("link")},
        {"{\\rtf1 a\\bin3 xyzb}", QStringLiteral("ab")},
        {"{\\rtf1 end} after", QStringLiteral("end")},
        {"no markup", QStringLiteral("no markup")},
    };
    for (const Case& c : cases) EXPECT_EQ(RichTextToPlainText(QString::fromUtf8(c.rtf)), c.plain) << c.rtf;
}

TEST(RichTextReader, HostileInputEndsWithoutHarm)
{
    // Deep nesting: no recursion, the text inside is still read.
    const QString deep = QString(200000, '{') + QStringLiteral("\\b deep") + QString(200000, '}') + QStringLiteral("tail");
    const TRichTextRuns runs = ParseRichText(deep);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Text, QStringLiteral("deep"));
    EXPECT_TRUE(runs[0].Bold);
    // Closing the deep groups restores the outer formatting.
    EXPECT_EQ(ParseRichText(QStringLiteral("{\\rtf1 ") + QString(100, '{') + QStringLiteral("\\b x") + QString(100, '}') +
                            QStringLiteral("y}")).back(),
              PlainRun(QStringLiteral("y")));

    const char* cut[] = {
        "{\\rtf1{\\b abc",  "{\\rtf1 x\\'4",       "{\\rtf1 x\\'",          "{\\rtf1 x\\",     "{\\rtf1 x\\u",
        "{\\rtf1 x\\u-",    "{\\rtf1 x\\bin99999", "{\\rtf1{\\colortbl\\red", "{\\rtf1{\\fonttbl{\\f0 A", "}}}{\\rtf1 x",
        "{\\rtf1\\fs99999999999999999999 x\\up99999999999 y\\cf-5 z\\f-7 w\\uc99999 \\u99999999 v}",
    };
    for (const char* c : cut) {
        const QString plain = RichTextToPlainText(QString::fromLatin1(c));
        EXPECT_LE(plain.size(), qsizetype(strlen(c))) << c;
    }
    EXPECT_EQ(RichTextToPlainText(QStringLiteral("{\\rtf1{\\b abc")), QStringLiteral("abc"));
    const TRichTextRuns clamped = ParseRichText(QStringLiteral("{\\rtf1\\fs99999999999999999999 x\\up99999999999 y}"));
    ASSERT_EQ(clamped.size(), 2u);
    EXPECT_EQ(clamped[0].FontSize, 3276);
    EXPECT_EQ(clamped[1].Offset, 327670);
}

TEST(RichTextWriter, RoundTripKeepsFormattingAndText)
{
    TRichTextRun bold = PlainRun(QStringLiteral("Bold "));
    bold.Bold = true;
    bold.FontSize = 28;
    TRichTextRun mixed = PlainRun(QString::fromUtf8("ital{}\\ic é€ Ωмир 漢字 😀\tend\u2029next\u2028line"));
    mixed.Italic = true;
    mixed.Underline = true;
    mixed.Color = QColor(0x12, 0x34, 0x56);
    mixed.FontName = QStringLiteral("DejaVu Serif");
    TRichTextRun sup = PlainRun(QStringLiteral("2"));
    sup.Offset = RichSuperscriptOffset;
    sup.Color = QColor(255, 0, 0);
    TRichTextRun sub = PlainRun(QStringLiteral("3"));
    sub.Offset = RichSubscriptOffset;
    const TRichTextRuns runs = {bold, mixed, sup, sub, PlainRun(QStringLiteral(" plain"))};

    const QString rtf = RichTextRunsToRtf(runs);
    EXPECT_TRUE(rtf.startsWith(QStringLiteral("{\\rtf1")));
    EXPECT_TRUE(IsRichText(rtf));
    // The RTF itself is 7-bit: Windows-1252 as \'hh, the rest as \uN.
    for (QChar c : rtf) ASSERT_LT(c.unicode(), 0x80) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains(QStringLiteral("\\'e9"))) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains(QStringLiteral("\\'80")));
    EXPECT_TRUE(rtf.contains(QStringLiteral("\\u937?")));
    EXPECT_EQ(ParseRichText(rtf), runs) << rtf.toStdString();
}

TEST(RichTextDocument, ReadWriteReadThroughADocument)
{
    const QString source = QStringLiteral(
        "{\\rtf1{\\fonttbl{\\f0 DejaVu Sans Mono;}}{\\colortbl ;\\red0\\green128\\blue0;}"
        "\\b B\\b0\\i I\\i0\\ul U\\ulnone\\fs36 S\\fs0\\cf1 G\\cf0 x\\up4 2\\up0\\dn4 3\\dn0\\f0 m\\par\\u8364? \\u1046?}");
    QTextDocument doc;
    doc.setDefaultFont(TestFont());
    LoadRichText(source, doc);
    EXPECT_EQ(DocumentPlainText(doc), QString::fromUtf8("BIUSGx23m\r\n€ Ж"));
    // What the document shows.
    QTextCursor c(&doc);
    c.setPosition(1);
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
    c.setPosition(7);  // after "2"
    EXPECT_EQ(RichTextOffset(c.charFormat()), 40);
    EXPECT_GT(c.charFormat().baselineOffset(), 0);
    const QString written = DocumentToRtf(doc);
    EXPECT_EQ(ParseRichText(written), ParseRichText(source)) << written.toStdString();
}

TEST(RichTextDocument, OffsetOfASelectionChangesNothingElse)
{
    QTextDocument doc;
    doc.setDefaultFont(TestFont());
    LoadRichText(QStringLiteral("{\\rtf1 ab{\\b\\fs40 cd}ef}"), doc);
    QTextCursor c(&doc);
    c.setPosition(1);
    c.setPosition(5, QTextCursor::KeepAnchor);  // "bcde"
    SetRichTextOffset(c, RichSuperscriptOffset);
    int twips = 0;
    ASSERT_TRUE(SelectionRichTextOffset(c, twips));
    EXPECT_EQ(twips, 40);
    TRichTextRuns runs = DocumentToRichTextRuns(doc);
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[2].Text, QStringLiteral("cd"));
    EXPECT_TRUE(runs[2].Bold);
    EXPECT_EQ(runs[2].FontSize, 40);
    EXPECT_EQ(runs[2].Offset, 40);
    EXPECT_EQ(runs[1].Offset, 40);
    EXPECT_FALSE(runs[1].Bold);
    EXPECT_EQ(runs[0].Offset, 0);
    // A selection of mixed offsets has none.
    c.setPosition(0);
    c.setPosition(3, QTextCursor::KeepAnchor);
    EXPECT_FALSE(SelectionRichTextOffset(c, twips));
}

TEST(RichTextDocument, MeasuresAndDrawsWithTheDefaultFont)
{
    const QFont font = TestFont();
    const QFontMetricsF fm(font);
    const QString rtf = QStringLiteral("{\\rtf1 Hello\\par wide World}");
    const QSizeF size = MeasureRichText(rtf, font);
    EXPECT_NEAR(size.width(), fm.horizontalAdvance(QStringLiteral("wide World")), 1.0);
    EXPECT_NEAR(size.height(), 2 * fm.height(), 2.0);
    // Bigger text needs more room; wrapping at a width makes it taller.
    EXPECT_GT(MeasureRichText(QStringLiteral("{\\rtf1\\fs48 Hello\\par wide World}"), font).height(), size.height());
    EXPECT_GT(MeasureRichText(rtf, font, fm.horizontalAdvance(QStringLiteral("wide W"))).height(), size.height() + fm.height() / 2);

    QImage img(100, 40, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        DrawRichText(p, QRectF(10, 5, 80, 30), QStringLiteral("{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}\\cf1 HHHH}"), font,
                     Qt::black);
    }
    int red = 0, black = 0, outside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor px = img.pixelColor(x, y);
            if (px == QColor(255, 0, 0)) ++red;
            if (px == Qt::black) ++black;
            if (px != Qt::white && (x < 10 || y < 5)) ++outside;
        }
    EXPECT_GT(red, 20);
    EXPECT_EQ(black, 0);
    EXPECT_EQ(outside, 0);
}

TEST(RichTextWriter, OutsideReaderSeesThePlainText)
{
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty()) GTEST_SKIP() << "unrtf is not installed (scripts/deps.sh installs it)";
    QTextDocument doc;
    LoadRichText(QString::fromUtf8("{\\rtf1 {\\b Bold} caf\\'e9 {\\i and} \\u252?ber\\par second {\\ul line}\\par x{\\up4 2}}"), doc);
    const QString rtf = DocumentToRtf(doc);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cell.rtf"));
    WriteFileAtomic(path, rtf.toLatin1());
    QProcess p;
    p.start(unrtf, {QStringLiteral("--text"), path});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString out = DecodeAnsi(p.readAllStandardOutput());
    const qsizetype rule = out.indexOf(QStringLiteral("-----\n"));
    ASSERT_GE(rule, 0) << out.toStdString();
    QString body = out.mid(out.indexOf('\n', rule) + 1);
    body.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    EXPECT_EQ(body, DocumentPlainText(doc));
    EXPECT_EQ(body, QString::fromUtf8("Bold café and über\r\nsecond line\r\nx2"));
}
