#include "buffered_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace lantrel {

namespace {

// O_NONBLOCK keeps open() from waiting on a named pipe; such files are refused right after.
int openRegularFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

BufferedReader::BufferedReader(const std::filesystem::path& path)
    : BufferedReader(openRegularFile(path)) {}

BufferedReader::BufferedReader(int fd) : fd_(fd) {
    if (fd_ >= 0) buffer_.resize(kBufferSize);
}

BufferedReader::~BufferedReader() {
    if (fd_ >= 0) ::close(fd_);
}

bool BufferedReader::fill() {
    bufferStart_ = position_;
    bufferFill_ = 0;
    if (fd_ < 0 || position_ > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
        return false;
    for (;;) {
        const ssize_t count =
            ::pread(fd_, buffer_.data(), buffer_.size(), static_cast<off_t>(position_));
        if (count < 0 && errno == EINTR) continue;
        // A read error ends the file here, as it would for a stream.
        bufferFill_ = count > 0 ? static_cast<std::size_t>(count) : 0;
        loaded_ += bufferFill_;
        return bufferFill_ > 0;
    }
}

// Where the file's next data lies from `position` on: a hole in a sparse file reads as zeros,
// which holds no other byte, and reading it would cost the kernel a page of zeros each time.
std::uint64_t BufferedReader::dataFrom(std::uint64_t position) const {
    if (position > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return position;
    const off_t data = ::lseek(fd_, static_cast<off_t>(position), SEEK_DATA);
    if (data >= 0) return static_cast<std::uint64_t>(data);
    // No data after the position: the rest is a hole up to the end of the file.
    if (errno == ENXIO) {
        struct stat status {};
        if (::fstat(fd_, &status) == 0) return static_cast<std::uint64_t>(status.st_size);
    }
    return position;  // the file system cannot tell: read everything
}

bool BufferedReader::skipTo(std::uint8_t value) {
    for (;;) {
        if (!buffered() && value != 0) position_ = std::max(position_, dataFrom(position_));
        if (!buffered() && !fill()) return false;
        const std::uint8_t* here = buffer_.data() + (position_ - bufferStart_);
        const std::size_t ahead = bufferedAhead();
        if (const void* found = std::memchr(here, value, ahead)) {
            position_ += static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(found) - here);
            return true;
        }
        position_ += ahead;
    }
}

void BufferedReader::read(std::uint64_t count, std::vector<std::uint8_t>& out) {
    out.clear();
    while (count > 0 && (buffered() || fill())) {
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, bufferedAhead()));
        const auto from = buffer_.begin() + static_cast<std::ptrdiff_t>(position_ - bufferStart_);
        out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(take));
        position_ += take;
        count -= take;
    }
}

std::span<const std::uint8_t> BufferedReader::window(std::uint64_t position, std::size_t count) {
    const bool inside = position >= bufferStart_ && position - bufferStart_ <= bufferFill_;
    const std::size_t ahead =
        inside ? bufferFill_ - static_cast<std::size_t>(position - bufferStart_) : 0;
    // Refilled only when the buffer holds less than asked and the file may hold more.
    if (!inside || (ahead < count && bufferFill_ == buffer_.size())) {
        if (count > buffer_.size()) buffer_.resize(count);
        const std::uint64_t here = position_;
        position_ = position;
        fill();
        position_ = here;
    }
    const std::size_t offset = static_cast<std::size_t>(position - bufferStart_);
    if (position < bufferStart_ || offset > bufferFill_) return {};
    return std::span(buffer_).subspan(offset, std::min(count, bufferFill_ - offset));
}

std::uint64_t BufferedReader::sum(std::uint64_t count) {
    std::uint64_t total = 0;
    while (count > 0 && (buffered() || fill())) {
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, bufferedAhead()));
        const std::uint8_t* from = buffer_.data() + (position_ - bufferStart_);
        for (std::size_t i = 0; i < take; ++i)
            total += from[i];
        position_ += take;
        count -= take;
    }
    return total;
}

}  // namespace lantrel
