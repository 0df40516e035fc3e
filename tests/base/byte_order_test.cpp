#include "base/byte_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lantrel {
namespace {

// The same field layout must come out of every buffer type the program writes into.
template <typename Buffer>
Buffer packed() {
    Buffer out;
    le::putTag(out, "RIFF");
    le::put16(out, 0xBEEF);
    le::put32(out, 0x12345678);
    le::put64(out, 0x0102030405060708ull);
    le::put(out, 0xABCDEF, 3);
    le::putZeros(out, 2);
    return out;
}

TEST(ByteOrder, PacksLowByteFirstIntoEveryBufferType) {
    const std::vector<std::uint8_t> expected = {'R',  'I',  'F',  'F',  0xEF, 0xBE, 0x78, 0x56,
                                                0x34, 0x12, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03,
                                                0x02, 0x01, 0xEF, 0xCD, 0xAB, 0,    0};
    EXPECT_EQ(packed<std::vector<std::uint8_t>>(), expected);
    const auto bytes = packed<std::vector<std::byte>>();
    const auto text = packed<std::string>();
    ASSERT_EQ(bytes.size(), expected.size());
    ASSERT_EQ(text.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(static_cast<std::uint8_t>(bytes[i]), expected[i]) << i;
        EXPECT_EQ(static_cast<std::uint8_t>(text[i]), expected[i]) << i;
    }
}

TEST(ByteOrder, ReadsBackWhatItWroteAndPatchesInPlace) {
    auto bytes = packed<std::vector<std::byte>>();
    const std::span<const std::byte> in(bytes);
    EXPECT_EQ(le::get16(in, 4), 0xBEEF);
    EXPECT_EQ(le::get32(in, 6), 0x12345678u);
    EXPECT_EQ(le::get64(in, 10), 0x0102030405060708ull);
    EXPECT_EQ(le::get(in, 18, 3), 0xABCDEFu);
    le::set32(bytes, 6, 0xCAFEF00D);
    EXPECT_EQ(le::get32(std::span<const std::byte>(bytes), 6), 0xCAFEF00Du);
    // High bytes of signed chars must not spread into the value.
    const char raw[] = {'\xFF', '\x80'};
    EXPECT_EQ(le::get16(raw), 0x80FF);
}

}  // namespace
}  // namespace lantrel
