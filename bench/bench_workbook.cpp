// Loading a 100,000 x 10 workbook (.xlsx, half numbers, half strings) into a
// grid, against unzipping and parsing its parts with pugixml alone: what the
// grid adds on top of the bare reading.
#include "QtBenchMain.h"
#include "grid/ExtGrid.h"
#include "platform/Workbook.h"
#include "platform/Zip.h"

#include <pugixml.hpp>

namespace {

const QByteArray& Book()
{
    static const QByteArray bytes = [] {
        std::vector<QStringList> rows;
        rows.reserve(100000);
        for (int r = 0; r < 100000; ++r) {
            QStringList row;
            for (int c = 0; c < 10; ++c)
                row << (c % 2 ? QStringLiteral("text %1.%2").arg(r).arg(c) : QString::number(r * 10 + c));
            rows.push_back(std::move(row));
        }
        return WriteNewWorkbook(QStringLiteral("Data"), rows);
    }();
    return bytes;
}

void BM_LoadWorkbookIntoGrid(benchmark::State& state)
{
    const QByteArray& bytes = Book();
    for (auto _ : state) {
        TExtStringGrid g;
        g.LoadFromXLSBytes(bytes);
        benchmark::DoNotOptimize(g.RowCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void BM_UnzipAndParseOnly(benchmark::State& state)
{
    const QByteArray& bytes = Book();
    for (auto _ : state) {
        TZipReader zip(bytes);
        size_t nodes = 0;
        for (const QString& name : zip.Names()) {
            if (!name.endsWith(QLatin1String(".xml"))) continue;
            const QByteArray part = zip.Read(name);
            pugi::xml_document doc;
            doc.load_buffer(part.constData(), size_t(part.size()));
            nodes += size_t(std::distance(doc.begin(), doc.end()));
        }
        benchmark::DoNotOptimize(nodes);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

} // namespace

BENCHMARK(BM_LoadWorkbookIntoGrid)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnzipAndParseOnly)->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
