// The footer recalculation and the tree-node folding of the string grid.
//
// CalcFooter(-1) with 10 summed footer columns over 100,000 rows runs after
// every edit; its floor is a plain loop of QString::toDouble over the same
// texts. ContractAll / ExpandAll of 1,000 nodes of 100 rows each are set
// against QTreeView::collapseAll / expandAll over a QStandardItemModel that
// holds the same tree (1,000 parents of 99 children).
#include "grid/ExtGrid.h"
#include "QtBenchMain.h"

#include <QApplication>
#include <QStandardItemModel>
#include <QTreeView>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 10;
constexpr int kNodes = 1000;
constexpr int kSpan = 100;

QString Value(int c, int r) { return QString::number((r * 7 + c) % 1000) + QStringLiteral(".25"); }

void BM_CalcFooter_StringGrid(benchmark::State& state)
{
    TExtStringGrid g;
    g.SetColCount(kCols);
    g.SetRowCount(kRows + 2);
    g.SetFixedRows(1);
    for (int r = 1; r <= kRows; ++r)
        for (int c = 0; c < kCols; ++c) g.SetCells(c, r, Value(c, r));
    g.FloatingFooter().SetVisible(true);
    for (int c = 0; c < kCols; ++c) g.FloatingFooter().SetColumnCalc(c, acSUM);
    for (auto _ : state) {
        g.CalcFooter(-1);
        benchmark::DoNotOptimize(g.Cells(0, kRows + 1));
    }
}

void BM_CalcFooter_ToDoubleLoop(benchmark::State& state)
{
    std::vector<QString> texts;
    texts.reserve(size_t(kRows) * kCols);
    for (int r = 1; r <= kRows; ++r)
        for (int c = 0; c < kCols; ++c) texts.push_back(Value(c, r));
    for (auto _ : state) {
        double sums[kCols] = {};
        for (size_t i = 0; i < texts.size(); ++i) sums[i % kCols] += texts[i].toDouble();
        benchmark::DoNotOptimize(sums);
    }
}

void BM_FoldNodes_StringGrid(benchmark::State& state)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(kNodes * kSpan + 1);
    g.SetFixedRows(1);
    for (int r = 1; r < g.RowCount(); ++r) g.SetCells(1, r, QString::number(r));
    for (int n = 0; n < kNodes; ++n) g.AddNode(1 + n * kSpan, kSpan);
    for (auto _ : state) {
        g.ContractAll();
        g.ExpandAll();
    }
    if (g.RowCount() != kNodes * kSpan + 1) state.SkipWithError("rows lost");
}

void BM_FoldNodes_TreeView(benchmark::State& state)
{
    QStandardItemModel model;
    for (int n = 0; n < kNodes; ++n) {
        auto* parent = new QStandardItem(QString::number(n));
        QList<QStandardItem*> children;
        for (int k = 1; k < kSpan; ++k) children << new QStandardItem(QString::number(k));
        parent->appendColumn(children);
        model.appendRow(parent);
    }
    QTreeView view;
    view.setModel(&model);
    view.resize(400, 300);
    for (auto _ : state) {
        view.collapseAll();
        view.expandAll();
        QCoreApplication::processEvents();
    }
}

} // namespace

BENCHMARK(BM_CalcFooter_StringGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalcFooter_ToDoubleLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FoldNodes_StringGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FoldNodes_TreeView)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
