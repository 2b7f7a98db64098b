#pragma once
// The body of main for the benchmarks that need widgets: a QApplication on
// the offscreen platform (unless another is asked for), then every
// benchmark the command line selects.
#include <QApplication>
#include <benchmark/benchmark.h>

inline int RunQtBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
