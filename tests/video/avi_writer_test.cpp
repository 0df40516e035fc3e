#include "video/avi_writer.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "support/temp_dir.h"
#include "video/avi_reader.h"
#include "video/avi_test_files.h"

namespace lantrel {
namespace {

using test::paintedFrame;
using test::pcmFormat;
using test::stereoPcm;

std::string asText(const std::vector<std::byte>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string framesText(int first, int count) {
    std::string text;
    for (int frame = first; frame < first + count; ++frame)
        text += asText(paintedFrame(frame));
    return text;
}

std::vector<std::byte> readRange(const AviReader& reader, int stream, std::int64_t start,
                                 std::int64_t count) {
    const auto size = reader.rangeSize(stream, start, count);
    if (!size) return {};
    std::vector<std::byte> bytes(*size);
    if (!reader.read(stream, start, count, bytes)) return {};
    return bytes;
}

std::unique_ptr<AviReader> openOrFail(const std::filesystem::path& path) {
    std::string error;
    auto reader = AviReader::open(path, error);
    EXPECT_TRUE(reader) << error;
    return reader;
}

class AviWriterTest : public ::testing::Test {
  protected:
    test::TempDir dir;
};

TEST_F(AviWriterTest, VideoReadsBackWithTheExportedStreamHeaderAndFormat) {
    const auto path = dir / "video.avi";
    ASSERT_EQ(test::writeMovie(path, 12, 10, 0), "");
    const auto reader = openOrFail(path);
    ASSERT_TRUE(reader);
    ASSERT_EQ(reader->streamCount(), 1);

    AviStreamHeader expected;
    expected.type = fourCc("vids");
    expected.handler = fourCc("VTQM");
    expected.scale = 1;
    expected.rate = 10;
    expected.length = 12;
    expected.quality = -1;
    expected.frame = {0, 0, 512, 384};
    const AviStream& stream = reader->stream(0);
    EXPECT_EQ(stream.header, expected);
    EXPECT_EQ(stream.name, "PELLUCID VTQ");
    const std::vector<std::uint8_t> bitmapHeader = {40, 0,  0, 0, 0, 2, 0, 0, 128, 1, 0,  0,  1, 0,
                                                    24, 0,  0, 0, 0, 0, 0, 0, 9,   0, 18, 11, 0, 0,
                                                    18, 11, 0, 0, 0, 0, 0, 0, 0,   0, 0,  0};
    ASSERT_EQ(stream.format.size(), bitmapHeader.size());
    EXPECT_EQ(std::memcmp(stream.format.data(), bitmapHeader.data(), bitmapHeader.size()), 0);

    ASSERT_EQ(reader->length(0), 12);
    for (int frame = 0; frame < 12; ++frame) {
        EXPECT_EQ(reader->rangeSize(0, frame, 1), kScreenFrameBytes);
        EXPECT_TRUE(reader->isKeyFrame(0, frame));
        EXPECT_EQ(readRange(*reader, 0, frame, 1), paintedFrame(frame)) << "frame " << frame;
    }
    EXPECT_EQ(asText(readRange(*reader, 0, 3, 4)), framesText(3, 4));

    const AviMainHeader& main = reader->mainHeader();
    EXPECT_EQ(main.microSecondsPerFrame, 100'000u);
    EXPECT_EQ(main.streams, 1u);
    EXPECT_EQ(main.width, 512u);
    EXPECT_EQ(main.height, 384u);
    EXPECT_EQ(main.totalFrames, 12u);
    EXPECT_EQ(main.flags & 0x10, 0x10u) << "AVIF_HASINDEX";
    EXPECT_EQ(main.suggestedBufferSize, kScreenFrameBytes);
    EXPECT_EQ(reader->totalFrames(), 12u);
}

TEST_F(AviWriterTest, FfmpegReadsTheVideoAsRawBottomUpBgrWithEveryFrameIntact) {
    const auto path = dir / "video.avi";
    ASSERT_EQ(test::writeMovie(path, 12, 10, 0), "");
    auto video = test::probeStream(path, "v:0");
    EXPECT_EQ(video["codec_type"], "video");
    EXPECT_EQ(video["codec_name"], "rawvideo");
    EXPECT_EQ(video["pix_fmt"], "bgr24");
    EXPECT_EQ(video["width"], "512");
    EXPECT_EQ(video["height"], "384");
    EXPECT_EQ(video["nb_read_frames"], "12");
    EXPECT_EQ(video["TAG:title"], "PELLUCID VTQ");
    EXPECT_EQ(test::probeStream(path, "a:0").count("codec_type"), 0u);
    EXPECT_EQ(test::decodeErrors(path), "");
    EXPECT_TRUE(test::demuxedBytes(path, "v:0", "rawvideo") == framesText(0, 12));
}

TEST_F(AviWriterTest, JoinedAudioFollowsTheVideoAndReadsAcrossChunks) {
    const auto path = dir / "joined.avi";
    ASSERT_EQ(test::writeMovie(path, 10, 5, 22050), "");  // two seconds
    const auto reader = openOrFail(path);
    ASSERT_TRUE(reader);
    ASSERT_EQ(reader->streamCount(), 2);
    EXPECT_EQ(reader->stream(0).header.type, fourCc("vids"));
    const AviStream& audio = reader->stream(1);
    EXPECT_EQ(audio.header.type, fourCc("auds"));
    EXPECT_EQ(audio.header.scale, 1u);
    EXPECT_EQ(audio.header.rate, 22050u);
    EXPECT_EQ(audio.header.sampleSize, 4u);
    EXPECT_EQ(audio.header.suggestedBufferSize, 22050u * 4);
    EXPECT_EQ(audio.header.length, 44100u);
    EXPECT_EQ(audio.format, pcmFormat(2, 22050, 16));
    EXPECT_EQ(reader->length(1), 44100);
    EXPECT_EQ(reader->length(0), 10);
    // Two one-second chunks: a range across their boundary, and the whole stream.
    EXPECT_EQ(readRange(*reader, 1, 22000, 100), stereoPcm(22000, 100));
    EXPECT_EQ(readRange(*reader, 1, 0, 44100), stereoPcm(0, 44100));
    EXPECT_EQ(readRange(*reader, 0, 9, 1), paintedFrame(9));
    EXPECT_EQ(reader->mainHeader().streams, 2u);
    EXPECT_EQ(reader->mainHeader().maxBytesPerSecond, 5u * kScreenFrameBytes + 22050 * 4);
}

TEST_F(AviWriterTest, FfmpegSeesVideoThenAudioWithEverySample) {
    const auto path = dir / "joined.avi";
    ASSERT_EQ(test::writeMovie(path, 10, 5, 22050), "");
    EXPECT_EQ(test::commandOutput("ffprobe -v error -show_entries stream=index,codec_type "
                                  "-of csv=p=0 " +
                                  test::quoted(path)),
              "0,video\n1,audio\n");
    auto video = test::probeStream(path, "v:0");
    EXPECT_EQ(video["nb_read_frames"], "10");
    EXPECT_EQ(video["TAG:title"], "PELLUCID VTQ");
    auto audio = test::probeStream(path, "a:0");
    EXPECT_EQ(audio["codec_name"], "pcm_s16le");
    EXPECT_EQ(audio["sample_rate"], "22050");
    EXPECT_EQ(audio["channels"], "2");
    EXPECT_EQ(audio["nb_frames"], "44100") << "the header's length in samples";
    const std::string pcm = test::demuxedBytes(path, "a:0", "s16le");
    EXPECT_EQ(pcm.size() / 4, 44100u);
    EXPECT_TRUE(pcm == asText(stereoPcm(0, 44100)));
    EXPECT_EQ(test::decodeErrors(path), "");
}

TEST_F(AviWriterTest, OddSizedChunksArePaddedToEvenOffsets) {
    const auto path = dir / "odd.avi";
    AviWriter writer;
    ASSERT_TRUE(writer.create(path));
    AviStream video = scoreVideoStream(1);
    video.format = bitmapInfoHeader(3, 1);  // 9 bytes a frame
    ASSERT_EQ(writer.addStream(video), 0);
    ASSERT_EQ(writer.addStream(pcmAudioStream(pcmFormat(1, 8000, 8))), 1);
    std::vector<std::byte> audio;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(writer.write(0, paintedFrame(i, 9)));
        const auto bytes = paintedFrame(100 + i, 7 + 2 * static_cast<std::size_t>(i));
        ASSERT_TRUE(writer.write(1, bytes));
        audio.insert(audio.end(), bytes.begin(), bytes.end());
    }
    ASSERT_TRUE(writer.close()) << writer.error();

    const auto reader = openOrFail(path);
    ASSERT_TRUE(reader);
    EXPECT_EQ(readRange(*reader, 0, 2, 1), paintedFrame(2, 9));
    EXPECT_EQ(readRange(*reader, 1, 0, 27), audio);
    EXPECT_EQ(readRange(*reader, 1, 5, 10), std::vector(audio.begin() + 5, audio.begin() + 15));
    EXPECT_EQ(test::demuxedBytes(path, "a:0", "u8"), asText(audio));
    EXPECT_EQ(test::decodeErrors(path), "");
}

TEST_F(AviWriterTest, SmallSegmentLimitSpreadsTheFileOverOpenDmlSegments) {
    const auto path = dir / "segments.avi";
    AviWriterOptions options;
    options.segmentLimit = 2'000'000;  // three frames and some sound a segment
    ASSERT_EQ(test::writeMovie(path, 15, 5, 22050, options), "");

    const auto segments = test::riffSegments(path);
    ASSERT_GE(segments.size(), 5u);
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        EXPECT_EQ(segments[i].first, i == 0 ? "AVI " : "AVIX");
        EXPECT_LE(segments[i].second, options.segmentLimit) << "segment " << i;
        total += segments[i].second;
    }
    EXPECT_EQ(total, std::filesystem::file_size(path));

    const auto reader = openOrFail(path);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->totalFrames(), 15u);
    EXPECT_LT(reader->mainHeader().totalFrames, 15u) << "counts the first segment only";
    EXPECT_EQ(reader->stream(0).header.length, 15u);
    ASSERT_EQ(reader->length(0), 15);
    for (int frame = 0; frame < 15; ++frame)
        EXPECT_EQ(readRange(*reader, 0, frame, 1), paintedFrame(frame)) << "frame " << frame;
    EXPECT_EQ(readRange(*reader, 1, 0, 3 * 22050), stereoPcm(0, 3 * 22050));

    EXPECT_EQ(test::probeStream(path, "v:0")["nb_read_frames"], "15");
    EXPECT_TRUE(test::demuxedBytes(path, "v:0", "rawvideo") == framesText(0, 15));
    EXPECT_TRUE(test::demuxedBytes(path, "a:0", "s16le") == asText(stereoPcm(0, 3 * 22050)));
    EXPECT_EQ(test::decodeErrors(path), "");
}

TEST_F(AviWriterTest, RunningOutOfSuperIndexRoomFails) {
    AviWriterOptions options;
    options.segmentLimit = 1'300'000;  // two frames a segment
    options.superIndexEntries = 2;
    EXPECT_EQ(test::writeMovie(dir / "fits.avi", 4, 10, 0, options), "");
    EXPECT_NE(test::writeMovie(dir / "long.avi", 5, 10, 0, options).find("segments"),
              std::string::npos);
}

TEST_F(AviWriterTest, RefusesMisuseWithAReason) {
    AviWriter missing;
    EXPECT_FALSE(missing.create(dir / "no-such-folder" / "x.avi"));
    EXPECT_NE(missing.error().find("cannot create"), std::string::npos) << missing.error();

    AviWriter writer;
    ASSERT_TRUE(writer.create(dir / "misuse.avi"));
    const int audio = writer.addStream(pcmAudioStream(pcmFormat(2, 22050, 16)));
    EXPECT_FALSE(writer.write(audio, paintedFrame(0, 6)));  // one and a half samples
    EXPECT_NE(writer.error().find("whole samples"), std::string::npos);
    EXPECT_FALSE(writer.write(audio, stereoPcm(0, 4))) << "a failed writer stays failed";
    EXPECT_FALSE(writer.close());

    AviWriter late;
    ASSERT_TRUE(late.create(dir / "late.avi"));
    ASSERT_EQ(late.addStream(scoreVideoStream(10)), 0);
    EXPECT_FALSE(late.write(1, paintedFrame(0)));
    AviWriter tooLate;
    ASSERT_TRUE(tooLate.create(dir / "too-late.avi"));
    ASSERT_EQ(tooLate.addStream(scoreVideoStream(10)), 0);
    ASSERT_TRUE(tooLate.write(0, paintedFrame(0)));
    EXPECT_EQ(tooLate.addStream(scoreVideoStream(10)), -1);
}

TEST_F(AviWriterTest, AFullDiskMakesTheWriteFail) {
    // A file size limit stands in for a full disk: writes past it fail with EFBIG.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{3'000'000, 3'000'000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string error = test::writeMovie(dir / "full.avi", 10, 10, 0);
        ::_exit(error.find("cannot write") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace lantrel
