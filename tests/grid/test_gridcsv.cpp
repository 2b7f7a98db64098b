#include "common/TestSupport.h"
#include "grid/ExtGrid.h"
#include "platform/Files.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<TExtStringGrid> Grid(int cols, int rows)
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetFixedCols(0);
    g->SetFixedRows(0);
    g->SetColCount(cols);
    g->SetRowCount(rows);
    return g;
}

QString Texts(TExtStringGrid& g)
{
    QString s = QStringLiteral("%1x%2\n").arg(g.ColCount()).arg(g.RowCount());
    for (int r = 0; r < g.RowCount(); ++r) {
        for (int c = 0; c < g.ColCount(); ++c) s += u'[' + g.GridCells(c, r) + u']';
        s += u'\n';
    }
    return s;
}

QByteArray Csv(TExtStringGrid& g) { return g.SaveToCSVBytes(false); }

} // namespace

TEST(CsvWriter, CellCodingAsExactBytes)
{
    struct Case {
        const char* name;
        QString text;
        QByteArray field;
        std::function<void(TExtStringGrid&)> setup;
    };
    const QString vt(QChar(11));
    const std::vector<Case> cases = {
        {"plain", "abc", "abc", nullptr},
        {"separator", "a,b", "\"a,b\"", nullptr},
        {"quoted word", "say \"hi\"", "\"say \"\"hi\"\"\"", nullptr},
        {"quote and separator", "a,\"b\"", "\"a,\"\"b\"\"\"", nullptr},
        {"empty", "", "\"\"", nullptr},
        {"empty unquoted", "", "", [](TExtStringGrid& g) { g.SetQuoteEmptyCells(false); }},
        {"always", "x", "\"x\"", [](TExtStringGrid& g) { g.SetAlwaysQuotes(true); }},
        {"always empty", "", "\"\"", [](TExtStringGrid& g) { g.SetAlwaysQuotes(true); }},
        {"crlf", "a\r\nb", "\"a\x0b" "b\"", nullptr},
        {"lone lf", "a\nb", "\"a\x0b" "b\"", nullptr},
        {"lone cr", "a\rb", "\"a\x0b" "b\"", nullptr},
        {"break and quote", "\"a\"\r\nb", "\"\"\"a\"\"\x0b" "b\"", nullptr},
        {"always with break", "a\nb", "\"a\x0b" "b\"", [](TExtStringGrid& g) { g.SetAlwaysQuotes(true); }},
        {"leading blanks", "  x", "\"  x\"", nullptr},
        {"java empty", "", "^", [](TExtStringGrid& g) { g.SetJavaCSV(true); }},
        {"java break", "a\r\nb", "a~b", [](TExtStringGrid& g) { g.SetJavaCSV(true); }},
        {"java separator", "a,b\nc", "\"a,b~c\"", [](TExtStringGrid& g) { g.SetJavaCSV(true); }},
        {"semicolon", "a,b;c", "\"a,b;c\"", [](TExtStringGrid& g) { g.SetDelimiter(u';'); }},
        {"oem", QStringLiteral("é"), "\x82", [](TExtStringGrid& g) { g.SetOemConvert(true); }},
    };
    for (const Case& c : cases) {
        auto g = Grid(3, 1);
        if (c.setup) c.setup(*g);
        g->SetCells(1, 0, c.text);
        g->SetCells(0, 0, QStringLiteral("p"));
        g->SetCells(2, 0, QStringLiteral("q"));
        const QByteArray sep = g->Delimiter().isNull() ? QByteArray(",") : QByteArray(1, char(g->Delimiter().unicode()));
        const QByteArray p = g->AlwaysQuotes() ? "\"p\"" : "p", q = g->AlwaysQuotes() ? "\"q\"" : "q";
        EXPECT_EQ(Csv(*g), p + sep + c.field + sep + q + "\r\n") << c.name;
    }
    // A row of three empty cells: three fields, two separators.
    auto g = Grid(3, 2);
    g->SetCells(0, 1, QStringLiteral("x"));
    EXPECT_EQ(Csv(*g), "\"\",\"\",\"\"\r\nx,\"\",\"\"\r\n");
}

TEST(CsvWriter, HiddenColumnsUnicodeAndAppend)
{
    QTemporaryDir dir;
    auto g = Grid(3, 1);
    g->SetCells(0, 0, QStringLiteral("a"));
    g->SetCells(1, 0, QStringLiteral("日"));
    g->SetCells(2, 0, QStringLiteral("c"));
    g->HideColumn(1);
    EXPECT_EQ(Csv(*g), "a,c\r\n");
    g->SetSaveHiddenCells(true);
    EXPECT_EQ(g->SaveToCSVBytes(true), "\xEF\xBB\xBF" "a,\xE6\x97\xA5,c\r\n");
    g->SetSaveHiddenCells(false);

    // Append keeps the old file's encoding; a file without its last break gets one.
    const QString path = dir.filePath(QStringLiteral("a.csv"));
    WriteFileAtomic(path, QByteArray("\xFF\xFEo\0l\0d\0", 8));
    g->AppendToCSV(path);
    EXPECT_EQ(ReadFileBytes(path), QByteArray("\xFF\xFEo\0l\0d\0\r\0\n\0a\0,\0c\0\r\0\n\0", 22));
    WriteFileAtomic(path, "old");
    g->AppendToCSV(path);
    EXPECT_EQ(ReadFileBytes(path), "old\r\na,c\r\n");
}

TEST(CsvReader, TableOfCases)
{
    struct Case {
        const char* name;
        QByteArray file;
        QString want;
        std::function<void(TExtStringGrid&)> setup;
        int maxRows = 0;
    };
    const std::vector<Case> cases = {
        {"semicolons guessed", "a;b;c\r\nd;e;f\r\n", "3x2\n[a][b][c]\n[d][e][f]\n", nullptr},
        {"comma before dash", "2024-01-05,x\r\n2024-02-06,y\r\n", "2x2\n[2024-01-05][x]\n[2024-02-06][y]\n", nullptr},
        {"tabs", "a\tb\nc\td\n", "2x2\n[a][b]\n[c][d]\n", nullptr},
        {"no candidate", "one\r\ntwo words\r\n", "2x2\n[one][]\n[two words][]\n", nullptr},
        {"quoted separator", "  \"x,y\",z\r\n", "2x1\n[x,y][z]\n", nullptr},
        {"quoted break", "\"a\r\nb\",c\r\nd,e\r\n", "2x2\n[a\r\nb][c]\n[d][e]\n", nullptr},
        {"quoted lone lf", "\"a\nb\",\"q\"\"\"\n", "2x1\n[a\r\nb][q\"]\n", nullptr},
        {"vertical tab", "\"a\x0b" "b\",c\r\n", "2x1\n[a\r\nb][c]\n", nullptr},
        {"text after quote", "\"a\"b,c\r\n", "2x1\n[ab][c]\n", nullptr},
        {"unclosed quote", "x,\"open\r\nmore,rest\r\n", "2x1\n[x][open\r\nmore,rest\r\n]\n", nullptr},
        {"long line widens", "a,b\r\nc,d,e,f\r\n", "4x2\n[a][b][][]\n[c][d][e][f]\n", nullptr},
        {"trailing separator", "a,b,\r\nc,d,\r\n", "2x2\n[a][b]\n[c][d]\n", nullptr},
        {"skip first row", "h1;h2\r\na;b\r\n", "2x1\n[a][b]\n", [](TExtStringGrid& g) { g.SetLoadFirstRow(false); }},
        {"max rows", "a,b\r\nc,d\r\ne,f\r\n", "2x2\n[a][b]\n[c][d]\n", nullptr, 2},
        {"java", "^,a~b\r\n", "2x1\n[][a\r\nb]\n", [](TExtStringGrid& g) { g.SetJavaCSV(true); }},
        {"utf8 mark", "\xEF\xBB\xBF\xC3\xA9,b\r\n", QStringLiteral("2x1\n[é][b]\n"), nullptr},
    };
    for (const Case& c : cases) {
        auto g = Grid(2, 1);
        if (c.setup) c.setup(*g);
        g->LoadFromCSVBytes(c.file, c.maxRows, false, QStringLiteral("t.csv"));
        EXPECT_EQ(Texts(*g), c.want) << c.name;
        EXPECT_TRUE(g->Delimiter().isNull()) << c.name;
    }
    // A short line leaves the other cells of its row.
    auto g = Grid(3, 2);
    g->SetCells(2, 0, QStringLiteral("stay"));
    g->LoadFromCSVBytes("a,b\r\n", 0, false, QStringLiteral("t.csv"));
    EXPECT_EQ(g->GridCells(2, 0), QStringLiteral("stay"));
}

TEST(CsvReader, InsertUnderAVisibleFooter)
{
    auto g = Grid(2, 3);
    g->SetCells(0, 0, QStringLiteral("r0"));
    g->FloatingFooter().SetVisible(true);
    g->SetCells(0, 2, QStringLiteral("foot"));
    g->LoadFromCSVBytes("n1,x\r\nn2,y\r\n", 0, true, QStringLiteral("t.csv"));
    EXPECT_EQ(g->RowCount(), 5);
    EXPECT_EQ(g->GridCells(0, 0), QStringLiteral("r0"));
    EXPECT_EQ(g->GridCells(0, 2), QStringLiteral("n1"));
    EXPECT_EQ(g->GridCells(0, 3), QStringLiteral("n2"));
    EXPECT_EQ(g->GridCells(0, 4), QStringLiteral("foot"));
}

TEST(CsvReader, HostileInputChangesNothing)
{
    auto g = Grid(2, 2);
    g->SetCells(1, 1, QStringLiteral("keep"));
    const QString before = Texts(*g);
    const QByteArray cases[] = {
        "",                                              // empty
        QByteArray("\xEF\xBB\xBF" "a,\xC3\r\n"),         // mark and bytes disagree
        QByteArray("\xFF\xFE" "a\0,", 5),                // odd UTF-16
        QByteArray(16385, ',') + "\r\n",                 // too many columns
    };
    for (const QByteArray& bytes : cases) {
        EXPECT_ANY_THROW(g->LoadFromCSVBytes(bytes, 0, false, QStringLiteral("bad.csv")));
        EXPECT_EQ(Texts(*g), before);
        EXPECT_TRUE(g->Delimiter().isNull());
    }
    g->SetDelimiter(u';');
    EXPECT_ANY_THROW(g->LoadFromCSVBytes(QByteArray(16385, ';'), 0, false, QStringLiteral("bad.csv")));
    EXPECT_EQ(g->Delimiter(), QChar(u';'));
    // An empty file by name is not read.
    QTemporaryDir dir;
    WriteFileAtomic(dir.filePath(QStringLiteral("e.csv")), QByteArray());
    g->LoadFromCSV(dir.filePath(QStringLiteral("e.csv")));
    EXPECT_EQ(Texts(*g), before);
}

TEST(CsvPeer, PythonReadsOursAndWeReadItsFiles)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) GTEST_SKIP() << "python3 is not installed";
    QTemporaryDir dir;
    auto src = Grid(3, 3);
    const QStringList texts = {"plain", "a,b", "say \"hi\"", "two\r\nlines", "", "semi;colon", "tab\there", "é", " lead"};
    for (int i = 0; i < 9; ++i) src->SetCells(i % 3, i / 3, texts[i]);
    struct Peer {
        const char* encoding;
        QChar sep;
        bool unicode;
    } peers[] = {{"utf-8-sig", u',', true}, {"cp1252", u';', false}, {"cp850", u'\t', false}};
    for (const Peer& p : peers) {
        src->SetDelimiter(p.sep);
        src->SetOemConvert(QByteArray(p.encoding) == "cp850");
        const QString path = dir.filePath(QStringLiteral("ours.csv"));
        src->SaveToCSV(path, p.unicode);
        QProcess py;
        py.start(python, {QStringLiteral("-c"),
                          QStringLiteral("import csv,sys\n"
                                         "rows=list(csv.reader(open(sys.argv[1],newline='',encoding=sys.argv[2]),delimiter=sys.argv[3]))\n"
                                         "print(repr([[f.replace('\\x0b','\\r\\n') for f in r] for r in rows]))"),
                          path, QString::fromLatin1(p.encoding), QString(p.sep)});
        ASSERT_TRUE(py.waitForFinished(20000));
        QString want = QStringLiteral("[");
        for (int r = 0; r < 3; ++r) {
            want += r ? QStringLiteral(", [") : QStringLiteral("[");
            for (int c = 0; c < 3; ++c) {
                QString t = texts[r * 3 + c];
                t.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'")).replace(u'\r', QStringLiteral("\\r"))
                    .replace(u'\n', QStringLiteral("\\n")).replace(u'\t', QStringLiteral("\\t"));
                want += (c ? QStringLiteral(", '") : QStringLiteral("'")) + t + u'\'';
            }
            want += u']';
        }
        want += u']';
        EXPECT_EQ(QString::fromUtf8(py.readAllStandardOutput()).trimmed(), want) << p.encoding << py.readAllStandardError().toStdString();
    }

    // Files python writes load into the same cells.
    for (const char* mode : {"QUOTE_MINIMAL", "QUOTE_ALL"})
        for (const char* end : {"\\r\\n", "\\n"}) {
            const QString path = dir.filePath(QStringLiteral("py.csv"));
            QProcess py;
            py.start(python, {QStringLiteral("-c"),
                              QStringLiteral("import csv,sys\n"
                                             "w=csv.writer(open(sys.argv[1],'w',newline='',encoding='utf-8-sig'),quoting=csv.%1,lineterminator='%2')\n"
                                             "w.writerow(['plain','a,b','say \"hi\"'])\n"
                                             "w.writerow(['two\\r\\nlines','','x'])\n")
                                  .arg(QLatin1String(mode), QLatin1String(end)),
                              path});
            ASSERT_TRUE(py.waitForFinished(20000));
            auto g = Grid(1, 1);
            g->LoadFromCSV(path);
            EXPECT_EQ(Texts(*g), QStringLiteral("3x2\n[plain][a,b][say \"hi\"]\n[two\r\nlines][][x]\n")) << mode << end;
        }
}

TEST(FixedWidth, PositionsWidthsAndRoundTrip)
{
    TIntList pos(0, 0);
    for (int p : {10, 1, 5}) pos.Add(p);
    auto g = Grid(1, 1);
    g->LoadFromFixedBytes("abcdefghijklm\r\nxy\r\n", pos, true, -1, QStringLiteral("f.txt"));
    EXPECT_EQ(pos.StrValue(), QStringLiteral("1,5,10"));
    EXPECT_EQ(Texts(*g), QStringLiteral("2x2\n[abcd][efghi]\n[xy][]\n"));

    // Widths filled from the longest texts; with fixed columns the reader
    // makes exactly the columns the writer wrote.
    auto src = std::make_unique<TExtStringGrid>();
    src->SetColCount(3);
    src->SetRowCount(2);
    src->SetCells(0, 0, QStringLiteral("f"));
    src->SetCells(1, 0, QStringLiteral("abc"));
    src->SetCells(2, 1, QStringLiteral("z"));
    TIntList widths(0, 0);
    const QByteArray bytes = src->SaveToFixedBytes(widths);
    EXPECT_EQ(widths.StrValue(), QStringLiteral("2,4,2"));
    EXPECT_EQ(bytes, "f abc   \r\n      z \r\n");
    TIntList starts(0, 0);
    for (int p : {1, 3, 7, 9}) starts.Add(p);  // starts of the 2, 4, 2 wide columns
    TExtStringGrid dst;
    dst.LoadFromFixedBytes(bytes, starts, true, -1, QStringLiteral("f.txt"));
    EXPECT_EQ(dst.ColCount(), 3);
    EXPECT_EQ(dst.GridCells(1, 0), QStringLiteral("abc"));
    EXPECT_EQ(dst.GridCells(2, 1), QStringLiteral("z"));

    TIntList badPos(0, 0);
    badPos.Add(0);
    badPos.Add(3);
    EXPECT_THROW(dst.LoadFromFixedBytes("x", badPos, true, -1, QStringLiteral("f.txt")), EExtGridError);
    EXPECT_EQ(dst.GridCells(1, 0), QStringLiteral("abc"));
}

TEST(NativeStream, RoundTripTrailingDataAndAssignCells)
{
    TExtStringGrid src;
    src.SetColCount(4);
    src.SetRowCount(3);
    src.SetColWidths(2, 77);
    src.SetCells(1, 1, QStringLiteral("a\r\nb"));
    src.SetCells(3, 2, QStringLiteral("z"));
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    src.SaveToStream(buf);
    const qint64 end = buf.pos();
    buf.write(QByteArray("t\0r\0a\0i\0l\0\r\0\n\0", 14));
    buf.seek(0);
    TExtStringGrid dst;
    dst.SetMultilinecells(true);
    dst.LoadFromStream(buf);
    EXPECT_EQ(buf.pos(), end);
    EXPECT_EQ(dst.ColCount(), 4);
    EXPECT_EQ(dst.ColWidths(2), 77);
    EXPECT_EQ(dst.GridCells(1, 1), QStringLiteral("a\r\nb"));
    EXPECT_EQ(dst.GridCells(3, 2), QStringLiteral("z"));

    TExtStringGrid copy;
    copy.AssignCells(src);
    EXPECT_EQ(copy.RowCount(), 3);
    EXPECT_EQ(copy.GridCells(3, 2), QStringLiteral("z"));

    // Malformed numbers, a "cw" index past the columns and an odd last byte
    // raise an error and change nothing.
    const QByteArray bad[] = {QByteArray("x\0,\0" "2\0\r\0\n\0", 10), QByteArray("2\0,\0" "2\0\r\0\n\0" "c\0w\0 \0" "9\0,\0" "5\0\r\0\n\0", 26),
                              QByteArray("2\0,\0" "2\0\r\0\n\0" "1\0,\0" "1\0,\0" "x\0" "y", 19)};
    for (const QByteArray& b : bad) {
        QBuffer in;
        in.setData(b);
        in.open(QIODevice::ReadOnly);
        EXPECT_THROW(dst.LoadFromStream(in), EExtGridError);
        EXPECT_EQ(dst.ColCount(), 4);
        EXPECT_EQ(dst.GridCells(3, 2), QStringLiteral("z"));
    }
}
