#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "model/auto_reset_event.h"
#include "model/post_target.h"
#include "model/project_settings.h"
#include "sample_set.h"
#include "timeline.h"
#include "wave_device.h"

namespace lantrel {

class Project;

struct PlayerOptions {
    // Where a lane's missing sounds come from, in lookup order; empty: resourceFolders().
    std::vector<std::filesystem::path> resourceFolders;
};

// Why the last prepare() refused: the first lane whose sample set is incomplete.
struct PrepareFailure {
    int lane = -1;  // -1: nothing failed
    int missingSounds = 0;
    std::string problem;  // a sound that did not fit in memory, named; else empty
};

// Live playback. A worker thread keeps three one-second blocks of the mixer's sound queued on
// the wave device, starting at a column and wrapping to the song's start after the block that
// passes the song end, and posts the play position to a window as kMessagePlayPosition:
// wParam = the half-beat that sounds, lParam = the steady clock in milliseconds.
//
// prepare, start, stop and the queries belong to one controlling thread (the view's). The
// worker reads the project only through its locked queries, and only while building the
// timeline at the start of a run. The settings copy and the sample sets change only while no
// worker runs: prepare stops playback first, because the timeline points into the sets.
class Player {
  public:
    // Plays through SDL's default sound output.
    Player();
    explicit Player(std::unique_ptr<WaveDevice> device, PlayerOptions options = {});
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Loads the three lanes' sample sets and puts each lane's pans and volumes on them. When a
    // lane's set misses a sound, frees every set and returns false; failure() tells which lane.
    bool prepare(const ProjectSettings& settings);
    // Starts the worker at `startColumn` (negative counts as 0), after stopping a running one.
    // False when prepare has not succeeded or the thread cannot be created. `window` and
    // `project` must outlive the playback (until stop or the player's end).
    bool start(PostTarget& window, const Project& project, int startColumn, bool loop);
    // Ends the worker and waits for it; the device is closed when this returns.
    void stop();
    // Renders and queues every free buffer. The worker calls it whenever a buffer comes back;
    // it is safe from other threads too. False when no sample sets are loaded.
    bool refill();

    // A worker runs. False again once it has ended by itself: the output could not be opened,
    // or a pass without loop has played out.
    bool isPlaying() const { return running_.load(); }
    // The last run ended because the sound output could not be opened; outputError() says why.
    bool outputFailed() const { return outputFailed_.load(); }
    // Why the last run ended early: the sound output's reason, or what stopped the worker.
    std::string outputError() const;
    const PrepareFailure& failure() const { return failure_; }

    // How often the position is posted at a frame rate: with the frames up to 15 fps, else
    // every 66 ms. A frame rate below 1 (a damaged project) counts as above 15.
    static std::chrono::milliseconds positionPeriod(int fps);
    // The half-beat in which a sample lies: two half-beats per column of the effective tempo.
    static std::uintptr_t halfBeatAt(std::int64_t sample, int tempo, int sampleRate);

  private:
    struct Position {
        std::int64_t base = 0;  // first sample of the buffer that plays
        std::chrono::steady_clock::time_point since;
    };
    void run();
    void play();
    void playLoop();
    bool refillLocked();
    std::int64_t sampleOfColumn(std::int64_t column) const;
    void postPosition(const Position& position);
    void notePlayingBuffer(Position& position);

    std::unique_ptr<WaveDevice> device_;
    PlayerOptions options_;
    std::unique_ptr<std::array<SampleSet, kLaneCount>> sets_;
    ProjectSettings settings_;
    PrepareFailure failure_;
    std::string workerError_;  // guarded by work_

    // Guards the timeline and the pass state against a refill() from outside the worker.
    mutable std::mutex work_;
    Timeline timeline_;
    const Project* project_ = nullptr;
    PostTarget* window_ = nullptr;
    int startColumn_ = 0;
    std::int64_t blocksDone_ = 0;
    bool loop_ = true;
    bool passEnded_ = false;  // without loop: every block of the pass is rendered

    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> outputFailed_{false};
    AutoResetEvent bufferEvent_;
    AutoResetEvent stopEvent_;
};

}  // namespace lantrel
