// Grouping the string grid's rows by a column and ungrouping them.
//
// Group of 100,000 rows into 1,000 groups with summary rows (the sort on the
// grouped column included) and UnGroup back, each set against building the
// same tree in a QStandardItemModel: 1,000 parents of 100 rows each plus
// 1,000 summary rows.
#include "grid/ExtGrid.h"
#include "QtBenchMain.h"

#include <QStandardItemModel>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100000;
constexpr int kGroups = 1000;
constexpr int kCols = 4;

// Column 1: the group key, spread so that the sort has work to do.
QString Key(int r) { return QStringLiteral("G%1").arg((r * 7919) % kGroups, 4, 10, QLatin1Char('0')); }

void Fill(TExtStringGrid& g)
{
    g.SetColCount(kCols);
    g.SetRowCount(kRows + 1);
    g.SetFixedRows(1);
    g.Grouping().SetSummary(true);
    for (int r = 1; r <= kRows; ++r) {
        g.SetCells(1, r, Key(r));
        g.SetCells(2, r, QString::number(r));
        g.SetCells(3, r, QString::number(r % 97));
    }
}

void BM_Group_StringGrid(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto g = std::make_unique<TExtStringGrid>();
        Fill(*g);
        state.ResumeTiming();
        g->Group(1);
        state.PauseTiming();
        if (g->RowCount() != kRows + 2 * kGroups + 1) state.SkipWithError("wrong row count");
        g.reset();
        state.ResumeTiming();
    }
}

void BM_UnGroup_StringGrid(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto g = std::make_unique<TExtStringGrid>();
        Fill(*g);
        g->Group(1);
        state.ResumeTiming();
        g->UnGroup();
        state.PauseTiming();
        if (g->RowCount() != kRows + 1) state.SkipWithError("wrong row count");
        g.reset();
        state.ResumeTiming();
    }
}

void BM_BuildTree_StandardItemModel(benchmark::State& state)
{
    const int span = kRows / kGroups;
    for (auto _ : state) {
        auto holder = std::make_unique<QStandardItemModel>();
        QStandardItemModel& model = *holder;
        model.setColumnCount(kCols - 1);
        for (int n = 0; n < kGroups; ++n) {
            auto* parent = new QStandardItem(Key(n));
            for (int k = 0; k < span; ++k) {
                const int r = n * span + k;
                parent->appendRow({new QStandardItem(QString::number(r)), new QStandardItem(QString::number(r)),
                                   new QStandardItem(QString::number(r % 97))});
            }
            model.appendRow(parent);
            model.appendRow(new QStandardItem());
        }
        benchmark::DoNotOptimize(model.rowCount());
        state.PauseTiming();
        holder.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_Group_StringGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnGroup_StringGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildTree_StandardItemModel)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
