#include "common/TestSupport.h"
#include "platform/Database.h"
#include "platform/Files.h"
#include "platform/Workbook.h"
#include "platform/Zip.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(WorkbookText, NumbersReadAsTheProgramShowsThem)
{
    FormatSettings fs;
    fs.DecimalSeparator = u',';
    const std::pair<double, const char*> cases[] = {
        {1.5, "1,5"},           {-2, "-2"},
        {0.1 + 0.2, "0,3"},     {12345678901234567.0, "1,23456789012346E16"},
        {1e-5, "1E-5"},         {0.0001, "0,0001"},
        {-0.0, "0"},            {123456789012345.0, "123456789012345"},
    };
    for (const auto& [v, text] : cases) {
        EXPECT_EQ(WorkbookNumberText(v, fs), QString::fromLatin1(text)) << v;
        // What reads back as the same number is written as one.
        double back = 0;
        EXPECT_TRUE(WorkbookTextIsNumber(QString::fromLatin1(text), fs, back)) << text;
    }
    for (const char* text : {"007", "1.5", " 1", "1,50", "-0", "inf", "nan", "1e5", "True", ""}) {
        double back = 0;
        EXPECT_FALSE(WorkbookTextIsNumber(QString::fromLatin1(text), fs, back)) << text;
    }
}

TEST(WorkbookText, CellReferencesReachXfdAndNoFurther)
{
    const std::tuple<const char*, bool, int, int> cases[] = {
        {"A1", true, 1, 1},          {"$B$2", true, 2, 2},     {"AAA1", true, 1, 703},
        {"XFD1048576", true, 1048576, 16384},                  {"XFE1", false, 0, 0},
        {"A1048577", false, 0, 0},   {"A0", false, 0, 0},      {"1A", false, 0, 0},
        {"A", false, 0, 0},          {"AAAA1", false, 0, 0},   {"A1 ", false, 0, 0},
    };
    for (const auto& [ref, ok, row, col] : cases) {
        int r = 0, c = 0;
        EXPECT_EQ(ParseWorkbookCellRef(QString::fromLatin1(ref), r, c), ok) << ref;
        if (ok) {
            EXPECT_EQ(r, row) << ref;
            EXPECT_EQ(c, col) << ref;
            EXPECT_EQ(WorkbookColumnLetters(c) + QString::number(r), QString::fromLatin1(ref).remove(u'$'));
        }
    }
    for (const QString& name : {QStringLiteral("Sheet1"), QString(31, u'x'), QStringLiteral("a'b")})
        EXPECT_TRUE(IsValidSheetName(name)) << name.toStdString();
    for (const QString& name : {QString(), QString(32, u'x'), QStringLiteral("a:b"), QStringLiteral("[x]"),
                                QStringLiteral("'a"), QStringLiteral("a*"), QStringLiteral("a\\b")})
        EXPECT_FALSE(IsValidSheetName(name)) << name.toStdString();
}

TEST(WorkbookText, DatesShowTheTimeOnlyWhenThereIsOne)
{
    FormatSettings fs;
    fs.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    fs.LongTimeFormat = QStringLiteral("hh:nn:ss");
    const TDateTime day = EncodeDate(2024, 3, 5);
    EXPECT_EQ(WorkbookDateTimeText(day, fs), QStringLiteral("05/03/2024"));
    EXPECT_EQ(WorkbookDateTimeText(day + 0.5, fs), QStringLiteral("05/03/2024 12:00:00"));
    EXPECT_EQ(WorkbookDateTimeText(0.25, fs), QStringLiteral("06:00:00"));
    // No date outside the years 1 to 9999: the number.
    EXPECT_EQ(WorkbookDateTimeText(EncodeDate(1, 1, 1), fs), QStringLiteral("01/01/0001"));
    EXPECT_EQ(WorkbookDateTimeText(EncodeDate(9999, 12, 31), fs), QStringLiteral("31/12/9999"));
    EXPECT_EQ(WorkbookDateTimeText(EncodeDate(9999, 12, 31) + 1, fs), QStringLiteral("2958466"));
    EXPECT_EQ(WorkbookDateTimeText(1.2216e223, fs), QStringLiteral("1.2216E223"));
}

TEST(ZipReader, RefusesEntriesOverTheLimitAndDamagedArchives)
{
    QByteArray zip = WriteZip({{QStringLiteral("a"), QByteArray("hello")}});
    EXPECT_EQ(TZipReader(zip).Read(QStringLiteral("a")), QByteArray("hello"));
    // Both headers claim an entry just over the limit.
    const quint32 big = quint32(TZipReader::MaxEntryBytes + 1);
    auto put = [&](qsizetype at) {
        for (int i = 0; i < 4; ++i) zip[at + i] = char((big >> (8 * i)) & 0xFF);
    };
    put(22);
    put(zip.indexOf("PK\x01\x02") + 24);
    EXPECT_THROW(TZipReader(zip).Read(QStringLiteral("a")), EZipError);
    EXPECT_THROW(TZipReader(QByteArray("PK\x03\x04garbage")), EZipError);
    EXPECT_THROW(TZipReader(zip).Read(QStringLiteral("b")), EZipError);
}

void Sqlite(const QString& file, const QString& sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {file, sql});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

TEST(DatabaseQuery, OdbcPathReadsAndWritesNothing)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("odbc x.db"));
    Sqlite(db, QStringLiteral("CREATE TABLE t(a INTEGER, b TEXT); INSERT INTO t VALUES (1, 'x'), (2, 'y');"));
    const QByteArray bytes = ReadFileBytes(db);
    {
        auto q = TDatabaseQuery::OpenOdbc(QStringLiteral("SQLite3"), QStringLiteral("Database"), db);
        q->Exec(QStringLiteral("SELECT * FROM ") + q->EscapeIdentifier(QStringLiteral("t")) + QStringLiteral(" ORDER BY a"));
        ASSERT_EQ(q->FieldCount(), 2);
        EXPECT_EQ(q->FieldName(1), QStringLiteral("b"));
        QStringList seen;
        while (q->Next()) seen << q->Value(0).toString() + q->Value(1).toString();
        EXPECT_EQ(seen, (QStringList{"1x", "2y"}));
    }
    {
        auto q = TDatabaseQuery::OpenOdbc(QStringLiteral("SQLite3"), QStringLiteral("Database"), db);
        try {
            q->Exec(QStringLiteral("DELETE FROM t"));
        } catch (const EDatabaseError&) {
            // refused outright: as good as rolled back
        }
    }
    EXPECT_EQ(ReadFileBytes(db), bytes);
    // A name that would carry options of its own never reaches the driver.
    EXPECT_THROW(TDatabaseQuery::OpenOdbc(QStringLiteral("SQLite3"), QStringLiteral("Database"),
                                          db + QStringLiteral(";Driver={other}")),
                 EDatabaseError);

    const std::pair<QByteArray, TDatabaseKind> kinds[] = {
        {QByteArray("SQLite format 3\0xxxx", 20), TDatabaseKind::SQLite},
        {QByteArray("\0\1\0\0Standard Jet DB\0", 20), TDatabaseKind::Access},
        {QByteArray("\0\1\0\0Standard ACE DB\0", 20), TDatabaseKind::Access},
        {QByteArray("PK\3\4"), TDatabaseKind::Unknown},
    };
    for (const auto& [head, kind] : kinds) EXPECT_EQ(DatabaseKindOf(head), kind);
}

} // namespace
