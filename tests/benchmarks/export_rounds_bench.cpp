// Rounds of the loop: a 1-minute song exported once and in ten rounds, as an MP4 at scale 1
// and as a WAV, each run in a child process of its own, so that its wall clock and its peak
// memory are its alone. Ten rounds should cost ten times one round, and no more memory.
#include <benchmark/benchmark.h>

#include <chrono>

#include "encode/libav_log.h"
#include "model/project.h"
#include "support/temp_dir.h"
#include "video/movie_export.h"
#include "export_bench_support.h"

namespace lantrel {
namespace {

using Clock = std::chrono::steady_clock;

void BM_ExportRounds(benchmark::State& state) {
    showOnlyLibavErrors();
    const bool mp4 = state.range(0) != 0;
    const int loops = static_cast<int>(state.range(1));
    std::vector<double> seconds;
    double peak = 0;
    for (auto _ : state) {
        for (int run = 0; run < 3; ++run) {
            test::TempDir out;
            const auto started = Clock::now();
            const bench::ChildRun child = bench::runInChild(1, [&](const Project& project) {
                MovieExportJob job = bench::exportJob(project, out.path(), "rounds");
                job.settings.videoOn = mp4;
                job.extras.mp4 = mp4;
                job.extras.mp4Options.scale = 1;
                job.extras.rounds.loops = loops;
                std::string error;
                return ExportMovie(job, error) == kExportSuccess;
            });
            if (!child.succeeded) return state.SkipWithError("the export failed");
            seconds.push_back(std::chrono::duration<double>(Clock::now() - started).count());
            peak = std::max(peak, child.peakMegabytes);
        }
    }
    state.counters["export_s"] = bench::median(seconds);
    state.counters["s_per_round"] = bench::median(seconds) / loops;
    state.counters["peak_RSS_MB"] = peak;
}
BENCHMARK(BM_ExportRounds)
    ->ArgNames({"mp4", "loops"})
    ->Args({1, 1})
    ->Args({1, 10})
    ->Args({0, 1})
    ->Args({0, 10})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace lantrel
