#include "common/XlsBuild.h"
#include "platform/Workbook.h"
#include "platform/XlsReader.h"

#include <QMap>
#include <gtest/gtest.h>

namespace {

using namespace XlsBuild;

QByteArray U32Bytes(uint32_t v)
{
    QByteArray b;
    Put32(b, v);
    return b;
}

// A cell record whose cached formula result is the tagged value `type`
// (0 string, 1 boolean, 2 error, 3 empty) or a number.
QByteArray Formula(int row, int col, int type, int value = 0)
{
    QByteArray v(8, '\0');
    v[0] = char(type);
    v[2] = char(value);
    v[6] = v[7] = char(0xFF);
    return Record(0x0006, Cell(row, col) + v + QByteArray(6, '\0'));
}

// The globals: the date system, a custom date format (id 164), formats
// 0 (general), 1 (built-in date 14), 2 (custom 164), and shared strings
// "x", "abЖЖ" (whose characters go on 16 bits wide in a CONTINUE) and
// "rich" (formatting runs split over a CONTINUE, phonetic data).
QByteArray Globals(bool date1904)
{
    QByteArray fmt;
    Put16(fmt, 164);
    fmt += String(QStringLiteral("yyyy-mm-dd hh:mm"));
    auto xf = [](int format) {
        QByteArray d(20, '\0');
        d[2] = char(format);
        return Record(0x00E0, d);
    };
    QByteArray sst;
    Put32(sst, 3);
    Put32(sst, 3);
    sst += String(QStringLiteral("x"));
    Put16(sst, 4);
    sst += QByteArray("\0ab", 3);
    QByteArray cont("\x01\x16\x04\x16\x04", 5);
    Put16(cont, 4);
    cont += QByteArray("\x0C", 1);  // runs and phonetic data
    Put16(cont, 2);
    Put32(cont, 3);
    cont += "rich" + QByteArray(5, '\1');
    const QByteArray cont2 = QByteArray(3, '\1') + QByteArray(3, '\2');
    return Record(0x0022, date1904 ? QByteArray("\1\0", 2) : QByteArray(2, '\0')) + Record(0x041E, fmt) + xf(0) +
           xf(14) + xf(164) + Record(0x00FC, sst) + Record(0x003C, cont) + Record(0x003C, cont2);
}

QByteArray Cells(double dateSerial)
{
    QByteArray mulrk = Cell(2, 1).left(4);
    for (uint32_t i = 0; i < 3; ++i) {
        Put16(mulrk, 0);
        Put32(mulrk, ((i + 1) << 2) | 2);
    }
    Put16(mulrk, 3);
    QByteArray text;
    Put16(text, 12);
    text += QByteArray("\0from ", 6);
    return Record(0x00FD, Cell(0, 0) + U32Bytes(0)) + Record(0x00FD, Cell(0, 1) + U32Bytes(1)) +
           Record(0x00FD, Cell(0, 2) + U32Bytes(2)) + Record(0x0204, Cell(0, 3) + String(QStringLiteral("label"))) +
           Record(0x00D6, Cell(0, 4) + String(QStringLiteral("rstring")) + QByteArray(6, '\0')) +
           Record(0x0203, Cell(1, 0) + Double(1.5)) +
           Record(0x027E, Cell(1, 1) + U32Bytes((4250u << 2) | 3)) +  // 42.5, an integer / 100
           Record(0x027E, Cell(1, 2) + U32Bytes(0x3FD00000)) +        // 0.25, a double's high half
           Record(0x00BD, mulrk) +
           Record(0x0205, Cell(3, 0) + QByteArray("\1\0", 2)) + Record(0x0205, Cell(3, 1) + QByteArray("\0\0", 2)) +
           Record(0x0205, Cell(3, 2) + QByteArray("\x2A\1", 2)) +  // an error: no text
           Record(0x0006, Cell(4, 0) + Double(7) + QByteArray(6, '\0')) + Formula(4, 1, 0) +
           Record(0x04BC, QByteArray(8, '\0')) +  // a shared formula between the formula and its text
           Record(0x0207, text) + Record(0x003C, QByteArray("\0formula", 8)) + Formula(4, 2, 1, 1) +
           Formula(4, 3, 2, 7) + Formula(4, 4, 3) +
           Record(0x0203, Cell(5, 0, 1) + Double(dateSerial)) + Record(0x0203, Cell(5, 1, 2) + Double(dateSerial + 0.5)) +
           Record(0x0203, Cell(6, 0) + Double(1)) + Record(0x0204, Cell(6, 0) + String(QStringLiteral("last"))) +
           Record(0x0201, Cell(9, 9)) +  // a blank cell holds no value
           Bof(0x0020) + Record(0x0204, Cell(20, 20) + String(QStringLiteral("chart"))) + Eof();
}

TEST(XlsReader, ReadsEveryCellRecordFromEitherStreamKind)
{
    FormatSettings fs;
    fs.DecimalSeparator = u',';
    fs.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    fs.LongTimeFormat = QStringLiteral("hh:nn:ss");
    const QMap<QString, QString> expected = {
        {"A1", "x"},        {"B1", "abЖЖ"},       {"C1", "rich"},  {"D1", "label"},       {"E1", "rstring"},
        {"A2", "1,5"},      {"B2", "42,5"},         {"C2", "0,25"},  {"B3", "1"},           {"C3", "2"},
        {"D3", "3"},        {"A4", "True"},         {"B4", "False"}, {"C4", "<error>"},     {"A5", "7"},
        {"B5", "from formula"}, {"C5", "True"},     {"D5", "<error>"}, {"E5", ""},         {"A6", "05/03/2024"},
        {"B6", "05/03/2024 12:00:00"}, {"A7", "last"},
    };
    // 5 March 2024 in either date system; the padded workbook is too large
    // for the mini stream.
    for (const bool date1904 : {false, true})
        for (const bool padded : {false, true}) {
            SCOPED_TRACE(date1904 ? "1904" : "1900");
            SCOPED_TRACE(padded ? "sectors" : "mini stream");
            const QByteArray globals = Globals(date1904) + (padded ? Record(0x0160, QByteArray(4200, '\0')) : QByteArray());
            const TCompound file = Compound(XlsBuild::Workbook(
                globals, {{QStringLiteral("Cells"), Cells(date1904 ? 43894 : 45356)},
                          {QStringLiteral("Zweites Blatt \u00E9"), Record(0x0203, Cell(0, 0) + Double(2))}}));
            ASSERT_EQ(file.Mini, !padded);
            TWorkbookReader reader(file.Bytes, fs);
            EXPECT_EQ(reader.SheetNames(), (QStringList{"Cells", "Zweites Blatt \u00E9"}));
            EXPECT_EQ(reader.ActiveSheet(), 0);
            const TWorkbookSheet sheet = reader.ReadSheet(0);
            QMap<QString, QString> got;
            for (const TWorkbookCell& c : sheet.Cells)
                got.insert(WorkbookColumnLetters(c.Col) + QString::number(c.Row), c.Error ? QStringLiteral("<error>") : c.Text);
            EXPECT_EQ(got, expected);
            EXPECT_EQ(sheet.Top, 1);
            EXPECT_EQ(sheet.Left, 1);
            EXPECT_EQ(sheet.Bottom, 7);
            EXPECT_EQ(sheet.Right, 5);
            EXPECT_EQ(reader.ReadSheet(1).Cells.size(), 1u);
        }
}

TEST(XlsReader, RefusesStreamsOverTheLimitAndDamagedRecords)
{
    const QByteArray sheet = Record(0x0203, Cell(0, 0) + Double(1));
    QByteArray shortMulRk = Cell(0, 0).left(4);
    Put16(shortMulRk, 0);
    Put32(shortMulRk, 2);
    Put16(shortMulRk, 5);  // claims columns 0 to 5 for one value
    QByteArray nan = Record(0x0203, Cell(0, 0) + QByteArray("\0\0\0\0\0\0\xF8\x7F", 8));
    const std::pair<const char*, QByteArray> streams[] = {
        {"MULRK columns", XlsBuild::Workbook({}, {{"S", Record(0x00BD, shortMulRk)}})},
        {"not a number", XlsBuild::Workbook({}, {{"S", nan}})},
        {"sheet without an end", XlsBuild::Workbook({}, {{"S", sheet}}).chopped(4)},
        {"short record", XlsBuild::Workbook({}, {{"S", Record(0x0203, Cell(0, 0))}})},
        {"BIFF5 sheet", XlsBuild::Workbook({}, {{"S", {}}}).replace(Bof(0x0010), Bof(0x0010, 0x0500))},
    };
    for (const auto& [what, stream] : streams) {
        SCOPED_TRACE(what);
        const TCompound file = Compound(stream);
        TWorkbookReader reader(file.Bytes);
        EXPECT_THROW(reader.ReadSheet(0), EWorkbookError);
    }
    // A stream size over the limit is refused before a sector is read.
    TCompound big = Compound(XlsBuild::Workbook(Record(0x0160, QByteArray(4200, '\0')), {{"S", sheet}}));
    Set32(big.Bytes, big.Entry + 120, uint32_t(TCompoundFile::MaxStreamBytes + 1));
    EXPECT_THROW(TCompoundFile(big.Bytes).Stream(QStringLiteral("Workbook")), EXlsError);
}

} // namespace
