// The filter's wildcard match over a long cell text with many stars: the
// worst case for a back-tracking matcher (every star can take any run and
// the final character never matches).
//
// The grid's filter on 100,000 rows x 10 columns, each measured once next to
// a plain loop that does the same tests over a std::vector<QString> (the
// floor); the "ratio" counter is grid time / loop time: a filter pass with a
// wildcard and with a comparison, removing its level, three keystrokes of
// narrowing while typing, a search for a text only the last row holds, and
// QSortFilterProxyModel's wildcard filter over a QStandardItemModel of the
// same data.
#include "controls/ExtFilter.h"
#include "grid/ExtGrid.h"
#include "QtBenchMain.h"

#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

void BM_ManyStarsNoMatch(benchmark::State& state)
{
    const QString text(int(state.range(0)), QChar('a'));
    QString condition;
    for (int i = 0; i < state.range(1); ++i) condition += QStringLiteral("*a");
    condition += QStringLiteral("*b");
    const FormatSettings fs{}; // the built-in values, not the system's
    for (auto _ : state) benchmark::DoNotOptimize(MatchFilterExpression(condition, text, false, fs));
    state.SetComplexityN(state.range(0) * state.range(1));
}
BENCHMARK(BM_ManyStarsNoMatch)->Args({1000, 20})->Args({10000, 50})->Args({100000, 50})->Args({10000, 500})->Unit(benchmark::kMicrosecond);

void BM_ManyStarsMatch(benchmark::State& state)
{
    QString text;
    for (int i = 0; i < state.range(0) / 10; ++i) text += QStringLiteral("abcdefghij");
    QString condition;
    for (int i = 0; i < state.range(1); ++i) condition += QStringLiteral("*c?e");
    condition += QStringLiteral("*j");
    const FormatSettings fs{}; // the built-in values, not the system's
    for (auto _ : state) benchmark::DoNotOptimize(MatchFilterExpression(condition, text, false, fs));
}
BENCHMARK(BM_ManyStarsMatch)->Args({10000, 50})->Args({100000, 500})->Unit(benchmark::kMicrosecond);

// A "!" after a star inverts only the rest of the pattern, which takes the
// matcher off its one-back-track path.
void BM_ManyStarsInnerNegation(benchmark::State& state)
{
    const QString text(int(state.range(0)), QChar('a'));
    QString condition;
    for (int i = 0; i < state.range(1); ++i) condition += QStringLiteral("*a");
    condition += QStringLiteral("*!a");
    const FormatSettings fs{}; // the built-in values, not the system's
    for (auto _ : state) benchmark::DoNotOptimize(MatchFilterExpression(condition, text, false, fs));
}
BENCHMARK(BM_ManyStarsInnerNegation)->Args({1000, 20})->Args({10000, 50})->Args({10000, 500})->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------
// The grid's filter

constexpr int kRows = 100000;
constexpr int kCols = 10;
constexpr int kCol = 1; // the filtered column

QString CellText(int c, int r)
{
    return QString::number((r * 37 + c * 11) % 1000);
}

struct Data {
    std::vector<QString> Column; // the texts of kCol, row by row
    std::unique_ptr<TExtStringGrid> Grid;
};

// A grid with one fixed row and kRows normal rows.
Data MakeData()
{
    Data d;
    d.Grid = std::make_unique<TExtStringGrid>();
    TExtStringGrid& g = *d.Grid;
    g.SetColCount(kCols);
    g.SetRowCount(kRows + 1);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kCols; ++c) g.SetCells(c, r + 1, CellText(c, r));
        d.Column.push_back(CellText(kCol, r));
    }
    return d;
}

template <class F>
double Seconds(F&& f)
{
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The floor: the condition tested over the texts, the failing indexes kept.
double PlainLoop(const std::vector<QString>& texts, const QString& condition, bool caseSensitive)
{
    std::vector<int> failing;
    return Seconds([&] {
        const FormatSettings& fs = SystemFormatSettings();
        for (size_t i = 0; i < texts.size(); ++i)
            if (!MatchFilterExpression(condition, texts[i], caseSensitive, fs)) failing.push_back(int(i));
        benchmark::DoNotOptimize(failing.data());
    });
}

void BM_GridApplyFilter(benchmark::State& state)
{
    const QString condition = state.range(0) == 0 ? QStringLiteral("*7*") : QStringLiteral(">500");
    Data d = MakeData();
    TFilterData& f = d.Grid->Filter().Add();
    f.SetColumn(kCol);
    f.SetCondition(condition);
    double grid = 0, removal = 0;
    for (auto _ : state) {
        grid = Seconds([&] { d.Grid->ApplyFilter(); });
        state.SetIterationTime(grid);
        removal = Seconds([&] { d.Grid->RemoveLastFilter(); });
    }
    const double loop = PlainLoop(d.Column, condition, true);
    state.counters["ratio"] = grid / loop;
    state.counters["removal_ratio"] = removal / grid;
    state.SetLabel(condition.toStdString());
}
BENCHMARK(BM_GridApplyFilter)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ProxyModelWildcard(benchmark::State& state)
{
    Data d = MakeData();
    QStandardItemModel model(kRows, kCols);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) model.setData(model.index(r, c), CellText(c, r));
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.setFilterKeyColumn(kCol);
    double qt = 0;
    for (auto _ : state) {
        qt = Seconds([&] {
            proxy.setFilterWildcard(QStringLiteral("*7*"));
            benchmark::DoNotOptimize(proxy.rowCount());
        });
        state.SetIterationTime(qt);
    }
    TFilterData& f = d.Grid->Filter().Add();
    f.SetColumn(kCol);
    f.SetCondition(QStringLiteral("*7*"));
    const double grid = Seconds([&] { d.Grid->ApplyFilter(); });
    state.counters["grid_over_qt"] = grid / qt;
}
BENCHMARK(BM_ProxyModelWildcard)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Three keystrokes: each is compared with the plain loop over the rows still
// shown before it, with the condition the grid makes of the typed text.
void BM_GridNarrowDown(benchmark::State& state)
{
    Data d = MakeData();
    const QStringList typed{QStringLiteral("1"), QStringLiteral("12"), QStringLiteral("123")};
    std::vector<double> ratios;
    for (auto _ : state) {
        double total = 0;
        for (const QString& t : typed) {
            std::vector<QString> shown;
            for (int r = 1; r < d.Grid->RowCount(); ++r) shown.push_back(d.Grid->GridCells(kCol, r));
            const double grid = Seconds([&] { d.Grid->NarrowDown(t, kCol); });
            total += grid;
            ratios.push_back(grid / PlainLoop(shown, QLatin1Char('*') + t + QLatin1Char('*'), false));
        }
        state.SetIterationTime(total);
    }
    for (size_t i = 0; i < ratios.size(); ++i) state.counters["ratio" + std::to_string(i + 1)] = ratios[i];
}
BENCHMARK(BM_GridNarrowDown)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_GridFindFirst(benchmark::State& state)
{
    Data d = MakeData();
    const QString needle = QStringLiteral("needle");
    d.Grid->SetCells(kCols - 1, kRows, needle);
    // The plain loop: the same cells in the same order (column by column),
    // upper-cased and searched as the grid does.
    std::vector<QString> texts;
    texts.reserve(size_t(kRows) * (kCols - 1));
    for (int c = 1; c < kCols; ++c)
        for (int r = 1; r <= kRows; ++r) texts.push_back(d.Grid->GridCells(c, r));
    double grid = 0;
    for (auto _ : state) {
        grid = Seconds([&] { benchmark::DoNotOptimize(d.Grid->FindFirst(needle, {})); });
        state.SetIterationTime(grid);
    }
    const QString upper = needle.toUpper();
    const double loop = Seconds([&] {
        size_t hit = 0;
        for (size_t i = 0; i < texts.size(); ++i)
            if (texts[i].toUpper().contains(upper)) hit = i;
        benchmark::DoNotOptimize(hit);
    });
    state.counters["ratio"] = grid / loop;
}
BENCHMARK(BM_GridFindFirst)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv);
}
