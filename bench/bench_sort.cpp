// Sorting a grid of 100,000 rows x 10 columns: by a decimal column, by a text
// column, by two index keys, and back to the recorded order. Each sort runs
// once on the unsorted grid and reports, beside its time, the ratio to a
// plain std::stable_sort over (key, row) pairs read from the same texts
// (number parsing included), and the decimal and text sorts also the ratio
// to QSortFilterProxyModel::sort over a QStandardItemModel of the same data.
#include "grid/ExtGrid.h"
#include "QtBenchMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <algorithm>
#include <chrono>
#include <random>
#include <tuple>

namespace {

constexpr int Rows = 100000;
constexpr int Cols = 10;

// Column 0 the row number, 1 a decimal, 2 a word, 3 a small integer (many
// ties), the others short codes.
const std::vector<QStringList>& Data()
{
    static const std::vector<QStringList> data = [] {
        std::mt19937 rnd(42);
        std::vector<QStringList> cols(Cols);
        for (int r = 0; r < Rows; ++r) {
            cols[0] << QString::number(r);
            cols[1] << QString::number((int(rnd() % 20000001) - 10000000) / 100.0, 'f', 2);
            QString w;
            for (int i = 0, n = 3 + int(rnd() % 6); i < n; ++i) w += QChar('a' + int(rnd() % 26));
            cols[2] << w;
            cols[3] << QString::number(rnd() % 100);
            for (int c = 4; c < Cols; ++c) cols[size_t(c)] << QStringLiteral("x%1").arg(rnd() % 1000);
        }
        return cols;
    }();
    return data;
}

std::unique_ptr<TExtStringGrid> MakeGrid()
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(Cols);
    g->SetRowCount(Rows + 1);
    const auto& d = Data();
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) g->SetCells(c, r + 1, d[size_t(c)][r]);
    return g;
}

template <typename F>
double Millis(F&& f)
{
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double StableSortDecimals()
{
    return Millis([] {
        const QStringList& col = Data()[1];
        std::vector<std::pair<double, int>> v;
        v.reserve(size_t(Rows));
        for (int r = 0; r < Rows; ++r) v.emplace_back(col[r].toDouble(), r);
        std::stable_sort(v.begin(), v.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        benchmark::DoNotOptimize(v.data());
    });
}

double StableSortTexts()
{
    return Millis([] {
        const QStringList& col = Data()[2];
        std::vector<std::pair<QString, int>> v;
        v.reserve(size_t(Rows));
        for (int r = 0; r < Rows; ++r) v.emplace_back(col[r], r);
        std::stable_sort(v.begin(), v.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        benchmark::DoNotOptimize(v.data());
    });
}

double StableSortTwoKeys()
{
    return Millis([] {
        const QStringList& k1 = Data()[3];
        const QStringList& k2 = Data()[2];
        std::vector<std::tuple<double, QString, int>> v;
        v.reserve(size_t(Rows));
        for (int r = 0; r < Rows; ++r) v.emplace_back(k1[r].toDouble(), k2[r], r);
        std::stable_sort(v.begin(), v.end(), [](const auto& a, const auto& b) {
            if (std::get<0>(a) != std::get<0>(b)) return std::get<0>(a) < std::get<0>(b);
            return std::get<1>(b) < std::get<1>(a); // second key descending
        });
        benchmark::DoNotOptimize(v.data());
    });
}

// The proxy model's sort of one column; numbers are stored as numbers so
// that it orders them as the grid does.
double ProxySort(int column)
{
    QStandardItemModel model(Rows, Cols);
    const auto& d = Data();
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            auto* item = new QStandardItem;
            if (c == 1)
                item->setData(d[size_t(c)][r].toDouble(), Qt::DisplayRole);
            else
                item->setText(d[size_t(c)][r]);
            model.setItem(r, c, item);
        }
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.setDynamicSortFilter(false);
    return Millis([&] { proxy.sort(column, Qt::AscendingOrder); });
}

void BM_QSortDecimalColumn(benchmark::State& state)
{
    auto g = MakeGrid();
    const double base = StableSortDecimals();
    double ms = 0;
    for (auto _ : state) ms = Millis([&] { g->Sort(1, TSortDirection::sdAscending); });
    state.counters["grid_ms"] = ms;
    state.counters["stable_sort_ms"] = base;
    state.counters["ratio_to_stable_sort"] = ms / base;
    state.counters["ratio_to_proxy_model"] = ms / ProxySort(1);
}
BENCHMARK(BM_QSortDecimalColumn)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_QSortTextColumn(benchmark::State& state)
{
    auto g = MakeGrid();
    const double base = StableSortTexts();
    double ms = 0;
    for (auto _ : state) ms = Millis([&] { g->Sort(2, TSortDirection::sdAscending); });
    state.counters["grid_ms"] = ms;
    state.counters["stable_sort_ms"] = base;
    state.counters["ratio_to_stable_sort"] = ms / base;
    state.counters["ratio_to_proxy_model"] = ms / ProxySort(2);
}
BENCHMARK(BM_QSortTextColumn)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_QSortIndexedTwoKeys(benchmark::State& state)
{
    auto g = MakeGrid();
    g->SortIndexes().AddIndex(3, true);
    g->SortIndexes().AddIndex(2, false);
    const double base = StableSortTwoKeys();
    double ms = 0;
    for (auto _ : state) ms = Millis([&] { g->QSortIndexed(); });
    state.counters["grid_ms"] = ms;
    state.counters["stable_sort_ms"] = base;
    state.counters["ratio_to_stable_sort"] = ms / base;
}
BENCHMARK(BM_QSortIndexedTwoKeys)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_QUnSortAfterDecimalSort(benchmark::State& state)
{
    auto g = MakeGrid();
    const double sortMs = Millis([&] { g->Sort(1, TSortDirection::sdAscending); });
    double ms = 0;
    for (auto _ : state) ms = Millis([&] { g->QUnSort(); });
    state.counters["unsort_ms"] = ms;
    state.counters["sort_ms"] = sortMs;
    state.counters["ratio_to_sort"] = ms / sortMs;
}
BENCHMARK(BM_QUnSortAfterDecimalSort)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
