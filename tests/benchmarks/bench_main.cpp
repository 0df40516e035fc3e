// Benchmark main: the drawing and window benchmarks need Qt's application (offscreen).
#include <benchmark/benchmark.h>
#include <QApplication>

#include <cstdlib>

#include "video/sprite_sheets.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    lantrel::installScreenFontSubstitutes();
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
