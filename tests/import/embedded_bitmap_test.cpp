#include "import/embedded_bitmap.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "support/fake_sequencer.h"
#include "support/temp_dir.h"

namespace lantrel {
namespace {

using test::FakeExecutable;
using test::kFakeBitmaps;

constexpr std::size_t kIcons = 0;
constexpr std::size_t kIconsMask = 1;
constexpr std::size_t kRunningMask = 3;

class EmbeddedBitmapTest : public ::testing::Test {
  protected:
    std::optional<std::uint64_t> find(const std::string& executable, std::size_t row) {
        BufferedReader file(dir.write("VeltoSeq.exe", executable));
        return findBitmap(file, kEmbeddedBitmaps[row]);
    }
    static std::uint64_t known(std::size_t row, int which) {
        return kFakeBitmaps[row].knownOffsets[static_cast<std::size_t>(which)];
    }
    test::TempDir dir;
};

TEST_F(EmbeddedBitmapTest, TableAgreesWithTheReleasesLayout) {
    for (std::size_t row = 0; row < kEmbeddedBitmaps.size(); ++row) {
        const EmbeddedBitmap& bitmap = kEmbeddedBitmaps[row];
        const test::FakeBitmapLayout& layout = kFakeBitmaps[row];
        EXPECT_EQ(bitmap.fileName, layout.fileName);
        EXPECT_EQ(bitmap.width, layout.width);
        EXPECT_EQ(bitmap.height, layout.height);
        EXPECT_EQ(bitmap.oneBitPerPixel, layout.bitsPerPixel == 1);
        EXPECT_EQ(bitmap.copySize, layout.copySize);
        EXPECT_EQ(bitmap.byteSums, layout.byteSums);
        EXPECT_EQ(bitmap.knownOffsets[0], static_cast<std::int64_t>(layout.knownOffsets[0]));
        EXPECT_EQ(bitmap.knownOffsets[1], static_cast<std::int64_t>(layout.knownOffsets[1]));
    }
}

TEST_F(EmbeddedBitmapTest, FindsEachReleaseAtItsKnownOffsets) {
    for (int release = 0; release < 2; ++release) {
        const std::string executable =
            FakeExecutable(700'000).placeAtKnownOffsets(release, release).build();
        for (std::size_t row = 0; row < kEmbeddedBitmaps.size(); ++row)
            EXPECT_EQ(find(executable, row), known(row, release)) << "row " << row;
    }
}

// A matching copy earlier in the file would win a scan; the known offsets come first.
TEST_F(EmbeddedBitmapTest, SecondKnownOffsetIsTakenWithoutScanning) {
    FakeExecutable fake(700'000);
    fake.placeAtKnownOffsets(1, 1);
    for (std::size_t row = 0; row < kEmbeddedBitmaps.size(); ++row)
        fake.place(row, 1000 + 40'000 * row, 0);
    const std::string executable = fake.build();
    for (std::size_t row = 0; row < kEmbeddedBitmaps.size(); ++row)
        EXPECT_EQ(find(executable, row), known(row, 1)) << "row " << row;
}

TEST_F(EmbeddedBitmapTest, ScanFindsImagesAnywhereElse) {
    const std::uint64_t offsets[] = {1, 30'017, 60'000, 90'003};
    FakeExecutable fake(120'000);
    for (std::size_t row = 0; row < 4; ++row)
        fake.place(row, offsets[row], row % 2 ? 1 : 0);
    const std::string executable = fake.build();
    for (std::size_t row = 0; row < 4; ++row)
        EXPECT_EQ(find(executable, row), offsets[row]);
}

// "BM" four bytes early reads the real image's headers shifted; a lone 'B' right before the
// real "BM" must not swallow its 'B'. Only a scan that resumes one byte after each rejected
// candidate and re-examines the byte after a 'B' finds the image.
TEST_F(EmbeddedBitmapTest, FalseCandidatesRightBeforeTheImageAreSteppedOver) {
    constexpr std::uint64_t kAt = 5000;
    const std::string executable = FakeExecutable(30'000)
                                       .place(kIcons, kAt)
                                       .put(kAt - 4, "BM")
                                       .put(kAt - 2, "\x07")
                                       .put(kAt - 1, "B")
                                       .build();
    ASSERT_EQ(executable.substr(kAt - 4, 6),
              "BM\x07"
              "BBM");
    EXPECT_EQ(find(executable, kIcons), kAt);
}

TEST_F(EmbeddedBitmapTest, OneChangedPixelByteRejectsTheImage) {
    std::string executable = FakeExecutable(760'000).placeAtKnownOffsets(0, 0).build();
    const std::uint64_t pixel = FakeExecutable::pixelStart(kIcons, known(kIcons, 0)) + 100;
    executable[pixel] = static_cast<char>(executable[pixel] ^ 1);
    EXPECT_EQ(find(executable, kIcons), std::nullopt);
    EXPECT_EQ(find(executable, kIconsMask), known(kIconsMask, 0));
}

TEST_F(EmbeddedBitmapTest, ScanGoesOnPastARejectedImageToAnIntactOne) {
    std::string executable =
        FakeExecutable(760'000).placeAtKnownOffsets(0, 0).place(kIcons, 700'000, 1).build();
    const std::uint64_t pixel = FakeExecutable::pixelStart(kIcons, known(kIcons, 0)) + 100;
    executable[pixel] = static_cast<char>(executable[pixel] ^ 1);
    EXPECT_EQ(find(executable, kIcons), 700'000u);
}

TEST_F(EmbeddedBitmapTest, OnlyTheMasksDemandOneBitPerPixel) {
    constexpr std::uint64_t kAt = 100;
    // Bit count at byte 28; the fixture tunes the sums after the change.
    const std::string mask =
        FakeExecutable(5'000).place(kIconsMask, kAt).put(kAt + 28, "\x04").build();
    EXPECT_EQ(find(mask, kIconsMask), std::nullopt);
    const std::string colour =
        FakeExecutable(30'000).place(kIcons, kAt).put(kAt + 28, "\x18").build();
    EXPECT_EQ(find(colour, kIcons), kAt);
}

TEST_F(EmbeddedBitmapTest, FilesEndingInsideHeadersOrTinyFilesFindNothing) {
    const std::string whole = FakeExecutable(2'000).place(kIconsMask, 1'000).build();
    for (const std::size_t size : {0u, 1u, 2u, 1'001u, 1'030u, 1'053u})
        EXPECT_EQ(find(whole.substr(0, size), kIconsMask), std::nullopt) << size;
    EXPECT_EQ(find("B", kIcons), std::nullopt);
    EXPECT_EQ(find("BMBMBM", kIcons), std::nullopt);
}

TEST_F(EmbeddedBitmapTest, WritesTheImageWithTheBytesThatFollowIt) {
    constexpr std::uint64_t kAt = 3'333;
    const std::string executable = FakeExecutable(40'000).place(kIcons, kAt).build();
    BufferedReader file(dir.write("VeltoSeq.exe", executable));
    std::string error;
    ASSERT_TRUE(writeBitmap(dir / "new" / "rsrc", file, kAt, kEmbeddedBitmaps[kIcons], error))
        << error;
    const std::string written = test::TempDir::read(dir / "new" / "rsrc" / "icons.bmp");
    EXPECT_EQ(written.size(), 20'588u);
    EXPECT_EQ(written, executable.substr(kAt, 20'588));
}

// The image fits but the 54 bytes after it are cut short; the zero bytes missing would not
// have changed the sum, so the candidate matches and only the copy notices.
TEST_F(EmbeddedBitmapTest, ExecutableEndingInsideTheCopyLeavesTheOldFile) {
    constexpr std::uint64_t kAt = 1'000;
    const std::string executable = FakeExecutable(kAt + 590 + 10).place(kRunningMask, kAt).build();
    const auto folder = dir / "rsrc";
    std::filesystem::create_directories(folder);
    dir.write("rsrc/running_mask.bmp", "previous");
    const auto position = find(executable, kRunningMask);
    ASSERT_EQ(position, kAt);

    BufferedReader file(dir / "VeltoSeq.exe");
    std::string error;
    EXPECT_FALSE(writeBitmap(folder, file, kAt, kEmbeddedBitmaps[kRunningMask], error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::TempDir::read(folder / "running_mask.bmp"), "previous");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

// A plain reading of the rules over the whole file in memory, to hold the scan to.
std::optional<std::uint64_t> naiveFind(const std::string& file, const EmbeddedBitmap& bitmap) {
    auto field = [&](std::size_t at, int bytes) {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= std::uint32_t{static_cast<std::uint8_t>(file[at + i])} << (8 * i);
        return value;
    };
    for (std::size_t q = 0; q + 54 <= file.size(); ++q) {
        if (file[q] != 'B' || file[q + 1] != 'M') continue;
        if (static_cast<std::int32_t>(field(q + 18, 4)) != bitmap.width ||
            static_cast<std::int32_t>(field(q + 22, 4)) != bitmap.height)
            continue;
        if (bitmap.oneBitPerPixel && field(q + 28, 2) != 1) continue;
        if (std::uint64_t{field(q + 14, 4)} + field(q + 10, 4) + 14 + field(q + 34, 4) !=
            bitmap.copySize)
            continue;
        std::uint64_t sum = 0;
        for (std::size_t i = q; i < std::min<std::size_t>(q + bitmap.copySize, file.size()); ++i)
            sum += static_cast<std::uint8_t>(file[i]);
        if (std::ranges::find(bitmap.byteSums, sum) != bitmap.byteSums.end()) return q;
    }
    return std::nullopt;
}

// Files crowded with candidates whose headers fit, at every spacing, so that the sums slide
// short and long distances, start afresh, and run into the end of the file.
TEST_F(EmbeddedBitmapTest, OnePassFindsWhatAPlainSearchFinds) {
    for (const std::size_t spacing : {7u, 54u, 300u, 9'000u, 30'000u}) {
        FakeExecutable fake(400'000, static_cast<std::uint32_t>(spacing));
        const std::string headers = FakeExecutable(30'000).place(0, 0).build().substr(0, 54);
        const std::string mask = FakeExecutable(30'000).place(3, 0).build().substr(0, 54);
        for (std::size_t at = 100, n = 0; at + 54 < 200'000; at += spacing, ++n)
            fake.put(at, n % 2 ? headers : mask);
        fake.place(0, 250'000).place(3, 399'000 - 644);
        fake.place(1, 300'000);
        const std::string executable = fake.build();
        BufferedReader file(dir.write("VeltoSeq.exe", executable));
        const auto found = findBitmaps(file, kEmbeddedBitmaps);
        for (std::size_t row = 0; row < kEmbeddedBitmaps.size(); ++row)
            EXPECT_EQ(found[row], naiveFind(executable, kEmbeddedBitmaps[row]))
                << "row " << row << ", candidates every " << spacing << " bytes";
        EXPECT_TRUE(found[0] && found[1] && found[3]);
        EXPECT_FALSE(found[2]);
    }
}

TEST_F(EmbeddedBitmapTest, TheHolesOfASparseFileAreNotRead) {
    // A gigabyte of nothing, then the four images at the end.
    const auto path = dir.write("VeltoSeq.exe", "");
    constexpr std::uint64_t kHole = std::uint64_t{1} << 30;
    std::filesystem::resize_file(path, kHole);
    if (const int fd = ::open(path.c_str(), O_RDONLY); fd >= 0) {
        const bool reportsHoles = ::lseek(fd, 0, SEEK_DATA) < 0;
        ::close(fd);
        if (!reportsHoles) GTEST_SKIP() << "this file system does not report holes";
    }
    {
        std::ofstream tail(path, std::ios::binary | std::ios::app);
        tail << FakeExecutable(100'000)
                    .place(0, 1'000)
                    .place(1, 30'000)
                    .place(2, 40'000)
                    .place(3, 70'000)
                    .build();
    }
    BufferedReader file(path);
    const auto found = findBitmaps(file, kEmbeddedBitmaps);
    EXPECT_EQ(found[0], kHole + 1'000);
    EXPECT_EQ(found[3], kHole + 70'000);
    EXPECT_LT(file.bytesLoaded(), 16u << 20) << "the hole is skipped, not read";
    EXPECT_EQ(findBitmap(file, kEmbeddedBitmaps[2]), kHole + 40'000);
}

}  // namespace
}  // namespace lantrel
