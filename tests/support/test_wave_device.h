#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/wave_device.h"

namespace lantrel::test {

// A wave device without a sound card. In manual mode the test plays frames itself with
// play(); in real-time mode a thread pulls sound at the output's pace, as a card would, and
// can be made to stall. Everything played, silence included, is kept for inspection.
class TestWaveDevice final : public WaveDevice {
  public:
    enum class Pace { Manual, RealTime };

    explicit TestWaveDevice(Pace pace = Pace::Manual, bool keep = true)
        : pace_(pace), keep_(keep) {}
    ~TestWaveDevice() override { close(); }

    void refuseToOpen(bool refuse) {
        std::lock_guard lock(mutex_);
        refuse_ = refuse;
    }
    // Real-time mode: while stalled no sound is pulled; afterwards the pace starts afresh.
    void stall(bool stalled) {
        {
            std::lock_guard lock(mutex_);
            stalled_ = stalled;
        }
        wake_.notify_all();
    }
    // Manual mode: plays `frames` frames now, on the calling thread.
    void play(std::int64_t frames) { pull(frames); }

    std::vector<std::int16_t> played() const {
        std::lock_guard lock(mutex_);
        return played_;
    }
    std::int64_t framesPlayed() const {
        std::lock_guard lock(mutex_);
        return framesPlayed_;
    }
    int channels() const {
        std::lock_guard lock(mutex_);
        return channels_;
    }
    int opens() const {
        std::lock_guard lock(mutex_);
        return opens_;
    }

  protected:
    bool startOutput(int sampleRate, int channels, std::string& error) override {
        std::lock_guard lock(mutex_);
        if (refuse_) {
            error = "the test device refuses to open";
            return false;
        }
        rate_ = sampleRate;
        channels_ = channels;
        ++opens_;
        quit_ = false;
        if (pace_ == Pace::RealTime) pacer_ = std::thread([this] { pace(); });
        return true;
    }
    void stopOutput() override {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        if (pacer_.joinable()) pacer_.join();
    }

  private:
    using Clock = std::chrono::steady_clock;

    void pull(std::int64_t frames) {
        int channels = 0;
        {
            std::lock_guard lock(mutex_);
            channels = channels_;
        }
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(frames * channels) * 2);
        fill(bytes);
        std::lock_guard lock(mutex_);
        framesPlayed_ += frames;
        if (!keep_) return;
        const std::size_t at = played_.size();
        played_.resize(at + bytes.size() / 2);
        std::memcpy(played_.data() + at, bytes.data(), bytes.size());
    }

    // Pulls what real time has made due, every few milliseconds, like a card's interrupt.
    void pace() {
        auto since = Clock::now();
        std::int64_t pulled = 0;
        std::unique_lock lock(mutex_);
        while (!quit_) {
            wake_.wait_for(lock, std::chrono::milliseconds(5));
            if (quit_) break;
            if (stalled_) {
                since = Clock::now();
                pulled = 0;
                continue;
            }
            const auto elapsed = std::chrono::duration<double>(Clock::now() - since).count();
            const auto due = static_cast<std::int64_t>(elapsed * rate_) - pulled;
            if (due <= 0) continue;
            lock.unlock();
            pull(due);
            pulled += due;
            lock.lock();
        }
    }

    const Pace pace_;
    const bool keep_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::thread pacer_;
    bool refuse_ = false;
    bool stalled_ = false;
    bool quit_ = false;
    int rate_ = 0;
    int channels_ = 0;
    int opens_ = 0;
    std::int64_t framesPlayed_ = 0;
    std::vector<std::int16_t> played_;
};

}  // namespace lantrel::test
