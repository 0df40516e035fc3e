#include "avi_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "base/byte_order.h"

namespace lantrel {

namespace {

constexpr int kMaxStreams = 100;  // stream numbers are two digits in chunk ids
constexpr std::size_t kMaxFormatBytes = 1 << 20;
constexpr std::size_t kMaxNameBytes = 4096;
constexpr std::size_t kMaxSuperIndexBytes = 16 << 20;
constexpr std::size_t kEntriesPerRead = 4096;
constexpr std::uint32_t kNotKeyFrame = 0x8000'0000;
constexpr std::uint32_t kLegacyKeyFrame = 0x10;
constexpr std::uint32_t kLegacyList = 0x01;
constexpr std::uint8_t kIndexOfIndexes = 0;
constexpr std::uint8_t kIndexOfChunks = 1;

class FileSource : public AviByteSource {
  public:
    FileSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~FileSource() override { ::close(fd_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::uint64_t size() const override { return size_; }
    bool readAt(std::uint64_t offset, std::span<std::byte> out) const override {
        if (offset > size_ || out.size() > size_ - offset) return false;
        while (!out.empty()) {
            const ssize_t got = ::pread(fd_, out.data(), out.size(), static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;
            out = out.subspan(static_cast<std::size_t>(got));
            offset += static_cast<std::uint64_t>(got);
        }
        return true;
    }

  private:
    int fd_;
    std::uint64_t size_;
};

class MemorySource : public AviByteSource {
  public:
    explicit MemorySource(std::span<const std::byte> bytes) : bytes_(bytes.begin(), bytes.end()) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool readAt(std::uint64_t offset, std::span<std::byte> out) const override {
        if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
        return true;
    }

  private:
    std::vector<std::byte> bytes_;
};

// The stream number in a chunk id "nnxx", if it has one.
std::optional<int> streamNumber(FourCc id) {
    const auto tens = static_cast<char>(id & 0xFF);
    const auto ones = static_cast<char>(id >> 8 & 0xFF);
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9') return std::nullopt;
    return (tens - '0') * 10 + (ones - '0');
}

}  // namespace

std::unique_ptr<AviReader> AviReader::open(const std::filesystem::path& path, std::string& error) {
    // O_NONBLOCK keeps the open from waiting on a named pipe, which is refused right after;
    // on a regular file it changes nothing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = "cannot open " + path.string() + ": " + std::strerror(errno);
        return nullptr;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        error = path.string() + " is not a regular file";
        return nullptr;
    }
    return open(std::make_unique<FileSource>(fd, static_cast<std::uint64_t>(status.st_size)),
                error);
}

std::unique_ptr<AviReader> AviReader::fromBytes(std::span<const std::byte> bytes,
                                                std::string& error) {
    return open(std::make_unique<MemorySource>(bytes), error);
}

std::unique_ptr<AviReader> AviReader::open(std::unique_ptr<AviByteSource> source,
                                           std::string& error) {
    std::unique_ptr<AviReader> reader(new AviReader(std::move(source)));
    if (!reader->parse(error)) return nullptr;
    return reader;
}

AviReader::AviReader(std::unique_ptr<AviByteSource> source) : source_(std::move(source)) {}

bool AviReader::parse(std::string& error) {
    fileSize_ = source_->size();
    // A real chunk takes at least its 8-byte header, so a file cannot index more chunks.
    chunkBudget_ = fileSize_ / 8;
    std::array<std::byte, 12> riffHeader{};
    if (!source_->readAt(0, riffHeader) || le::get32(riffHeader, 0) != fourCc("RIFF") ||
        le::get32(riffHeader, 8) != fourCc("AVI ")) {
        error = "not an AVI file";
        return false;
    }
    // A file cut short is read as far as it goes.
    const std::uint64_t riffSize = std::min<std::uint64_t>(le::get32(riffHeader, 4), fileSize_ - 8);
    std::optional<Span> legacyIndex;
    forEachChunk(Span{12, riffSize < 4 ? 0 : riffSize - 4}, [&](FourCc id, Span body) {
        const std::optional<FourCc> type = id == fourCc("LIST") ? listType(body) : std::nullopt;
        if (type == fourCc("hdrl") && streams_.empty())
            parseHeaderList({body.offset + 4, body.size - 4});
        if (type == fourCc("movi") && moviTag_ == 0) moviTag_ = body.offset;
        if (id == fourCc("idx1") && !legacyIndex) legacyIndex = body;
    });
    if (streams_.empty()) {
        error = "the AVI file declares no streams";
        return false;
    }
    for (Stream& stream : streams_)
        readSuperIndex(stream);
    if (legacyIndex) readLegacyIndex(*legacyIndex);
    if (!hasOpenDmlCount_) totalFrames_ = main_.totalFrames;
    return true;
}

// Calls visit(id, body) for each chunk in `range`; a chunk running past the range is cut at
// its end.
template <typename Visit>
bool AviReader::forEachChunk(Span range, Visit visit) const {
    std::uint64_t position = range.offset;
    const std::uint64_t end = range.offset + range.size;
    while (position <= end && end - position >= 8) {
        std::array<std::byte, 8> header{};
        if (!source_->readAt(position, header)) return false;
        const std::uint64_t size =
            std::min<std::uint64_t>(le::get32(header, 4), end - position - 8);
        visit(le::get32(header, 0), Span{position + 8, size});
        position += 8 + riffPadded(size);
    }
    return true;
}

std::optional<FourCc> AviReader::listType(Span body) const {
    std::array<std::byte, 4> type{};
    if (body.size < 4 || !source_->readAt(body.offset, type)) return std::nullopt;
    return le::get32(type, 0);
}

std::vector<std::byte> AviReader::readBody(Span body, std::size_t limit) const {
    std::vector<std::byte> bytes(
        static_cast<std::size_t>(std::min<std::uint64_t>(body.size, limit)));
    if (!source_->readAt(body.offset, bytes)) return {};
    return bytes;
}

void AviReader::parseHeaderList(Span body) {
    forEachChunk(body, [&](FourCc id, Span chunk) {
        if (id == fourCc("avih")) parseMainHeader(chunk);
        if (id != fourCc("LIST")) return;
        const std::optional<FourCc> type = listType(chunk);
        const Span list{chunk.offset + 4, chunk.size - 4};
        if (type == fourCc("strl") && streams_.size() < kMaxStreams) parseStreamList(list);
        if (type == fourCc("odml")) parseOpenDmlList(list);
    });
}

void AviReader::parseMainHeader(Span body) {
    std::vector<std::byte> bytes = readBody(body, 56);
    bytes.resize(56);
    main_.microSecondsPerFrame = le::get32(bytes, 0);
    main_.maxBytesPerSecond = le::get32(bytes, 4);
    main_.flags = le::get32(bytes, 12);
    main_.totalFrames = le::get32(bytes, 16);
    main_.streams = le::get32(bytes, 24);
    main_.suggestedBufferSize = le::get32(bytes, 28);
    main_.width = le::get32(bytes, 32);
    main_.height = le::get32(bytes, 36);
}

void AviReader::parseStreamList(Span body) {
    Stream stream;
    bool hasHeader = false;
    forEachChunk(body, [&](FourCc id, Span chunk) {
        if (id == fourCc("strh")) {
            stream.info.header = AviStreamHeader::decode(readBody(chunk, AviStreamHeader::kSize));
            hasHeader = true;
        } else if (id == fourCc("strf")) {
            stream.info.format = readBody(chunk, kMaxFormatBytes);
        } else if (id == fourCc("strn")) {
            const std::vector<std::byte> name = readBody(chunk, kMaxNameBytes);
            for (auto c = name.begin(); c != name.end() && *c != std::byte{0}; ++c)
                stream.info.name += static_cast<char>(*c);
        } else if (id == fourCc("indx")) {
            stream.indexOffset = chunk.offset;
            stream.indexSize = static_cast<std::uint32_t>(chunk.size);
        }
    });
    if (hasHeader) streams_.push_back(std::move(stream));
}

void AviReader::parseOpenDmlList(Span body) {
    forEachChunk(body, [&](FourCc id, Span chunk) {
        const std::vector<std::byte> count = readBody(chunk, 4);
        if (id != fourCc("dmlh") || count.size() < 4) return;
        totalFrames_ = le::get32(count, 0);
        hasOpenDmlCount_ = true;
    });
}

// The 'indx' chunk of a stream: usually a super index pointing at a standard index in each
// segment, though a writer may put one standard index there directly.
void AviReader::readSuperIndex(Stream& stream) {
    const std::vector<std::byte> index =
        readBody({stream.indexOffset, stream.indexSize}, kMaxSuperIndexBytes);
    if (index.size() < 24 || static_cast<std::uint8_t>(index[2]) != 0) return;
    const auto type = static_cast<std::uint8_t>(index[3]);
    if (type == kIndexOfChunks) {
        readStandardIndex(stream, stream.indexOffset - 8);
        return;
    }
    if (type != kIndexOfIndexes || le::get16(index, 0) != 4) return;
    const std::size_t entries =
        std::min<std::size_t>(le::get32(index, 4), (index.size() - 24) / 16);
    for (std::size_t i = 0; i < entries; ++i)
        readStandardIndex(stream, le::get64(index, 24 + 16 * i));
}

// A standard index chunk ('ixnn', or 'indx') at `offset`: entries relative to a base offset.
void AviReader::readStandardIndex(Stream& stream, std::uint64_t offset) {
    std::array<std::byte, 32> header{};
    if (!source_->readAt(offset, header)) return;
    const std::uint32_t size = le::get32(header, 4);
    if (size < 24 || le::get16(header, 8) != 2 || static_cast<std::uint8_t>(header[10]) != 0 ||
        static_cast<std::uint8_t>(header[11]) != kIndexOfChunks)
        return;
    const std::uint64_t base = le::get64(header, 20);
    std::uint64_t left = std::min<std::uint64_t>(le::get32(header, 12), (size - 24) / 8);
    std::uint64_t position = offset + 32;
    std::vector<std::byte> block;
    while (left > 0 && chunkBudget_ > 0) {
        block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(left, kEntriesPerRead)) * 8);
        if (!source_->readAt(position, block)) return;
        for (std::size_t at = 0; at < block.size(); at += 8) {
            const std::uint32_t entrySize = le::get32(block, at + 4);
            if (base > fileSize_) return;
            addChunk(stream, base + le::get32(block, at), entrySize & ~kNotKeyFrame,
                     (entrySize & kNotKeyFrame) == 0);
        }
        left -= block.size() / 8;
        position += block.size();
    }
}

// The AVI 1.0 index: offsets usually count from the 'movi' tag, in some files from the start
// of the file. The first entry's chunk id tells which.
void AviReader::readLegacyIndex(Span idx1) {
    std::vector<bool> indexed;
    for (const Stream& stream : streams_)
        indexed.push_back(!stream.chunks.empty());
    std::optional<std::uint64_t> base;
    std::vector<std::byte> block;
    for (std::uint64_t done = 0; done + 16 <= idx1.size && chunkBudget_ > 0;) {
        const std::uint64_t entries =
            std::min<std::uint64_t>((idx1.size - done) / 16, kEntriesPerRead);
        block.resize(static_cast<std::size_t>(entries) * 16);
        if (!source_->readAt(idx1.offset + done, block)) return;
        done += block.size();
        for (std::size_t at = 0; at < block.size(); at += 16) {
            const FourCc id = le::get32(block, at);
            const std::optional<int> number = streamNumber(id);
            const std::uint32_t flags = le::get32(block, at + 4);
            const std::uint32_t offset = le::get32(block, at + 8);
            if (!number || *number >= streamCount() || indexed[static_cast<std::size_t>(*number)] ||
                (flags & kLegacyList) != 0)
                continue;
            if (!base) {
                std::array<std::byte, 4> tag{};
                const bool relative =
                    source_->readAt(moviTag_ + offset, tag) && le::get32(tag, 0) == id;
                base = relative ? moviTag_ : 0;
            }
            addChunk(streams_[static_cast<std::size_t>(*number)], *base + offset + 8,
                     le::get32(block, at + 12), (flags & kLegacyKeyFrame) != 0);
        }
    }
}

void AviReader::addChunk(Stream& stream, std::uint64_t position, std::uint32_t size,
                         bool keyFrame) {
    // An entry pointing past the end of the file belongs to a part that was never written.
    if (chunkBudget_ == 0 || position > fileSize_ || size > fileSize_ - position) return;
    --chunkBudget_;
    stream.chunks.push_back({position, size, keyFrame, stream.bytes});
    stream.bytes += size;
}

const AviStream& AviReader::stream(int index) const {
    return streams_.at(static_cast<std::size_t>(index)).info;
}

const AviReader::Stream* AviReader::find(int stream) const {
    if (stream < 0 || stream >= streamCount()) return nullptr;
    return &streams_[static_cast<std::size_t>(stream)];
}

std::int64_t AviReader::length(int stream) const {
    const Stream* found = find(stream);
    if (found == nullptr) return 0;
    const std::uint32_t sampleSize = found->info.header.sampleSize;
    return static_cast<std::int64_t>(sampleSize == 0 ? found->chunks.size()
                                                     : found->bytes / sampleSize);
}

std::optional<std::uint64_t> AviReader::rangeSize(int stream, std::int64_t start,
                                                  std::int64_t count) const {
    const Stream* found = find(stream);
    if (found == nullptr || start < 0 || count < 0 || start > length(stream) - count)
        return std::nullopt;
    const std::uint32_t sampleSize = found->info.header.sampleSize;
    if (sampleSize != 0) return static_cast<std::uint64_t>(count) * sampleSize;
    if (count == 0) return 0;
    const Chunk& first = found->chunks[static_cast<std::size_t>(start)];
    const Chunk& last = found->chunks[static_cast<std::size_t>(start + count - 1)];
    return last.before + last.size - first.before;
}

std::optional<std::size_t> AviReader::chunkOfByte(const Stream& stream, std::uint64_t byte) const {
    const auto after = std::upper_bound(
        stream.chunks.begin(), stream.chunks.end(), byte,
        [](std::uint64_t value, const Chunk& chunk) { return value < chunk.before; });
    if (after == stream.chunks.begin()) return std::nullopt;
    return static_cast<std::size_t>(after - stream.chunks.begin() - 1);
}

bool AviReader::read(int stream, std::int64_t start, std::int64_t count,
                     std::span<std::byte> out) const {
    const std::optional<std::uint64_t> size = rangeSize(stream, start, count);
    if (!size || out.size() < *size) return false;
    const Stream& found = streams_[static_cast<std::size_t>(stream)];
    const std::uint32_t sampleSize = found.info.header.sampleSize;
    if (sampleSize == 0) {
        std::size_t done = 0;
        for (auto i = static_cast<std::size_t>(start); i < static_cast<std::size_t>(start + count);
             ++i) {
            const Chunk& chunk = found.chunks[i];
            if (!source_->readAt(chunk.position, out.subspan(done, chunk.size))) return false;
            done += chunk.size;
        }
        return true;
    }
    const std::uint64_t first = static_cast<std::uint64_t>(start) * sampleSize;
    const std::uint64_t end = first + *size;
    const std::optional<std::size_t> firstChunk = chunkOfByte(found, first);
    if (*size == 0) return true;
    if (!firstChunk) return false;
    std::uint64_t byte = first;
    for (std::size_t index = *firstChunk; byte < end && index < found.chunks.size(); ++index) {
        const Chunk& chunk = found.chunks[index];
        const std::uint64_t within = byte - chunk.before;
        const std::uint64_t n = std::min<std::uint64_t>(chunk.size - within, end - byte);
        if (!source_->readAt(
                chunk.position + within,
                out.subspan(static_cast<std::size_t>(byte - first), static_cast<std::size_t>(n))))
            return false;
        byte += n;
    }
    return byte == end;
}

bool AviReader::isKeyFrame(int stream, std::int64_t sample) const {
    const Stream* found = find(stream);
    if (found == nullptr || sample < 0 || sample >= length(stream)) return false;
    const std::uint32_t sampleSize = found->info.header.sampleSize;
    const std::optional<std::size_t> index =
        sampleSize == 0 ? std::optional(static_cast<std::size_t>(sample))
                        : chunkOfByte(*found, static_cast<std::uint64_t>(sample) * sampleSize);
    return index && found->chunks[*index].keyFrame;
}

}  // namespace lantrel
