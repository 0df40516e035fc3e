#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lantrel::test {

// The sequencer's four embedded bitmaps as releases r6 and r7 carry them, written out here
// independently of the importer's own table so that a slip in either shows up.
struct FakeBitmapLayout {
    const char* fileName;
    std::int32_t width;
    std::int32_t height;
    int bitsPerPixel;
    std::uint32_t copySize;                     // image plus the 54 bytes after it
    std::array<std::uint64_t, 2> byteSums;      // r6, r7
    std::array<std::uint64_t, 2> knownOffsets;  // r6, r7
};
extern const std::array<FakeBitmapLayout, 4> kFakeBitmaps;

// A stand-in for VeltoSeq.exe made from scratch: pseudo-random filler bytes with the four
// bitmaps placed where a test wants them. Each placed image is a valid BMP of the table's
// dimensions, bit count and size whose pixel bytes are tuned so that the copySize bytes from
// its start add up to the chosen release's byte sum.
class FakeExecutable {
  public:
    explicit FakeExecutable(std::size_t size, std::uint32_t seed = 1);

    // Puts bitmap `index` (0..3) at `offset`, summing to release r6 (0) or r7 (1).
    FakeExecutable& place(std::size_t index, std::uint64_t offset, int release = 0);
    // Puts all four at the first (0) or second (1) known offsets.
    FakeExecutable& placeAtKnownOffsets(int which, int release);
    // Overwrites bytes, for decoys; they must not fall on a placed image's pixels.
    FakeExecutable& put(std::uint64_t offset, std::string_view bytes);

    // The finished bytes, sums tuned.
    std::string build() const;

    // Where the pixels of an image placed at `offset` start.
    static std::uint64_t pixelStart(std::size_t index, std::uint64_t offset);

  private:
    struct Placement {
        std::size_t index;
        std::uint64_t offset;
        int release;
    };
    std::string filler_;
    std::vector<Placement> placements_;
    std::vector<std::pair<std::uint64_t, std::string>> patches_;
};

enum class Waves { None, AsNamed, LowerCase };

// The bytes of the fake sound for sound-table index `index`: a tiny mono WAV whose samples
// differ from every other sound's.
std::string fakeSound(std::size_t index);

// Writes folder/VeltoSeq.exe and, unless Waves::None, folder/waves with the 24 sounds (their
// names as the sound table spells them, or all in lower case). Returns the executable's path.
std::filesystem::path writeFakeSequencer(const std::filesystem::path& folder,
                                         const std::string& executable,
                                         Waves waves = Waves::AsNamed);

}  // namespace lantrel::test
