#include "common/TestSupport.h"
#include "grid/ExtGrid.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Runs a peer program; its standard output, or a failure with its errors.
QString RunPeer(const QString& program, const QStringList& args, int* exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) {
        ADD_FAILURE() << program.toStdString() << " did not run";
        return {};
    }
    if (exitCode) *exitCode = p.exitCode();
    else if (p.exitCode() != 0) ADD_FAILURE() << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The records of an XML file as python's xml.etree reads them: one line per
// record, "tag=text" fields joined by tabs.
QString EtreeRecords(const QString& path)
{
    const QString script = QStringLiteral(
        "import sys, xml.etree.ElementTree as ET\n"
        "root = ET.parse(sys.argv[1]).getroot()\n"
        "out = []\n"
        "for rec in root:\n"
        "    out.append('\\t'.join(f.tag + '=' + (f.text or '') for f in rec))\n"
        "sys.stdout.buffer.write('\\n'.join(out).encode('utf-8'))\n");
    return RunPeer(QStringLiteral("python3"), {QStringLiteral("-c"), script, path});
}

void XmlLintOk(const QString& path)
{
    int rc = -1;
    QProcess p;
    p.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--nonet"), path});
    ASSERT_TRUE(p.waitForFinished(60000));
    rc = p.exitCode();
    EXPECT_EQ(rc, 0) << p.readAllStandardError().toStdString();
}

// Everything a reader may change of a grid.
QString Snapshot(TExtStringGrid& g)
{
    QString s = QStringLiteral("%1x%2;").arg(g.ColCount()).arg(g.RowCount());
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c) s += g.GridCells(c, r) + u'|';
    return s;
}

class GridXml : public ::testing::Test {
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

TEST_F(GridXml, ExportWritesRecordsPeersReadAndImportRestores)
{
    g.SetColCount(2);
    g.SetCells(0, 0, QStringLiteral("a&b"));
    g.SetCells(1, 0, QStringLiteral("x"));
    g.SetCells(0, 1, QStringLiteral("<tag> \"q\" &gt;"));
    g.SetCells(1, 1, QStringLiteral("line1\r\nline2"));
    g.SetCells(0, 2, QStringLiteral("Preis 5 €, Größe"));
    g.SetCells(1, 2, QStringLiteral("-"));
    const QString path = Path("list.xml");
    g.SaveToXML(path, QStringLiteral("LIST"), QStringLiteral("REC"));

    const QByteArray bytes = ReadTestFile(path);
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<LIST>\r\n<REC>\r\n"
                                 "<FIELD0>a$amp;b</FIELD0>\r\n<FIELD1>x</FIELD1>\r\n</REC>\r\n"));
    // The euro sign is not in ISO-8859-1: a reference; the umlaut is its byte.
    EXPECT_TRUE(bytes.contains("Preis 5 &#8364;, Gr\xF6\xDF" "e"));
    XmlLintOk(path);
    EXPECT_EQ(EtreeRecords(path), QStringLiteral("FIELD0=a$amp;b\tFIELD1=x\n"
                                                 "FIELD0=<tag> \"q\" $amp;gt;\tFIELD1=line1\r\nline2\n"
                                                 "FIELD0=Preis 5 €, Größe\tFIELD1=-"));

    TExtStringGrid h;
    h.SetFixedCols(0);
    h.SetFixedRows(0);
    h.LoadFromXML(path);
    EXPECT_EQ(Snapshot(h), Snapshot(g));
    // A cell holding an entity's text comes back as that text, not decoded twice.
    EXPECT_EQ(h.Cells(0, 1), QStringLiteral("<tag> \"q\" &gt;"));
}

TEST_F(GridXml, EncodingsFieldNamesAndEmptyCells)
{
    g.SetCells(0, 0, QStringLiteral("€"));
    g.SetCells(2, 0, QStringLiteral("z"));
    g.SetXMLEncoding(QStringLiteral("UTF-8"));
    const QString path = Path("utf8.xml");
    g.SaveToXML(path, QStringLiteral("L"), QStringLiteral("R"), {QStringLiteral("Name")}, true);
    const QByteArray bytes = ReadTestFile(path);
    EXPECT_TRUE(bytes.contains("<Name>\xE2\x82\xAC</Name>\r\n<FIELD1>&quot;&quot;</FIELD1>\r\n<FIELD2>z</FIELD2>"));
    XmlLintOk(path);
    TExtStringGrid h;
    h.SetFixedCols(0);
    h.SetFixedRows(0);
    h.SetCells(1, 0, QStringLiteral("old"));
    h.LoadFromXML(path);
    EXPECT_EQ(h.Cells(0, 0), QStringLiteral("€"));
    EXPECT_EQ(h.Cells(1, 0), QString()); // the quoted empty cell reads back empty
    EXPECT_EQ(h.Cells(2, 0), QStringLiteral("z"));

    g.SetXMLEncoding(QStringLiteral("UTF-16"));
    g.SaveToXML(path, QStringLiteral("L"), QStringLiteral("R"));
    XmlLintOk(path);
    TExtStringGrid u;
    u.SetFixedCols(0);
    u.SetFixedRows(0);
    u.LoadFromXML(path);
    EXPECT_EQ(u.Cells(0, 0), QStringLiteral("€"));
}

// A text may begin with U+FEFF (a zero-width no-break space, not a mark of
// the file's encoding): every encoding writes it and reads it back. An empty
// row comes back empty.
TEST_F(GridXml, LeadingByteOrderMarkCharacterComesBack)
{
    g.SetCells(0, 0, QString(QChar(0xFEFF)));
    g.SetCells(1, 0, QString(QChar(0xFEFF)) + QStringLiteral("x"));
    g.SetCells(2, 0, QStringLiteral("y") + QChar(0xFEFF));
    // Row 1 stays empty: its record has no cell, and no blank either that
    // would come back as the text of its first cell.
    g.SetCells(0, 2, QStringLiteral("z"));
    for (const char* encoding : {"UTF-8", "ISO-8859-1", "UTF-16"}) {
        SCOPED_TRACE(encoding);
        g.SetXMLEncoding(QString::fromLatin1(encoding));
        const QString path = Path("bom.xml");
        g.SaveToXML(path, QStringLiteral("L"), QStringLiteral("R"));
        XmlLintOk(path);
        TExtStringGrid h;
        h.SetFixedCols(0);
        h.SetFixedRows(0);
        h.LoadFromXML(path);
        EXPECT_EQ(Snapshot(h), Snapshot(g));
    }
}

TEST_F(GridXml, RefusedExportsWriteNothing)
{
    const QString path = Path("never.xml");
    struct Case {
        const char* encoding;
        QString list, record;
        QStringList fields;
        const char* message;
    } cases[] = {
        {"no-such-codec", "L", "R", {}, "Unknown XML encoding: no-such-codec"},
        {"ISO-8859-1", "1L", "R", {}, "Invalid XML element name: 1L"},
        {"ISO-8859-1", "L", "a b", {}, "Invalid XML element name: a b"},
        {"ISO-8859-1", "L", "R", {"ok", "x<y"}, "Invalid XML element name: x<y"},
        {"ISO-8859-1", "L", "R", {"\u20AC"}, "Invalid XML element name: \u20AC"}, // a name the encoding cannot hold
    };
    for (const Case& k : cases) {
        g.SetXMLEncoding(QString::fromLatin1(k.encoding));
        try {
            g.SaveToXML(path, k.list, k.record, k.fields);
            ADD_FAILURE() << "no error for " << k.message;
        } catch (const EExtGridError& e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(k.message));
        }
        EXPECT_FALSE(QFile::exists(path)) << k.message;
    }
}

TEST_F(GridXml, ImportAttributesNestingLevelToRowAndFieldNames)
{
    // Records of three attributes: three columns, their names into row 0
    // (with LoadFieldDescr the values start below the fixed row).
    g.SetFixedRows(1);
    g.SetSaveFixedCells(true);
    g.LoadFromXMLBytes(R"(<list><p a="1" b="x&amp;y" c="$amp;"/><p a="2" b="" c="3"/></list>)", false, true);
    EXPECT_EQ(Snapshot(g), QStringLiteral("3x3;a|b|c|1|x&y|&|2||3|"));

    // Leaf elements with LoadFieldDescr: element names into the header row,
    // the values from row FixedRows on.
    TExtStringGrid h;
    h.SetFixedCols(0);
    h.SetFixedRows(1);
    h.LoadFromXMLBytes("<?xml version=\"1.0\"?>\n<L><R><Name>n1</Name><Age>7</Age></R>\n<R><Name>n2</Name><Empty/></R></L>", false, true);
    EXPECT_EQ(Snapshot(h), QStringLiteral("2x3;Name|Age|n1|7|n2||"));

    // Nested elements: on the same row, or with LevelToRow on new rows, and
    // a first record of one child does not land above the first row.
    const QByteArray nested = "<L><R><A>1</A><S><B>2</B><C>3</C></S></R></L>";
    TExtStringGrid flat;
    flat.SetFixedCols(0);
    flat.SetFixedRows(0);
    flat.LoadFromXMLBytes(nested);
    EXPECT_EQ(Snapshot(flat), QStringLiteral("3x1;1|2|3|"));
    TExtStringGrid rows;
    rows.SetFixedCols(0);
    rows.SetFixedRows(0);
    rows.LoadFromXMLBytes(nested, true);
    EXPECT_EQ(Snapshot(rows), QStringLiteral("2x2;1||2|3|"));
    TExtStringGrid one;
    one.SetFixedCols(0);
    one.SetFixedRows(0);
    one.LoadFromXMLBytes("<L><R><A>only</A></R><R><A>b</A><B>c</B></R></L>", true);
    EXPECT_EQ(one.Cells(0, 0), QStringLiteral("only"));
}

TEST_F(GridXml, HostileOrBrokenDocumentsChangeNothing)
{
    g.SetCells(1, 1, QStringLiteral("keep"));
    const QString before = Snapshot(g);
    QByteArray deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    deep += "x";
    for (int i = 0; i < 100000; ++i) deep += "</a>";
    QByteArray wide = "<L><R";
    for (int i = 0; i < 1000000; ++i) wide += " a" + QByteArray::number(i) + "=\"1\"";
    wide += "/></L>";
    const struct {
        QByteArray doc;
        const char* message; // the start of the error
    } cases[] = {
        {"<L>\n<R><A>1</A></R>\n<R><A>2</B></R></L>", "XMLDOM Parsing error 14 on line 3"},
        {"<L><R><A>1</A></R><R><A>2", "XMLDOM Parsing error"},
        {"<?xml version=\"1.0\" encoding=\"x-unknown-8\"?><L/>", "XMLDOM Parsing error: "},
        {wide, "XMLDOM Parsing error: "},
        // A control character the parser lets through could not be written back.
        {"<L><R><A>1</A><B>\x12</B></R></L>", "The document holds a character XML cannot hold (code 18)"},
        {"<L><R k=\"&#1;\"/></L>", "The document holds a character XML cannot hold (code 1)"},
    };
    for (const auto& k : cases) {
        try {
            g.LoadFromXMLBytes(k.doc);
            ADD_FAILURE() << "no error for " << k.message;
        } catch (const EExtGridError& e) {
            EXPECT_TRUE(e.Message().startsWith(QLatin1String(k.message))) << e.Message().toStdString();
        }
        EXPECT_EQ(Snapshot(g), before);
    }
    // An external entity is never read: its reference stays text.
    TExtStringGrid ext;
    ext.LoadFromXMLBytes("<!DOCTYPE L [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><L><R><A>&e;</A></R></L>");
    EXPECT_EQ(ext.Cells(ext.SaveStartCol(), ext.FixedRows()), QStringLiteral("&e;"));
    // A document 100,000 levels deep is walked without recursion.
    TExtStringGrid d;
    d.LoadFromXMLBytes(deep);
    EXPECT_TRUE(d.ColCount() >= 1 && d.RowCount() >= 1);

    try {
        g.LoadFromXML(Path("missing.xml"));
        ADD_FAILURE();
    } catch (const EExtGridError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("XML file not found"));
    }
}

TEST_F(GridXml, ExportNotifiesAndReportsProgress)
{
    g.SetRowCount(5);
    std::vector<int> progress;
    g.OnFileProgress = [&](TExtStringGrid*, int16_t p) { progress.push_back(p); };
    g.SaveToXMLBytes(QStringLiteral("L"), QStringLiteral("R"));
    EXPECT_EQ(progress, (std::vector<int>{0, 25, 50, 75, 100}));
}

} // namespace
