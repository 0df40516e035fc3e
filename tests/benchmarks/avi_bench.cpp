// AVI writing against the disk's own pace: the writer and dd put the same number of bytes in
// the same folder, one after the other in each iteration, so that both see the same disk and
// page cache. Also the reader's pace and the writer's peak memory for short and long files.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "video/avi_reader.h"
#include "video/avi_writer.h"

namespace lantrel {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool writeFrames(const std::filesystem::path& path, int frames) {
    AviWriter writer;
    if (!writer.create(path) || writer.addStream(scoreVideoStream(10)) != 0) return false;
    std::vector<std::byte> frame(kScreenFrameBytes, std::byte{0x5A});
    for (int i = 0; i < frames; ++i) {
        frame[0] = static_cast<std::byte>(i);
        if (!writer.write(0, frame)) return false;
    }
    return writer.close();
}

void BM_AviWriterVersusDd(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    test::TempDir dir;
    const std::string dd = "dd if=/dev/zero of='" + (dir / "dd.bin").string() +
                           "' bs=" + std::to_string(kScreenFrameBytes) +
                           " count=" + std::to_string(frames) + " status=none";
    double writerSeconds = 0;
    double ddSeconds = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        if (!writeFrames(dir / "movie.avi", frames)) state.SkipWithError("the writer failed");
        writerSeconds += secondsSince(start);
        start = Clock::now();
        if (std::system(dd.c_str()) != 0) state.SkipWithError("dd failed");
        ddSeconds += secondsSince(start);
        std::filesystem::remove(dir / "movie.avi");
        std::filesystem::remove(dir / "dd.bin");
    }
    const double runs = static_cast<double>(state.iterations());
    const double megabytes = static_cast<double>(frames) * kScreenFrameBytes / 1e6;
    state.counters["writer_s"] = writerSeconds / runs;
    state.counters["dd_s"] = ddSeconds / runs;
    state.counters["writer_MBps"] = megabytes * runs / writerSeconds;
    state.counters["dd_MBps"] = megabytes * runs / ddSeconds;
    state.counters["writer_over_dd"] = writerSeconds / ddSeconds;
}
BENCHMARK(BM_AviWriterVersusDd)->Arg(500)->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();

void BM_AviReaderFrames(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    test::TempDir dir;
    if (!writeFrames(dir / "movie.avi", frames)) state.SkipWithError("the writer failed");
    std::string error;
    const auto reader = AviReader::open(dir / "movie.avi", error);
    if (!reader) return state.SkipWithError(error.c_str());
    std::vector<std::byte> frame(kScreenFrameBytes);
    for (auto _ : state) {
        for (int i = 0; i < frames; ++i)
            if (!reader->read(0, i, 1, frame)) return state.SkipWithError("a read failed");
        benchmark::DoNotOptimize(frame.data());
    }
    state.counters["frames_per_s"] = benchmark::Counter(
        static_cast<double>(frames), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_AviReaderFrames)
    ->Arg(500)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Peak memory of writing a file in a child process, so each length is measured alone.
void BM_AviWriterPeakMemory(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    test::TempDir dir;
    double peak = 0;
    for (auto _ : state) {
        const pid_t child = ::fork();
        if (child == 0) ::_exit(writeFrames(dir / "movie.avi", frames) ? 0 : 1);
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        peak = static_cast<double>(usage.ru_maxrss) / 1024.0;
        std::filesystem::remove(dir / "movie.avi");
    }
    state.counters["peak_RSS_MB"] = peak;
}
BENCHMARK(BM_AviWriterPeakMemory)->Arg(100)->Arg(2500)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace lantrel
