// Live playback figures: how soon sound is handed to the output after start, how much of a
// core the worker needs while playing, and how long stop takes. SDL plays through its disk
// driver into /dev/null, at real-time pace, so no sound card is needed.
#include <benchmark/benchmark.h>

#include <time.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>

#include "audio/player.h"
#include "audio/sdl_wave_device.h"
#include "model/project.h"
#include "support/playback_fixture.h"
#include "support/temp_dir.h"
#include "support/test_wave_device.h"

namespace lantrel {
namespace {

using Clock = std::chrono::steady_clock;

// Every slot of every lane holds a note in every column, with sounds of 1.5 s, so that all
// nine tracks sound at once all the time.
void arrangeDense(Project& project, const std::filesystem::path& waves, int columns, int tempo) {
    std::lock_guard lock(project.lock());
    ProjectSettings& settings = project.settingsUnlocked();
    settings.tempo = tempo;
    settings.emulateTempo = false;
    for (LaneSound& lane : settings.lanes)
        lane.waveFolder = waves.string();
    for (int column = 0; column < columns; ++column)
        for (int lane = 0; lane < kLaneCount; ++lane)
            for (int slot = 0; slot < kSlotsPerCell; ++slot)
                project.lane(lane).putNote(
                    column, slot,
                    Note{1 + (column + 5 * lane + slot) % 15, 1 + (column + slot) % 13});
}

class Fixture {
  public:
    explicit Fixture(double soundSeconds = 1.5)
        : waves(test::writeToneSounds(dir / "waves", 44100, soundSeconds)) {
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    }
    test::TempDir dir;
    std::filesystem::path waves;
};

// Counts nothing; the worker's messages only matter to the CPU benchmark below.
class IgnoringTarget final : public PostTarget {
  public:
    void post(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
};

// From start() to the first block queued on the device, for a ten-minute arrangement
// (1000 columns at tempo 100): opening the output, building the timeline, rendering a block.
// The argument is the length of each of the 24 sounds in milliseconds, at 44100 Hz.
template <bool Sdl>
void BM_StartToFirstBuffer(benchmark::State& state) {
    Fixture fixture(static_cast<double>(state.range(0)) / 1000.0);
    Project project;
    arrangeDense(project, fixture.waves, 1000, 100);
    std::unique_ptr<WaveDevice> owned;
    if constexpr (Sdl)
        owned = std::make_unique<SdlWaveDevice>();
    else
        owned = std::make_unique<test::TestWaveDevice>();
    WaveDevice& device = *owned;
    Player player(std::move(owned), PlayerOptions{{fixture.dir / "rsrc"}});
    if (!player.prepare(project.settings())) state.SkipWithError("prepare failed");
    IgnoringTarget target;
    for (auto _ : state) {
        const auto began = Clock::now();
        player.start(target, project, 0, true);
        while (device.queuedCount() == 0 && player.isPlaying())
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - began).count());
        if (!player.isPlaying()) state.SkipWithError(player.outputError().c_str());
        player.stop();
    }
}
BENCHMARK(BM_StartToFirstBuffer<true>)
    ->Name("BM_StartToFirstBuffer/sdl")
    ->Arg(500)
    ->Arg(1500)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(BM_StartToFirstBuffer<false>)
    ->Name("BM_StartToFirstBuffer/test_device")
    ->Arg(500)
    ->Arg(1500)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// The worker's messages are posted from the worker itself, so its own CPU clock can be read
// there: the CPU time between the first and the last message over the wall time between them.
class CpuSampler final : public PostTarget {
  public:
    void post(std::uint32_t, std::uintptr_t, std::intptr_t) override {
        timespec cpu{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
        const double seconds =
            static_cast<double>(cpu.tv_sec) + static_cast<double>(cpu.tv_nsec) * 1e-9;
        std::lock_guard lock(mutex_);
        if (!first_) first_ = Sample{seconds, Clock::now()};
        last_ = Sample{seconds, Clock::now()};
    }
    // Worker CPU time per wall time, in percent of one core.
    double percent() const {
        std::lock_guard lock(mutex_);
        if (!first_ || last_.wall <= first_->wall) return 0;
        const double wall = std::chrono::duration<double>(last_.wall - first_->wall).count();
        return 100.0 * (last_.cpu - first_->cpu) / wall;
    }

  private:
    struct Sample {
        double cpu;
        Clock::time_point wall;
    };
    mutable std::mutex mutex_;
    std::optional<Sample> first_;
    Sample last_{};
};

void BM_WorkerCpuWhilePlaying(benchmark::State& state) {
    Fixture fixture;
    Project project;
    arrangeDense(project, fixture.waves, 2000, 200);
    ProjectSettings settings = project.settings();
    settings.fps = 30;  // positions at the highest rate
    project.setSettings(settings);
    Player player;
    if (!player.prepare(project.settings())) state.SkipWithError("prepare failed");
    const auto seconds = static_cast<int>(state.range(0));
    for (auto _ : state) {
        CpuSampler sampler;
        player.start(sampler, project, 0, true);
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        if (!player.isPlaying()) state.SkipWithError(player.outputError().c_str());
        player.stop();
        state.counters["worker_cpu_percent"] = sampler.percent();
    }
}
BENCHMARK(BM_WorkerCpuWhilePlaying)->Arg(6)->Iterations(1)->Unit(benchmark::kSecond);

// stop() while SDL plays, and while a stalled output gives nothing back.
template <bool Stalled>
void BM_Stop(benchmark::State& state) {
    Fixture fixture;
    Project project;
    arrangeDense(project, fixture.waves, 100, 100);
    std::unique_ptr<WaveDevice> owned;
    test::TestWaveDevice* stalling = nullptr;
    if constexpr (Stalled) {
        auto device =
            std::make_unique<test::TestWaveDevice>(test::TestWaveDevice::Pace::RealTime, false);
        stalling = device.get();
        owned = std::move(device);
    } else {
        owned = std::make_unique<SdlWaveDevice>();
    }
    Player player(std::move(owned), PlayerOptions{{fixture.dir / "rsrc"}});
    if (!player.prepare(project.settings())) state.SkipWithError("prepare failed");
    IgnoringTarget target;
    for (auto _ : state) {
        player.start(target, project, 0, true);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (stalling) stalling->stall(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const auto began = Clock::now();
        player.stop();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - began).count());
        if (stalling) stalling->stall(false);
    }
}
BENCHMARK(BM_Stop<false>)
    ->Name("BM_Stop/sdl_playing")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(BM_Stop<true>)
    ->Name("BM_Stop/stalled_output")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace
}  // namespace lantrel
