#include "player.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <string>
#include <system_error>

#include "base/resource_folder.h"
#include "model/project.h"
#include "sdl_wave_device.h"

namespace lantrel {

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t milliseconds(Clock::time_point time) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

}  // namespace

Player::Player() : Player(std::make_unique<SdlWaveDevice>()) {}

Player::Player(std::unique_ptr<WaveDevice> device, PlayerOptions options)
    : device_(std::move(device)), options_(std::move(options)) {}

Player::~Player() {
    stop();
}

std::chrono::milliseconds Player::positionPeriod(int fps) {
    if (fps >= 1 && fps <= 15) return std::chrono::milliseconds(1000 / fps);
    return std::chrono::milliseconds(66);
}

std::uintptr_t Player::halfBeatAt(std::int64_t sample, int tempo, int sampleRate) {
    const double halfBeat =
        tempo * static_cast<double>(std::max<std::int64_t>(sample, 0)) * 2.0 / sampleRate / 60.0;
    return static_cast<std::uintptr_t>(halfBeat);
}

bool Player::prepare(const ProjectSettings& settings) {
    // The running timeline points into the sets about to be replaced.
    stop();
    std::lock_guard lock(work_);
    sets_.reset();
    failure_ = {};
    const auto folders =
        options_.resourceFolders.empty() ? resourceFolders() : options_.resourceFolders;
    auto sets = std::make_unique<std::array<SampleSet, kLaneCount>>();
    for (std::size_t lane = 0; lane < sets->size(); ++lane) {
        SampleSet& set = (*sets)[lane];
        set = loadLaneSampleSet(settings.lanes[lane], folders);
        if (set.failureCount > 0) {
            failure_ = {static_cast<int>(lane), set.failureCount, set.problem};
            return false;
        }
        // Worked out here rather than on start, so that pressing play is heard at once.
        for (const SampleSlot& sound : set.sounds)
            sound.gains(settings.stereo);
    }
    settings_ = settings;
    sets_ = std::move(sets);
    return true;
}

bool Player::start(PostTarget& window, const Project& project, int startColumn, bool loop) {
    if (!sets_) return false;
    stop();
    {
        std::lock_guard lock(work_);
        window_ = &window;
        project_ = &project;
        startColumn_ = std::max(startColumn, 0);
        loop_ = loop;
        blocksDone_ = 0;
        passEnded_ = false;
    }
    outputFailed_ = false;
    {
        std::lock_guard lock(work_);
        workerError_.clear();
    }
    stopEvent_.reset();
    running_ = true;
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        running_ = false;
        return false;
    }
    return true;
}

void Player::stop() {
    if (!thread_.joinable()) {
        device_->close();
        return;
    }
    // The worker sleeps on the buffer event alone; setting it after the stop event wakes the
    // worker at once, and the worker looks at the stop event before anything else.
    stopEvent_.set();
    bufferEvent_.set();
    thread_.join();
    stopEvent_.reset();
    bufferEvent_.reset();
}

bool Player::refill() {
    std::lock_guard lock(work_);
    return refillLocked();
}

std::string Player::outputError() const {
    {
        std::lock_guard lock(work_);
        if (!workerError_.empty()) return workerError_;
    }
    return device_->lastError();
}

// The worker has no one to throw to: what it did not foresee ends the run as a failed output.
void Player::run() {
    try {
        play();
    } catch (const std::exception& problem) {
        device_->close();
        {
            std::lock_guard lock(work_);
            workerError_ = dynamic_cast<const std::bad_alloc*>(&problem)
                               ? "not enough memory to play"
                               : std::string("playback stopped: ") + problem.what();
        }
        outputFailed_ = true;
        running_ = false;
    }
}

void Player::play() {
    bufferEvent_.reset();
    {
        // One step for a refill() from outside: until the timeline is built, the device's
        // free buffers must not be filled from the previous run's timeline.
        std::lock_guard lock(work_);
        if (!device_->open(outputSampleRate(settings_), settings_.stereo ? 2 : 1, bufferEvent_)) {
            outputFailed_ = true;
            running_ = false;
            return;
        }
        timeline_.buildTimeline(*project_, settings_, *sets_);
        timeline_.finishTimeline();
    }
    playLoop();
    device_->close();
    running_ = false;
}

void Player::playLoop() {
    using namespace std::chrono_literals;
    Position position;
    {
        std::lock_guard lock(work_);
        refillLocked();
        position = {sampleOfColumn(startColumn_), Clock::now()};
    }
    const auto period = positionPeriod(settings_.fps);
    for (;;) {
        const bool bufferDone = bufferEvent_.wait(period);
        if (stopEvent_.poll()) return;
        if (bufferDone) {
            notePlayingBuffer(position);
            std::lock_guard lock(work_);
            if (passEnded_ && device_->queuedCount() == 0) return;  // played out, no loop
        }
        postPosition(position);
        std::this_thread::sleep_for(1ms);
    }
}

// A buffer came back: the position now counts from the start of the one that plays next.
void Player::notePlayingBuffer(Position& position) {
    position.since = Clock::now();
    auto tag = device_->playingTag();
    refill();
    // When the queue had run dry the block just queued is the one that plays.
    if (!tag) tag = device_->playingTag();
    position.base = tag.value_or(0);
}

void Player::postPosition(const Position& position) {
    const auto now = Clock::now();
    const std::int64_t rate = timeline_.sampleRate();
    const std::int64_t elapsed = milliseconds(now) - milliseconds(position.since);
    // Never past the end of the playing buffer: if the output stalls, the position waits
    // for it instead of running ahead of the sound.
    const auto ahead = static_cast<std::int64_t>(static_cast<double>(elapsed) / 1000.0 *
                                                 static_cast<double>(rate));
    const std::int64_t sample = position.base + std::clamp<std::int64_t>(ahead, 0, rate - 1);
    window_->post(kMessagePlayPosition,
                  halfBeatAt(sample, timeline_.tempo(), timeline_.sampleRate()),
                  static_cast<std::intptr_t>(milliseconds(now)));
}

// Blocks of one second from the pass's start column; the block that reaches the song end is
// the pass's last, after which the next pass starts at column 0 (or, without loop, none).
bool Player::refillLocked() {
    if (!sets_) return false;
    const std::int64_t rate = timeline_.sampleRate();
    const std::int64_t songEnd = sampleOfColumn(timeline_.columns());
    std::int64_t passStart = sampleOfColumn(startColumn_);
    for (int i = 0; i < WaveDevice::kBufferCount; ++i) {
        const int index = device_->nextIndex();
        if (!device_->isFree(index)) break;
        std::int64_t blockStart = passStart + blocksDone_ * rate;
        if (blockStart >= songEnd) {
            if (!loop_) {
                passEnded_ = true;
                break;
            }
            startColumn_ = 0;
            blocksDone_ = 0;
            passStart = blockStart = 0;
        }
        ++blocksDone_;
        const auto out = device_->samples(index);
        if (out.size() < static_cast<std::size_t>(rate) * (settings_.stereo ? 2 : 1)) break;
        if (settings_.stereo)
            timeline_.renderStereo(out.data(), blockStart, rate);
        else
            timeline_.renderMono(out.data(), blockStart, rate);
        // Queued at once rather than after all three, so that sound starts after one block.
        device_->write(blockStart);
    }
    return true;
}

// Pass and song boundaries round down, where the mixer's column starts round up.
std::int64_t Player::sampleOfColumn(std::int64_t column) const {
    return static_cast<std::int64_t>(std::floor(static_cast<double>(column) * 60.0 *
                                                timeline_.sampleRate() / timeline_.tempo()));
}

}  // namespace lantrel
