#include "avi_writer.h"

#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "base/byte_order.h"

namespace lantrel {

namespace {

constexpr std::uint32_t kIndexHeaderBytes = 24;  // the fields before an index's entries
constexpr std::uint32_t kSuperEntryBytes = 16;
constexpr std::uint32_t kStandardEntryBytes = 8;
constexpr std::uint32_t kLegacyEntryBytes = 16;
constexpr std::uint32_t kDmlhBytes = 248;  // the total frame count, then reserved space
constexpr std::uint32_t kNotKeyFrame = 0x8000'0000;
constexpr std::uint32_t kLegacyKeyFrame = 0x10;  // AVIIF_KEYFRAME
constexpr std::uint32_t kIndexOfIndexes = 0;
constexpr std::uint32_t kIndexOfChunks = 1;
// AVIF_HASINDEX | AVIF_ISINTERLEAVED | AVIF_TRUSTCKTYPE: the exporter lays the streams out
// in the order they play, and the key-frame flags in the indexes are to be believed.
constexpr std::uint32_t kMainHeaderFlags = 0x10 | 0x100 | 0x800;
// A RIFF size is 32 bits and counts everything after the first 8 bytes.
constexpr std::uint64_t kLargestSegment = 0xFFFF'FFFEull;

void appendChunk(std::vector<std::byte>& out, FourCc id, std::span<const std::byte> body) {
    le::put32(out, id);
    le::put32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) out.push_back(std::byte{0});
}

// Starts a LIST and returns where its size goes; endList fills it in.
std::size_t beginList(std::vector<std::byte>& out, FourCc type) {
    le::put32(out, fourCc("LIST"));
    const std::size_t sizeAt = out.size();
    le::put32(out, 0);
    le::put32(out, type);
    return sizeAt;
}

void endList(std::vector<std::byte>& out, std::size_t sizeAt) {
    le::set32(out, sizeAt, static_cast<std::uint32_t>(out.size() - sizeAt - 4));
}

// Stream n's chunks are "nnxx": two decimal digits, then the kind of data.
FourCc streamChunkId(int number, const char (&suffix)[3]) {
    const char id[5] = {static_cast<char>('0' + number / 10), static_cast<char>('0' + number % 10),
                        suffix[0], suffix[1], '\0'};
    return fourCc(id);
}

// Its standard indexes are "ixnn".
FourCc indexChunkId(int number) {
    const char id[5] = {'i', 'x', static_cast<char>('0' + number / 10),
                        static_cast<char>('0' + number % 10), '\0'};
    return fourCc(id);
}

FourCc dataChunkId(int number, const AviStream& stream) {
    if (stream.header.type == kStreamAudio) return streamChunkId(number, "wb");
    const bool uncompressed =
        stream.format.size() >= 20 && le::get32(stream.format, 16) == 0;  // BI_RGB
    return streamChunkId(number, uncompressed ? "db" : "dc");
}

// Why a stream cannot be added, or nullptr if it can.
const char* refusal(bool started, std::size_t streams, const AviStream& stream) {
    if (started) return "streams must all be added before the first chunk";
    if (streams >= 100) return "an AVI file holds at most 100 streams";
    if (stream.header.scale == 0 || stream.header.rate == 0)
        return "a stream needs a nonzero scale and rate";
    return nullptr;
}

std::uint32_t clampTo32(std::uint64_t value) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, 0xFFFF'FFFFu));
}

}  // namespace

AviWriter::AviWriter(AviWriterOptions options) : options_(options) {
    options_.segmentLimit = std::min(options_.segmentLimit, kLargestSegment);
}

AviWriter::~AviWriter() = default;

bool AviWriter::fail(std::string message) {
    if (!failed_) error_ = std::move(message);
    failed_ = true;
    return false;
}

bool AviWriter::failWithErrno(const char* what) {
    const int cause = errno != 0 ? errno : EIO;
    return fail(std::string(what) + " " + path_.string() + ": " + std::strerror(cause));
}

bool AviWriter::create(const std::filesystem::path& path) {
    if (fd_ >= 0 || failed_) return fail("the writer was already used");
    path_ = path;
    std::string problem;
    if (!file_.open(path, problem)) return fail(problem);
    fd_ = file_.descriptor();
    return true;
}

int AviWriter::addStream(const AviStream& stream) {
    if (fd_ < 0 || failed_) return -1;
    const int number = static_cast<int>(streams_.size());
    const char* problem = refusal(started_, streams_.size(), stream);
    if (problem != nullptr) {
        fail(problem);
        return -1;
    }
    Stream added;
    added.info = stream;
    added.chunkId = dataChunkId(number, stream);
    added.indexId = indexChunkId(number);
    streams_.push_back(std::move(added));
    return number;
}

bool AviWriter::usable() {
    if (failed_) return false;
    if (fd_ < 0) return fail("the file is not open");
    if (streams_.empty()) return fail("the file has no streams");
    return started_ || begin();
}

bool AviWriter::begin() {
    started_ = true;
    const std::vector<std::byte> bytes = header();
    if (!append({bytes})) return false;
    segmentStart_ = 0;
    moviStart_ = position_;
    std::vector<std::byte> movi;
    beginList(movi, fourCc("movi"));
    if (position_ + movi.size() > options_.segmentLimit)
        return fail("the segment limit leaves no room for the header");
    return append({movi});
}

// The stream whose frames the main header counts: the first video stream, if any.
const AviWriter::Stream& AviWriter::mainStream() const {
    const auto video = std::find_if(streams_.begin(), streams_.end(), [](const Stream& stream) {
        return stream.info.header.type == kStreamVideo;
    });
    return video != streams_.end() ? *video : streams_.front();
}

std::vector<std::byte> AviWriter::header() const {
    std::vector<std::byte> out;
    le::put32(out, fourCc("RIFF"));
    le::put32(out, static_cast<std::uint32_t>(firstSegmentSize_ > 8 ? firstSegmentSize_ - 8 : 0));
    le::put32(out, fourCc("AVI "));
    const std::size_t hdrl = beginList(out, fourCc("hdrl"));
    appendMainHeader(out);
    for (const Stream& stream : streams_)
        appendStreamList(out, stream);
    const std::size_t odml = beginList(out, fourCc("odml"));
    std::vector<std::byte> dmlh;
    le::put32(dmlh, clampTo32(mainStream().samples));  // every frame, in all segments
    dmlh.resize(kDmlhBytes);
    appendChunk(out, fourCc("dmlh"), dmlh);
    endList(out, odml);
    endList(out, hdrl);
    return out;
}

void AviWriter::appendMainHeader(std::vector<std::byte>& out) const {
    const Stream& main = mainStream();
    const AviStreamHeader& timing = main.info.header;
    std::uint64_t bytesPerSecond = 0;
    std::uint32_t largestChunk = 0;
    for (const Stream& stream : streams_) {
        const AviStreamHeader& h = stream.info.header;
        const std::uint64_t sampleBytes = h.sampleSize != 0 ? h.sampleSize : stream.largestChunk;
        bytesPerSecond += (sampleBytes * h.rate + h.scale - 1) / h.scale;
        largestChunk = std::max(largestChunk, stream.largestChunk);
    }
    std::uint32_t width = static_cast<std::uint32_t>(timing.frame[2] - timing.frame[0]);
    std::uint32_t height = static_cast<std::uint32_t>(timing.frame[3] - timing.frame[1]);
    if (main.info.header.type == kStreamVideo && main.info.format.size() >= 12) {
        width = le::get32(main.info.format, 4);
        const auto signedHeight = static_cast<std::int32_t>(le::get32(main.info.format, 8));
        height = static_cast<std::uint32_t>(signedHeight < 0 ? -signedHeight : signedHeight);
    }
    std::vector<std::byte> avih;
    le::put32(avih, clampTo32(1'000'000ull * timing.scale / timing.rate));
    le::put32(avih, clampTo32(bytesPerSecond));
    le::put32(avih, 0);  // padding granularity
    le::put32(avih, kMainHeaderFlags);
    le::put32(avih, main.firstSegmentChunks);  // an AVI 1.0 reader sees the first RIFF only
    le::put32(avih, 0);                        // initial frames
    le::put32(avih, static_cast<std::uint32_t>(streams_.size()));
    le::put32(avih, largestChunk);
    le::put32(avih, width);
    le::put32(avih, height);
    le::putZeros(avih, 16);  // reserved
    appendChunk(out, fourCc("avih"), avih);
}

void AviWriter::appendStreamList(std::vector<std::byte>& out, const Stream& stream) const {
    const std::size_t strl = beginList(out, fourCc("strl"));
    AviStreamHeader header = stream.info.header;
    header.length = clampTo32(stream.samples);
    appendChunk(out, fourCc("strh"), header.encode());
    appendChunk(out, fourCc("strf"), stream.info.format);
    std::vector<std::byte> name;
    for (const char c : stream.info.name)
        name.push_back(static_cast<std::byte>(c));
    name.push_back(std::byte{0});
    appendChunk(out, fourCc("strn"), name);

    std::vector<std::byte> indx;
    le::put16(indx, 4);  // longs an entry
    indx.push_back(std::byte{0});
    indx.push_back(std::byte{kIndexOfIndexes});
    le::put32(indx, static_cast<std::uint32_t>(stream.superIndex.size()));
    le::put32(indx, stream.chunkId);
    le::putZeros(indx, 12);
    for (const SuperEntry& entry : stream.superIndex) {
        le::put64(indx, entry.offset);
        le::put32(indx, entry.size);
        le::put32(indx, entry.duration);
    }
    indx.resize(kIndexHeaderBytes + std::size_t{kSuperEntryBytes} * options_.superIndexEntries);
    appendChunk(out, fourCc("indx"), indx);
    endList(out, strl);
}

bool AviWriter::write(int stream, std::span<const std::byte> data, bool keyFrame) {
    if (!usable()) return false;
    if (stream < 0 || stream >= static_cast<int>(streams_.size()))
        return fail("no stream " + std::to_string(stream));
    Stream& target = streams_[static_cast<std::size_t>(stream)];
    const std::uint32_t sampleSize = target.info.header.sampleSize;
    if (data.size() >= kNotKeyFrame) return fail("a chunk of 2 GiB or more");
    if (sampleSize != 0 && data.size() % sampleSize != 0)
        return fail("audio chunks hold whole samples");
    if (!fits(stream, data.size())) {
        if (!endSegment() || !startSegment()) return false;
        if (!fits(stream, data.size())) return fail("a chunk larger than the segment limit");
    }
    const auto size = static_cast<std::uint32_t>(data.size());
    target.segmentEntries.push_back({static_cast<std::uint32_t>(position_ + 8 - moviStart_),
                                     size | (keyFrame ? 0 : kNotKeyFrame)});
    const std::uint64_t samples = sampleSize != 0 ? data.size() / sampleSize : 1;
    target.segmentSamples += samples;
    target.samples += samples;
    target.largestChunk = std::max(target.largestChunk, size);
    if (segment_ == 0) {
        ++target.firstSegmentChunks;
        legacyIndex_.push_back({target.chunkId, keyFrame ? kLegacyKeyFrame : 0,
                                static_cast<std::uint32_t>(position_ - (moviStart_ + 8)), size});
    }
    std::array<std::byte, 8> chunkHeader{};
    std::vector<std::byte> fields;
    le::put32(fields, target.chunkId);
    le::put32(fields, size);
    std::copy(fields.begin(), fields.end(), chunkHeader.begin());
    const std::array<std::byte, 1> pad{};
    return append({chunkHeader, data, std::span(pad).first(data.size() % 2)});
}

// Whether a chunk of `size` bytes for `stream`, with the indexes that must follow it in this
// segment, still keeps the segment within the limit.
bool AviWriter::fits(int stream, std::uint64_t size) const {
    std::uint64_t total = position_ - segmentStart_ + 8 + riffPadded(size);
    for (std::size_t s = 0; s < streams_.size(); ++s) {
        const std::size_t entries =
            streams_[s].segmentEntries.size() + (static_cast<int>(s) == stream ? 1 : 0);
        if (entries > 0) total += 8 + kIndexHeaderBytes + kStandardEntryBytes * entries;
    }
    if (segment_ == 0) total += 8 + kLegacyEntryBytes * (legacyIndex_.size() + 1);
    return total <= options_.segmentLimit;
}

bool AviWriter::startSegment() {
    ++segment_;
    segmentStart_ = position_;
    moviStart_ = position_ + 12;
    std::vector<std::byte> bytes;
    le::put32(bytes, fourCc("RIFF"));
    le::put32(bytes, 0);
    le::put32(bytes, fourCc("AVIX"));
    beginList(bytes, fourCc("movi"));
    return append({bytes});
}

bool AviWriter::endSegment() {
    for (Stream& stream : streams_)
        if (!stream.segmentEntries.empty() && !writeStandardIndex(stream)) return false;
    if (!patchSize(moviStart_, position_ - moviStart_ - 8)) return false;
    if (segment_ == 0 && !writeLegacyIndex()) return false;
    const std::uint64_t size = position_ - segmentStart_;
    if (segment_ == 0) firstSegmentSize_ = size;
    return patchSize(segmentStart_, size - 8);
}

bool AviWriter::writeStandardIndex(Stream& stream) {
    if (stream.superIndex.size() >= options_.superIndexEntries)
        return fail("the file needs more segments than its header has room for");
    std::vector<std::byte> body;
    le::put16(body, 2);  // longs an entry
    body.push_back(std::byte{0});
    body.push_back(std::byte{kIndexOfChunks});
    le::put32(body, static_cast<std::uint32_t>(stream.segmentEntries.size()));
    le::put32(body, stream.chunkId);
    le::put64(body, moviStart_);  // base offset: the entries count from the movi list
    le::put32(body, 0);
    for (const IndexEntry& entry : stream.segmentEntries) {
        le::put32(body, entry.offset);
        le::put32(body, entry.size);
    }
    std::vector<std::byte> chunk;
    appendChunk(chunk, stream.indexId, body);
    stream.superIndex.push_back(
        {position_, static_cast<std::uint32_t>(chunk.size()), clampTo32(stream.segmentSamples)});
    stream.segmentEntries.clear();
    stream.segmentSamples = 0;
    return append({chunk});
}

bool AviWriter::writeLegacyIndex() {
    std::vector<std::byte> body;
    body.reserve(legacyIndex_.size() * kLegacyEntryBytes);
    for (const LegacyEntry& entry : legacyIndex_) {
        le::put32(body, entry.chunkId);
        le::put32(body, entry.flags);
        le::put32(body, entry.offset);
        le::put32(body, entry.size);
    }
    legacyIndex_ = {};
    std::vector<std::byte> chunk;
    appendChunk(chunk, fourCc("idx1"), body);
    return append({chunk});
}

bool AviWriter::close() {
    const bool finished = usable() && endSegment() && patch(0, header());
    fd_ = -1;
    if (!finished) {
        file_.discard();
        return false;
    }
    // Some file systems report a failed write-back only when the file is flushed or closed.
    std::string problem;
    return file_.commit(problem) || fail(problem);
}

bool AviWriter::append(std::initializer_list<std::span<const std::byte>> parts) {
    std::array<iovec, 4> vectors{};
    std::size_t count = 0;
    for (const auto& part : parts)
        if (!part.empty() && count < vectors.size())
            vectors[count++] = {const_cast<std::byte*>(part.data()), part.size()};
    std::size_t first = 0;
    while (first < count) {
        const ssize_t written = ::writev(fd_, &vectors[first], static_cast<int>(count - first));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return failWithErrno("cannot write");
        position_ += static_cast<std::uint64_t>(written);
        // A short write leaves the rest for the next round.
        auto left = static_cast<std::size_t>(written);
        while (first < count && left >= vectors[first].iov_len)
            left -= vectors[first++].iov_len;
        if (first < count) {
            vectors[first].iov_base = static_cast<std::byte*>(vectors[first].iov_base) + left;
            vectors[first].iov_len -= left;
        }
    }
    return true;
}

bool AviWriter::patch(std::uint64_t offset, std::span<const std::byte> bytes) {
    while (!bytes.empty()) {
        const ssize_t written =
            ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return failWithErrno("cannot write");
        bytes = bytes.subspan(static_cast<std::size_t>(written));
        offset += static_cast<std::uint64_t>(written);
    }
    return true;
}

bool AviWriter::patchSize(std::uint64_t chunkOffset, std::uint64_t size) {
    std::vector<std::byte> field;
    le::put32(field, static_cast<std::uint32_t>(size));
    return patch(chunkOffset + 4, field);
}

}  // namespace lantrel
