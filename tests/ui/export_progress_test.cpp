#include "app/export_progress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace lantrel {
namespace {

// Ten columns (twenty half-beats) at a rate of 100: the sound phase posts the mixer's sample
// out of the song's samples plus one second.
constexpr int kColumns = 10;
constexpr std::int64_t kRate = 100;

std::vector<int> shownAt(const std::vector<std::int64_t>& mixed, std::int64_t song, int loops) {
    std::vector<int> shown;
    for (const std::int64_t sample : mixed)
        shown.push_back(soundProgressHalfBeat(sample, song + kRate, kRate, loops, kColumns));
    return shown;
}

TEST(SoundProgressHalfBeat, OneRoundRunsThroughTheArrangementAndEndsOnItsLastHalfBeat) {
    EXPECT_EQ(shownAt({0, 100, 101, 500, 999, 1000, 1100, 5000}, 1000, 1),
              (std::vector<int>{0, 0, 2, 10, 19, 19, 19, 19}))
        << "the first second at the start; the ringing second and overshoots on the last";
}

TEST(SoundProgressHalfBeat, EachRoundStartsTheArrangementAgain) {
    EXPECT_EQ(shownAt({999, 1000, 1500, 2000, 2999, 3000, 3100}, 3000, 3),
              (std::vector<int>{19, 0, 10, 0, 19, 19, 19}));
    // 1001 samples in three rounds: the second starts at 333.67, the third at 667.33.
    EXPECT_EQ(shownAt({333, 334, 667, 668, 1000}, 1001, 3),
              (std::vector<int>{19, 0, 19, 0, 19}));
}

TEST(SoundProgressHalfBeat, NeverLeavesTheArrangement) {
    EXPECT_EQ(soundProgressHalfBeat(500, 1100, kRate, 2, 0), 0) << "no columns";
    EXPECT_EQ(soundProgressHalfBeat(500, kRate, kRate, 2, kColumns), 0) << "no song";
    EXPECT_EQ(soundProgressHalfBeat(500, 1100, kRate, 0, kColumns), 10) << "as one round";
    // Ninety-nine rounds of an hour's arrangement at 44100 Hz.
    constexpr std::int64_t kSong = 99LL * 3600 * 44100;
    constexpr int kHourColumns = 24000;
    for (std::int64_t mixed = 0; mixed <= kSong + 44100; mixed += kSong / 997) {
        const int shown = soundProgressHalfBeat(mixed, kSong + 44100, 44100, 99, kHourColumns);
        ASSERT_GE(shown, 0) << mixed;
        ASSERT_LT(shown, 2 * kHourColumns) << mixed;
    }
}

}  // namespace
}  // namespace lantrel
