// The filter's wildcard match over a long cell text with many stars: the
// worst case for a back-tracking matcher (every star can take any run and
// the final character never matches).
#include "controls/ExtFilter.h"

#include <benchmark/benchmark.h>

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

} // namespace

BENCHMARK_MAIN();
