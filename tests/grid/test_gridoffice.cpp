#include "common/TestSupport.h"
#include "common/XlsBuild.h"
#include "grid/ExtGrid.h"
#include "platform/Database.h"
#include "platform/Files.h"
#include "platform/Zip.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The system's python, which has the peer modules (openpyxl, odfpy, xlwt,
// python-docx).
QString Python()
{
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                             : QStringLiteral("python3");
}

// Runs a python script; its standard output, or a test failure with its errors.
QString RunPython(const QString& script, const QStringList& args)
{
    QProcess p;
    p.start(Python(), QStringList{QStringLiteral("-c"), script} + args);
    if (!p.waitForFinished(120000)) {
        ADD_FAILURE() << "python did not run";
        return {};
    }
    if (p.exitCode() != 0) ADD_FAILURE() << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The workbooks the independent writers make, made once per run.
QString Workbooks()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        QProcess p;
        p.start(Python(), {QStringLiteral(KR_FIXTURES_DIR "/workbooks/make_workbooks.py"), dir.path()});
        const bool ok = p.waitForFinished(120000) && p.exitCode() == 0;
        if (!ok) ADD_FAILURE() << p.readAllStandardError().toStdString();
        made = true;
    }
    return dir.path();
}
QString Workbook(const char* name) { return Workbooks() + u'/' + QString::fromLatin1(name); }

QString Snapshot(TExtStringGrid& g)
{
    QString s = QStringLiteral("%1x%2/%3x%4;").arg(g.ColCount()).arg(g.RowCount()).arg(g.FixedCols()).arg(g.FixedRows());
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c) s += g.GridCells(c, r) + u'|';
    return s;
}

// The texts of one grid row from column `from` on.
QStringList Row(TExtStringGrid& g, int r, int from = 0)
{
    QStringList out;
    for (int c = from; c < g.ColCount(); ++c) out << g.GridCells(c, r);
    return out;
}

class GridOffice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        saved = SystemFormatSettings();
        FormatSettings fs;
        fs.DecimalSeparator = u',';
        fs.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
        fs.LongTimeFormat = QStringLiteral("hh:nn:ss");
        SetFormatSettings(fs);
        g.SetColCount(2);
        g.SetRowCount(2);
        g.SetFixedCols(0);
        g.SetFixedRows(0);
    }
    void TearDown() override { SetFormatSettings(saved); }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    FormatSettings saved;
    QTemporaryDir dir;
    TExtStringGrid g;
};

TEST_F(GridOffice, LoadsTheActiveSheetsUsedRangeAtTheFixedOffsets)
{
    // The same sheet from two writers: the active sheet of the binary
    // workbook is its first.
    const std::pair<const char*, QStringList> files[] = {
        {"b2d4.xlsx", {QStringLiteral("Other"), QStringLiteral("Data")}},
        {"b2d4.xls", {QStringLiteral("Data"), QStringLiteral("Other")}},
    };
    for (const auto& [file, sheets] : files) {
        SCOPED_TRACE(file);
        EXPECT_EQ(g.GetXLSSheets(Workbook(file)), sheets);

        // Fixed cells loaded: B2 lands at (0, 0). The error value in D3 is
        // skipped, so that cell keeps its text.
        g.SetColCount(3);
        g.SetRowCount(3);
        g.SetCells(2, 1, QStringLiteral("keep"));
        g.LoadFromXLS(Workbook(file));
        EXPECT_EQ(g.ColCount(), 3);
        EXPECT_EQ(g.RowCount(), 3);
        EXPECT_EQ(Row(g, 0), (QStringList{"a", "1,5", "True"}));
        EXPECT_EQ(Row(g, 1), (QStringList{"05/03/2024", "05/03/2024 10:20:30", "keep"}));
        EXPECT_EQ(Row(g, 2), (QStringList{"1,23456789012346E16", "x\ny", "False"}));

        // Fixed cells not loaded: the range moves by the fixed columns and
        // rows, which stay as they were.
        TExtStringGrid h;
        h.SetColCount(5);
        h.SetRowCount(5);
        h.SetFixedCols(1);
        h.SetFixedRows(2);
        h.SetSaveFixedCells(false);
        h.LoadFromXLSSheet(Workbook(file), QStringLiteral("Data"));
        EXPECT_EQ(h.ColCount(), 4);
        EXPECT_EQ(h.RowCount(), 5);
        EXPECT_EQ(h.FixedCols(), 1);
        EXPECT_EQ(h.FixedRows(), 2);
        EXPECT_EQ(Row(h, 2, 1), (QStringList{"a", "1,5", "True"}));

        h.LoadFromXLSSheet(Workbook(file), QStringLiteral("Other"));
        EXPECT_EQ(h.GridCells(1, 2), QStringLiteral("other"));
        EXPECT_EQ(h.ColCount(), 2);
    }
}

TEST_F(GridOffice, SheetShapesAndDateSystems)
{
    struct Case {
        const char* file;
        int cols, rows;
        std::vector<std::tuple<int, int, QString>> cells;
    };
    const Case cases[] = {
        {"one.xlsx", 1, 1, {{0, 0, "solo"}}},
        {"empty.xlsx", 1, 1, {{0, 0, ""}}},
        {"date1904.xlsx", 1, 2, {{0, 0, "05/03/2024"}, {0, 1, "12:30:00"}}},
        {"aaa.xlsx", 703, 1, {{0, 0, "near"}, {702, 0, "far"}, {701, 0, ""}}},
        {"one.xls", 1, 1, {{0, 0, "solo"}}},
        {"empty.xls", 1, 1, {{0, 0, ""}}},
        {"date1904.xls", 1, 2, {{0, 0, "05/03/2024"}, {0, 1, "12:30:00"}}},
        {"sheets.xls", 1, 1, {{0, 0, "first"}}},
        // Shared strings that go on in CONTINUE records, switching between
        // 8 and 16 bits, and a string with formatting runs.
        {"long.xls", 1, 5,
         {{0, 0, QString(9000, u'a')},
          {0, 1, QString(5000, QChar(0x416))},
          {0, 2, "plain bold"},
          {0, 3, QString(3000, u'b') + QString(3000, QChar(0x416))},
          {0, 4, "end"}}},
        // The active table of the OpenDocument file is its second; spaces,
        // paragraphs, dates, booleans and a repeated cell.
        {"sheets.ods", 3, 2,
         {{0, 0, "2,25"}, {1, 0, "two  words\nline"}, {0, 1, "05/03/2024"}, {1, 1, "True"}, {2, 1, "True"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        g.SetCells(0, 0, QStringLiteral("old"));
        g.LoadFromXLS(Workbook(c.file));
        EXPECT_EQ(g.ColCount(), c.cols);
        EXPECT_EQ(g.RowCount(), c.rows);
        for (const auto& [col, row, text] : c.cells) EXPECT_EQ(g.GridCells(col, row), text) << col << "," << row;
    }
    EXPECT_EQ(g.GetXLSSheets(Workbook("sheets.ods")), (QStringList{"First", "Second"}));
    g.LoadFromXLSSheet(Workbook("sheets.xls"), QStringLiteral("S2"));
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(Row(g, 0), (QStringList{"b2", "42", ""}));
    EXPECT_EQ(Row(g, 1), (QStringList{"05/03/2024", "", ""}));
    EXPECT_EQ(Row(g, 2), (QStringList{"", "", "0,25"}));

    QStringList many;
    for (int i = 1; i <= 40; ++i) many << QStringLiteral("Sheet %1").arg(i);
    EXPECT_EQ(g.GetXLSSheets(Workbook("many.xls")), many);
    g.LoadFromXLSSheet(Workbook("many.xls"), QStringLiteral("Sheet 37"));
    EXPECT_EQ(g.GridCells(0, 0), QStringLiteral("37"));
}

TEST_F(GridOffice, ASheetWithFarCornersStoresOnlyWhatItHolds)
{
    // Values in A1 and in the last row and column of the binary format: the
    // grid takes the whole box, its old cells inside it are emptied.
    using namespace XlsBuild;
    const QByteArray cells = Record(0x0204, Cell(0, 0) + String(QStringLiteral("first"))) +
                             Record(0x0204, Cell(65535, 255) + String(QStringLiteral("last")));
    WriteFileAtomic(Path("far.xls"), Compound(XlsBuild::Workbook({}, {{QStringLiteral("S"), cells}})).Bytes);
    g.SetCells(1, 1, QStringLiteral("old"));
    g.LoadFromXLS(Path("far.xls"));
    EXPECT_EQ(g.ColCount(), 256);
    EXPECT_EQ(g.RowCount(), 65536);
    EXPECT_EQ(g.GridCells(0, 0), QStringLiteral("first"));
    EXPECT_EQ(g.GridCells(1, 1), QString());
    EXPECT_EQ(g.GridCells(255, 65535), QStringLiteral("last"));
}

// A zip archive of the given entries, as a file.
QString ZipFile(const QString& path, const std::vector<std::pair<QString, QByteArray>>& entries)
{
    WriteFileAtomic(path, WriteZip(entries));
    return path;
}

TEST_F(GridOffice, BadWorkbooksChangeNothing)
{
    const QByteArray good = ReadFileBytes(Workbook("b2d4.xlsx"));
    const QByteArray types = "<Types/>";
    const QByteArray wb = "<workbook><sheets><sheet name=\"S\" r:id=\"rId1\"/></sheets></workbook>";
    const QByteArray rels = "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\" "
                            "Type=\"http://x/worksheet\"/></Relationships>";
    auto xlsx = [&](const char* name, const QByteArray& sheet) {
        return ZipFile(Path(name), {{"[Content_Types].xml", types},
                                    {"xl/workbook.xml", wb},
                                    {"xl/_rels/workbook.xml.rels", rels},
                                    {"xl/worksheets/sheet1.xml", sheet}});
    };
    auto ods = [&](const char* name, const QByteArray& table) {
        return ZipFile(Path(name), {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                                    {"content.xml", "<office:document-content><office:body><office:spreadsheet>" +
                                                        table + "</office:spreadsheet></office:body></office:document-content>"}});
    };
    auto raw = [&](const char* name, const QByteArray& bytes) {
        WriteFileAtomic(Path(name), bytes);
        return Path(name);
    };
    // Binary workbooks: one shared string "x" in A1, in the mini stream or,
    // padded with a record nobody reads, in sectors of its own.
    using namespace XlsBuild;
    auto sst = [](uint32_t count, const QStringList& strings) {
        QByteArray d;
        Put32(d, count);
        Put32(d, count);
        for (const QString& t : strings) d += String(t);
        return Record(0x00FC, d);
    };
    QByteArray index;
    Put32(index, 0);
    const QByteArray labelSst = Record(0x00FD, Cell(0, 0) + index);
    const QByteArray small = XlsBuild::Workbook(sst(1, {"x"}), {{"S", labelSst}});
    const QByteArray padded = XlsBuild::Workbook(Record(0x0160, QByteArray(4200, '\0')) + sst(1, {"x"}), {{"S", labelSst}});
    for (const QByteArray& stream : {small, padded})
        for (const bool difat : {false, true}) {
            TExtStringGrid ok;
            ok.LoadFromXLS(raw("good.xls", Compound(stream, QStringLiteral("Workbook"), difat).Bytes));
            EXPECT_EQ(ok.GridCells(0, 0), QStringLiteral("x"));
        }
    auto damaged = [&](const char* name, const QByteArray& stream, auto damage) {
        TCompound c = Compound(stream);
        damage(c);
        return raw(name, c.Bytes);
    };
    QByteArray pastStream = small;
    pastStream[pastStream.size() - 2] = 1;  // the last EOF claims 1 byte
    const QString files[] = {
        raw("truncated.xlsx", good.left(good.size() / 2)),
        raw("garbage.xlsx", "PK\x03\x04 not really an archive"),
        raw("text.xls", "just text"),
        raw("ole.xls", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, 'x')),
        damaged("fatloop.xls", padded, [](TCompound& c) { Set32(c.Bytes, c.Fat + 4 * 3, 2); }),
        damaged("miniloop.xls", small, [](TCompound& c) { Set32(c.Bytes, c.MiniFat, 0); }),
        damaged("pastfile.xls", padded, [](TCompound& c) { Set32(c.Bytes, c.Entry + 116, 0xFFFFFF); }),
        damaged("dirloop.xls", small, [](TCompound& c) { Set32(c.Bytes, c.Entry + 68, 1); }),
        damaged("toolarge.xls", padded, [](TCompound& c) { Set32(c.Bytes, c.Entry + 120, 0x10000001); }),
        raw("truncated.xls", Compound(padded).Bytes.left(3000)),
        [&] {
            // The DIFAT sector, full, names itself as the next one.
            TCompound c = Compound(padded, QStringLiteral("Workbook"), true);
            Set32(c.Bytes, 0x2C, 109 + 127 + 1);
            Set32(c.Bytes, 0x48, 2);
            for (int i = 0; i < 127; ++i) Set32(c.Bytes, c.Difat + 4 * i, 0);
            Set32(c.Bytes, c.Difat + 508, uint32_t(c.Difat / 512 - 1));
            return raw("difatloop.xls", c.Bytes);
        }(),
        [&] {
            // More table sectors than the header and the DIFAT list.
            TCompound c = Compound(padded, QStringLiteral("Workbook"), true);
            Set32(c.Bytes, 0x2C, 111);
            return raw("difatshort.xls", c.Bytes);
        }(),
        raw("sstcount.xls", Compound(XlsBuild::Workbook(sst(3, {"x", "y"}), {{"S", labelSst}})).Bytes),
        raw("sstindex.xls", Compound(XlsBuild::Workbook(sst(1, {"x"}), {{"S", Record(0x00FD, Cell(0, 0) + QByteArray("\1\0\0\0", 4))}})).Bytes),
        raw("pastrecord.xls", Compound(pastStream).Bytes),
        raw("encrypted.xls", Compound(XlsBuild::Workbook(Record(0x002F, QByteArray(6, '\0')), {{"S", labelSst}})).Bytes),
        raw("biff5.xls", Compound(small, QStringLiteral("Book")).Bytes),
        xlsx("badxml.xlsx", "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></row>"),
        xlsx("pastxfd.xlsx", "<worksheet><sheetData><row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row></sheetData></worksheet>"),
        xlsx("pastrow.xlsx", "<worksheet><sheetData><row r=\"1048577\"><c><v>1</v></c></row></sheetData></worksheet>"),
        xlsx("badnumber.xlsx", "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>x1</v></c></row></sheetData></worksheet>"),
        xlsx("badstring.xlsx", "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>7</v></c></row></sheetData></worksheet>"),
        ods("repeat.ods", "<table:table table:name=\"T\"><table:table-row table:number-rows-repeated=\"1048576\"/>"
                          "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"1\"/>"
                          "</table:table-row></table:table>"),
        ods("colrepeat.ods", "<table:table table:name=\"T\"><table:table-row><table:table-cell "
                             "table:number-columns-repeated=\"16385\"/></table:table-row></table:table>"),
    };
    g.SetCells(0, 0, QStringLiteral("kept"));
    const QString before = Snapshot(g);
    for (const QString& f : files) {
        SCOPED_TRACE(f.toStdString());
        try {
            g.LoadFromXLS(f);
            ADD_FAILURE() << "loaded";
        } catch (const EExtGridError& e) {
            ADD_FAILURE() << e.Message().toStdString();
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Incorrect XLS file"));
        }
        EXPECT_EQ(Snapshot(g), before);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }

    try {
        g.LoadFromXLSSheet(Workbook("b2d4.xlsx"), QStringLiteral("Nope"));
        ADD_FAILURE() << "loaded";
    } catch (const EExtGridError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Excel worksheet Nope not found"));
    }
    EXPECT_THROW(g.LoadFromXLS(Path("missing.xlsx")), EFileError);
    EXPECT_EQ(Snapshot(g), before);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// The cells of a workbook's sheet as openpyxl reads them: "A1|type|value|bold"
// per cell holding a value, after a line with the sheet names.
QString OpenpyxlCells(const QString& path, const QString& sheet = QString())
{
    const QString script = QStringLiteral(
        "import sys, openpyxl\n"
        "wb = openpyxl.load_workbook(sys.argv[1])\n"
        "print(','.join(wb.sheetnames))\n"
        "ws = wb[sys.argv[2]] if len(sys.argv) > 2 else wb.active\n"
        "for row in ws.iter_rows():\n"
        "    for c in row:\n"
        "        if c.value is not None:\n"
        "            print('%s|%s|%r|%s' % (c.coordinate, c.data_type, c.value, c.font.b))\n");
    QStringList args{path};
    if (!sheet.isEmpty()) args << sheet;
    return RunPython(script, args);
}

TEST_F(GridOffice, SaveToXLSWritesNumbersStringsAndTheSaveRange)
{
    g.SetColCount(4);
    g.SetRowCount(3);
    g.SetFixedRows(1);
    g.SetFixedCols(1);
    const char* texts[3][4] = {{"fix", "head", "hidden", "h2"},
                               {"f1", "1,5", "x", "007"},
                               {"f2", "a\r\nb", "y", "=SUM(1)"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) g.SetCells(c, r, QString::fromUtf8(texts[r][c]));
    g.HideColumn(2);
    // Every cell, fixed ones included; the hidden column is left out.
    const QString path = Path("grid.xls");
    g.SaveToXLS(path, false);
    // The peer reads it by its content's name.
    WriteFileAtomic(Path("grid.xlsx"), ReadFileBytes(path));
    EXPECT_EQ(OpenpyxlCells(Path("grid.xlsx")),
              QStringLiteral("Sheet1\n"
                             "A1|s|'fix'|False\nB1|s|'head'|False\nC1|s|'h2'|False\n"
                             "A2|s|'f1'|False\nB2|n|1.5|False\nC2|s|'007'|False\n"
                             "A3|s|'f2'|False\nB3|s|'a\\nb'|False\nC3|s|'=SUM(1)'|False\n"));

    // Without the fixed cells only the normal cells, from A1.
    g.SetSaveFixedCells(false);
    g.SaveToXLSSheet(Path("range.xlsx"), QStringLiteral("Data"));
    EXPECT_EQ(OpenpyxlCells(Path("range.xlsx")),
              QStringLiteral("Data\nA1|n|1.5|False\nB1|s|'007'|False\nA2|s|'a\\nb'|False\nB2|s|'=SUM(1)'|False\n"));
}

TEST_F(GridOffice, SaveToXLSSheetRewritesOneSheetOfAnExistingWorkbook)
{
    const QString path = Path("existing.xlsx");
    RunPython(QStringLiteral(
                  "import sys, zipfile, openpyxl\n"
                  "from openpyxl.styles import Font\n"
                  "wb = openpyxl.Workbook()\n"
                  "wb.active.title = 'Keep'\n"
                  "wb.active['A1'] = 'keep me'\n"
                  "t = wb.create_sheet('Target')\n"
                  "t['A1'] = 'old'\n"
                  "t['A1'].font = Font(b=True)\n"
                  "t['B1'] = '=1+1'\n"
                  "t['B2'] = 'gone'\n"
                  "t['E5'] = 'beside'\n"
                  "wb.save(sys.argv[1] + '.tmp')\n"
                  "# A calculation chain, as the spreadsheet program keeps one.\n"
                  "src = zipfile.ZipFile(sys.argv[1] + '.tmp')\n"
                  "dst = zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED)\n"
                  "for i in src.infolist():\n"
                  "    data = src.read(i.filename)\n"
                  "    if i.filename == '[Content_Types].xml':\n"
                  "        data = data.replace(b'</Types>', b'<Override PartName=\"/xl/calcChain.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/></Types>')\n"
                  "    if i.filename == 'xl/_rels/workbook.xml.rels':\n"
                  "        data = data.replace(b'</Relationships>', b'<Relationship Id=\"rId99\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain\" Target=\"calcChain.xml\"/></Relationships>')\n"
                  "    dst.writestr(i.filename, data)\n"
                  "dst.writestr('xl/calcChain.xml', '<calcChain xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><c r=\"B1\" i=\"2\"/></calcChain>')\n"
                  "dst.close()\n"),
              {path});
    const QByteArray before = ReadFileBytes(path);

    g.SetColCount(2);
    g.SetRowCount(2);
    g.SetCells(0, 0, QStringLiteral("new"));
    g.SetCells(1, 0, QStringLiteral("5"));
    g.SetCells(0, 1, QStringLiteral("x"));
    g.SaveToXLSSheet(path, QStringLiteral("Target"));
    // The range's cells are replaced keeping their style; B2 is emptied, E5
    // beside the range kept; the formula is gone and so is the chain.
    EXPECT_EQ(OpenpyxlCells(path, QStringLiteral("Target")),
              QStringLiteral("Keep,Target\nA1|s|'new'|True\nB1|n|5|False\nA2|s|'x'|False\nE5|s|'beside'|False\n"));
    EXPECT_EQ(OpenpyxlCells(path, QStringLiteral("Keep")), QStringLiteral("Keep,Target\nA1|s|'keep me'|False\n"));
    TZipReader rewritten(ReadFileBytes(path));
    EXPECT_FALSE(rewritten.Contains(QStringLiteral("xl/calcChain.xml")));
    EXPECT_FALSE(rewritten.Read(QStringLiteral("[Content_Types].xml")).contains("calcChain"));

    // A sheet of a new name is added; every other entry stays byte for byte.
    const QByteArray middle = ReadFileBytes(path);
    g.SaveToXLSSheet(path, QStringLiteral("Added"));
    EXPECT_EQ(OpenpyxlCells(path, QStringLiteral("Added")),
              QStringLiteral("Keep,Target,Added\nA1|s|'new'|False\nB1|n|5|False\nA2|s|'x'|False\n"));
    TZipReader was(middle), now(ReadFileBytes(path));
    const QStringList changed{"[Content_Types].xml", "xl/workbook.xml", "xl/_rels/workbook.xml.rels"};
    for (const QString& name : was.Names()) {
        ASSERT_TRUE(now.Contains(name)) << name.toStdString();
        if (!changed.contains(name)) {
            EXPECT_EQ(now.Read(name), was.Read(name)) << name.toStdString();
        }
    }
    EXPECT_EQ(now.Names().size(), was.Names().size() + 1);
    EXPECT_NE(before, middle);
}

TEST_F(GridOffice, SaveToXLSSheetOverwritingASharedFormulaKeepsTheOtherCellsFormulas)
{
    // B1:C3 share the formula of B1, stored once there as the program does.
    const QString path = Path("shared.xlsx");
    RunPython(QStringLiteral(
                  "import sys, zipfile, openpyxl\n"
                  "wb = openpyxl.Workbook()\n"
                  "ws = wb.active\n"
                  "ws.title = 'S'\n"
                  "for r in range(1, 4):\n"
                  "    ws.cell(r, 1, r)\n"
                  "    for c in (2, 3):\n"
                  "        ws.cell(r, c, 'F%d%d' % (r, c))\n"
                  "wb.save(sys.argv[1] + '.tmp')\n"
                  "src = zipfile.ZipFile(sys.argv[1] + '.tmp')\n"
                  "dst = zipfile.ZipFile(sys.argv[1], 'w')\n"
                  "for i in src.infolist():\n"
                  "    data = src.read(i.filename)\n"
                  "    if i.filename == 'xl/worksheets/sheet1.xml':\n"
                  "        for r in range(1, 4):\n"
                  "            for c in (2, 3):\n"
                  "                f = '<f t=\"shared\" ref=\"B1:C3\" si=\"0\">A1*2+$D$1+D$1+\"A1\"+SUM(A:A)+LOG10(A1)</f>' if (r, c) == (1, 2) else '<f t=\"shared\" si=\"0\"/>'\n"
                  "                data = data.replace(('<c r=\"%s%d\" t=\"inlineStr\"><is><t>F%d%d</t></is></c>' % ('BC'[c - 2], r, r, c)).encode(),\n"
                  "                                    ('<c r=\"%s%d\">%s<v>0</v></c>' % ('BC'[c - 2], r, f)).encode())\n"
                  "        assert data.count(b'<f ') == 6, data\n"
                  "    dst.writestr(i.filename, data)\n"
                  "dst.close()\n"),
              {path});

    g.SetColCount(2);
    g.SetRowCount(1);
    g.SetCells(0, 0, QStringLiteral("7"));
    g.SetCells(1, 0, QStringLiteral("x"));
    g.SaveToXLSSheet(path, QStringLiteral("S"));
    // Each remaining cell reads the formula moved to its place; the $ parts,
    // the quoted text and the function name stay.
    EXPECT_EQ(OpenpyxlCells(path),
              QStringLiteral("S\n"
                             "A1|n|7|False\nB1|s|'x'|False\nC1|f|'=B1*2+$D$1+E$1+\"A1\"+SUM(B:B)+LOG10(B1)'|False\n"
                             "A2|n|2|False\nB2|f|'=A2*2+$D$1+D$1+\"A1\"+SUM(A:A)+LOG10(A2)'|False\n"
                             "C2|f|'=B2*2+$D$1+E$1+\"A1\"+SUM(B:B)+LOG10(B2)'|False\n"
                             "A3|n|3|False\nB3|f|'=A3*2+$D$1+D$1+\"A1\"+SUM(A:A)+LOG10(A3)'|False\n"
                             "C3|f|'=B3*2+$D$1+E$1+\"A1\"+SUM(B:B)+LOG10(B3)'|False\n"));
    TZipReader rewritten(ReadFileBytes(path));
    EXPECT_FALSE(rewritten.Read(QStringLiteral("xl/worksheets/sheet1.xml")).contains("shared"));
}

TEST_F(GridOffice, RefusedWorkbookDataWritesNothing)
{
    g.SetCells(0, 0, QStringLiteral("x"));
    const QString path = Path("refused.xlsx");
    EXPECT_THROW(g.SaveToXLSSheet(path, QStringLiteral("a/b")), EExtGridError);
    EXPECT_THROW(g.SaveToXLSSheet(path, QString(32, u'n')), EExtGridError);
    g.SetCells(1, 1, QString(32768, u'x'));
    try {
        g.SaveToXLS(path);
        ADD_FAILURE() << "saved";
    } catch (const EExtGridError& e) {
        EXPECT_TRUE(e.Message().contains(QLatin1String("B2"))) << e.Message().toStdString();
    }
    EXPECT_FALSE(QFile::exists(path));
    g.SetCells(1, 1, QString(32767, u'x'));
    EXPECT_THROW(g.SaveToXLS(Path("no/such/folder/f.xlsx")), EFileError);
    // Only .xlsx files are updated in place.
    WriteFileAtomic(Path("old.xls"), ReadFileBytes(Workbook("sheets.xls")));
    EXPECT_THROW(g.SaveToXLSSheet(Path("old.xls"), QStringLiteral("S1")), EExtGridError);
    EXPECT_EQ(ReadFileBytes(Path("old.xls")), ReadFileBytes(Workbook("sheets.xls")));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    g.SaveToXLS(path);
    g.SetCells(1, 1, QString());
    g.LoadFromXLS(path);
    EXPECT_EQ(g.GridCells(1, 1), QString(32767, u'x'));
}

// The body of a document as python-docx reads it: a paragraph as "P:" and
// its text, a table as "T:" and its rows, cells joined by "|", a cell's
// paragraphs by "/", each with "<" ">" "^" for left, right and centred.
QString DocxBody(const QString& path)
{
    const QString script = QStringLiteral(
        "import sys, docx\n"
        "from docx.table import Table\n"
        "from docx.text.paragraph import Paragraph\n"
        "d = docx.Document(sys.argv[1])\n"
        "al = {None: '<', 0: '<', 1: '^', 2: '>'}\n"
        "for el in d.element.body.iterchildren():\n"
        "    tag = el.tag.split('}')[1]\n"
        "    if tag == 'p':\n"
        "        print('P:' + Paragraph(el, d).text)\n"
        "    elif tag == 'tbl':\n"
        "        t = Table(el, d)\n"
        "        rows = []\n"
        "        for r in t.rows:\n"
        "            rows.append('|'.join('/'.join(al[p.alignment] + p.text for p in c.paragraphs) for c in r.cells))\n"
        "        print('T:' + ' ; '.join(rows))\n");
    return RunPython(script, {path});
}

TEST_F(GridOffice, DocumentTablesAsTheWordProcessorReadsThem)
{
    g.SetColCount(2);
    g.SetRowCount(2);
    g.SetCells(0, 0, QStringLiteral("a"));
    g.SetCells(1, 0, QStringLiteral("two\r\nlines"));
    g.SetCells(0, 1, QStringLiteral("<&>"));
    g.SetCells(1, 1, QStringLiteral("9"));
    g.SetAlignments(1, 1, taRightJustify);
    g.SetAlignments(0, 1, taCenter);
    g.SetText(QStringLiteral("Grid text"));
    g.SaveToDOC(Path("new.doc"));
    EXPECT_EQ(DocxBody(Path("new.doc")), QStringLiteral("T:<a|<two/<lines ; ^<&>|>9\nP:Grid text\n"));

    const QString path = Path("report.docx");
    RunPython(QStringLiteral(
                  "import sys, docx\n"
                  "from docx.oxml.shared import OxmlElement, qn\n"
                  "d = docx.Document()\n"
                  "d.add_paragraph('Intro')\n"
                  "p = d.add_paragraph('Before ')\n"
                  "s = OxmlElement('w:bookmarkStart'); s.set(qn('w:id'), '0'); s.set(qn('w:name'), 'here')\n"
                  "e = OxmlElement('w:bookmarkEnd'); e.set(qn('w:id'), '0')\n"
                  "p._p.append(s); p._p.append(e)\n"
                  "p.add_run('after')\n"
                  "d.add_paragraph('Last')\n"
                  "d.save(sys.argv[1])\n"),
              {path});
    const QByteArray original = ReadFileBytes(path);
    g.SetText(QStringLiteral("Title"));
    g.AppendToDoc(path, QStringLiteral("here"));
    EXPECT_EQ(DocxBody(path), QStringLiteral("P:Title\nP:Intro\nP:Before \nT:<a|<two/<lines ; ^<&>|>9\nP:after\nP:Last\n"));

    // No such bookmark: the table goes at the end, a paragraph after it.
    WriteFileAtomic(path, original);
    g.AppendToDoc(path, QStringLiteral("nope"));
    EXPECT_EQ(DocxBody(path),
              QStringLiteral("P:Title\nP:Intro\nP:Before after\nP:Last\nT:<a|<two/<lines ; ^<&>|>9\nP:\n"));

    // Only .docx files are updated; a broken one is left as it was.
    WriteFileAtomic(Path("broken.docx"), original.left(original.size() / 2));
    EXPECT_THROW(g.AppendToDoc(Path("broken.docx"), QString()), EExtGridError);
    EXPECT_EQ(ReadFileBytes(Path("broken.docx")), original.left(original.size() / 2));
    EXPECT_THROW(g.AppendToDoc(Path("missing.docx"), QString()), EFileError);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// Runs the sqlite3 tool on a database file.
void Sqlite(const QString& file, const QString& sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {file, sql});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

TEST_F(GridOffice, DatabaseImportFillsTheGridBelowTheFieldNames)
{
    const QString db = Path("data.db");
    Sqlite(db, QStringLiteral("CREATE TABLE \"my table\"(id INTEGER, name TEXT, v REAL);"
                              "INSERT INTO \"my table\" VALUES (1, 'one', 1.5), (2, NULL, -2), (3, 'three', NULL);"));
    const QByteArray bytes = ReadFileBytes(db);
    g.SetColCount(2);
    g.SetRowCount(9);
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    int changed = 0;
    g.OnCellsChanged = [&](TExtStringGrid*, const TGridRect&) { ++changed; };
    g.LoadFromMDBTable(db, QStringLiteral("my table"));
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(g.RowCount(), 4);
    EXPECT_EQ(Row(g, 0, 1), (QStringList{"id", "name", "v"}));
    EXPECT_EQ(Row(g, 1, 1), (QStringList{"1", "one", "1,5"}));
    EXPECT_EQ(Row(g, 2, 1), (QStringList{"2", "", "-2"}));
    EXPECT_EQ(Row(g, 3, 1), (QStringList{"3", "three", ""}));
    EXPECT_GE(changed, 1);

    // A query without records leaves one empty row.
    g.LoadFromMDBSQL(db, QStringLiteral("SELECT name FROM \"my table\" WHERE id > 5"));
    EXPECT_EQ(g.ColCount(), 2);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(Row(g, 0, 1), (QStringList{"name"}));
    EXPECT_EQ(Row(g, 1, 1), (QStringList{""}));

    // Refused statements and bad files change neither the grid nor the file.
    const QString before = Snapshot(g);
    EXPECT_THROW(g.LoadFromMDBSQL(db, QStringLiteral("DELETE FROM \"my table\"")), EDatabaseError);
    EXPECT_THROW(g.LoadFromMDBSQL(db, QStringLiteral("SELEC nonsense")), EDatabaseError);
    EXPECT_THROW(g.LoadFromMDBTable(db, QStringLiteral("missing\"; DROP TABLE \"my table")), EDatabaseError);
    EXPECT_THROW(g.LoadFromMDBTable(Workbook("one.xlsx"), QStringLiteral("t")), EDatabaseError);
    EXPECT_THROW(g.LoadFromMDBTable(Path("none.db"), QStringLiteral("t")), EFileError);
    EXPECT_EQ(Snapshot(g), before);
    EXPECT_EQ(ReadFileBytes(db), bytes);
}

// A grid that records its export notifications.
struct TNotifyingGrid : TExtStringGrid {
    QStringList Notes;
    void ExportNotification(TGridExportState state, int r) override
    {
        Notes << QStringLiteral("%1:%2").arg(int(state)).arg(r);
    }
};

TEST_F(GridOffice, WritersBracketTheirRowsWithExportNotifications)
{
    TNotifyingGrid n;
    n.SetColCount(2);
    n.SetRowCount(3);
    n.SetFixedRows(1);
    n.SetSaveFixedCells(false);
    const int start = int(TGridExportState::esExportStart), next = int(TGridExportState::esExportNextRow),
              done = int(TGridExportState::esExportDone);
    n.SaveToXLS(Path("n.xlsx"));
    // The workbook gets the save range's rows, the document every row.
    EXPECT_EQ(n.Notes, (QStringList{QStringLiteral("%1:1").arg(start), QStringLiteral("%1:1").arg(next),
                                    QStringLiteral("%1:2").arg(next), QStringLiteral("%1:-1").arg(done)}));
    n.Notes.clear();
    n.SaveToDOC(Path("n.docx"));
    EXPECT_EQ(n.Notes, (QStringList{QStringLiteral("%1:0").arg(start), QStringLiteral("%1:1").arg(next),
                                    QStringLiteral("%1:2").arg(next), QStringLiteral("%1:3").arg(next),
                                    QStringLiteral("%1:-1").arg(done)}));
}

TEST(GridOfficeScale, ChangeScaleIgnoresNoScaleAndKeepsFontsVisible)
{
    TExtStringGrid g;
    TCellFont fixed = g.FixedFont();
    fixed.Font.setPointSize(8);
    g.SetFixedFont(fixed);
    g.ChangeScale(3, 0);
    g.ChangeScale(3, -2);
    EXPECT_EQ(g.FixedFont().Font.pointSize(), 8);
    g.ChangeScale(1, 100);
    EXPECT_EQ(g.FixedFont().Font.pointSize(), 1);
}

} // namespace
