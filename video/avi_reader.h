#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "avi_stream.h"

namespace lantrel {

// The fields of the 'avih' main header that say something about the file as a whole.
struct AviMainHeader {
    std::uint32_t microSecondsPerFrame = 0;
    std::uint32_t maxBytesPerSecond = 0;
    std::uint32_t flags = 0;
    std::uint32_t totalFrames = 0;  // in the first RIFF segment only, for OpenDML files
    std::uint32_t streams = 0;
    std::uint32_t suggestedBufferSize = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// Where the reader takes its bytes from: a file, or memory.
class AviByteSource {
  public:
    virtual ~AviByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Fills `out` from `offset`; false unless every byte is there.
    virtual bool readAt(std::uint64_t offset, std::span<std::byte> out) const = 0;
};

// Reads AVI files: OpenDML files of any number of RIFF segments through their super and
// standard indexes, and AVI 1.0 files through idx1. Samples are numbered from 0 in each
// stream. In a stream whose header has a sample size of 0 (video), a sample is one chunk;
// otherwise (PCM audio) it is that many bytes, and a range may span chunks.
//
// Malformed files are refused or read as far as they make sense; nothing in a file makes the
// reader read outside it, and the index it builds never outgrows the file.
class AviReader {
  public:
    static std::unique_ptr<AviReader> open(const std::filesystem::path& path, std::string& error);
    static std::unique_ptr<AviReader> open(std::unique_ptr<AviByteSource> source,
                                           std::string& error);
    // Reads from a copy of `bytes`.
    static std::unique_ptr<AviReader> fromBytes(std::span<const std::byte> bytes,
                                                std::string& error);

    const AviMainHeader& mainHeader() const { return main_; }
    // Frames of the whole file: the OpenDML count when there is one, else the main header's.
    std::uint32_t totalFrames() const { return totalFrames_; }

    int streamCount() const { return static_cast<int>(streams_.size()); }
    // The stream's header, format bytes and name, as the file has them. `index` must be
    // below streamCount().
    const AviStream& stream(int index) const;
    // Samples that the file's index holds for the stream (0 for a stream it does not have).
    std::int64_t length(int stream) const;
    // Bytes that samples [start, start + count) take; nothing if the range is not in the
    // stream.
    std::optional<std::uint64_t> rangeSize(int stream, std::int64_t start,
                                           std::int64_t count) const;
    // Reads those bytes to the front of `out`; false if the range is not in the stream,
    // `out` is too small or the file cannot be read.
    bool read(int stream, std::int64_t start, std::int64_t count, std::span<std::byte> out) const;
    // Whether the chunk holding the sample is flagged as a key frame.
    bool isKeyFrame(int stream, std::int64_t sample) const;

  private:
    struct Chunk {
        std::uint64_t position;  // of the data, after the chunk header
        std::uint32_t size;
        bool keyFrame;
        std::uint64_t before;  // bytes of the stream's earlier chunks
    };
    struct Stream {
        AviStream info;
        std::uint64_t indexOffset = 0;  // the 'indx' chunk's body, if any
        std::uint32_t indexSize = 0;
        std::vector<Chunk> chunks;
        std::uint64_t bytes = 0;
    };
    struct Span {
        std::uint64_t offset;
        std::uint64_t size;
    };

    explicit AviReader(std::unique_ptr<AviByteSource> source);
    bool parse(std::string& error);
    template <typename Visit>
    bool forEachChunk(Span range, Visit visit) const;
    std::optional<FourCc> listType(Span body) const;
    void parseHeaderList(Span body);
    void parseMainHeader(Span body);
    void parseStreamList(Span body);
    void parseOpenDmlList(Span body);
    std::vector<std::byte> readBody(Span body, std::size_t limit) const;
    void readSuperIndex(Stream& stream);
    void readStandardIndex(Stream& stream, std::uint64_t offset);
    void readLegacyIndex(Span idx1);
    void addChunk(Stream& stream, std::uint64_t position, std::uint32_t size, bool keyFrame);
    const Stream* find(int stream) const;
    std::optional<std::size_t> chunkOfByte(const Stream& stream, std::uint64_t byte) const;

    std::unique_ptr<AviByteSource> source_;
    std::uint64_t fileSize_ = 0;
    AviMainHeader main_;
    std::uint32_t totalFrames_ = 0;
    bool hasOpenDmlCount_ = false;
    std::vector<Stream> streams_;
    std::uint64_t moviTag_ = 0;      // where the first movi list's 'movi' tag is
    std::uint64_t chunkBudget_ = 0;  // index entries still allowed, bounded by the file size
};

}  // namespace lantrel
