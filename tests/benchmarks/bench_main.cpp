// Benchmark main: the drawing benchmarks need Qt's GUI application (offscreen) for fonts.
#include <benchmark/benchmark.h>
#include <QGuiApplication>

#include <cstdlib>

#include "video/sprite_sheets.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);
    lantrel::installScreenFontSubstitutes();
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
