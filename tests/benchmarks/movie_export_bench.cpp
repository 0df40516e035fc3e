// The movie export against the disk: a 3-minute arrangement at 10 frames a second exported
// video-only and joined, each next to `dd` writing the same number of bytes to the same folder,
// and the export's peak memory for a 1-minute and a 10-minute song.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>

#include "base/resource_folder.h"
#include "model/post_target.h"
#include "model/project.h"
#include "support/temp_dir.h"
#include "video/movie_export.h"
#include "export_bench_support.h"

namespace lantrel {
namespace {

using Clock = std::chrono::steady_clock;

MovieExportJob makeJob(const Project& project, const test::TempDir& out, bool join) {
    MovieExportJob job = bench::exportJob(project, out.path(), "bench");
    job.resourceFolders = resourceFolders();
    job.settings.join = join;
    job.settings.audioOn = join;
    return job;
}

double secondsOf(const std::function<void()>& work) {
    const auto started = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - started).count();
}

// Each side is timed from a synced disk (the sync is not timed) until its last write returns,
// three times in turn; the medians are compared, since single runs on a shared virtual disk
// scatter widely.
double ddSeconds(const test::TempDir& out, std::uintmax_t bytes) {
    const std::string command = "dd if=/dev/zero of='" + (out / "dd.bin").string() +
                                "' bs=1M count=" + std::to_string((bytes + (1 << 20) - 1) >> 20) +
                                " 2>/dev/null";
    ::sync();
    const double seconds =
        secondsOf([&] { benchmark::DoNotOptimize(std::system(command.c_str())); });
    std::filesystem::remove(out / "dd.bin");
    return seconds;
}

void BM_ExportThreeMinutesVersusDd(benchmark::State& state) {
    const bool join = state.range(0) != 0;
    Project project;
    bench::arrange(project, 3);
    test::TempDir out;
    std::vector<double> exports, dds;
    for (auto _ : state) {
        for (int round = 0; round < 3; ++round) {
            const MovieExportJob job = makeJob(project, out, join);
            std::string error;
            ::sync();
            exports.push_back(secondsOf([&] { ExportMovie(job, error); }));
            const auto bytes = std::filesystem::file_size(out / "bench.avi");
            std::filesystem::remove(out / "bench.avi");
            dds.push_back(ddSeconds(out, bytes));
        }
    }
    state.counters["export_s"] = bench::median(exports);
    state.counters["dd_s"] = bench::median(dds);
    state.counters["ratio"] = bench::median(exports) / bench::median(dds);
}
BENCHMARK(BM_ExportThreeMinutesVersusDd)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

void BM_MovieExportPeakMemory(benchmark::State& state) {
    const int minutes = static_cast<int>(state.range(0));
    double peak = 0;
    for (auto _ : state) {
        test::TempDir out;
        peak = bench::runInChild(minutes, [&](const Project& project) {
                   std::string error;
                   return ExportMovie(makeJob(project, out, true), error) == kExportSuccess;
               }).peakMegabytes;
    }
    state.counters["peak_RSS_MB"] = peak;
}
BENCHMARK(BM_MovieExportPeakMemory)->Arg(1)->Arg(10)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace lantrel
