// Replays every seed and saved crash input of the grid's exchange-format
// harnesses through the harness bodies, in the normal build.
#include "../../fuzz/GridDropFuzz.h"
#include "../../fuzz/GridIOFuzz.h"
#include "../../fuzz/GridPasteFuzz.h"
#include "../../fuzz/GridXMLFuzz.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QDir SeedDir(const QString& harness)
{
    QDir d(QCoreApplication::applicationDirPath());
    for (int up = 0; up < 4; ++up) {
        if (d.exists(QStringLiteral("fuzz/seeds/") + harness)) return QDir(d.filePath(QStringLiteral("fuzz/seeds/") + harness));
        d.cdUp();
    }
    return QDir();
}

int Replay(const QString& harness, void (*body)(const uint8_t*, size_t))
{
    const QDir dir = SeedDir(harness);
    int n = 0;
    for (const QString& name : dir.entryList(QDir::Files)) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = f.readAll();
        SCOPED_TRACE(name.toStdString());
        body(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
        ++n;
    }
    return n;
}

} // namespace

TEST(GridIOSeeds, CellStreamSeedsReplay) { EXPECT_GT(Replay(QStringLiteral("cellstream"), GridIOFuzz::CellStream), 3); }

TEST(GridIOSeeds, GridFileSeedsReplay) { EXPECT_GT(Replay(QStringLiteral("gridfile"), GridIOFuzz::GridFile), 3); }

TEST(GridIOSeeds, CsvSeedsReplay) { EXPECT_GT(Replay(QStringLiteral("csv"), GridIOFuzz::Csv), 3); }

TEST(GridIOSeeds, FixedSeedsReplay) { EXPECT_GT(Replay(QStringLiteral("fixed"), GridIOFuzz::Fixed), 1); }

TEST(GridIOSeeds, StreamSeedsReplay) { EXPECT_GT(Replay(QStringLiteral("stream"), GridIOFuzz::Stream), 1); }
TEST(GridIOSeeds, XmlSeedsReplay) { EXPECT_GT(Replay(QStringLiteral("xml"), GridIOFuzz::GridXML), 3); }
TEST(GridIOSeeds, WorkbookSeedsReplay) { EXPECT_GT(Replay(QStringLiteral("workbook"), GridIOFuzz::Workbook), 2); }
TEST(GridIOSeeds, PasteSeedsReplay) { EXPECT_GT(Replay(QStringLiteral("paste"), GridPasteFuzz::Paste), 3); }
TEST(GridIOSeeds, DropSeedsReplay) { EXPECT_GT(Replay(QStringLiteral("drop"), GridDropFuzz::Drop), 3); }
