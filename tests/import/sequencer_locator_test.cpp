#include "import/sequencer_locator.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/fake_sequencer.h"
#include "support/temp_dir.h"

namespace lantrel {
namespace {

using test::FakeExecutable;
using test::Waves;

TEST(LinuxPathFromWine, MapsDriveZAndLinuxPathsOnly) {
    EXPECT_EQ(linuxPathFromWine("Z:\\home\\mika\\velto\\VeltoSeq.exe"),
              std::filesystem::path("/home/mika/velto/VeltoSeq.exe"));
    EXPECT_EQ(linuxPathFromWine("z:/opt/VeltoSeq.exe"), std::filesystem::path("/opt/VeltoSeq.exe"));
    EXPECT_EQ(linuxPathFromWine("/opt/velto/VeltoSeq.exe"),
              std::filesystem::path("/opt/velto/VeltoSeq.exe"));
    EXPECT_EQ(linuxPathFromWine("C:\\Program Files\\velto\\VeltoSeq.exe"), std::nullopt);
    EXPECT_EQ(linuxPathFromWine("VeltoSeq.exe"), std::nullopt);
    EXPECT_EQ(linuxPathFromWine("Z:"), std::nullopt);
}

class SequencerLocatorTest : public ::testing::Test {
  protected:
    static const std::string& executable(int release) {
        static const std::array<std::string, 2> executables = {
            FakeExecutable(660'000).placeAtKnownOffsets(0, 0).build(),
            FakeExecutable(700'000).placeAtKnownOffsets(1, 1).build()};
        return executables[static_cast<std::size_t>(release)];
    }
    // A process of the fake /proc with these arguments.
    void process(int id, std::string_view arguments) {
        const auto folder = dir / "proc" / std::to_string(id);
        std::filesystem::create_directories(folder);
        dir.write("proc/" + std::to_string(id) + "/cmdline", arguments);
    }
    static std::string windowsPath(const std::filesystem::path& path) {
        std::string text = "Z:" + path.string();
        std::ranges::replace(text, '/', '\\');
        return text;
    }
    bool import(ExecutableChooser askUser = {}) {
        std::filesystem::create_directories(dir / "proc");
        return importFromSequencer(
            SequencerSearch{dir / "program", dir / "proc", std::move(askUser), dir / "rsrc"});
    }
    // Which release the imported icons came from.
    int importedRelease() const {
        const std::string icons = test::TempDir::read(dir / "rsrc" / "icons.bmp");
        for (int release = 0; release < 2; ++release) {
            const auto offset =
                test::kFakeBitmaps[0].knownOffsets[static_cast<std::size_t>(release)];
            if (icons == executable(release).substr(offset, icons.size())) return release;
        }
        return -1;
    }
    test::TempDir dir;
};

TEST_F(SequencerLocatorTest, FindsARunningSequencerByItsCommandLine) {
    const auto running = test::writeFakeSequencer(dir / "r7", executable(1));
    const auto other = test::writeFakeSequencer(dir / "other", executable(0));
    dir.write("r7/VeltoSeqX.exe", "another program");
    const std::string wine("wine\0", 5);
    std::filesystem::create_directories(dir / "proc" / "self");
    dir.write("proc/self/cmdline", windowsPath(other));  // not a process id
    process(1, std::string("/sbin/init\0splash\0", 18));
    process(90, "C:\\velto\\VeltoSeq.exe");  // another drive: not mappable
    process(95, windowsPath(dir / "r7" / "VeltoSeqX.exe"));
    process(120, wine + windowsPath(dir / "gone" / "VeltoSeq.exe"));
    process(250, wine + windowsPath(running) + std::string("\0", 1));
    process(1000, wine + other.string());  // after 250 in number, before it as text
    EXPECT_EQ(findRunningSequencer(dir / "proc"), running);
    EXPECT_EQ(findRunningSequencer(dir / "no-proc"), std::nullopt);
}

TEST_F(SequencerLocatorTest, ExecutableBesideTheProgramComesFirst) {
    test::writeFakeSequencer(dir / "program", executable(0));
    process(250, windowsPath(test::writeFakeSequencer(dir / "r7", executable(1))));
    int asked = 0;
    EXPECT_TRUE(import([&] {
        ++asked;
        return std::nullopt;
    }));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(importedRelease(), 0);
}

TEST_F(SequencerLocatorTest, FailedImportBesideTheProgramFallsBackToTheRunningOne) {
    test::writeFakeSequencer(dir / "program", executable(0), Waves::None);
    process(250, windowsPath(test::writeFakeSequencer(dir / "r7", executable(1))));
    EXPECT_TRUE(import());
    EXPECT_EQ(importedRelease(), 1);
}

TEST_F(SequencerLocatorTest, AsksTheUserLast) {
    const auto chosen = test::writeFakeSequencer(dir / "chosen", executable(1));
    process(250, "/usr/bin/bash");
    int asked = 0;
    EXPECT_TRUE(import([&]() -> std::optional<std::filesystem::path> {
        ++asked;
        return chosen;
    }));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(importedRelease(), 1);
}

TEST_F(SequencerLocatorTest, CancelledOrFailedChoiceFails) {
    EXPECT_FALSE(import([] { return std::nullopt; }));
    const auto broken = test::writeFakeSequencer(dir / "broken", "no bitmaps here");
    EXPECT_FALSE(import([&]() -> std::optional<std::filesystem::path> { return broken; }));
    EXPECT_FALSE(std::filesystem::exists(dir / "rsrc" / "icons.bmp"));
}

}  // namespace
}  // namespace lantrel
