// Mixer and audio export figures: throughput of a dense arrangement, the cost of scheduling
// long songs, and the memory of exporting short and long songs.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <memory>

#include "audio/audio_writer.h"
#include "audio/timeline.h"
#include "model/project.h"
#include "support/temp_dir.h"
#include "support/test_sounds.h"

namespace lantrel {
namespace {

// A decaying tone per sound, about a second long, like real instrument samples.
const test::TempDir& soundFolder() {
    static const auto folder = [] {
        auto dir = std::make_unique<test::TempDir>();
        test::writeSoundFolder(dir->path(), [](int index) {
            std::vector<std::int16_t> samples(44100);
            for (std::size_t i = 0; i < samples.size(); ++i) {
                const double t = static_cast<double>(i) / 44100.0;
                samples[i] = static_cast<std::int16_t>(
                    6000.0 * std::exp(-3.0 * t) * std::sin(2 * M_PI * (200.0 + 20 * index) * t));
            }
            return samples;
        });
        return dir;
    }();
    return *folder;
}

std::array<SampleSet, 3> loadSets() {
    std::array<SampleSet, 3> sets;
    for (auto& set : sets)
        set = loadSampleSet(soundFolder().path().string(), soundFolder().path());
    return sets;
}

// Three notes in every column of every lane, cycling through instruments and pitches.
void fillDense(Project& project, int columns) {
    for (int lane = 0; lane < 3; ++lane)
        for (int column = 0; column < columns; ++column)
            for (int slot = 0; slot < 3; ++slot)
                project.lane(lane).putNote(
                    column, slot,
                    Note{1 + (column + slot + lane) % 15, 1 + (column * 3 + slot) % 13});
}

ProjectSettings denseSettings(int tempo) {
    ProjectSettings settings;
    settings.tempo = tempo;
    settings.emulateTempo = false;
    settings.sampleRate = 44100;
    settings.stereo = true;
    for (auto& lane : settings.lanes)
        lane.waveFolder = soundFolder().path().string();
    return settings;
}

void BM_MixerDenseStereo(benchmark::State& state) {
    Project project;
    fillDense(project, 2000);
    const ProjectSettings settings = denseSettings(400);
    const auto sets = std::make_unique<std::array<SampleSet, 3>>(loadSets());
    Timeline timeline;
    timeline.buildTimeline(project, settings, *sets);
    timeline.finishTimeline();
    const std::int64_t frames = timeline.songLength();
    std::vector<std::int16_t> block(44100 * 2);
    for (auto _ : state) {
        for (std::int64_t first = 0; first < frames; first += 44100) {
            timeline.renderStereo(block.data(), first, 44100);
            benchmark::DoNotOptimize(block.data());
        }
    }
    const double seconds = static_cast<double>(frames) / 44100.0;
    state.counters["song_s"] = seconds;
    state.counters["x_realtime"] =
        benchmark::Counter(seconds, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["ns_per_frame"] = benchmark::Counter(
        static_cast<double>(frames) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MixerDenseStereo)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The same song with every sound mixed as a long one is: its levels worked out as it plays
// rather than read from a table. What a lane of long sounds costs in speed for its memory.
void BM_MixerDenseStereoWithoutTables(benchmark::State& state) {
    Project project;
    fillDense(project, 2000);
    const ProjectSettings settings = denseSettings(400);
    const auto sets = std::make_unique<std::array<SampleSet, 3>>(loadSets());
    for (auto& set : *sets)
        for (SampleSlot& sound : set.sounds)
            sound.setGainTableLimit(0);
    Timeline timeline;
    timeline.buildTimeline(project, settings, *sets);
    timeline.finishTimeline();
    const std::int64_t frames = timeline.songLength();
    std::vector<std::int16_t> block(44100 * 2);
    for (auto _ : state) {
        for (std::int64_t first = 0; first < frames; first += 44100) {
            timeline.renderStereo(block.data(), first, 44100);
            benchmark::DoNotOptimize(block.data());
        }
    }
    state.counters["x_realtime"] = benchmark::Counter(
        static_cast<double>(frames) / 44100.0, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MixerDenseStereoWithoutTables)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void BM_ScheduleHundredThousandColumns(benchmark::State& state) {
    Project project;
    fillDense(project, 100000);
    const ProjectSettings settings = denseSettings(120);
    const auto sets = std::make_unique<std::array<SampleSet, 3>>(loadSets());
    double heapMegabytes = 0;
    for (auto _ : state) {
        const auto before = ::mallinfo2().uordblks;
        Timeline timeline;
        timeline.buildTimeline(project, settings, *sets);
        timeline.finishTimeline();
        heapMegabytes = static_cast<double>(::mallinfo2().uordblks - before) / (1 << 20);
        benchmark::DoNotOptimize(timeline.songLength());
    }
    state.counters["timeline_MB"] = heapMegabytes;
}
BENCHMARK(BM_ScheduleHundredThousandColumns)->Unit(benchmark::kMillisecond)->Iterations(3);

// Peak memory of a whole export in a child process, so each song size is measured alone.
double exportPeakMegabytes(int columns) {
    test::TempDir out;
    const pid_t child = ::fork();
    if (child == 0) {
        Project project;
        fillDense(project, columns);
        class Ignore : public PostTarget {
            void post(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
        } ignore;
        std::string error;
        ::_exit(writeExportAudio(project, denseSettings(120), out / "song.wav", ignore, error,
                                 {{soundFolder().path()}}));
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ExportPeakMemory(benchmark::State& state) {
    const int minutes = static_cast<int>(state.range(0));
    double peak = 0;
    for (auto _ : state)
        peak = exportPeakMegabytes(minutes * 120);  // 120 columns a minute
    state.counters["peak_RSS_MB"] = peak;
}
BENCHMARK(BM_ExportPeakMemory)->Arg(1)->Arg(20)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace lantrel
