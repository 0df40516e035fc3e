#include "encode/flac_writer.h"

#include <gtest/gtest.h>

#include "encode/libav_log.h"
#include "encoded_media.h"
#include "support/temp_dir.h"

namespace lantrel {
namespace {

// Loud tones with the extremes of 16 bits and noise in the lowest bits, which a lossy or
// 24-bit path would change.
std::vector<std::int16_t> testSamples(std::int64_t frames, int channels, int rate) {
    auto samples = test::toneBursts(frames, channels, rate);
    std::uint32_t seed = 1;
    for (auto& sample : samples) {
        seed = seed * 1664525u + 1013904223u;
        sample = static_cast<std::int16_t>(sample * 3 + static_cast<int>(seed >> 29));
    }
    samples[0] = -32768;
    samples[1] = 32767;
    return samples;
}

class FlacWriterTest : public ::testing::Test {
  protected:
    FlacWriterTest() { showOnlyLibavErrors(); }

    // Writes `samples` in blocks of `block` sample frames; returns the error.
    std::string write(const FlacOptions& options, const std::vector<std::int16_t>& samples,
                      std::size_t block) {
        std::string error;
        auto writer = FlacWriter::create(target(), options, error);
        if (!writer) return error;
        const std::size_t step = block * static_cast<std::size_t>(options.channels);
        for (std::size_t at = 0; at < samples.size(); at += step)
            if (!writer->addAudio(
                    std::span(samples).subspan(at, std::min(step, samples.size() - at))))
                return writer->error();
        return writer->finish() ? std::string() : writer->error();
    }
    std::filesystem::path target() const { return out / "song.flac"; }

    test::TempDir out;
};

TEST_F(FlacWriterTest, DecodesToExactlyTheSamplesGiven) {
    for (const auto& [rate, channels] : {std::pair{44100, 2}, std::pair{22050, 1}}) {
        SCOPED_TRACE(std::to_string(rate) + " Hz, " + std::to_string(channels) + " channels");
        const auto samples = testSamples(rate * 3 + 777, channels, rate);
        for (const std::size_t block : {std::size_t{1000}, std::size_t{44100}}) {
            ASSERT_EQ(write({rate, channels}, samples, block), "");
            EXPECT_EQ(test::decodedSound(target()), samples) << "blocks of " << block;
        }
        auto stream = test::probe(target(), "a:0");
        EXPECT_EQ(stream["codec_name"], "flac");
        EXPECT_EQ(stream["sample_rate"], std::to_string(rate));
        EXPECT_EQ(stream["channels"], std::to_string(channels));
        EXPECT_EQ(stream["sample_fmt"], "s16");
        EXPECT_EQ(stream["bits_per_raw_sample"], "16");
        EXPECT_EQ(test::folderEntries(out.path()), std::vector<std::string>{"song.flac"});
    }
}

TEST_F(FlacWriterTest, FinishReplacesAnOlderFileAndAbandonKeepsIt) {
    out.write("song.flac", "an older sound");
    const auto samples = testSamples(4000, 2, 44100);
    std::string error;
    auto writer = FlacWriter::create(target(), {}, error);
    ASSERT_TRUE(writer) << error;
    ASSERT_TRUE(writer->addAudio(samples));
    writer->abandon();
    EXPECT_FALSE(writer->addAudio(samples));
    EXPECT_EQ(test::folderEntries(out.path()), std::vector<std::string>{"song.flac"});
    EXPECT_EQ(test::TempDir::read(target()), "an older sound");

    ASSERT_EQ(write({}, samples, 4000), "");
    EXPECT_EQ(test::decodedSound(target()), samples);
}

TEST_F(FlacWriterTest, RefusesHalfSampleFramesAndWrongChannelCounts) {
    std::string error;
    EXPECT_EQ(FlacWriter::create(target(), {44100, 3}, error), nullptr);
    EXPECT_EQ(error, "the sound must have 1 or 2 channels, not 3");

    auto writer = FlacWriter::create(target(), {44100, 2}, error);
    ASSERT_TRUE(writer) << error;
    EXPECT_FALSE(writer->addAudio(std::vector<std::int16_t>(3)));
    EXPECT_EQ(writer->error(), "sound must come in whole sample frames");
    EXPECT_TRUE(test::folderEntries(out.path()).empty());
}

TEST_F(FlacWriterTest, AFullDiskFailsWithTheReasonAndLeavesNoFile) {
    const auto samples = testSamples(44100 * 2, 2, 44100);
    const int status = test::exitStatusWithFileLimit(50000, [&] {
        return write({}, samples, 4410) == "cannot write " + target().string() + ": File too large"
                   ? 0
                   : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(test::folderEntries(out.path()).empty());
}

}  // namespace
}  // namespace lantrel
