#include "audio/sample_slot.h"
#include "audio/wav_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"
#include "support/test_sounds.h"

namespace lantrel {
namespace {

std::uint32_t u32At(const std::string& bytes, std::size_t at) {
    auto byte = [&](std::size_t k) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + k]));
    };
    return byte(0) | (byte(1) << 8) | (byte(2) << 16) | (byte(3) << 24);
}

std::string le32(std::uint32_t value) {
    std::string out(4, '\0');
    for (int k = 0; k < 4; ++k)
        out[static_cast<std::size_t>(k)] = static_cast<char>((value >> (8 * k)) & 0xFF);
    return out;
}

// Loads a slot from bytes and returns the tag of the diagnostic line, if any.
std::string loadTag(SampleSlot& slot, const std::string& bytes, bool& loaded) {
    std::istringstream in(bytes);
    testing::internal::CaptureStderr();
    loaded = slot.load(in);
    const std::string printed = testing::internal::GetCapturedStderr();
    const auto open = printed.find("wave header error [");
    if (open == std::string::npos) return "";
    const auto start = open + 19;
    return printed.substr(start, printed.find(']', start) - start);
}

class SoxFiles : public ::testing::Test {
  protected:
    // A 16-bit source with known samples; sox converts it to the other layouts.
    void SetUp() override {
        for (int i = 0; i < 400; ++i)
            source.push_back(static_cast<std::int16_t>((i * 977) % 65536 - 32768));
        test::writeWav(dir / "source.wav", source, 2, 22050);
    }
    std::filesystem::path sox(const std::string& options, const std::string& name) {
        const auto out = dir / name;
        const std::string command = "sox -D '" + (dir / "source.wav").string() + "' " + options +
                                    " '" + out.string() + "' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command << " (is sox installed?)";
        return out;
    }
    test::TempDir dir;
    std::vector<std::int16_t> source;  // stereo, 200 frames
};

TEST_F(SoxFiles, WiderPcmDecodesToItsTopSixteenBits) {
    for (const char* bits : {"16", "24", "32"}) {
        SampleSlot slot;
        ASSERT_TRUE(slot.load(
            sox(std::string("-b ") + bits + " -t wavpcm", std::string("w") + bits + ".wav")))
            << bits;
        EXPECT_EQ(slot.channels, 2);
        EXPECT_EQ(slot.samplesPerSec, 22050);
        ASSERT_EQ(slot.frames(), 200) << bits;
        for (int frame = 0; frame < 200; ++frame)
            for (int channel = 0; channel < 2; ++channel)
                ASSERT_EQ(slot.channelValue(frame, channel),
                          source[static_cast<std::size_t>(frame * 2 + channel)])
                    << bits << "-bit frame " << frame;
    }
}

TEST_F(SoxFiles, EightBitAndMonoFilesDecodeByTheirBytes) {
    SampleSlot slot;
    const auto path = sox("-b 8 -c 1", "mono8.wav");
    ASSERT_TRUE(slot.load(path));
    EXPECT_EQ(slot.channels, 1);
    const std::string bytes = test::TempDir::read(path);
    const std::size_t data = bytes.find("data") + 8;
    for (int frame = 0; frame < 200; ++frame)
        ASSERT_EQ(
            slot.channelValue(frame, 0),
            (static_cast<unsigned char>(bytes[data + static_cast<std::size_t>(frame)]) - 128) *
                256);
}

TEST_F(SoxFiles, ExtensibleFilesAreRefused) {
    SampleSlot slot;
    const auto path = sox("-b 24", "extensible.wav");  // sox writes WAVE_FORMAT_EXTENSIBLE here
    bool loaded = true;
    EXPECT_EQ(loadTag(slot, test::TempDir::read(path), loaded), "format_id");
    EXPECT_FALSE(loaded);
}

TEST_F(SoxFiles, ChunksBetweenFormatAndDataAreRefusedButTrailingChunksAreNot) {
    const std::string bytes = test::TempDir::read(sox("-b 16", "plain.wav"));
    const std::size_t data = bytes.find("data");
    const std::string list = "LIST" + le32(10) + "INFOab\0\0\0\0";
    SampleSlot slot;
    bool loaded = true;
    EXPECT_EQ(loadTag(slot, bytes.substr(0, data) + list + bytes.substr(data), loaded), "data");
    EXPECT_FALSE(loaded);
    EXPECT_EQ(loadTag(slot, bytes + list, loaded), "");
    EXPECT_TRUE(loaded);
    EXPECT_EQ(slot.frames(), 200);
}

TEST_F(SoxFiles, AnEighteenByteFormatChunkStillFindsItsData) {
    std::string bytes = test::TempDir::read(sox("-b 16", "plain.wav"));
    const std::size_t data = bytes.find("data");
    bytes.replace(16, 4, le32(18));
    bytes.insert(data, std::string(2, '\0'));  // cbSize
    SampleSlot slot;
    bool loaded = false;
    EXPECT_EQ(loadTag(slot, bytes, loaded), "");
    EXPECT_TRUE(loaded);
    EXPECT_EQ(slot.channelValue(5, 1), source[11]);
}

TEST_F(SoxFiles, ATruncatedDataChunkFailsButKeepsWhatArrived) {
    const std::string bytes = test::TempDir::read(sox("-b 16", "plain.wav"));
    const std::size_t data = bytes.find("data") + 8;
    SampleSlot slot;
    bool loaded = true;
    testing::internal::CaptureStdout();
    EXPECT_EQ(loadTag(slot, bytes.substr(0, data + 4 * 50 + 2), loaded), "data");
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(loaded);
    EXPECT_EQ(slot.frames(), 50) << "the part that was read plays; nothing beyond it";
    EXPECT_EQ(slot.channelValue(49, 1), source[99]);
    EXPECT_EQ(slot.channelValue(50, 0), 0);
}

TEST(SampleSlotHeader, EachMalformedFieldFailsWithItsTag) {
    const std::string good = test::wavBytes(1, 1, 44100, 2, 16, std::string(8, '\x01'));
    struct Case {
        std::string bytes;
        const char* tag;
    };
    const Case cases[] = {
        {"RIFX" + good.substr(4), "RIFF"},
        {good.substr(0, 6), "sz"},
        {good.substr(0, 8) + "WAVX" + good.substr(12), "WAVE"},
        {good.substr(0, 12) + "data" + good.substr(16), "fmt "},
        {good.substr(0, 21), "format_id"},
        {good.substr(0, 20) + "\x03" + good.substr(21), "format_id"},
        {good.substr(0, 23), "channel"},
        {good.substr(0, 27), "sampling rate"},
        {good.substr(0, 31), "bps"},
        {good.substr(0, 33), "block size"},
        {good.substr(0, 35), "bits per sample"},
        {good.substr(0, 38), "data"},
        {good.substr(0, 42), "data size"},
        {good.substr(0, 40) + le32(100'000'001) + good.substr(44), "data size"},
        {good.substr(0, 40) + le32(0x80000000) + good.substr(44), "data size"},
        // Exactly 100,000,000 passes the size check and fails only because the bytes are missing.
        {good.substr(0, 40) + le32(100'000'000) + good.substr(44), "data"},
    };
    for (const Case& c : cases) {
        SampleSlot slot;
        bool loaded = true;
        testing::internal::CaptureStdout();
        EXPECT_EQ(loadTag(slot, c.bytes, loaded), c.tag) << c.tag;
        testing::internal::GetCapturedStdout();
        EXPECT_FALSE(loaded) << c.tag;
    }
}

TEST(SampleSlotDecoding, EightBitAnd24BitEdgesAndFramesPastTheEnd) {
    SampleSlot eight;
    std::istringstream in8(test::wavBytes(1, 1, 8000, 1, 8, std::string("\x80\xFF\x00", 3)));
    ASSERT_TRUE(eight.load(in8));
    EXPECT_EQ(eight.channelValue(0, 0), 0);
    EXPECT_EQ(eight.channelValue(1, 0), 32512);
    EXPECT_EQ(eight.channelValue(2, 0), -32768);
    EXPECT_EQ(eight.channelValue(3, 0), 0) << "just past the end";
    EXPECT_EQ(eight.channelValue(-1, 0), 0);

    SampleSlot wide;
    std::istringstream in24(test::wavBytes(1, 1, 8000, 3, 24, std::string("\x00\x00\x80", 3)));
    ASSERT_TRUE(wide.load(in24));
    EXPECT_EQ(wide.channelValue(0, 0), -32768);
}

TEST(SampleSlotDecoding, NonsenseFormatFieldsDecodeToSilenceWithoutOverreading) {
    struct Case {
        std::uint16_t channels;
        std::uint16_t blockAlign;
        std::int64_t frames;
    };
    // No channels, no block size, more channels than bytes, channels that do not divide the
    // block, negative fields (sign-extended).
    for (const Case c : {Case{0, 2, 0}, Case{2, 0, 0}, Case{4, 2, 0}, Case{2, 3, 0},
                         Case{0xFFFF, 2, 0}, Case{1, 0xFFFF, 0}}) {
        SampleSlot slot;
        std::istringstream in(
            test::wavBytes(1, c.channels, 8000, c.blockAlign, 16, std::string(12, '\x7F')));
        ASSERT_TRUE(slot.load(in));
        EXPECT_EQ(slot.frames(), c.frames) << c.channels << "/" << c.blockAlign;
        for (int frame = -1; frame < 8; ++frame)
            for (int channel = 0; channel < 5; ++channel)
                EXPECT_EQ(slot.channelValue(frame, channel), 0);
    }
}

TEST(SampleSlotDecoding, ABlockTooSmallForItsChannelsCostsNoWork) {
    // 32767 declared channels in blocks of 2 bytes, a megabyte of them: before, the mono mix
    // averaged 32767 channels for each of half a million frames.
    SampleSlot slot;
    std::istringstream in(test::wavBytes(1, 32767, 44100, 2, 16, std::string(1 << 20, '\x11')));
    ASSERT_TRUE(slot.load(in));
    EXPECT_FALSE(slot.hasSensibleFormat());
    EXPECT_EQ(slot.frames(), 0);
    EXPECT_EQ(slot.gains(false).size(), 1u) << "only the frame of zeros after the end";
    EXPECT_EQ(slot.channelValue(0, 0), 0);

    SampleSlot quad;
    std::istringstream four(test::wavBytes(1, 4, 8000, 8, 16, std::string(16, '\x01')));
    ASSERT_TRUE(quad.load(four));
    EXPECT_TRUE(quad.hasSensibleFormat());
    EXPECT_EQ(quad.frames(), 2);
    EXPECT_EQ(quad.channelValue(1, 3), 0x0101);
}

TEST(SampleSlotFiles, FindsAFileStoredInTheOtherCase) {
    test::TempDir dir;
    test::writeWav(dir / "sound28.wav", {1, 2, 3});
    test::writeWav(dir / "SOUND9.WAV", {4, 5});
    SampleSlot slot;
    EXPECT_TRUE(slot.load(dir / "SOUND28.WAV"));
    EXPECT_EQ(slot.frames(), 3);
    EXPECT_TRUE(slot.load(dir / "sound9.wav"));
    EXPECT_EQ(slot.frames(), 2);
    EXPECT_FALSE(slot.load(dir / "sound1.wav"));
    EXPECT_FALSE(slot.isLoaded()) << "a failed load leaves no old data behind";
}

TEST(WavHeader, DeclaresSixteenBitPcmOfTheGivenLength) {
    const auto header = makeWavHeader(true, 44100, 44100);
    const std::string bytes(header.begin(), header.end());
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(u32At(bytes, 4), 176436u);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(u32At(bytes, 16), 16u);
    EXPECT_EQ(u32At(bytes, 20), 1u | (2u << 16));  // PCM, two channels
    EXPECT_EQ(u32At(bytes, 24), 44100u);
    EXPECT_EQ(u32At(bytes, 28), 176400u);
    EXPECT_EQ(u32At(bytes, 32), 4u | (16u << 16));  // block align, bits
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(u32At(bytes, 40), 176400u);

    const auto mono = makeWavHeader(false, 22050, 10);
    EXPECT_EQ(u32At(std::string(mono.begin(), mono.end()), 40), 20u);
    EXPECT_FALSE(writeWavHeader(nullptr, true, 44100, 1));
    EXPECT_TRUE(fitsInWav(true, 1'073'741'814));
    EXPECT_FALSE(fitsInWav(true, 1'073'741'815));
}

}  // namespace
}  // namespace lantrel
