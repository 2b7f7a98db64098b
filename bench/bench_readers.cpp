// The readers of outside data against large input:
// - the text helpers that the grid runs over cell texts, on 10,000 and
//   100,000 characters (one pass each: ten times the text, about ten times
//   the time);
// - the peak memory of reading a ParGen.xml at the 64 MB limit, measured in a
//   child process (its peak resident size, from wait4) so that nothing else
//   of the benchmark counts.
#include "controls/EsgHTMLUtil.h"
#include "controls/ExtUtil.h"
#include "gateway/UParGen.h"
#include "gateway/USaveBincc.h"
#include "platform/Exception.h"
#include "platform/XmlDoc.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString Repeat(const QString& piece, qsizetype length)
{
    QString s;
    s.reserve(length + piece.size());
    while (s.size() < length) s += piece;
    s.truncate(length);
    return s;
}

// Tagged text with a match in every piece.
void BM_MarkMatchesInHtml(benchmark::State& state)
{
    const QString text = Repeat(QStringLiteral("<B>total</B> of <I>items</I>; "), state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(MarkMatchesInHtml(text, QStringLiteral("T"), QStringLiteral("HI"), false));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MarkMatchesInHtml)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

// Stray angles in the visible text: the escaped form is marked.
void BM_MarkMatchesInHtmlEscaped(benchmark::State& state)
{
    const QString text = Repeat(QStringLiteral("5 > 3 <B>total</B> "), state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(MarkMatchesInHtml(text, QStringLiteral("t"), QStringLiteral("HI"), true));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MarkMatchesInHtmlEscaped)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_ProperCaseText(benchmark::State& state)
{
    const QString text = Repeat(QStringLiteral("ronald mcdonald o'brien-smith henry iii "), state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(ProperCaseText(text));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ProperCaseText)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

// A ParGen.xml of exactly 64 MB, written piece by piece. `pieces` fills the
// space between the 46 elements of a real file and the end of the root.
QString WriteBigParGen(const QTemporaryDir& dir, const QByteArray& head, const QByteArray& piece)
{
    const QString path = dir.filePath(QStringLiteral("ParGen.xml"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return QString();
    TParGen_Values v = ParGen_Defaults();
    QByteArray real = ParGen_ToBytes(v);
    const QByteArray tail = "</Par_Gen>";
    real.truncate(real.indexOf(tail)); // the 46 elements, root still open
    f.write(head + real);
    qint64 left = Max_Xml_File_Size - qint64(head.size() + real.size() + tail.size());
    QByteArray block;
    while (block.size() < 1024 * 1024) block += piece;
    while (left >= block.size()) left -= f.write(block);
    while (left >= piece.size()) left -= f.write(piece);
    f.write(QByteArray(left, ' ')); // layout blanks up to the exact size
    f.write(tail);
    return path;
}

// Runs `read` in a child process and reports the child's peak resident size.
template <class F>
void MeasureChildPeak(benchmark::State& state, const QString& path, F read)
{
    for (auto _ : state) {
        const pid_t pid = fork();
        if (pid == 0) {
            try {
                read(path);
            } catch (const EXMLError&) {
                _exit(3); // refused as a document the program does not read
            } catch (...) {
                _exit(2);
            }
            _exit(0);
        }
        int status = 0;
        rusage ru{};
        wait4(pid, &status, 0, &ru);
        const bool refused = WIFEXITED(status) && WEXITSTATUS(status) == 3;
        if (!refused && (!WIFEXITED(status) || WEXITSTATUS(status) != 0)) state.SkipWithError("the reading failed");
        state.counters["refused"] = refused ? 1 : 0;
        state.counters["peak_MB"] = double(ru.ru_maxrss) / 1024.0;
        state.counters["file_MB"] = double(QFile(path).size()) / (1024.0 * 1024.0);
    }
}

void ParGenPeak(benchmark::State& state, const QByteArray& head, const QByteArray& piece)
{
    QTemporaryDir dir;
    const QString path = WriteBigParGen(dir, head, piece);
    MeasureChildPeak(state, path, [](const QString& p) { benchmark::DoNotOptimize(ParGen_Load(p)); });
}

// Values the reader takes, repeated: many small elements, the worst case for
// the document's nodes.
void BM_ReadParGen64MB_ManyElements(benchmark::State& state)
{
    ParGenPeak(state, QByteArray(), "<BACnet_Type>1</BACnet_Type><Working_Mode>Gateway</Working_Mode>");
}
BENCHMARK(BM_ReadParGen64MB_ManyElements)->Iterations(1)->Unit(benchmark::kMillisecond);

// Nothing but empty elements: the most nodes a file of this size can hold.
// Parsed, it would take about 17 times its size; it is refused instead.
void BM_ReadParGen64MB_EmptyElements(benchmark::State& state) { ParGenPeak(state, QByteArray(), "<a/>"); }
BENCHMARK(BM_ReadParGen64MB_EmptyElements)->Iterations(1)->Unit(benchmark::kMillisecond);

// Rows of empty attributes: the most attributes a file of this size can hold
// (refused as well).
void BM_ReadParGen64MB_EmptyAttributes(benchmark::State& state)
{
    ParGenPeak(state, QByteArray(), "<r a=\"\" b=\"\" c=\"\" d=\"\" e=\"\" f=\"\" g=\"\" h=\"\" i=\"\" j=\"\"/>");
}
BENCHMARK(BM_ReadParGen64MB_EmptyAttributes)->Iterations(1)->Unit(benchmark::kMillisecond);

// One long value (a device name pasted many times over).
void BM_ReadParGen64MB_LongValue(benchmark::State& state)
{
    ParGenPeak(state, QByteArray(), "<Eth_Conn_Device_Name>" + QByteArray(60 * 1024 * 1024, 'x') + "</Eth_Conn_Device_Name>");
}
BENCHMARK(BM_ReadParGen64MB_LongValue)->Iterations(1)->Unit(benchmark::kMillisecond);

// Declared Windows-1252 with accented letters everywhere: each byte becomes
// two or three bytes of UTF-8.
void BM_ReadParGen64MB_Windows1252(benchmark::State& state)
{
    ParGenPeak(state, "<?xml version=\"1.0\" encoding=\"windows-1252\"?>",
               "<Mnemonic>\xE9\xE8\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80</Mnemonic>");
}
BENCHMARK(BM_ReadParGen64MB_Windows1252)->Iterations(1)->Unit(benchmark::kMillisecond);

// The image builder's reading of the same file, a whole build.
void BM_BuildFromParGen64MB(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = WriteBigParGen(dir, QByteArray(), "<BACnet_Type>1</BACnet_Type><Working_Mode>Gateway</Working_Mode>");
    MeasureChildPeak(state, path, [&dir](const QString&) { benchmark::DoNotOptimize(Compile_Banks(dir.path())); });
}
BENCHMARK(BM_BuildFromParGen64MB)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
