#include "audio/sample_slot.h"

#include <gtest/gtest.h>

namespace lantrel {
namespace {

TEST(WavHeader, DeclaresSixteenBitPcmOfTheGivenLength) {
    const auto header = SampleSlot::makeHeader(true, 44100, 44100);
    ASSERT_EQ(header.size(), 44u);
    auto u32 = [&](std::size_t at) {
        return header[at] | (header[at + 1] << 8) | (header[at + 2] << 16) | (std::uint32_t{header[at + 3]} << 24);
    };
    EXPECT_EQ(std::string(header.begin(), header.begin() + 4), "RIFF");
    EXPECT_EQ(u32(4), 176436u);
    EXPECT_EQ(std::string(header.begin() + 8, header.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(u32(16), 16u);
    EXPECT_EQ(header[20] | (header[21] << 8), 1);
    EXPECT_EQ(header[22] | (header[23] << 8), 2);
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(28), 176400u);
    EXPECT_EQ(header[32] | (header[33] << 8), 4);
    EXPECT_EQ(header[34] | (header[35] << 8), 16);
    EXPECT_EQ(std::string(header.begin() + 36, header.begin() + 40), "data");
    EXPECT_EQ(u32(40), 176400u);

    const auto mono = SampleSlot::makeHeader(false, 22050, 10);
    EXPECT_EQ(mono[32] | (mono[33] << 8), 2);
    EXPECT_EQ(mono[40], 20);
}

}  // namespace
}  // namespace lantrel
