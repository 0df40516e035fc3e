#include "support/fake_sequencer.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <stdexcept>

#include "audio/sample_set.h"
#include "audio/sample_slot.h"
#include "audio/wav_format.h"
#include "base/byte_order.h"

namespace lantrel::test {

const std::array<FakeBitmapLayout, 4> kFakeBitmaps = {{
    {"icons.bmp", 64, 80, 32, 20588, {1067109, 445582}, {415503, 563949}},
    {"icons_mask.bmp", 64, 80, 1, 756, {74960, 74960}, {436037, 584483}},
    {"running.bmp", 64, 66, 32, 17004, {1191660, 664251}, {485256, 633681}},
    {"running_mask.bmp", 64, 66, 1, 644, {89626, 89605}, {502206, 650631}},
}};

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;

std::uint32_t pixelOffsetOf(const FakeBitmapLayout& layout) {
    const std::uint32_t palette = layout.bitsPerPixel == 1 ? 8 : 0;
    return kFileHeaderSize + kInfoHeaderSize + palette;
}

std::uint32_t imageSizeOf(const FakeBitmapLayout& layout) {
    const auto rowBits = static_cast<std::uint32_t>(layout.width * layout.bitsPerPixel);
    const std::uint32_t rowBytes = (rowBits + 31) / 32 * 4;
    return rowBytes * static_cast<std::uint32_t>(layout.height);
}

std::string makeBmp(const FakeBitmapLayout& layout) {
    const std::uint32_t pixelOffset = pixelOffsetOf(layout);
    const std::uint32_t imageSize = imageSizeOf(layout);
    if (kInfoHeaderSize + pixelOffset + kFileHeaderSize + imageSize != layout.copySize)
        throw std::logic_error(std::string("fixture sizes disagree for ") + layout.fileName);
    std::string bmp = "BM";
    le::put(bmp, pixelOffset + imageSize, 4);
    le::put(bmp, 0, 4);
    le::put(bmp, pixelOffset, 4);
    le::put(bmp, kInfoHeaderSize, 4);
    le::put(bmp, static_cast<std::uint32_t>(layout.width), 4);
    le::put(bmp, static_cast<std::uint32_t>(layout.height), 4);
    le::put(bmp, 1, 2);
    le::put(bmp, static_cast<std::uint32_t>(layout.bitsPerPixel), 2);
    le::put(bmp, 0, 4);
    le::put(bmp, imageSize, 4);
    le::put(bmp, 2835, 4);
    le::put(bmp, 2835, 4);
    le::put(bmp, layout.bitsPerPixel == 1 ? 2 : 0, 4);
    le::put(bmp, 0, 4);
    if (layout.bitsPerPixel == 1) bmp += std::string("\0\0\0\0\xFF\xFF\xFF\0", 8);
    for (std::uint32_t i = 0; i < imageSize; ++i)
        bmp.push_back(static_cast<char>((i * 7) & 0x3F));
    return bmp;
}

std::uint64_t byteSum(const std::string& bytes, std::uint64_t from, std::uint64_t count) {
    const auto end = std::min<std::uint64_t>(from + count, bytes.size());
    std::uint64_t sum = 0;
    for (std::uint64_t i = from; i < end; ++i)
        sum += static_cast<unsigned char>(bytes[i]);
    return sum;
}

// Raises or lowers pixel bytes, first to last, until the image's copy adds up to `target`.
void tunePixels(std::string& bytes, std::uint64_t offset, const FakeBitmapLayout& layout,
                std::uint64_t target) {
    auto difference = static_cast<std::int64_t>(target) -
                      static_cast<std::int64_t>(byteSum(bytes, offset, layout.copySize));
    const std::uint64_t end = offset + pixelOffsetOf(layout) + imageSizeOf(layout);
    for (std::uint64_t i = offset + pixelOffsetOf(layout); i < end && difference != 0; ++i) {
        const int value = static_cast<unsigned char>(bytes[i]);
        const auto step =
            static_cast<int>(std::clamp<std::int64_t>(difference, -value, 255 - value));
        bytes[i] = static_cast<char>(value + step);
        difference -= step;
    }
    if (difference != 0)
        throw std::logic_error(std::string("cannot reach the byte sum of ") + layout.fileName);
}

}  // namespace

FakeExecutable::FakeExecutable(std::size_t size, std::uint32_t seed) : filler_(size, '\0') {
    std::uint32_t state = seed ? seed : 1;
    for (char& byte : filler_) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state >> 24);
    }
    if (size >= 2) filler_.replace(0, 2, "MZ");
}

FakeExecutable& FakeExecutable::place(std::size_t index, std::uint64_t offset, int release) {
    placements_.push_back({index, offset, release});
    return *this;
}

FakeExecutable& FakeExecutable::placeAtKnownOffsets(int which, int release) {
    for (std::size_t index = 0; index < kFakeBitmaps.size(); ++index)
        place(index, kFakeBitmaps[index].knownOffsets[static_cast<std::size_t>(which)], release);
    return *this;
}

FakeExecutable& FakeExecutable::put(std::uint64_t offset, std::string_view bytes) {
    patches_.emplace_back(offset, std::string(bytes));
    return *this;
}

std::string FakeExecutable::build() const {
    std::string bytes = filler_;
    auto overwrite = [&bytes](std::uint64_t offset, const std::string& with) {
        if (offset + with.size() > bytes.size())
            throw std::logic_error("fixture bytes do not fit the executable");
        bytes.replace(offset, with.size(), with);
    };
    for (const Placement& placement : placements_)
        overwrite(placement.offset, makeBmp(kFakeBitmaps[placement.index]));
    for (const auto& [offset, patch] : patches_)
        overwrite(offset, patch);
    // An image's copy may reach into the next image. Tuning from the last image to the first
    // changes only copies that start earlier, and those are tuned afterwards.
    auto order = placements_;
    std::ranges::sort(order, std::ranges::greater{}, &Placement::offset);
    for (const Placement& placement : order) {
        const FakeBitmapLayout& layout = kFakeBitmaps[placement.index];
        tunePixels(bytes, placement.offset, layout,
                   layout.byteSums[static_cast<std::size_t>(placement.release)]);
    }
    return bytes;
}

std::uint64_t FakeExecutable::pixelStart(std::size_t index, std::uint64_t offset) {
    return offset + pixelOffsetOf(kFakeBitmaps[index]);
}

std::string fakeSound(std::size_t index) {
    constexpr std::uint32_t kFrames = 8;
    const auto header = makeWavHeader(false, 8000, kFrames);
    std::string bytes(header.begin(), header.end());
    for (std::uint32_t frame = 0; frame < kFrames; ++frame)
        le::put(bytes, static_cast<std::uint32_t>((index + 1) * 100 + frame), 2);
    return bytes;
}

std::filesystem::path writeFakeSequencer(const std::filesystem::path& folder,
                                         const std::string& executable, Waves waves) {
    std::filesystem::create_directories(folder);
    const auto path = folder / "VeltoSeq.exe";
    std::ofstream(path, std::ios::binary) << executable;
    if (waves == Waves::None) return path;
    std::filesystem::create_directories(folder / "waves");
    for (std::size_t index = 0; index < kSoundNames.size(); ++index) {
        std::string name(kSoundNames[index].file);
        if (waves == Waves::LowerCase)
            std::ranges::transform(name, name.begin(), [](unsigned char c) {
                return static_cast<char>(std::tolower(c));
            });
        std::ofstream(folder / "waves" / name, std::ios::binary) << fakeSound(index);
    }
    return path;
}

}  // namespace lantrel::test
