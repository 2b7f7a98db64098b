#include "common/TestSupport.h"
#include "grid/ExtGrid.h"
#include "platform/ImageList.h"
#include "platform/Jpeg.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
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

// The distribution's python, where its html5lib package is installed.
QString Python()
{
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3");
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
    const TPeerResult r = RunPeer(Python(), {QStringLiteral("-c"), script, path});
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

// Records the override cursor each row of an export sees.
class TCursorWatchGrid : public TExtStringGrid {
public:
    QList<Qt::CursorShape> Seen;

protected:
    void ExportNotification(TGridExportState, int) override
    {
        const QCursor* c = QGuiApplication::overrideCursor();
        Seen << (c ? c->shape() : Qt::ArrowCursor);
    }
};

TEST_F(GridExport, AsciiShowsTheHourglassWhileWriting)
{
    ASSERT_NE(qGuiApp, nullptr);
    TCursorWatchGrid w;
    w.SetRowCount(2);
    w.SaveToASCII(Path("busy.txt"));
    w.AppendToASCII(Path("busy.txt"));
    ASSERT_FALSE(w.Seen.isEmpty());
    for (const Qt::CursorShape s : w.Seen) EXPECT_EQ(s, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // A failed write brings the cursor back too.
    EXPECT_ANY_THROW(w.SaveToASCII(Path("missing/dir/busy.txt")));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
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
                  QStringLiteral("Name\tHead\t\u00A0\n"
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

TEST_F(GridExport, HtmlMiniHtmlCellsKeepOnlyTheGridsOwnTags)
{
    struct TCase {
        const char* Text;
        const char* Content; // the cell's content in the page
    };
    const TCase cases[] = {
        {"<B>bold</B> <I>it</I> & more", "<B>bold</B> <I>it</I> &amp; more"},
        {"<B>x<BR>y</B><HR>", "<B>x<BR>y</B><HR>"},
        {"<P align=right>a</P><FONT color='#FF0000' face=\"Sans\">r</FONT>",
         "<P ALIGN=\"right\">a</P><FONT COLOR=\"#FF0000\" FACE=\"Sans\">r</FONT>"},
        {"<A href=\"https://e.com/?a=1&b=2\">e</A>", "<A HREF=\"https://e.com/?a=1&amp;b=2\">e</A>"},
        // Anything else is text: other tags, event attributes, other links.
        {"<B>x <script>alert(1)</script>", "<B>x &lt;script&gt;alert(1)&lt;/script&gt;</B>"},
        {"<B onclick=\"alert(1)\">x</B>", "&lt;B onclick=&quot;alert(1)&quot;&gt;x"},
        {"<A HREF=\"javascript:alert(1)\">x</A>", "&lt;A HREF=&quot;javascript:alert(1)&quot;&gt;x"},
        {"<IMG SRC=\"x\" onerror=\"alert(1)\"></B>", "&lt;IMG SRC=&quot;x&quot; onerror=&quot;alert(1)&quot;&gt;"},
        // Elements are closed in order.
        {"<B><I>x</B>y</I>", "<B><I>x</I></B>y"},
    };
    g.SetColCount(1);
    g.SetRowCount(int(std::size(cases)));
    for (int r = 0; r < int(std::size(cases)); ++r) g.SetCells(0, r, QString::fromUtf8(cases[r].Text));
    const QString html = g.SaveToHTMLString(QString());
    for (int r = 0; r < int(std::size(cases)); ++r)
        EXPECT_TRUE(html.contains(QStringLiteral("\">") + QString::fromUtf8(cases[r].Content) + QStringLiteral("</td>\r\n")))
            << cases[r].Text << "\n" << html.toStdString();

    // A browser finds no script, no event handler and no other link.
    const QString check = QStringLiteral(
        "import sys, html5lib\n"
        "doc = html5lib.parse(open(sys.argv[1], 'rb').read(), namespaceHTMLElements=False)\n"
        "bad = [e.tag for e in doc.iter() if e.tag in ('script', 'img') or any(k.lower().startswith('on') for k in e.attrib)]\n"
        "bad += [a.get('href') for a in doc.iter('a') if not a.get('href', '').startswith('https:')]\n"
        "print(len(list(doc.iter('b'))), bad)\n");
    const QString path = Path("mini.html");
    g.SaveToHTML(path);
    const TPeerResult r = RunPeer(Python(), {QStringLiteral("-c"), check, path});
    EXPECT_EQ(r.Out.trimmed(), QStringLiteral("4 []")) << r.Err.toStdString();

    // XHTML: lower-case names and a well-formed page.
    g.HTMLSettings().SetXHTML(true);
    EXPECT_TRUE(g.SaveToHTMLString(QString()).contains(QStringLiteral("\"><b>x<br />y</b><hr /></td>")));
    g.SaveToHTML(path);
    const TPeerResult lint = RunPeer(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--nonet"), path});
    EXPECT_EQ(lint.ExitCode, 0) << lint.Err.toStdString();

    // Without SaveWithHTML the cell is its plain text.
    g.HTMLSettings().SetXHTML(false);
    g.SetSaveWithHTML(false);
    EXPECT_TRUE(g.SaveToHTMLString(QString()).contains(QStringLiteral("\">bold it &amp; more</td>")));
}

TEST_F(GridExport, HtmlColoursOnlyWhereChosen)
{
    g.SetFixedRows(1);
    g.SetFixedCols(1);
    g.FixedColor = TColor(0x00102030);     // red 0x30, green 0x20, blue 0x10
    g.Color = TColor(0x00FFFFFF);
    g.GetCellProperties(2, 1)->SetBrushColor(TColor(0x000000FF));
    g.GetCellProperties(2, 2)->SetFontColor(TColor(0x0000FF00));
    g.SetCells(1, 1, QStringLiteral("plain"));
    const QString html = g.SaveToHTMLString(QString());
    auto style = [&](int c, int r) {
        const QStringList lines = html.split(QStringLiteral("\r\n"));
        QStringList tds;
        for (const QString& l : lines)
            if (l.startsWith(QLatin1String("<TD"))) tds << l;
        const QString cls = tds.value(r * 3 + c).section(u'"', 1, 1);
        for (const QString& l : lines)
            if (l.startsWith(u'.' + cls + u' ')) return l;
        return QString();
    };
    for (int c = 0; c < 3; ++c) EXPECT_TRUE(style(c, 0).contains(QStringLiteral("background-color: #302010"))) << c;
    EXPECT_TRUE(style(0, 1).contains(QStringLiteral("background-color: #302010")));
    EXPECT_FALSE(style(1, 1).contains(QStringLiteral("color")));
    EXPECT_TRUE(style(2, 1).contains(QStringLiteral("background-color: #FF0000")));
    EXPECT_FALSE(style(2, 1).contains(QStringLiteral(";color")));
    EXPECT_TRUE(style(2, 2).contains(QStringLiteral("{color: #00FF00;")));
    g.HTMLSettings().SetSaveColor(false);
    EXPECT_FALSE(g.SaveToHTMLString(QString()).contains(QStringLiteral("color")));
}

TEST_F(GridExport, HtmlImageListCellsBecomePictures)
{
    TCustomImageList images;
    for (const Qt::GlobalColor col : {Qt::red, Qt::green, Qt::blue}) {
        QImage img(4, 4, QImage::Format_RGB32);
        img.fill(col);
        images.Add(img);
    }
    g.SetGridImages(&images);
    g.SetCells(0, 0, QStringLiteral("t"));
    g.AddImageIdx(0, 0, 1, TCellHAlign::haLeft, TCellVAlign::vaTop);
    g.AddImageIdx(1, 0, 7, TCellHAlign::haLeft, TCellVAlign::vaTop); // outside the list
    g.SetCells(0, 1, QStringLiteral("2"));
    g.AddDataImage(0, 1, 0, TCellHAlign::haLeft, TCellVAlign::vaTop);
    g.SetCells(1, 1, QStringLiteral("nine"));
    g.AddDataImage(1, 1, 0, TCellHAlign::haLeft, TCellVAlign::vaTop);
    g.AddMultiImage(0, 2, 0, TCellHAlign::haLeft, TCellVAlign::vaTop);
    for (int i : {0, 5, 2}) g.GetCellGraphic(0, 2)->IntList()->Add(i);
    g.SetCells(0, 2, QStringLiteral("m"));
    const QString html = g.SaveToHTMLString(dir.path() + u'/');
    auto img = [&](int n) {
        return QStringLiteral("<img src= \"") +
               QUrl::fromLocalFile(dir.filePath(QStringLiteral("images/img%1.jpg").arg(n))).toString(QUrl::FullyEncoded) +
               QStringLiteral("\">");
    };
    EXPECT_TRUE(html.contains(u'>' + img(1) + QStringLiteral("t</td>"))) << html.toStdString();
    EXPECT_TRUE(html.contains(u'>' + img(2) + QStringLiteral("</td>")));
    EXPECT_TRUE(html.contains(u'>' + img(3) + img(4) + QStringLiteral("m</td>")));
    EXPECT_FALSE(html.contains(QStringLiteral("nine")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("images/img5.jpg"))));
    // Each file holds its picture: 1 green, 2 blue, 3 red, 4 blue.
    const QRgb want[] = {qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 0, 0), qRgb(0, 0, 255)};
    for (int n = 1; n <= 4; ++n) {
        QImage back;
        ASSERT_EQ(DecodeJpeg(ReadTestFile(dir.filePath(QStringLiteral("images/img%1.jpg").arg(n))), back), TJpegResult::Ok);
        const QColor got = back.pixelColor(2, 2);
        EXPECT_NEAR(got.red(), qRed(want[n - 1]), 12) << n;
        EXPECT_NEAR(got.green(), qGreen(want[n - 1]), 12) << n;
        EXPECT_NEAR(got.blue(), qBlue(want[n - 1]), 12) << n;
    }
    g.SetGridImages(nullptr);
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
