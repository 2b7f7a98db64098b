#include "common/TestSupport.h"
#include "grid/ExtGrid.h"
#include "platform/Jpeg.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TPeerResult {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

TPeerResult RunPeer(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    TPeerResult res;
    if (!p.waitForFinished(60000)) {
        ADD_FAILURE() << program.toStdString() << " did not run";
        return res;
    }
    res.ExitCode = p.exitCode();
    res.Out = QString::fromUtf8(p.readAllStandardOutput());
    res.Err = QString::fromUtf8(p.readAllStandardError());
    return res;
}

// The table cells of an HTML file as a browser's parser reads them: one
// line per row, the cells' texts joined by tabs.
QString BrowserCells(const QString& path)
{
    const QString script = QStringLiteral(
        "import sys, html5lib\n"
        "doc = html5lib.parse(open(sys.argv[1], 'rb').read(), namespaceHTMLElements=False)\n"
        "rows = ['\\t'.join(''.join(td.itertext()) for td in tr.findall('td')) for tr in doc.iter('tr')]\n"
        "links = [a.get('href') for a in doc.iter('a')]\n"
        "scripts = len(list(doc.iter('script')))\n"
        "sys.stdout.buffer.write(('\\n'.join(rows) + '\\nlinks=' + ' '.join(links) + '\\nscripts=%d' % scripts).encode('utf-8'))\n");
    // The distribution's python, where its html5lib package is installed.
    const QString python = QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3");
    const TPeerResult r = RunPeer(python, {QStringLiteral("-c"), script, path});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    return r.Out;
}

class GridExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        g.SetColCount(3);
        g.SetRowCount(3);
        g.SetFixedCols(0);
        g.SetFixedRows(0);
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
    TExtStringGrid g;
};

// ---------------------------------------------------------------------------
// ASCII table

TEST_F(GridExport, AsciiColumnsArePaddedAndAligned)
{
    const char* texts[3][3] = {{"ab", "7", "ab"}, {"abcd", "", "xxxxx"}, {"", "123", ""}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) g.SetCells(c, r, QString::fromLatin1(texts[r][c]));
    for (int r = 0; r < 3; ++r) {
        g.SetAlignments(1, r, taRightJustify);
        g.SetAlignments(2, r, taCenter);
    }
    EXPECT_EQ(g.ASCIILines(), (QStringList{QStringLiteral("ab     7   ab  "), QStringLiteral("abcd     xxxxx "),
                                           QStringLiteral("     123       ")}));

    // Fixed cells are left out unless saved, but still count for the widths.
    g.SetFixedRows(1);
    g.SetFixedCols(1);
    g.SetSaveFixedCells(false);
    EXPECT_EQ(g.ASCIILines(), (QStringList{QStringLiteral("    xxxxx "), QStringLiteral("123       ")}));
}

TEST_F(GridExport, AsciiMultiLineCellsContinueAtTheirColumn)
{
    g.SetColCount(2);
    g.SetRowCount(1);
    g.SetCells(0, 0, QStringLiteral("abc"));
    g.SetCells(1, 0, QStringLiteral("x\r\nyy"));
    EXPECT_EQ(g.ASCIILines(), QStringList{QStringLiteral("abc x ")});
    g.SetMultilinecells(true);
    EXPECT_EQ(g.ASCIILines(), (QStringList{QStringLiteral("abc x  "), QStringLiteral("    yy ")}));

    // A column wider than 255 characters keeps its whole text.
    g.SetCells(0, 0, QString(300, u'w'));
    EXPECT_EQ(g.ASCIILines().value(0).size(), 301 + 3);
}

TEST_F(GridExport, AsciiFilesUnicodeMarkAndAppend)
{
    g.SetColCount(1);
    g.SetRowCount(1);
    g.SetCells(0, 0, QStringLiteral("Größe"));
    const QString path = Path("t.txt");
    g.SaveToASCII(path, true);
    EXPECT_EQ(ReadTestFile(path), QByteArray("\xFF\xFEG\0r\0\xF6\0\xDF\0" "e\0 \0\r\0\n\0", 18));
    g.SetCells(0, 0, QStringLiteral("next"));
    g.AppendToASCII(path, false);
    EXPECT_EQ(ReadTestFile(path), QByteArray("Gr\xF6\xDF" "e \r\nnext \r\n"));
}

// ---------------------------------------------------------------------------
// HTML

TEST_F(GridExport, HtmlCellsAreEscapedAndBrowsersReadTheTexts)
{
    g.SetFixedRows(1);
    g.SetURLShow(true);
    const char* texts[3][3] = {{"Name", "<b>Head</b>", ""},
                               {"<script>alert(1)</script>", "a & \"b\" <i>", "javascript:alert(1)"},
                               {"Größe €", "", "https://example.com/path?a=1&b=2"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) g.SetCells(c, r, QString::fromUtf8(texts[r][c]));
    for (const bool unicode : {false, true}) {
        SCOPED_TRACE(unicode);
        const QString path = Path("page.html");
        g.SaveToHTML(path, false, unicode);
        const QByteArray bytes = ReadTestFile(path);
        if (!unicode) {
            for (const char b : bytes) ASSERT_LT(uchar(b), 0x80);
            EXPECT_TRUE(bytes.contains("Gr&#246;&#223;e &#8364;"));
        }
        EXPECT_EQ(BrowserCells(path),
                  QStringLiteral("Name\t<b>Head</b>\t\u00A0\n"
                                 "<script>alert(1)</script>\ta & \"b\" <i>\tjavascript:alert(1)\n"
                                 "Größe €\t\u00A0\texample.com/path?a=1&b=2\n"
                                 "links=https://example.com/path?a=1&b=2\nscripts=0"));
        const TPeerResult tidy = RunPeer(QStringLiteral("tidy"), {QStringLiteral("-q"), QStringLiteral("-e"), path});
        EXPECT_LT(tidy.ExitCode, 2) << tidy.Err.toStdString();
    }
}

TEST_F(GridExport, XhtmlIsWellFormedXml)
{
    g.SetFixedRows(1);
    g.HTMLSettings().SetXHTML(true);
    g.HTMLSettings().SetNonBreakingText(true);
    g.HTMLSettings().SetConvertSpecialChars(true);
    g.HTMLSettings().SetSummary(QStringLiteral("a \"summary\" & <more>"));
    g.SetCells(0, 1, QStringLiteral("é & <x> two words"));
    g.SetCells(1, 1, QStringLiteral("line\r\nbreak"));
    g.SetCells(2, 2, QStringLiteral("mailto:someone@example.com"));
    g.SetURLShow(true);
    for (const bool unicode : {false, true}) {
        const QString path = Path("page.xhtml.html");
        g.SaveToHTML(path, false, unicode);
        const TPeerResult lint = RunPeer(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--nonet"), path});
        EXPECT_EQ(lint.ExitCode, 0) << lint.Err.toStdString();
        if (unicode) {
            const QByteArray bytes = ReadTestFile(path);
            EXPECT_TRUE(bytes.startsWith(QByteArray("\xFF\xFE<\0?\0x\0", 8)));
            EXPECT_TRUE(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2)
                            .contains(QStringLiteral("encoding=\"utf-16\"")));
        }
    }
    const QString html = g.SaveToHTMLString(dir.path() + u'/');
    EXPECT_TRUE(html.startsWith(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!DOCTYPE html PUBLIC")));
    EXPECT_TRUE(html.contains(QStringLiteral("<br />")));
    EXPECT_TRUE(html.contains(QStringLiteral("&#233;&#160;&amp;&#160;&lt;x&gt;")));
    EXPECT_TRUE(html.contains(QStringLiteral("summary=\"a &quot;summary&quot; &amp; &lt;more&gt;\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("<a href=\"mailto:someone@example.com\">someone@example.com</a>")));
}

TEST_F(GridExport, HtmlStylesWidthsAndEmptyCells)
{
    g.SetFixedRows(1);
    g.HTMLSettings().ColWidths.Add(40);
    g.HTMLSettings().ColWidths.Add(60);
    g.OnGetCellColor = [](TExtStringGrid*, int arow, int acol, TGridDrawState, TCellBrush& brush, TCellFont& font) {
        if (acol == 1 && arow == 2) font.Font.setBold(true);
        if (arow > 0) brush.Color = TColor(0x00FF8040); // blue 0xFF, green 0x80, red 0x40
    };
    g.SetCells(0, 1, QStringLiteral("a"));
    g.SetCells(1, 2, QStringLiteral("bold"));
    const QString html = g.SaveToHTMLString(QStringLiteral("/tmp/"));
    EXPECT_TRUE(html.startsWith(QStringLiteral("<style>\r\n.c0 {")));
    const QStringList lines = html.split(QStringLiteral("\r\n"));
    QStringList tds;
    for (const QString& l : lines)
        if (l.startsWith(QLatin1String("<TD"))) tds << l;
    ASSERT_EQ(tds.size(), 9);
    // Header cells: WIDTH from the list; body cells: no width.
    EXPECT_TRUE(tds[0].contains(QStringLiteral(" WIDTH=\"40\""))) << tds[0].toStdString();
    EXPECT_TRUE(tds[1].contains(QStringLiteral(" WIDTH=\"60\"")));
    EXPECT_FALSE(tds[2].contains(QStringLiteral("WIDTH")));
    for (int i = 3; i < 9; ++i) EXPECT_FALSE(tds[i].contains(QStringLiteral("idth"), Qt::CaseInsensitive));
    // Body cells of one look share a class; the bold one has its own.
    const QString bodyClass = tds[3].section(u'"', 1, 1);
    EXPECT_EQ(tds[4].section(u'"', 1, 1), bodyClass);
    EXPECT_NE(tds[7].section(u'"', 1, 1), bodyClass);
    EXPECT_TRUE(html.contains(QStringLiteral("background-color: #4080FF")));
    EXPECT_TRUE(html.contains(QStringLiteral("font-weight: bold")));
    EXPECT_TRUE(tds[4].endsWith(QStringLiteral(">&nbsp;</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<TABLE BORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"0\"  WIDTH=\"100%\">")));
}

TEST_F(GridExport, HtmlRangeForTheClipboardAndShow)
{
    g.SetCells(1, 1, QStringLiteral("x"));
    g.SetCells(2, 1, QStringLiteral("y"));
    const QString html = g.SaveRectToHTMLString({1, 1, 2, 1}, QString());
    EXPECT_EQ(html.count(QStringLiteral("<TD")), 2);
    EXPECT_TRUE(html.contains(QStringLiteral(">x</td>\r\n")));
    EXPECT_THROW(g.SaveRectToHTMLString({1, 1, 5, 1}, QString()), EExtGridError);

    QStringList opened;
    const ShellOpenHandler old = SetShellOpenHandler([&](const QString& url) {
        opened << url;
        return true;
    });
    g.SaveToHTML(Path("shown.htm"), true);
    g.SaveToHTML(Path("not-shown.txt"), true);
    g.HTMLSettings().SetAutoPreview(true);
    g.SaveToHTML(Path("auto.HTML"), false);
    SetShellOpenHandler(old);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_TRUE(opened[0].startsWith(QLatin1String("file:///")) && opened[0].endsWith(QLatin1String("/shown.htm")));
    EXPECT_TRUE(opened[1].endsWith(QLatin1String("/auto.HTML")));
}

TEST_F(GridExport, HtmlBitmapCellsBecomeNumberedJpegFiles)
{
    QImage red(8, 6, QImage::Format_RGB32), blue(4, 4, QImage::Format_ARGB32);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    g.SetCells(1, 0, QStringLiteral("pic"));
    g.AddBitmap(1, 0, &red, false, TCellHAlign::haLeft, TCellVAlign::vaTop);
    g.AddBitmap(2, 1, &blue, false, TCellHAlign::haLeft, TCellVAlign::vaTop);
    const QString path = Path("pics.html");
    g.SaveToHTML(path);
    const QString html = QString::fromLatin1(ReadTestFile(path));
    for (const auto& [n, image] : {std::pair{1, &red}, std::pair{2, &blue}}) {
        const QString file = dir.filePath(QStringLiteral("images/img%1.jpg").arg(n));
        QImage back;
        ASSERT_EQ(DecodeJpeg(ReadTestFile(file), back), TJpegResult::Ok) << n;
        EXPECT_EQ(back.size(), image->size());
        const QColor centre = back.pixelColor(back.width() / 2, back.height() / 2);
        EXPECT_NEAR(centre.red(), QColor(image->pixel(0, 0)).red(), 8);
        EXPECT_NEAR(centre.blue(), QColor(image->pixel(0, 0)).blue(), 8);
        EXPECT_TRUE(html.contains(QStringLiteral("<img src= \"") + QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded) + u'"'));
    }
    // The text comes first, then the picture.
    EXPECT_TRUE(html.contains(QStringLiteral(">pic<img src= ")));
    // Without pictures, no files.
    QDir(dir.filePath(QStringLiteral("images"))).removeRecursively();
    g.HTMLSettings().SetExportImages(false);
    g.SaveToHTML(path);
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("images"))).exists());
}

TEST_F(GridExport, CellToRealReadsNumbersOrNamesTheBadCharacter)
{
    const struct {
        const char* text;
        double value;
    } numbers[] = {{"", 0}, {"12", 12}, {"-3.5", -3.5}, {"1e3", 1000}, {"(4)", -4}};
    for (const auto& k : numbers) {
        g.SetCells(1, 1, QString::fromLatin1(k.text));
        EXPECT_DOUBLE_EQ(g.CellToReal(1, 1), k.value) << k.text;
    }
    g.SetCells(2, 1, QStringLiteral("1.2.3"));
    try {
        g.CellToReal(2, 1);
        ADD_FAILURE();
    } catch (const EExtGridError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Error at position: 4 in Cell [2, 1]."));
    }
}

} // namespace
