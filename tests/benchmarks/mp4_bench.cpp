// The MP4 export against ffmpeg: a 3-minute arrangement at 10 frames a second, scale 2 and
// the default quality, written by the export run straight from the renderer and the mixer,
// next to the ffmpeg program transcoding the joined AVI of the same song with the same encoder
// settings (wall clock and processor time, since the machine is shared); the MP4 export's
// peak memory for a 1-minute and a 10-minute song, and on the 16:9 canvas; and the colour
// conversion alone.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>

#include "encode/libav_log.h"
#include "encode/mp4_writer.h"
#include "encode/screen_converter.h"
#include "model/post_target.h"
#include "model/project.h"
#include "support/temp_dir.h"
#include "video/movie_export.h"
#include "export_bench_support.h"

namespace lantrel {
namespace {

using Clock = std::chrono::steady_clock;

// The export run with the MP4 extra, as `lantrel export --mp4` and the window start it:
// the renderer and the mixer straight into the encoders. Returns the error, if any.
std::string exportMp4(const Project& project, const std::filesystem::path& folder,
                      const std::string& name, const Mp4Options& options) {
    MovieExportJob job = bench::exportJob(project, folder, name);
    job.extras.mp4 = true;
    job.extras.mp4Options = options;
    std::string error;
    return ExportMovie(job, error) == kExportSuccess ? std::string() : error;
}

// Wall-clock seconds and the processor seconds (user and system, every thread) that `who`
// spent meanwhile: RUSAGE_SELF for work in this process, RUSAGE_CHILDREN for a program it
// runs. On a shared machine the processor time scatters far less than the wall clock.
struct Cost {
    double seconds = 0;
    double cpuSeconds = 0;
};
double cpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
Cost costOf(int who, const std::function<void()>& work) {
    const double cpuBefore = cpuSeconds(who);
    const auto started = Clock::now();
    work();
    return {std::chrono::duration<double>(Clock::now() - started).count(),
            cpuSeconds(who) - cpuBefore};
}

// The joined AVI of the song, as the AVI export writes it.
std::filesystem::path writeJoinedAvi(const Project& project, const test::TempDir& out) {
    MovieExportJob job = bench::exportJob(project, out.path(), "joined");
    job.settings.join = true;
    std::string error;
    ExportMovie(job, error);
    return out / "joined.avi";
}

std::string ffmpegTranscode(const std::filesystem::path& avi, const std::filesystem::path& mp4,
                            const Mp4Options& options) {
    return "ffmpeg -v error -y -i '" + avi.string() +
           "' -vf scale=iw*2:ih*2:flags=neighbor -c:v libx264 -preset " + options.preset +
           " -crf " + std::to_string(options.crf) +
           " -pix_fmt yuv420p -c:a aac -b:a 192k -movflags +faststart '" + mp4.string() + "'";
}

void BM_Mp4ExportThreeMinutesVersusFfmpeg(benchmark::State& state) {
    showOnlyLibavErrors();
    Project project;
    bench::arrange(project, 3);
    test::TempDir out;
    const auto avi = writeJoinedAvi(project, out);
    const Mp4Options options;  // the defaults: scale 2
    std::vector<double> ours, theirs, oursCpu, theirsCpu;
    std::string error;
    for (auto _ : state) {
        for (int round = 0; round < 3; ++round) {
            const Cost mine = costOf(
                RUSAGE_SELF, [&] { error = exportMp4(project, out.path(), "ours", options); });
            if (!error.empty()) return state.SkipWithError(error.c_str());
            const std::string command = ffmpegTranscode(avi, out / "ffmpeg.mp4", options);
            const Cost ffmpeg = costOf(RUSAGE_CHILDREN, [&] {
                if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpeg failed");
            });
            ours.push_back(mine.seconds);
            oursCpu.push_back(mine.cpuSeconds);
            theirs.push_back(ffmpeg.seconds);
            theirsCpu.push_back(ffmpeg.cpuSeconds);
        }
    }
    state.counters["mp4_export_s"] = bench::median(ours);
    state.counters["ffmpeg_s"] = bench::median(theirs);
    state.counters["ratio"] = bench::median(ours) / bench::median(theirs);
    state.counters["mp4_export_cpu_s"] = bench::median(oursCpu);
    state.counters["ffmpeg_cpu_s"] = bench::median(theirsCpu);
    state.counters["cpu_ratio"] = bench::median(oursCpu) / bench::median(theirsCpu);
    state.counters["mp4_MB"] =
        static_cast<double>(std::filesystem::file_size(out / "ours.mp4")) / 1e6;
    state.counters["ffmpeg_MB"] =
        static_cast<double>(std::filesystem::file_size(out / "ffmpeg.mp4")) / 1e6;
}
BENCHMARK(BM_Mp4ExportThreeMinutesVersusFfmpeg)->Iterations(1)->Unit(benchmark::kSecond);

void BM_Mp4ExportPeakMemory(benchmark::State& state) {
    showOnlyLibavErrors();
    const int minutes = static_cast<int>(state.range(0));
    Mp4Options options;
    options.pad16x9 = state.range(1) != 0;
    double peak = 0;
    for (auto _ : state) {
        test::TempDir out;
        const bench::ChildRun run = bench::runInChild(minutes, [&](const Project& project) {
            return exportMp4(project, out.path(), "bench", options).empty();
        });
        if (!run.succeeded) state.SkipWithError("the export failed");
        peak = run.peakMegabytes;
    }
    state.counters["peak_RSS_MB"] = peak;
}
BENCHMARK(BM_Mp4ExportPeakMemory)
    ->ArgNames({"minutes", "pad16x9"})
    ->Args({1, 0})
    ->Args({10, 0})
    ->Args({1, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// Every row differs from the last picture's (the worst case), or none does (a still screen).
void BM_ScreenConverterFrame(benchmark::State& state) {
    const MovieGeometry geometry = movieGeometry(static_cast<int>(state.range(0)), false);
    const bool still = state.range(1) != 0;
    ScreenConverter converter(geometry);
    std::array<std::vector<std::uint32_t>, 2> pictures;
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        pictures[k].resize(512 * 384);
        for (std::size_t i = 0; i < pictures[k].size(); ++i)
            pictures[k][i] = 0xFF000000u | static_cast<std::uint32_t>((i + k) * 2654435761u >> 8);
    }
    std::vector<std::uint8_t> luma(static_cast<std::size_t>(geometry.width * geometry.height));
    std::vector<std::uint8_t> cb(luma.size() / 4), cr(luma.size() / 4);
    const YuvPlanes planes{{luma.data(), cb.data(), cr.data()},
                           {geometry.width, geometry.width / 2, geometry.width / 2}};
    std::size_t next = 0;
    for (auto _ : state) {
        const auto& pixels = pictures[still ? 0 : next++ % 2];
        converter.convert({reinterpret_cast<const std::byte*>(pixels.data()), 512 * 4}, planes);
        benchmark::DoNotOptimize(luma.data());
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScreenConverterFrame)
    ->ArgNames({"scale", "still"})
    ->ArgsProduct({{1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lantrel
