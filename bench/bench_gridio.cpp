// Delimited text of a grid of 100,000 rows x 10 columns (numbers, words, and
// some texts with separators, quotes and line breaks): SaveToCSV and
// LoadFromCSV, each set in the same run against
//  - the floor: the same file read, decoded and split into a vector of
//    fields by a plain QString loop (quotes understood), and for writing those
//    fields joined back (quoted where needed), encoded and written through
//    the same all-or-nothing file write the grid uses;
//  - python3's csv reader and writer on the same file, run by a small script
//    that reports its own times (left out when python3 cannot be started).
// Each side runs three times and counts its best run; the counters give the
// times and the ratios (grid / other). The clipboard's text copy and paste of
// the same grid are set against the floor's join and split with TAB.
#include "grid/ExtGrid.h"
#include "platform/Files.h"
#include "QtBenchMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

namespace {

constexpr int Rows = 100000;
constexpr int Cols = 10;

template <typename F>
double Millis(F&& f)
{
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// The lower of three runs, so that one disturbed run does not set the base.
template <typename F>
double BestOf3(F&& f)
{
    double best = Millis(f);
    for (int k = 0; k < 2; ++k) best = std::min(best, Millis(f));
    return best;
}

QString CellText(std::mt19937& rnd, int c)
{
    auto word = [&] {
        QString w;
        for (int i = 0, n = 3 + int(rnd() % 7); i < n; ++i) w += QChar('a' + int(rnd() % 26));
        return w;
    };
    if (c < 4) return QString::number((int(rnd() % 2000001) - 1000000) / 100.0, 'f', 2);
    if (c < 7) return word();
    // The last three columns: mostly words, one in ten a text with a
    // separator, one in twenty with quotes, one in fifty with a line break.
    const unsigned k = rnd() % 100;
    if (k < 10) return word() + QStringLiteral(", ") + word();
    if (k < 15) return word() + QStringLiteral(" \"") + word() + u'"';
    if (k < 17) return word() + QStringLiteral("\r\n") + word();
    return word();
}

std::unique_ptr<TExtStringGrid> MakeGrid()
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(Cols);
    g->SetRowCount(Rows);
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    g->SetDelimiter(u',');
    std::mt19937 rnd(7);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c) g->SetCells(c, r, CellText(rnd, c));
    return g;
}

QTemporaryDir& Dir()
{
    static QTemporaryDir dir;
    return dir;
}

// The file every reader reads: the grid's own delimited text, UTF-8.
const QString& CsvFile()
{
    static const QString name = [] {
        const QString n = Dir().filePath(QStringLiteral("grid.csv"));
        MakeGrid()->SaveToCSV(n, true);
        return n;
    }();
    return name;
}

QByteArray ReadAll(const QString& name)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// The floor's split: one pass over a text into fields separated by `sep`,
// rows by line ends (quotes understood).
std::vector<QString> FloorSplit(const QString& text, QChar sep, std::vector<qsizetype>& rowEnds)
{
    std::vector<QString> fields;
    rowEnds.clear();
    const qsizetype n = text.size();
    const QChar* t = text.constData();
    qsizetype i = 0;
    while (i < n) {
        QString field;
        if (t[i] == u'"') {
            ++i;
            while (i < n) {
                if (t[i] == u'"') {
                    if (i + 1 < n && t[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += t[i++];
            }
        } else {
            const qsizetype from = i;
            while (i < n && t[i] != sep && t[i] != u'\r' && t[i] != u'\n') ++i;
            field = QString(t + from, i - from);
        }
        fields.push_back(std::move(field));
        if (i < n && t[i] == sep) {
            ++i;
            continue;
        }
        rowEnds.push_back(qsizetype(fields.size()));
        if (i < n && t[i] == u'\r') ++i;
        if (i < n && t[i] == u'\n') ++i;
    }
    return fields;
}

// The floor's reader: decode, then the split.
std::vector<QString> FloorRead(const QString& name, std::vector<qsizetype>& rowEnds)
{
    QByteArray bytes = ReadAll(name);
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    return FloorSplit(QString::fromUtf8(bytes), u',', rowEnds);
}

// The floor's join: the fields joined back with `sep`, quoted where needed.
QString FloorJoin(const std::vector<QString>& fields, const std::vector<qsizetype>& rowEnds, QChar sep)
{
    QString out;
    out.reserve(qsizetype(fields.size()) * 10);
    size_t f = 0;
    for (const qsizetype end : rowEnds) {
        for (qsizetype k = 0; qsizetype(f) < end; ++f, ++k) {
            if (k > 0) out += sep;
            const QString& s = fields[f];
            if (s.contains(sep) || s.contains(u'"') || s.contains(u'\r') || s.contains(u'\n')) {
                out += u'"';
                for (const QChar ch : s) {
                    if (ch == u'"') out += u'"';
                    out += ch;
                }
                out += u'"';
            } else {
                out += s;
            }
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}

// The floor's writer: the join, encoded and written.
void FloorWrite(const QString& name, const std::vector<QString>& fields, const std::vector<qsizetype>& rowEnds)
{
    WriteFileAtomic(name, "\xEF\xBB\xBF" + FloorJoin(fields, rowEnds, u',').toUtf8());
}

struct TPythonTimes {
    bool ok = false;
    double readMs = 0, writeMs = 0;
};

// python3's csv reader (the whole file into a list of rows) and writer (those
// rows into a new file), best of three runs each, timed by the script itself.
const TPythonTimes& PythonTimes()
{
    static const TPythonTimes times = [] {
        TPythonTimes t;
        static const char* script = R"(
import csv, sys, time
src, dst = sys.argv[1], sys.argv[2]
best_r = best_w = None
for _ in range(3):
    t0 = time.perf_counter()
    with open(src, newline='', encoding='utf-8-sig') as f:
        rows = list(csv.reader(f))
    t1 = time.perf_counter()
    with open(dst, 'w', newline='', encoding='utf-8-sig') as f:
        csv.writer(f).writerows(rows)
    t2 = time.perf_counter()
    best_r = t1 - t0 if best_r is None else min(best_r, t1 - t0)
    best_w = t2 - t1 if best_w is None else min(best_w, t2 - t1)
print(len(rows), best_r * 1000.0, best_w * 1000.0)
)";
        QProcess p;
        p.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(script), CsvFile(),
                                            Dir().filePath(QStringLiteral("python.csv"))});
        if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return t;
        const QStringList parts = QString::fromLatin1(p.readAllStandardOutput()).simplified().split(u' ');
        if (parts.size() != 3 || parts[0].toInt() != Rows) return t;
        t.readMs = parts[1].toDouble(&t.ok);
        t.writeMs = parts[2].toDouble();
        return t;
    }();
    return times;
}

void SetPythonCounters(benchmark::State& state, double gridMs, double pythonMs)
{
    if (!PythonTimes().ok) return;
    state.counters["python_csv_ms"] = pythonMs;
    state.counters["ratio_to_python"] = gridMs / pythonMs;
}

void BM_LoadFromCSV(benchmark::State& state)
{
    const QString& name = CsvFile();
    auto g = std::make_unique<TExtStringGrid>();
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    g->SetDelimiter(u',');
    double ms = 1e300;
    for (auto _ : state) ms = std::min(ms, Millis([&] { g->LoadFromCSV(name); }));
    if (g->RowCount() != Rows || g->ColCount() != Cols) state.SkipWithError("wrong grid size after loading");
    // The fields stay held between runs, as the grid holds its cells, so that
    // both sides allocate into a heap of the same shape.
    std::vector<qsizetype> rowEnds;
    std::vector<QString> held;
    const double floor = BestOf3([&] {
        held = FloorRead(name, rowEnds);
        benchmark::DoNotOptimize(held.data());
    });
    if (rowEnds.size() != size_t(Rows)) state.SkipWithError("floor read the wrong number of rows");
    state.counters["grid_ms"] = ms;
    state.counters["floor_ms"] = floor;
    state.counters["ratio_to_floor"] = ms / floor;
    SetPythonCounters(state, ms, PythonTimes().readMs);
}
BENCHMARK(BM_LoadFromCSV)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_SaveToCSV(benchmark::State& state)
{
    const QString& name = CsvFile();
    auto g = MakeGrid();
    const QString out = Dir().filePath(QStringLiteral("saved.csv"));
    double ms = 1e300;
    for (auto _ : state) ms = std::min(ms, Millis([&] { g->SaveToCSV(out, true); }));
    if (ReadAll(out) != ReadAll(name)) state.SkipWithError("saved file differs from the grid's first save");
    std::vector<qsizetype> rowEnds;
    const std::vector<QString> fields = FloorRead(name, rowEnds);
    const QString floorOut = Dir().filePath(QStringLiteral("floor.csv"));
    const double floor = BestOf3([&] { FloorWrite(floorOut, fields, rowEnds); });
    state.counters["grid_ms"] = ms;
    state.counters["floor_ms"] = floor;
    state.counters["ratio_to_floor"] = ms / floor;
    SetPythonCounters(state, ms, PythonTimes().writeMs);
}
BENCHMARK(BM_SaveToCSV)->Iterations(3)->Unit(benchmark::kMillisecond);

// The clipboard: the whole 100,000 x 10 selection copied as text, and that
// text pasted into an empty grid, against the floor's join and split of the
// same fields with TAB.
void BM_ClipboardCopyText(benchmark::State& state)
{
    auto g = MakeGrid();
    g->SetSelection({0, 0, Cols - 1, Rows - 1});
    // One copy first, as the floor's runs start with its fields in memory.
    g->CopySelectionToClipboard();
    double ms = 1e300;
    for (auto _ : state) ms = std::min(ms, Millis([&] { g->CopySelectionToClipboard(); }));
    const QString text = QGuiApplication::clipboard()->text();
    std::vector<qsizetype> rowEnds;
    const std::vector<QString> fields = FloorSplit(text, u'\t', rowEnds);
    if (rowEnds.size() != size_t(Rows)) state.SkipWithError("the copied text has the wrong number of rows");
    const double floor = BestOf3([&] {
        const QString joined = FloorJoin(fields, rowEnds, u'\t');
        benchmark::DoNotOptimize(joined.constData());
    });
    state.counters["grid_ms"] = ms;
    state.counters["floor_ms"] = floor;
    state.counters["ratio_to_floor"] = ms / floor;
}
BENCHMARK(BM_ClipboardCopyText)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ClipboardPasteText(benchmark::State& state)
{
    auto src = MakeGrid();
    src->SetSelection({0, 0, Cols - 1, Rows - 1});
    src->CopySelectionToClipboard();
    const QString text = QGuiApplication::clipboard()->text();
    double ms = 1e300;
    std::unique_ptr<TExtStringGrid> g;
    for (auto _ : state) {
        state.PauseTiming();
        g = std::make_unique<TExtStringGrid>();
        g->SetFixedRows(0);
        g->SetFixedCols(0);
        g->SetOptions(g->Options().With(goEditing));
        state.ResumeTiming();
        int rows = 0, cols = 0;
        ms = std::min(ms, Millis([&] { g->PasteClipboardAt(0, 0, rows, cols); }));
    }
    if (g->RowCount() != Rows || g->ColCount() != Cols || g->Cells(9, Rows - 1) != src->Cells(9, Rows - 1))
        state.SkipWithError("the pasted grid differs from the copied one");
    std::vector<qsizetype> rowEnds;
    std::vector<QString> held;
    const double floor = BestOf3([&] {
        held = FloorSplit(text, u'\t', rowEnds);
        benchmark::DoNotOptimize(held.data());
    });
    state.counters["grid_ms"] = ms;
    state.counters["floor_ms"] = floor;
    state.counters["ratio_to_floor"] = ms / floor;
}
BENCHMARK(BM_ClipboardPasteText)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
