#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "avi_stream.h"
#include "base/atomic_file.h"

namespace lantrel {

// Old readers see only the first RIFF segment and many of them stop at 1 GiB; keeping every
// segment below that also keeps each one far from the 4 GiB that a RIFF size can say.
inline constexpr std::uint64_t kDefaultAviSegmentLimit = (std::uint64_t{1} << 30) - (1 << 20);

struct AviWriterOptions {
    // No RIFF segment, counted from its "RIFF" tag to its last byte, grows past this size;
    // the writer starts a new "RIFF AVIX" segment instead.
    std::uint64_t segmentLimit = kDefaultAviSegmentLimit;
    // Room kept in the header for each stream's super index, one entry per segment: 1024
    // segments of just under 1 GiB, about a terabyte. A file that needs more fails.
    std::uint32_t superIndexEntries = 1024;
};

// Writes an OpenDML (AVI 2.0) file in one pass with constant memory: samples go to the disk
// as they come, and only the index entries of the current segment are kept.
//
// Layout: RIFF 'AVI ' { LIST hdrl { avih, per stream LIST strl { strh, strf, strn, indx },
// LIST odml { dmlh } }, LIST movi { chunks..., ix00, ix01... }, idx1 }, then as many
// RIFF 'AVIX' { LIST movi { chunks..., ix00, ix01... } } as the segment limit asks for.
// Each segment's standard indexes close its movi list; the super indexes in the header point
// at them with 64-bit offsets, so files past 4 GiB read back. The legacy idx1 covers the
// first segment only, as AVI 1.0 readers expect.
//
// Use: create, addStream for each stream, then write chunks in the order they should lie
// in the file, then close. Any failed step (a full disk, a size limit) makes this and every
// later call return false with error() saying why. The file is written under a temporary name
// beside its own and takes its name only when close() succeeds: a failed writer, or one
// destroyed without close(), leaves nothing, and a previous file of that name stays as it was.
class AviWriter {
  public:
    explicit AviWriter(AviWriterOptions options = {});
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Starts the file; an existing file of that name is replaced when close() succeeds.
    bool create(const std::filesystem::path& path);
    // Adds a stream before the first chunk is written; returns its number (0, 1, ...), or -1.
    // The header's length is ignored: close() sets it from what was written.
    int addStream(const AviStream& stream);
    // Appends one chunk to a stream: a whole frame of video, or whole audio samples (a
    // multiple of the stream's sample size). Chunks below 2 GiB.
    bool write(int stream, std::span<const std::byte> data, bool keyFrame = true);
    // Writes the last segment's indexes, fills in the header and puts the file in place under
    // its name. The file is there only when this returns true.
    bool close();

    const std::string& error() const { return error_; }

  private:
    struct IndexEntry {
        std::uint32_t offset;  // from the segment's movi list to the chunk's data
        std::uint32_t size;    // top bit set: not a key frame
    };
    struct SuperEntry {
        std::uint64_t offset;
        std::uint32_t size;
        std::uint32_t duration;
    };
    struct Stream {
        AviStream info;
        FourCc chunkId = 0;
        FourCc indexId = 0;
        std::vector<IndexEntry> segmentEntries;
        std::uint64_t segmentSamples = 0;
        std::vector<SuperEntry> superIndex;
        std::uint64_t samples = 0;
        std::uint32_t firstSegmentChunks = 0;
        std::uint32_t largestChunk = 0;
    };
    struct LegacyEntry {
        FourCc chunkId;
        std::uint32_t flags;
        std::uint32_t offset;  // from the 'movi' tag to the chunk's header
        std::uint32_t size;
    };

    bool fail(std::string message);
    bool failWithErrno(const char* what);
    bool usable();
    bool begin();
    const Stream& mainStream() const;
    std::vector<std::byte> header() const;
    void appendMainHeader(std::vector<std::byte>& out) const;
    void appendStreamList(std::vector<std::byte>& out, const Stream& stream) const;
    bool fits(int stream, std::uint64_t size) const;
    bool startSegment();
    bool endSegment();
    bool writeStandardIndex(Stream& stream);
    bool writeLegacyIndex();
    bool append(std::initializer_list<std::span<const std::byte>> parts);
    bool patch(std::uint64_t offset, std::span<const std::byte> bytes);
    bool patchSize(std::uint64_t chunkOffset, std::uint64_t size);

    AviWriterOptions options_;
    std::filesystem::path path_;
    AtomicOutputFile file_;
    int fd_ = -1;  // file_'s descriptor, while it is open
    bool started_ = false;
    bool failed_ = false;
    std::string error_;
    std::vector<Stream> streams_;
    std::uint64_t position_ = 0;  // end of what has been written
    std::uint64_t segmentStart_ = 0;
    std::uint64_t moviStart_ = 0;
    int segment_ = 0;
    std::uint64_t firstSegmentSize_ = 0;
    std::vector<LegacyEntry> legacyIndex_;
};

}  // namespace lantrel
