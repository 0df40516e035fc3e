#include "video/avi_reader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/temp_dir.h"
#include "video/avi_test_files.h"

namespace lantrel {
namespace {

using namespace std::string_literals;

std::vector<std::byte> fileBytes(const std::filesystem::path& path) {
    const std::string text = test::TempDir::read(path);
    const auto* data = reinterpret_cast<const std::byte*>(text.data());
    return {data, data + text.size()};
}

std::string readAll(const AviReader& reader, int stream) {
    const std::int64_t length = reader.length(stream);
    const auto size = reader.rangeSize(stream, 0, length);
    if (!size) return "no range";
    std::string bytes(*size, '\0');
    if (!reader.read(stream, 0, length, std::as_writable_bytes(std::span(bytes)))) return "failed";
    return bytes;
}

// Opens whatever the bytes are and reads every sample it finds, one by one and all at once;
// returns how many samples the reader found.
std::int64_t readEverything(std::span<const std::byte> bytes) {
    std::string error;
    const auto reader = AviReader::fromBytes(bytes, error);
    if (!reader) return -1;
    std::int64_t samples = 0;
    for (int stream = 0; stream < reader->streamCount(); ++stream) {
        const std::int64_t length = reader->length(stream);
        for (std::int64_t sample = 0; sample < length; ++sample) {
            std::vector<std::byte> one(reader->rangeSize(stream, sample, 1).value_or(0));
            EXPECT_TRUE(reader->read(stream, sample, 1, one));
            (void)reader->isKeyFrame(stream, sample);
        }
        EXPECT_NE(readAll(*reader, stream), "failed");
        samples += length;
    }
    return samples;
}

class AviReaderTest : public ::testing::Test {
  protected:
    test::TempDir dir;
};

TEST_F(AviReaderTest, ReadsEveryChunkOfAFileFfmpegWrote) {
    // A small file from ffmpeg has an AVI 1.0 index (idx1) only, and audio in many chunks.
    const auto path = dir / "ffmpeg.avi";
    test::commandOutput(
        "ffmpeg -v error -f lavfi -i testsrc=size=32x24:rate=5:duration=2 -f lavfi "
        "-i sine=frequency=440:sample_rate=8000:duration=2 -c:v rawvideo -pix_fmt bgr24 "
        "-c:a pcm_s16le -y " +
        test::quoted(path));
    std::string error;
    const auto reader = AviReader::open(path, error);
    ASSERT_TRUE(reader) << error;
    ASSERT_EQ(reader->streamCount(), 2);
    EXPECT_EQ(reader->stream(0).header.type, kStreamVideo);
    EXPECT_EQ(reader->stream(1).header.type, kStreamAudio);
    EXPECT_EQ(reader->length(0), 10);
    EXPECT_EQ(reader->rangeSize(0, 0, 1), 32u * 24 * 3);
    EXPECT_EQ(reader->length(1), 16000);
    EXPECT_TRUE(readAll(*reader, 0) == test::demuxedBytes(path, "v:0", "rawvideo"));
    const std::string pcm = test::demuxedBytes(path, "a:0", "s16le");
    EXPECT_TRUE(readAll(*reader, 1) == pcm);
    std::vector<std::byte> middle(2 * 3001);
    ASSERT_TRUE(reader->read(1, 999, 3001, middle));
    EXPECT_EQ(std::memcmp(middle.data(), pcm.data() + 2 * 999, middle.size()), 0);
}

TEST_F(AviReaderTest, RangesOutsideAStreamAreRefused) {
    const auto path = dir / "tiny.avi";
    ASSERT_EQ(test::writeTinyMovie(path, 4, 1 << 20), "");
    std::string error;
    const auto reader = AviReader::open(path, error);
    ASSERT_TRUE(reader) << error;
    std::vector<std::byte> buffer(4096);
    EXPECT_EQ(reader->rangeSize(0, 0, 4), 4u * 192);
    EXPECT_EQ(reader->rangeSize(0, 4, 0), 0u);
    EXPECT_FALSE(reader->rangeSize(0, 0, 5));
    EXPECT_FALSE(reader->rangeSize(0, -1, 1));
    EXPECT_FALSE(reader->rangeSize(0, 1, -1));
    EXPECT_FALSE(reader->rangeSize(2, 0, 1));
    EXPECT_FALSE(reader->rangeSize(-1, 0, 1));
    EXPECT_FALSE(reader->read(0, 3, 2, buffer));
    EXPECT_FALSE(reader->read(0, 0, 1, std::span(buffer).first(191))) << "buffer too small";
    EXPECT_FALSE(reader->isKeyFrame(0, 4));
    EXPECT_EQ(reader->length(7), 0);
}

TEST_F(AviReaderTest, RefusesWhatIsNotAnAviFile) {
    std::string error;
    EXPECT_FALSE(AviReader::open(dir / "missing.avi", error));
    EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
    EXPECT_FALSE(AviReader::open(dir.path(), error));
    const std::string wave = "RIFF\x24\0\0\0WAVEfmt "s;
    EXPECT_FALSE(AviReader::fromBytes(std::as_bytes(std::span(wave)), error));
    EXPECT_EQ(error, "not an AVI file");
    const std::string empty = "RIFF\x04\0\0\0AVI "s;
    EXPECT_FALSE(AviReader::fromBytes(std::as_bytes(std::span(empty)), error));
}

TEST_F(AviReaderTest, EveryCutOfAFileReadsAsFarAsItsIndexesGo) {
    const auto path = dir / "tiny.avi";
    ASSERT_EQ(test::writeTinyMovie(path, 6, 1200), "");
    ASSERT_EQ(test::riffSegments(path).size(), 3u);
    const std::vector<std::byte> whole = fileBytes(path);
    const std::int64_t complete = readEverything(whole);
    EXPECT_EQ(complete, 6 + 6 * 21 + 20 + 40);  // frames, then 8-bit sound bytes
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const std::int64_t found = readEverything(std::span(whole).first(size));
        ASSERT_LE(found, complete) << "cut at " << size;
    }
}

TEST_F(AviReaderTest, DamagedBytesAnywhereAreReadSafely) {
    const auto path = dir / "tiny.avi";
    ASSERT_EQ(test::writeTinyMovie(path, 6, 1200), "");
    const std::vector<std::byte> whole = fileBytes(path);
    for (std::size_t at = 0; at < whole.size(); ++at)
        for (const std::byte value : {std::byte{0x00}, std::byte{0xFF}, std::byte{0x7F}}) {
            std::vector<std::byte> damaged = whole;
            damaged[at] = value;
            readEverything(damaged);
            if (::testing::Test::HasFailure()) FAIL() << "damaged at " << at;
        }
}

}  // namespace
}  // namespace lantrel
