#include "app/export_progress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace lantrel {
namespace {

// Ten columns (twenty half-beats) at a rate of 100, as the sound phase would post them.
std::vector<int> shownAt(const std::vector<std::int64_t>& mixed, std::int64_t song, int loops) {
    std::vector<int> shown;
    for (const std::int64_t sample : mixed)
        shown.push_back(soundProgressHalfBeat(sample, song + 100, 100, loops, 10));
    return shown;
}

TEST(SoundProgressHalfBeat, EachRoundRunsThroughTheArrangementAndTheEndStaysOnItsLast) {
    EXPECT_EQ(shownAt({100, 101, 500, 999, 1000, 1100}, 1000, 1),
              (std::vector<int>{0, 2, 10, 19, 19, 19}));
    EXPECT_EQ(shownAt({999, 1000, 1500, 2999, 3000, 3100}, 3000, 3),
              (std::vector<int>{19, 0, 10, 19, 19, 19}));
    // Three rounds in 1001 samples: the second starts at 333.67, the third at 667.33.
    EXPECT_EQ(shownAt({333, 334, 667, 668}, 1001, 3), (std::vector<int>{19, 0, 19, 0}));
}

TEST(SoundProgressHalfBeat, NeverLeavesTheArrangement) {
    EXPECT_EQ(soundProgressHalfBeat(500, 1100, 100, 2, 0), 0) << "no columns";
    EXPECT_EQ(soundProgressHalfBeat(500, 100, 100, 2, 10), 0) << "no song";
    // Ninety-nine rounds of an hour at 44100 Hz, 24000 columns: no overflow on the way.
    constexpr std::int64_t kSong = 99LL * 3600 * 44100;
    for (std::int64_t mixed = 0; mixed <= kSong + 44100; mixed += kSong / 997) {
        const int shown = soundProgressHalfBeat(mixed, kSong + 44100, 44100, 99, 24000);
        ASSERT_TRUE(shown >= 0 && shown < 48000) << mixed << ": " << shown;
    }
}

}  // namespace
}  // namespace lantrel
