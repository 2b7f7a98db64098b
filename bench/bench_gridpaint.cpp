// Repainting a full viewport of the configurator's largest table, 1,025 rows
// x 18 columns, in the string grid against a QTableView showing the same
// texts through a QStandardItemModel, on the same 1,000 x 600 image.
#include "grid/ExtGrid.h"
#include "QtBenchMain.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 1025;
constexpr int kCols = 18;
constexpr int kWidth = 1000;
constexpr int kHeight = 600;

QString CellText(int c, int r) { return QStringLiteral("0x%1 item %2").arg(r * 16 + c, 4, 16, QLatin1Char('0')).arg(c); }

void BM_RepaintViewport_StringGrid(benchmark::State& state)
{
    TExtStringGrid g;
    g.SetColCount(kCols);
    g.SetRowCount(kRows);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) g.SetCells(c, r, CellText(c, r));
    g.SetClientSize(kWidth, kHeight);
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        g.PaintTo(p);
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}

void BM_RepaintViewport_TableView(benchmark::State& state)
{
    QStandardItemModel model(kRows, kCols);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) model.setData(model.index(r, c), CellText(c, r));
    QTableView view;
    view.setModel(&model);
    view.resize(kWidth, kHeight);
    view.verticalHeader()->setDefaultSectionSize(24);
    view.horizontalHeader()->setDefaultSectionSize(64);
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        view.render(&img);
        benchmark::DoNotOptimize(img.constBits());
    }
}

} // namespace

BENCHMARK(BM_RepaintViewport_StringGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintViewport_TableView)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
