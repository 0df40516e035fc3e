#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace lantrel {

// Reads a file byte by byte through a 64 KiB buffer, so that scanning a whole executable costs a
// few dozen system calls rather than one per byte. Positioning works like a stream's: a seek
// to any position succeeds, and reading at or past the end gives kEnd.
class BufferedReader {
  public:
    static constexpr int kEnd = -1;
    static constexpr std::size_t kBufferSize = 64 * 1024;

    // Opens a regular file; anything else (missing, a directory, a pipe that would block)
    // leaves the reader closed.
    explicit BufferedReader(const std::filesystem::path& path);
    // Takes ownership of an open descriptor.
    explicit BufferedReader(int fd);
    ~BufferedReader();
    BufferedReader(const BufferedReader&) = delete;
    BufferedReader& operator=(const BufferedReader&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    std::uint64_t tell() const { return position_; }
    void seek(std::uint64_t position) { position_ = position; }

    // The next byte (0..255), or kEnd without moving.
    int get() {
        if (!buffered() && !fill()) return kEnd;
        return buffer_[static_cast<std::size_t>(position_++ - bufferStart_)];
    }

    // Moves to the next byte equal to `value` without consuming it; false at the end of the
    // file, which leaves the position at the end. The holes of a sparse file are passed over
    // without reading them (they hold only zeros).
    bool skipTo(std::uint8_t value);

    // Reads up to `count` bytes into `out` (replacing its content); fewer at the end of file.
    void read(std::uint64_t count, std::vector<std::uint8_t>& out);

    // The sum of the next `count` bytes as unsigned values, fewer at the end of the file.
    std::uint64_t sum(std::uint64_t count);

    // The `count` bytes from `position` in place, without copying: fewer only at the end of
    // the file. Valid until the next call; the position does not move. A scan that looks at
    // nearby bytes again and again costs one read of the file this way.
    std::span<const std::uint8_t> window(std::uint64_t position, std::size_t count);

    // The bytes read from the file so far: what a scan cost in reading.
    std::uint64_t bytesLoaded() const { return loaded_; }

  private:
    bool buffered() const {
        return position_ >= bufferStart_ && position_ - bufferStart_ < bufferFill_;
    }
    // Loads the buffer at the current position; false when nothing is left there.
    bool fill();
    std::uint64_t dataFrom(std::uint64_t position) const;
    std::size_t bufferedAhead() const {
        return bufferFill_ - static_cast<std::size_t>(position_ - bufferStart_);
    }

    int fd_ = -1;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t bufferStart_ = 0;
    std::size_t bufferFill_ = 0;
    std::uint64_t position_ = 0;
    std::uint64_t loaded_ = 0;
};

}  // namespace lantrel
