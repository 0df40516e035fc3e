#include "wave_device.h"

#include <algorithm>
#include <cstring>

#include "model/auto_reset_event.h"

namespace lantrel {

bool WaveDevice::open(int sampleRate, int channels, AutoResetEvent& bufferEvent) {
    {
        Lock lock(mutex_);
        if (open_) {
            error_ = "the sound output is already open";
            return false;
        }
        const auto values =
            static_cast<std::size_t>(sampleRate) * static_cast<std::size_t>(channels);
        for (auto& buffer : buffers_)
            buffer.assign(values, 0);
        tags_ = {};
        inQueue_ = {};
        next_ = queued_ = 0;
        playedBytes_ = 0;
        bufferEvent_ = &bufferEvent;
        error_.clear();
    }
    // Never call into the output while holding the lock: its thread takes the lock in fill().
    std::string error;
    if (!startOutput(sampleRate, channels, error)) {
        Lock lock(mutex_);
        freeBuffers();
        error_ = error.empty() ? "the sound output cannot be opened" : error;
        return false;
    }
    {
        Lock lock(mutex_);
        open_ = true;
    }
    bufferEvent.set();
    return true;
}

void WaveDevice::close() {
    AutoResetEvent* event = nullptr;
    {
        Lock lock(mutex_);
        if (!open_) return;
        open_ = false;
        event = bufferEvent_;
    }
    stopOutput();
    {
        Lock lock(mutex_);
        freeBuffers();
    }
    event->set();
}

void WaveDevice::reset() {
    AutoResetEvent* event = nullptr;
    {
        Lock lock(mutex_);
        if (queued_ == 0) return;
        inQueue_ = {};
        queued_ = 0;
        playedBytes_ = 0;
        event = bufferEvent_;
    }
    event->set();
}

void WaveDevice::write(std::int64_t tag) {
    Lock lock(mutex_);
    const auto index = static_cast<std::size_t>(next_);
    if (!open_ || inQueue_[index]) return;
    tags_[index] = tag;
    inQueue_[index] = true;
    ++queued_;
    next_ = (next_ + 1) % kBufferCount;
}

bool WaveDevice::isOpen() const {
    Lock lock(mutex_);
    return open_;
}

int WaveDevice::nextIndex() const {
    Lock lock(mutex_);
    return next_;
}

bool WaveDevice::isFree(int index) const {
    Lock lock(mutex_);
    return open_ && !inQueue_[static_cast<std::size_t>(index % kBufferCount)];
}

std::span<std::int16_t> WaveDevice::samples(int index) {
    Lock lock(mutex_);
    return buffers_[static_cast<std::size_t>(index % kBufferCount)];
}

std::optional<std::int64_t> WaveDevice::playingTag() const {
    Lock lock(mutex_);
    if (queued_ == 0) return std::nullopt;
    return tags_[static_cast<std::size_t>(frontIndex())];
}

int WaveDevice::queuedCount() const {
    Lock lock(mutex_);
    return queued_;
}

std::string WaveDevice::lastError() const {
    Lock lock(mutex_);
    return error_;
}

std::size_t WaveDevice::fill(std::span<std::uint8_t> out) {
    std::size_t taken = 0;
    int finished = 0;
    AutoResetEvent* event = nullptr;
    {
        Lock lock(mutex_);
        event = bufferEvent_;
        while (taken < out.size() && queued_ > 0) {
            const auto index = static_cast<std::size_t>(frontIndex());
            const auto& buffer = buffers_[index];
            const std::size_t bytes = buffer.size() * sizeof(std::int16_t);
            const std::size_t count = std::min(out.size() - taken, bytes - playedBytes_);
            std::memcpy(out.data() + taken,
                        reinterpret_cast<const std::uint8_t*>(buffer.data()) + playedBytes_, count);
            taken += count;
            playedBytes_ += count;
            if (playedBytes_ == bytes) {
                inQueue_[index] = false;
                --queued_;
                playedBytes_ = 0;
                ++finished;
            }
        }
    }
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(taken), out.end(), std::uint8_t{0});
    if (finished > 0 && event) event->set();
    return taken;
}

void WaveDevice::freeBuffers() {
    for (auto& buffer : buffers_)
        std::vector<std::int16_t>().swap(buffer);
    tags_ = {};
    inQueue_ = {};
    next_ = queued_ = 0;
    playedBytes_ = 0;
}

}  // namespace lantrel
