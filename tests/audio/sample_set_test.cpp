#include "audio/sample_set.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/temp_dir.h"
#include "support/test_sounds.h"

namespace lantrel {
namespace {

int kIndexOf(const char* file) {
    for (int i = 0; i < kSoundCount; ++i)
        if (std::string_view(kSoundNames[static_cast<std::size_t>(i)].file) == file) return i;
    return -1;
}

// Every sound holds its own index as a constant sample, so a test can tell which file played.
std::vector<std::int16_t> markedSound(int index) {
    return test::constantSamples(static_cast<std::int16_t>(100 + index), 10);
}

class SampleSetTest : public ::testing::Test {
  protected:
    SampleSetTest() { test::writeSoundFolder(builtIn.path(), markedSound); }
    test::TempDir builtIn;
    test::TempDir lane;
};

TEST_F(SampleSetTest, AnEmptyFolderLoadsEverythingFromTheBuiltInFolder) {
    const SampleSet set = loadSampleSet("", builtIn.path());
    EXPECT_EQ(set.failureCount, 0);
    for (int i = 0; i < kSoundCount; ++i)
        EXPECT_EQ(set.sounds[static_cast<std::size_t>(i)].channelValue(0, 0), 100 + i);
}

TEST_F(SampleSetTest, AMissingLaneSoundComesFromTheBuiltInFolder) {
    test::writeSoundFolder(lane.path(), [](int index) { return markedSound(index + 50); });
    std::filesystem::remove(lane / "sound27.wav");
    const SampleSet set = loadSampleSet(lane.path().string(), builtIn.path());
    EXPECT_EQ(set.failureCount, 0);
    EXPECT_EQ(set.sounds[static_cast<std::size_t>(kIndexOf("sound27.wav"))].channelValue(0, 0),
              100 + 23);
    EXPECT_EQ(set.sounds[static_cast<std::size_t>(kIndexOf("sound1.wav"))].channelValue(0, 0), 150)
        << "the lane's own sound wins";

    std::filesystem::remove(builtIn / "sound27.wav");
    std::filesystem::remove(builtIn / "SOUND28.WAV");
    EXPECT_EQ(loadSampleSet(lane.path().string(), builtIn.path()).failureCount, 1);
    EXPECT_EQ(loadSampleSet("", builtIn.path()).failureCount, 2);
}

TEST_F(SampleSetTest, MonoSoundsTakeTheTablesPanUntilTheLaneSetsIt) {
    test::writeWav(builtIn / "sound2.wav", {1, 1, 1, 1}, 2);  // stereo
    SampleSet set = loadSampleSet("", builtIn.path());
    EXPECT_EQ(set.sounds[static_cast<std::size_t>(kIndexOf("sound2.wav"))].pan, 64)
        << "stereo keeps the centre";
    EXPECT_EQ(set.sounds[static_cast<std::size_t>(kIndexOf("SOUND28.WAV"))].pan, 38);
    EXPECT_EQ(set.sounds[static_cast<std::size_t>(kIndexOf("sound13.wav"))].pan, 85);

    applyLaneSound(set, 2, 200, 300);
    EXPECT_EQ(set.sounds[static_cast<std::size_t>(kIndexOf("sound2.wav"))].pan, 72);
    EXPECT_EQ(set.sounds[static_cast<std::size_t>(kIndexOf("SOUND28.WAV"))].pan, 72);
    EXPECT_EQ(set.sounds[static_cast<std::size_t>(kIndexOf("SOUND28.WAV"))].volume, 300 & 127);
    applyLaneSound(set, 3, 10, 90);  // one sound only
    EXPECT_EQ(set.sounds[static_cast<std::size_t>(kIndexOf("sound3.wav"))].pan, 10);
    EXPECT_EQ(set.sounds[static_cast<std::size_t>(kIndexOf("sound4.wav"))].pan, 64);
    applyLaneSound(set, 16, 0, 0);  // not an instrument: nothing changes
    applyLaneSound(set, 0, 0, 0);
    EXPECT_EQ(set.sounds[static_cast<std::size_t>(kIndexOf("sound27.wav"))].volume, 100);
}

TEST(SampleSetTables, EverySoundBelongsToExactlyOneInstrument) {
    std::array<int, kSoundCount> owners{};
    for (const InstrumentSounds& instrument : kInstrumentSounds) {
        ++owners[static_cast<std::size_t>(instrument.lower)];
        if (instrument.split > 0) ++owners[static_cast<std::size_t>(instrument.upper)];
    }
    for (int count : owners)
        EXPECT_EQ(count, 1);
}

TEST(SampleSetVoices, PositionsPickTheSoundAndTheSemitoneRatio) {
    const SampleSet set;
    auto source = [&](int instrument, int position) {
        return voiceSource(set, instrument, position);
    };
    auto soundIndex = [&](int instrument, int position) {
        return static_cast<int>(source(instrument, position)->sound - set.sounds.data());
    };
    EXPECT_EQ(soundIndex(13, 7), kIndexOf("SOUND29.WAV"));
    EXPECT_EQ(soundIndex(13, 8), kIndexOf("sound13.wav"));

    EXPECT_EQ(soundIndex(1, 9), kIndexOf("sound1.wav"));
    EXPECT_DOUBLE_EQ(source(1, 9)->ratio, 1.0);
    EXPECT_DOUBLE_EQ(source(1, 6)->ratio, 1.414214);
    EXPECT_DOUBLE_EQ(source(1, 13)->ratio, 1.0 / 1.414214);
    EXPECT_EQ(soundIndex(1, 3), kIndexOf("sound21.wav"));
    EXPECT_DOUBLE_EQ(source(1, 3)->ratio, 1.0);
    EXPECT_DOUBLE_EQ(source(1, 1)->ratio, 1.189207);
    EXPECT_DOUBLE_EQ(source(3, 1)->ratio, 2.244924);
    EXPECT_DOUBLE_EQ(source(3, 13)->ratio, 1.0 / 1.414214);

    EXPECT_FALSE(source(0, 5));
    EXPECT_FALSE(source(16, 5));
    EXPECT_FALSE(source(1, 0));
    EXPECT_FALSE(source(1, 14));
}

TEST(SampleSetVoices, RatiosAreSemitonesRoundedToSixPlaces) {
    const SampleSet set;
    for (int position = 1; position <= 9; ++position) {
        const int semitones =
            kPositionSemitones[9] - kPositionSemitones[static_cast<std::size_t>(position)];
        const double expected = std::round(std::pow(2.0, semitones / 12.0) * 1e6) / 1e6;
        EXPECT_DOUBLE_EQ(voiceSource(set, 3, position)->ratio, expected) << position;
    }
}

}  // namespace
}  // namespace lantrel
