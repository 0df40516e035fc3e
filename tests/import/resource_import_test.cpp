#include "import/resource_import.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "audio/sample_set.h"
#include "base/resource_folder.h"
#include "support/fake_sequencer.h"
#include "support/temp_dir.h"
#include "support/test_sounds.h"

namespace lantrel {
namespace {

using test::FakeExecutable;
using test::Waves;

std::set<std::string> filesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        names.insert(entry.path().filename().string());
    return names;
}

std::size_t soundIndex(std::string_view name) {
    for (std::size_t index = 0; index < kSoundNames.size(); ++index)
        if (kSoundNames[index].file == name) return index;
    throw std::logic_error("not a sound");
}

class ResourceImportTest : public ::testing::Test {
  protected:
    // The executable with its bitmaps at the first known offsets, in dir/velto.
    std::filesystem::path sequencer(Waves waves = Waves::AsNamed) {
        static const std::string executable =
            FakeExecutable(660'000).placeAtKnownOffsets(0, 0).build();
        return test::writeFakeSequencer(dir / "velto", executable, waves);
    }
    std::filesystem::path rsrc() const { return dir / "rsrc"; }
    test::TempDir dir;
};

TEST_F(ResourceImportTest, ImportsAllFilesThatTheLoadersThenUse) {
    const auto executable = sequencer();
    const ImportReport report = extractFrom(executable, rsrc());
    ASSERT_TRUE(report.succeeded()) << report.failure();
    EXPECT_EQ(report.failure(), "");

    std::set<std::string> expected(kResourceNames.begin(), kResourceNames.end());
    EXPECT_EQ(filesIn(rsrc()), expected);  // and no temporary files left over
    for (std::size_t i = 0; i < kResourceFileCount; ++i)
        EXPECT_EQ(report.files[i].outcome, i < 4 ? ImportOutcome::Written : ImportOutcome::Copied);
    EXPECT_EQ(std::filesystem::file_size(rsrc() / "icons.bmp"), 20'588u);
    EXPECT_EQ(test::TempDir::read(rsrc() / "SOUND28.WAV"),
              test::fakeSound(soundIndex("SOUND28.WAV")));

    const std::filesystem::path folders[] = {rsrc()};
    EXPECT_TRUE(resourcesPresent(folders));
    const SampleSet set = loadSampleSet("", folders);
    EXPECT_EQ(set.failureCount, 0);
    EXPECT_EQ(set.sounds[3].channelValue(0, 0), 400);  // SOUND28.WAV, index 3
}

TEST_F(ResourceImportTest, MissingWavesFolderFailsAtTheFirstSoundAndWritesNothing) {
    const ImportReport report = extractFrom(sequencer(Waves::None), rsrc());
    EXPECT_FALSE(report.succeeded());
    EXPECT_EQ(report.files[4].name, "sound1.wav");
    EXPECT_EQ(report.files[4].outcome, ImportOutcome::Failed);
    EXPECT_NE(report.failure().find("sound1.wav"), std::string::npos) << report.failure();
    for (std::size_t i = 0; i < kResourceFileCount; ++i) {
        if (i == 4) continue;
        EXPECT_EQ(report.files[i].outcome, ImportOutcome::NotReached) << i;
    }
    EXPECT_FALSE(std::filesystem::exists(rsrc())) << "not even the folder is left";
}

// The program's good set, as a build leaves it, and what an import over it may not break.
class RefusedImportTest : public ResourceImportTest {
  protected:
    RefusedImportTest() {
        std::filesystem::create_directories(rsrc());
        for (const std::string_view name : kResourceNames)
            dir.write((std::filesystem::path("rsrc") / name).string(), "good " + std::string(name));
    }
    void expectTheGoodSetUntouched() const {
        std::set<std::string> expected(kResourceNames.begin(), kResourceNames.end());
        EXPECT_EQ(filesIn(rsrc()), expected) << "and no temporary file left";
        for (const std::string_view name : kResourceNames)
            EXPECT_EQ(test::TempDir::read(rsrc() / name), "good " + std::string(name)) << name;
    }
};

TEST_F(RefusedImportTest, EmptyOrGarbageSoundsAreRefusedWithTheFirstBadName) {
    const auto executable = sequencer();
    const auto waves = executable.parent_path() / "waves";
    dir.write("velto/waves/sound9.wav", "");
    dir.write("velto/waves/sound3.wav", "RIFF and then nothing that a sound would hold");
    const ImportReport report = extractFrom(executable, rsrc());
    EXPECT_FALSE(report.succeeded());
    EXPECT_EQ(report.files[6].name, "sound3.wav");
    EXPECT_EQ(report.files[6].outcome, ImportOutcome::Failed);
    EXPECT_TRUE(report.failure().starts_with("sound3.wav: " + (waves / "sound3.wav").string() +
                                             " is not a WAV file that Lantrel can play"))
        << report.failure();
    expectTheGoodSetUntouched();

    dir.write("velto/waves/sound3.wav", test::fakeSound(4));
    EXPECT_TRUE(extractFrom(executable, rsrc()).failure().starts_with("sound9.wav: "));
    expectTheGoodSetUntouched();
}

TEST_F(RefusedImportTest, ASoundWithoutSamplesOrABadBitmapIsRefusedToo) {
    const auto executable = sequencer();
    // A header the loader accepts, but nothing to play: the lane would fall silent.
    dir.write("velto/waves/SOUND29.WAV", test::wavBytes(1, 1, 44100, 2, 16, ""));
    EXPECT_TRUE(extractFrom(executable, rsrc())
                    .failure()
                    .starts_with("SOUND29.WAV: " +
                                 (executable.parent_path() / "waves" / "SOUND29.WAV").string() +
                                 " is a WAV file without samples to play"));
    expectTheGoodSetUntouched();

    // An executable without the last bitmap: refused before any sound is looked at.
    FakeExecutable threeOfFour(660'000);
    for (std::size_t index = 0; index < 3; ++index)
        threeOfFour.place(index, test::kFakeBitmaps[index].knownOffsets[0]);
    const std::string partial = threeOfFour.build();
    const auto other = test::writeFakeSequencer(dir / "other", partial);
    const ImportReport report = extractFrom(other, rsrc());
    EXPECT_EQ(report.files[3].outcome, ImportOutcome::Failed);
    EXPECT_NE(report.failure().find("no matching image"), std::string::npos) << report.failure();
    expectTheGoodSetUntouched();
}

TEST_F(ResourceImportTest, ReplacesExistingFiles) {
    std::filesystem::create_directories(rsrc());
    dir.write("rsrc/sound1.wav", "an older sound");
    dir.write("rsrc/icons.bmp", "an older picture");
    ASSERT_TRUE(extractFrom(sequencer(), rsrc()).succeeded());
    EXPECT_EQ(test::TempDir::read(rsrc() / "sound1.wav"), test::fakeSound(0));
    EXPECT_EQ(std::filesystem::file_size(rsrc() / "icons.bmp"), 20'588u);
}

TEST_F(ResourceImportTest, SoundsSpelledInAnotherCaseAreCopiedUnderTheirListedNames) {
    ASSERT_TRUE(extractFrom(sequencer(Waves::LowerCase), rsrc()).succeeded());
    EXPECT_EQ(test::TempDir::read(rsrc() / "SOUND29.WAV"),
              test::fakeSound(soundIndex("SOUND29.WAV")));
    EXPECT_FALSE(std::filesystem::exists(rsrc() / "sound29.wav"));
}

TEST_F(ResourceImportTest, UnusableExecutablesWriteNothing) {
    sequencer();
    std::filesystem::create_directories(dir / "folder.exe");
    for (const auto& executable : {dir / "velto" / "missing.exe", dir / "folder.exe",
                                   dir / "velto" / "waves" / "sound1.wav"}) {
        const ImportReport report = extractFrom(executable, rsrc());
        EXPECT_FALSE(report.succeeded());
        EXPECT_EQ(report.files[0].outcome, ImportOutcome::Failed) << executable;
        EXPECT_FALSE(report.files[0].reason.empty());
        EXPECT_EQ(report.files[1].outcome, ImportOutcome::NotReached);
        EXPECT_TRUE(filesIn(rsrc()).empty());
    }
}

class CurrentDirectory {
  public:
    explicit CurrentDirectory(const std::filesystem::path& to)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(to);
    }
    ~CurrentDirectory() { std::filesystem::current_path(previous_); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

  private:
    std::filesystem::path previous_;
};

TEST_F(ResourceImportTest, BareExecutableNameTakesTheWavesFolderHere) {
    sequencer();
    const CurrentDirectory here(dir / "velto");
    EXPECT_TRUE(extractFrom("VeltoSeq.exe", rsrc()).succeeded());
}

class ResourcesPresentTest : public ::testing::Test {
  protected:
    void fill(const std::filesystem::path& folder) {
        std::filesystem::create_directories(folder);
        for (const std::string_view name : kResourceNames)
            dir.write((folder.lexically_relative(dir.path()) / name).string(), "x");
    }
    bool present() const {
        const std::filesystem::path folders[] = {dir / "user", dir / "rsrc"};
        return resourcesPresent(folders);
    }
    test::TempDir dir;
};

TEST_F(ResourcesPresentTest, EveryFileMustBeThereAndUsable) {
    EXPECT_FALSE(present());
    fill(dir / "rsrc");
    EXPECT_TRUE(present());

    std::filesystem::remove(dir / "rsrc" / "SOUND29.WAV");
    EXPECT_FALSE(present());
    dir.write("rsrc/SOUND29.WAV", "x");

    dir.write("rsrc/sound5.wav", "");
    EXPECT_FALSE(present());
    dir.write("rsrc/sound5.wav", "x");

    std::filesystem::remove(dir / "rsrc" / "icons.bmp");
    std::filesystem::create_directory(dir / "rsrc" / "icons.bmp");
    EXPECT_FALSE(present());
}

TEST_F(ResourcesPresentTest, EachFileMayComeFromEitherFolder) {
    fill(dir / "user");
    std::filesystem::remove(dir / "user" / "sound27.wav");
    dir.write("user/icons.bmp", "");
    EXPECT_FALSE(present());
    std::filesystem::create_directories(dir / "rsrc");
    dir.write("rsrc/sound27.wav", "x");
    dir.write("rsrc/icons.bmp", "x");
    EXPECT_TRUE(present());
}

TEST(ImportFolder, BuiltInFolderUnlessNoFileCanBeCreatedThere) {
    const test::TempDir dir;
    EXPECT_EQ(chooseImportFolder(dir / "app" / "rsrc", dir / "user"), dir / "app" / "rsrc");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "app" / "rsrc"));

    // Blocked even for root: a file where the folder should be.
    dir.write("blocked", "");
    EXPECT_EQ(chooseImportFolder(dir / "blocked", dir / "user"), dir / "user");
    EXPECT_EQ(chooseImportFolder(dir / "blocked" / "rsrc", dir / "user"), dir / "user");
    EXPECT_EQ(chooseImportFolder(dir / "blocked", ""), dir / "blocked");
}

}  // namespace
}  // namespace lantrel
