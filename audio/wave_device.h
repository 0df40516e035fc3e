#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lantrel {

class AutoResetEvent;

// A sound output that plays 16-bit PCM from three one-second buffers, queued in order.
//
// The player renders a free buffer through samples(), then queues it with write(); the output
// plays the queued buffers one after the other and sets the buffer event each time one has
// been used up, so that the player knows it may render into it again. The event is also set
// once the device is open and once it is closed. With nothing queued the output plays silence.
//
// This class keeps the queue; a subclass supplies the output itself (SdlWaveDevice, or a test
// device) through startOutput/stopOutput and feeds it from fill(). Control calls (open, close,
// reset, write, samples) come from one thread at a time; fill() runs on the output's own thread.
class WaveDevice {
  public:
    static constexpr int kBufferCount = 3;

    WaveDevice() = default;
    // Subclasses must close() in their own destructor: stopping the output needs them intact.
    virtual ~WaveDevice() = default;
    WaveDevice(const WaveDevice&) = delete;
    WaveDevice& operator=(const WaveDevice&) = delete;

    // Starts output at `sampleRate` with `channels` (1 or 2) and makes three empty buffers of
    // one second each. False, with the device closed and lastError() set, when the device is
    // already open or the output cannot be started. `bufferEvent` must outlive the open device.
    virtual bool open(int sampleRate, int channels, AutoResetEvent& bufferEvent);
    // Stops the output at once, drops the queue and frees the buffers. Does nothing when closed.
    virtual void close();
    // Drops every queued buffer unplayed; the output goes on with silence.
    virtual void reset();
    // Queues the buffer at nextIndex(), tagged with the sample at which its sound begins, and
    // moves nextIndex() on. Nothing happens when the device is closed or that buffer is queued.
    virtual void write(std::int64_t tag);

    bool isOpen() const;
    int nextIndex() const;
    // Open, and the buffer is not waiting in the queue: it may be rendered into.
    bool isFree(int index) const;
    // The sampleRate x channels values of a buffer; write only into a free one. Empty when closed.
    std::span<std::int16_t> samples(int index);
    // The tag of the buffer that plays now: the oldest one still queued.
    std::optional<std::int64_t> playingTag() const;
    int queuedCount() const;
    std::string lastError() const;

  protected:
    // Starts pulling sound through fill() at the output's pace. On failure returns false with
    // a reason in `error`.
    virtual bool startOutput(int sampleRate, int channels, std::string& error) = 0;
    // Stops the output; once this returns no fill() call runs or will run.
    virtual void stopOutput() = 0;

    // Copies the queued sound into `out` in order, silence where the queue runs dry, and sets
    // the buffer event for every buffer that it used up. Returns the bytes taken from buffers.
    // Never blocks for longer than a copy.
    std::size_t fill(std::span<std::uint8_t> out);

  private:
    using Lock = std::lock_guard<std::mutex>;
    int frontIndex() const { return (next_ - queued_ + kBufferCount) % kBufferCount; }
    void freeBuffers();

    mutable std::mutex mutex_;
    bool open_ = false;
    AutoResetEvent* bufferEvent_ = nullptr;
    std::array<std::vector<std::int16_t>, kBufferCount> buffers_;
    std::array<std::int64_t, kBufferCount> tags_{};
    std::array<bool, kBufferCount> inQueue_{};
    int next_ = 0;                 // the buffer write() queues next
    int queued_ = 0;               // queued buffers, the oldest at frontIndex()
    std::size_t playedBytes_ = 0;  // bytes of the front buffer already played
    std::string error_;
};

}  // namespace lantrel
