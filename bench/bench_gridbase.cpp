// The grid base's cell store, the string grid and the column grid against
// QStandardItemModel, the model a Qt program would take instead, and a flat
// std::vector<QString> (the floor: nothing but the texts), on 100,000 rows x
// 10 columns: filling every cell, reading every cell back, inserting and
// deleting 1,000 rows in the middle, changing RowCount, and the heap bytes
// per filled cell.
#include "controls/BaseGrid.h"
#include "grid/ExtCGrid.h"
#include "grid/ExtGrid.h"
#include "QtBenchMain.h"

#include <QApplication>
#include <QStandardItemModel>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 10;

QString CellText(int c, int r)
{
    return QString::number(r * 16 + c) + QStringLiteral(" text");
}

size_t HeapInUse()
{
    malloc_trim(0);
    return mallinfo2().uordblks;
}

template <class G>
void FillGrid(G& g)
{
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) g.SetCells(c, r, CellText(c, r));
}

void FillModel(QStandardItemModel& m)
{
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) m.setData(m.index(r, c), CellText(c, r));
}

template <class G = TBaseGrid>
std::unique_ptr<G> NewGrid()
{
    auto g = std::make_unique<G>();
    g->SetColCount(kCols);
    g->SetRowCount(kRows);
    return g;
}

std::unique_ptr<QStandardItemModel> NewModel()
{
    return std::make_unique<QStandardItemModel>(kRows, kCols);
}

template <class G>
void BM_Fill(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto g = NewGrid<G>();
        const size_t before = HeapInUse();
        state.ResumeTiming();
        FillGrid(*g);
        state.PauseTiming();
        state.counters["bytes_per_cell"] = double(HeapInUse() - before) / (kRows * kCols);
        g.reset();
        state.ResumeTiming();
    }
}

void BM_Fill_StandardItemModel(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto m = NewModel();
        const size_t before = HeapInUse();
        state.ResumeTiming();
        FillModel(*m);
        state.PauseTiming();
        state.counters["bytes_per_cell"] = double(HeapInUse() - before) / (kRows * kCols);
        m.reset();
        state.ResumeTiming();
    }
}

template <class G>
void BM_Read(benchmark::State& state)
{
    auto g = NewGrid<G>();
    FillGrid(*g);
    for (auto _ : state) {
        qsizetype total = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) total += g->Cells(c, r).size();
        benchmark::DoNotOptimize(total);
    }
}

void BM_Read_StandardItemModel(benchmark::State& state)
{
    auto m = NewModel();
    FillModel(*m);
    for (auto _ : state) {
        qsizetype total = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) total += m->data(m->index(r, c)).toString().size();
        benchmark::DoNotOptimize(total);
    }
}

void BM_InsertDelete1000_GridBase(benchmark::State& state)
{
    auto g = NewGrid();
    FillGrid(*g);
    for (auto _ : state) {
        g->InsertRows(kRows / 2, 1000);
        g->DeleteRows(kRows / 2, 1000);
    }
    if (g->Cells(0, kRows / 2) != CellText(0, kRows / 2)) state.SkipWithError("rows lost");
}

void BM_InsertDelete1000_StandardItemModel(benchmark::State& state)
{
    auto m = NewModel();
    FillModel(*m);
    for (auto _ : state) {
        m->insertRows(kRows / 2, 1000);
        m->removeRows(kRows / 2, 1000);
    }
    if (m->data(m->index(kRows / 2, 0)).toString() != CellText(0, kRows / 2)) state.SkipWithError("rows lost");
}

// One row at a time, as a user inserting rows one by one does.
void BM_InsertDelete1000Single_GridBase(benchmark::State& state)
{
    auto g = NewGrid();
    FillGrid(*g);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) g->InsertRows(kRows / 2, 1);
        for (int i = 0; i < 1000; ++i) g->DeleteRow(kRows / 2);
    }
}

void BM_InsertDelete1000Single_StandardItemModel(benchmark::State& state)
{
    auto m = NewModel();
    FillModel(*m);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) m->insertRows(kRows / 2, 1);
        for (int i = 0; i < 1000; ++i) m->removeRows(kRows / 2, 1);
    }
}

// RowCount grows by 1,000 rows and shrinks back, the rows' texts kept.
template <class G>
void BM_RowCount1000(benchmark::State& state)
{
    auto g = NewGrid<G>();
    FillGrid(*g);
    for (auto _ : state) {
        g->SetRowCount(kRows + 1000);
        g->SetRowCount(kRows);
    }
    if (g->Cells(3, kRows - 1) != CellText(3, kRows - 1)) state.SkipWithError("rows lost");
}

void BM_RowCount1000_StandardItemModel(benchmark::State& state)
{
    auto m = NewModel();
    FillModel(*m);
    for (auto _ : state) {
        m->setRowCount(kRows + 1000);
        m->setRowCount(kRows);
    }
    if (m->data(m->index(kRows - 1, 3)).toString() != CellText(3, kRows - 1)) state.SkipWithError("rows lost");
}

// The floor: one flat vector of texts, row by row.
void BM_Fill_FlatVector(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto v = std::make_unique<std::vector<QString>>();
        const size_t before = HeapInUse();
        state.ResumeTiming();
        v->resize(size_t(kRows) * kCols);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) (*v)[size_t(r) * kCols + size_t(c)] = CellText(c, r);
        state.PauseTiming();
        state.counters["bytes_per_cell"] = double(HeapInUse() - before) / (kRows * kCols);
        v.reset();
        state.ResumeTiming();
    }
}

void BM_Read_FlatVector(benchmark::State& state)
{
    std::vector<QString> v(size_t(kRows) * kCols);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) v[size_t(r) * kCols + size_t(c)] = CellText(c, r);
    for (auto _ : state) {
        qsizetype total = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) total += v[size_t(r) * kCols + size_t(c)].size();
        benchmark::DoNotOptimize(total);
    }
}

// The floor of a reader that, like Cells(), takes each text by value: the
// copy and its release cost two atomic reference-count steps per cell.
void BM_ReadCopy_FlatVector(benchmark::State& state)
{
    std::vector<QString> v(size_t(kRows) * kCols);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) v[size_t(r) * kCols + size_t(c)] = CellText(c, r);
    for (auto _ : state) {
        qsizetype total = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                const QString s = v[size_t(r) * kCols + size_t(c)];
                total += s.size();
            }
        benchmark::DoNotOptimize(total);
    }
}

void BM_RowCount1000_FlatVector(benchmark::State& state)
{
    std::vector<QString> v(size_t(kRows) * kCols);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) v[size_t(r) * kCols + size_t(c)] = CellText(c, r);
    for (auto _ : state) {
        v.resize(size_t(kRows + 1000) * kCols);
        v.resize(size_t(kRows) * kCols);
    }
}

// Hiding 10,000 of the 100,000 rows (every tenth, so each is its own run;
// or one block) and showing them again, against QTableView's row hiding.
void BM_HideUnhide10000_StringGrid(benchmark::State& state)
{
    auto g = NewGrid<TExtStringGrid>();
    FillGrid(*g);
    const bool block = state.range(0) != 0;
    std::vector<int> rows;
    for (int i = 0; i < 10000; ++i) rows.push_back(block ? 40000 + i : i * 10);
    for (auto _ : state) {
        g->HideRealRows(rows, THiddenRowKind::hkHidden, 0);
        g->UnHideRowsAll();
    }
    if (g->RowCount() != kRows || g->Cells(3, 50) != CellText(3, 50)) state.SkipWithError("rows lost");
}

void BM_HideUnhide10000_TableView(benchmark::State& state)
{
    auto m = NewModel();
    FillModel(*m);
    QTableView view;
    view.setModel(m.get());
    const bool block = state.range(0) != 0;
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i) view.setRowHidden(block ? 40000 + i : i * 10, true);
        for (int i = 0; i < 10000; ++i) view.setRowHidden(block ? 40000 + i : i * 10, false);
    }
}

// Inserting and removing 1,000 rows in the middle, in one call each and one
// row at a time.
void BM_InsertRemove1000_StringGrid(benchmark::State& state)
{
    auto g = NewGrid<TExtStringGrid>();
    FillGrid(*g);
    const bool single = state.range(0) != 0;
    for (auto _ : state) {
        if (single) {
            for (int i = 0; i < 1000; ++i) g->InsertRows(kRows / 2, 1);
            for (int i = 0; i < 1000; ++i) g->RemoveRows(kRows / 2, 1);
        } else {
            g->InsertRows(kRows / 2, 1000);
            g->RemoveRows(kRows / 2, 1000);
        }
    }
    if (g->RowCount() != kRows || g->Cells(3, kRows / 2) != CellText(3, kRows / 2)) state.SkipWithError("rows lost");
}

void BM_InsertRemove1000_StandardItemModel(benchmark::State& state)
{
    auto m = NewModel();
    FillModel(*m);
    const bool single = state.range(0) != 0;
    for (auto _ : state) {
        if (single) {
            for (int i = 0; i < 1000; ++i) m->insertRows(kRows / 2, 1);
            for (int i = 0; i < 1000; ++i) m->removeRows(kRows / 2, 1);
        } else {
            m->insertRows(kRows / 2, 1000);
            m->removeRows(kRows / 2, 1000);
        }
    }
}

} // namespace

BENCHMARK_TEMPLATE(BM_Fill, TBaseGrid)->Name("BM_Fill_GridBase")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_TEMPLATE(BM_Fill, TExtStringGrid)->Name("BM_Fill_StringGrid")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_TEMPLATE(BM_Fill, TExtColumnGrid)->Name("BM_Fill_ColumnGrid")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Fill_FlatVector)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Fill_StandardItemModel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_TEMPLATE(BM_Read, TBaseGrid)->Name("BM_Read_GridBase")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Read, TExtStringGrid)->Name("BM_Read_StringGrid")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Read, TExtColumnGrid)->Name("BM_Read_ColumnGrid")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_FlatVector)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCopy_FlatVector)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_StandardItemModel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertDelete1000_GridBase)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InsertDelete1000_StandardItemModel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InsertDelete1000Single_GridBase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertDelete1000Single_StandardItemModel)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_RowCount1000, TExtStringGrid)->Name("BM_RowCount1000_StringGrid")->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_RowCount1000, TExtColumnGrid)->Name("BM_RowCount1000_ColumnGrid")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RowCount1000_StandardItemModel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RowCount1000_FlatVector)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HideUnhide10000_StringGrid)->ArgName("block")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HideUnhide10000_TableView)->ArgName("block")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertRemove1000_StringGrid)->ArgName("single")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertRemove1000_StandardItemModel)->ArgName("single")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
