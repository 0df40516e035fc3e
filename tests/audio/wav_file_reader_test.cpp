#include "audio/wav_file_reader.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/test_sounds.h"

namespace lantrel {
namespace {

TEST(WavFileReader, ReadsFrameRangesAndClipsThemToTheData) {
    test::TempDir dir;
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 200; ++i)
        samples.push_back(static_cast<std::int16_t>(i - 100));
    test::writeWav(dir / "a.wav", samples, 2, 22050);
    WavFileReader reader;
    ASSERT_TRUE(reader.open(dir / "a.wav"));
    EXPECT_EQ(reader.frames(), 100);
    EXPECT_EQ(reader.format().samplesPerSec, 22050);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(reader.read(10, 3, bytes));
    ASSERT_EQ(bytes.size(), 12u);
    EXPECT_EQ(static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8)), samples[20]);
    ASSERT_TRUE(reader.read(95, 50, bytes));
    EXPECT_EQ(bytes.size(), 20u) << "clipped to the last frame";

    // A data chunk cut short counts only the whole frames present.
    const std::string whole = test::TempDir::read(dir / "a.wav");
    dir.write("short.wav", whole.substr(0, 44 + 4 * 30 + 3));
    ASSERT_TRUE(reader.open(dir / "short.wav"));
    EXPECT_EQ(reader.frames(), 30);
    EXPECT_FALSE(reader.open(dir / "missing.wav"));
    dir.write("bad.wav", "RIFF0000WAVEdata");
    EXPECT_FALSE(reader.open(dir / "bad.wav"));
}

}  // namespace
}  // namespace lantrel
