#include <gtest/gtest.h>

#include <filesystem>

#include "audio/sample_set.h"
#include "base/resource_names.h"
#include "resources/resource_files.h"

namespace lantrel {
namespace {

TEST(BuiltInFolder, HoldsEveryResourceFileUnderItsExactNameAndNoneIsEmpty) {
    const auto folder = test::builtRsrcFolder();
    for (const std::string_view name : kResourceNames) {  // what the start-up check looks for
        SCOPED_TRACE(name);
        const auto path = folder / name;
        ASSERT_TRUE(std::filesystem::is_regular_file(path));
        EXPECT_GT(std::filesystem::file_size(path), 0u);
    }
}

TEST(BuiltInFolder, LoadsAsACompleteSetOfMono16BitSoundsAt44100Hz) {
    const SampleSet set = loadSampleSet("", test::builtRsrcFolder());
    EXPECT_EQ(set.failureCount, 0);
    for (std::size_t index = 0; index < set.sounds.size(); ++index) {
        const SampleSlot& sound = set.sounds[index];
        SCOPED_TRACE(kSoundNames[index].file);
        EXPECT_EQ(sound.channels, 1);
        EXPECT_EQ(sound.samplesPerSec, 44100);
        EXPECT_EQ(sound.bitsPerSample, 16);
        EXPECT_EQ(sound.blockAlign, 2);
        EXPECT_EQ(sound.avgBytesPerSec, 88200);
        EXPECT_GT(sound.frames(), 0);
        // Mono sounds take the table's default pan on loading.
        EXPECT_EQ(sound.pan, kSoundNames[index].pan);
    }
}

}  // namespace
}  // namespace lantrel
