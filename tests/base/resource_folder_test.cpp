#include "base/resource_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "audio/sample_set.h"
#include "support/fake_sequencer.h"
#include "support/temp_dir.h"

namespace lantrel {
namespace {

TEST(UserResourceFolder, FollowsTheXdgDataHome) {
    EXPECT_EQ(userResourceFolder("/data", "/home/mika"),
              std::filesystem::path("/data/lantrel/rsrc"));
    EXPECT_EQ(userResourceFolder(nullptr, "/home/mika"),
              std::filesystem::path("/home/mika/.local/share/lantrel/rsrc"));
    EXPECT_EQ(userResourceFolder("relative/data", "/home/mika"),
              std::filesystem::path("/home/mika/.local/share/lantrel/rsrc"));
    EXPECT_EQ(userResourceFolder(nullptr, nullptr), std::filesystem::path());
    EXPECT_EQ(userResourceFolder("", ""), std::filesystem::path());
}

class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) previous_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (previous_)
            ::setenv(name_, previous_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const char* name_;
    std::optional<std::string> previous_;
};

TEST(ResourceFolders, UserFolderIsReadBeforeTheBuiltInOne) {
    const test::TempDir dir;
    const ScopedEnvironment xdg("XDG_DATA_HOME", dir.path().string());
    const auto folders = resourceFolders();
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0], dir / "lantrel" / "rsrc");
    EXPECT_EQ(folders[1], builtInResourceFolder());

    std::filesystem::create_directories(folders[0]);
    dir.write("lantrel/rsrc/icons.bmp", "user's");
    EXPECT_EQ(resourceFile("icons.bmp"), folders[0] / "icons.bmp");
    EXPECT_EQ(resourceFile("running.bmp"), builtInResourceFolder() / "running.bmp");
}

TEST(ResourceFolders, UnusableFilesAreSkippedFileByFile) {
    const test::TempDir dir;
    std::filesystem::create_directories(dir / "user" / "b.bmp");
    std::filesystem::create_directories(dir / "rsrc");
    dir.write("user/a.bmp", "");
    dir.write("rsrc/a.bmp", "x");
    dir.write("rsrc/b.bmp", "x");
    dir.write("user/c.bmp", "x");
    dir.write("rsrc/c.bmp", "x");
    const std::filesystem::path folders[] = {dir / "user", dir / "rsrc"};
    EXPECT_EQ(findResourceFile("a.bmp", folders), dir / "rsrc" / "a.bmp");
    EXPECT_EQ(findResourceFile("b.bmp", folders), dir / "rsrc" / "b.bmp");
    EXPECT_EQ(findResourceFile("c.bmp", folders), dir / "user" / "c.bmp");
    EXPECT_EQ(findResourceFile("d.bmp", folders), std::nullopt);
}

TEST(ResourceFolders, SampleSetTakesEachSoundFromTheFirstFolderThatHasIt) {
    const test::TempDir dir;
    std::filesystem::create_directories(dir / "user");
    std::filesystem::create_directories(dir / "rsrc");
    for (std::size_t index = 0; index < kSoundNames.size(); ++index)
        dir.write(std::string("rsrc/").append(kSoundNames[index].file), test::fakeSound(index));
    dir.write("user/sound21.wav", test::fakeSound(23));  // index 1 holds sound27's samples
    dir.write("user/sound2.wav", "not a wave file");

    const std::filesystem::path folders[] = {dir / "user", dir / "rsrc"};
    const SampleSet set = loadSampleSet("", folders);
    EXPECT_EQ(set.failureCount, 0);
    EXPECT_EQ(set.sounds[0].channelValue(0, 0), 100);
    EXPECT_EQ(set.sounds[1].channelValue(0, 0), 2400);
    EXPECT_EQ(set.sounds[2].channelValue(0, 0), 300);
}

}  // namespace
}  // namespace lantrel
