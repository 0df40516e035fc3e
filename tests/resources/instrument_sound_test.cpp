#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <set>

#include "audio/sample_set.h"
#include "resources/pitch_estimate.h"
#include "resources/resource_files.h"

namespace lantrel {
namespace {

constexpr int kRate = 44100;
constexpr double kTopPositionHz = 783.99;  // G5 at pitch position 1
constexpr int kPeakCeiling = 4096;         // what the mixer's headroom is planned around
// Kick, snare, hand clap, wood block and cymbal are not tuned to the staff.
const std::set<int> kPercussion = {7, 8, 9, 10, 11};

double positionHz(int position) {
    return kTopPositionHz *
           std::pow(2.0, -kPositionSemitones[static_cast<std::size_t>(position)] / 12.0);
}

class BuiltInSounds : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        set_ = new SampleSet(loadSampleSet("", test::builtRsrcFolder()));
    }
    static void TearDownTestSuite() {
        delete set_;
        set_ = nullptr;
    }
    static const SampleSet& set() { return *set_; }

  private:
    static inline SampleSet* set_ = nullptr;
};

TEST_F(BuiltInSounds, AreShortCentredAndStartAndEndInSilence) {
    ASSERT_EQ(set().failureCount, 0);
    for (std::size_t index = 0; index < set().sounds.size(); ++index) {
        SCOPED_TRACE(kSoundNames[index].file);
        const auto samples = test::samplesOf(set().sounds[index]);
        ASSERT_GT(samples.size(), kRate / 5u);
        EXPECT_LT(samples.size(), kRate * 3u / 2u);
        // A sound that starts or stops away from zero clicks every time it plays.
        EXPECT_EQ(samples.front(), 0.0);
        EXPECT_EQ(samples.back(), 0.0);
        const double mean = std::accumulate(samples.begin(), samples.end(), 0.0) /
                            static_cast<double>(samples.size());
        EXPECT_LT(std::abs(mean), 1.0) << "DC offset";
        double peak = 0.0;
        for (double sample : samples)
            peak = std::max(peak, std::abs(sample));
        EXPECT_LE(peak, kPeakCeiling);
        EXPECT_GE(peak, kPeakCeiling / 4) << "too quiet to sit in a mix";
    }
}

// Each pitched sound, played at every position that uses it with the ratio the mixer picks,
// lands within 20 cents of the note that position stands for.
TEST_F(BuiltInSounds, PitchedInstrumentsPlayInTuneAtEveryPosition) {
    for (int instrument = 1; instrument <= 15; ++instrument) {
        if (kPercussion.contains(instrument)) continue;
        const InstrumentSounds& sounds =
            kInstrumentSounds[static_cast<std::size_t>(instrument - 1)];
        for (int index : {sounds.lower, sounds.upper}) {
            if (index < 0) continue;
            const SampleSlot& sound = set().sounds[static_cast<std::size_t>(index)];
            SCOPED_TRACE(testing::Message() << "instrument " << instrument << ", "
                                            << kSoundNames[static_cast<std::size_t>(index)].file);
            const auto samples = test::samplesOf(sound);
            // After the attack has settled.
            const auto recorded = test::estimatePitch(samples, kRate / 5, kRate, 150.0, 1200.0);
            ASSERT_TRUE(recorded.has_value());
            int positionsUsed = 0;
            for (int position = 1; position <= 13; ++position) {
                const auto source = voiceSource(set(), instrument, position);
                ASSERT_TRUE(source.has_value());
                if (source->sound != &sound) continue;
                ++positionsUsed;
                EXPECT_NEAR(test::centsBetween(*recorded * source->ratio, positionHz(position)),
                            0.0, 20.0)
                    << "at position " << position;
            }
            EXPECT_GT(positionsUsed, 0);
        }
    }
}

TEST_F(BuiltInSounds, NoTwoInstrumentsShareASound) {
    // A slip in the recipe table would give two instruments the same sound.
    for (int first = 1; first <= 15; ++first) {
        for (int second = first + 1; second <= 15; ++second) {
            const auto lower = [&](int instrument) {
                const auto index =
                    kInstrumentSounds[static_cast<std::size_t>(instrument - 1)].lower;
                return test::samplesOf(set().sounds[static_cast<std::size_t>(index)]);
            };
            EXPECT_NE(lower(first), lower(second)) << "instruments " << first << " and " << second;
        }
    }
}

}  // namespace
}  // namespace lantrel
