#include "audio/player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <thread>

#include "model/vtq_gui_doc.h"
#include "support/playback_fixture.h"
#include "support/temp_dir.h"
#include "support/test_wave_device.h"

namespace lantrel {
namespace {

using namespace std::chrono_literals;
using test::RecordingTarget;
using test::TestWaveDevice;

constexpr std::int64_t kRate = 44100;
constexpr int kSongColumns = 5;  // 2.5 seconds at tempo 120

template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds timeout = 20s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

std::int64_t steadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class PlayerTest : public ::testing::Test {
  protected:
    PlayerTest() : waves(test::writeToneSounds(dir / "waves")) {
        test::arrangeSong(project, waves, kSongColumns);
    }

    Player& makePlayer(TestWaveDevice::Pace pace = TestWaveDevice::Pace::Manual, bool keep = true) {
        auto owned = std::make_unique<TestWaveDevice>(pace, keep);
        device = owned.get();
        player = std::make_unique<Player>(std::move(owned), PlayerOptions{{dir / "rsrc"}});
        return *player;
    }
    Player& preparedPlayer(TestWaveDevice::Pace pace = TestWaveDevice::Pace::Manual) {
        Player& made = makePlayer(pace);
        EXPECT_TRUE(made.prepare(project.settings()));
        return made;
    }
    // Plays whole blocks, each once the worker has queued all three again.
    void playBlocks(int count) {
        for (int block = 0; block < count; ++block) {
            ASSERT_TRUE(
                waitUntil([&] { return device->queuedCount() == WaveDevice::kBufferCount; }));
            device->play(device->samples(device->nextIndex()).size() /
                         static_cast<std::size_t>(device->channels()));
        }
    }
    std::vector<std::int16_t> expected(const std::vector<std::int64_t>& starts) const {
        return test::ExpectedSound(project, dir / "rsrc").blocks(starts);
    }

    test::TempDir dir;
    std::filesystem::path waves;
    Project project;
    RecordingTarget target;
    TestWaveDevice* device = nullptr;
    std::unique_ptr<Player> player;
};

// --- what is played -------------------------------------------------------------------------

TEST_F(PlayerTest, AShortSongPlaysItsBlocksThenWrapsToTheSongStart) {
    Player& playing = preparedPlayer();
    ASSERT_TRUE(playing.start(target, project, 0, true));
    playBlocks(7);
    playing.stop();
    // Block 2 holds the last half second of the song and half a second of ringing.
    EXPECT_TRUE(device->played() == expected({0, kRate, 2 * kRate, 0, kRate, 2 * kRate, 0}));
}

TEST_F(PlayerTest, APassFromAColumnEndsWithTheBlockThatReachesTheSongEnd) {
    Player& playing = preparedPlayer();
    ASSERT_TRUE(playing.start(target, project, 3, true));  // 1.5 s: one block reaches 2.5 s exactly
    playBlocks(5);
    playing.stop();
    EXPECT_TRUE(device->played() == expected({66150, 0, kRate, 2 * kRate, 0}));
}

TEST_F(PlayerTest, AStartColumnAtOrPastTheSongEndStartsAtTheSongStart) {
    for (const int column : {kSongColumns, kSongColumns + 4}) {
        Player& playing = preparedPlayer();
        ASSERT_TRUE(playing.start(target, project, column, true));
        playBlocks(2);
        playing.stop();
        EXPECT_TRUE(device->played() == expected({0, kRate})) << "column " << column;
    }
}

TEST_F(PlayerTest, WithoutLoopOnePassPlaysAndPlaybackEndsByItself) {
    Player& playing = preparedPlayer();
    ASSERT_TRUE(playing.start(target, project, 0, false));
    playBlocks(1);
    device->play(2 * kRate);  // nothing more was queued: the pass is complete
    ASSERT_TRUE(waitUntil([&] { return !playing.isPlaying(); }));
    EXPECT_FALSE(device->isOpen());
    EXPECT_FALSE(playing.outputFailed());
    EXPECT_TRUE(device->played() == expected({0, kRate, 2 * kRate}));
}

TEST_F(PlayerTest, RefillFromAnotherThreadKeepsTheBlocksInOrder) {
    Player& playing = preparedPlayer();
    ASSERT_TRUE(playing.start(target, project, 0, true));
    std::atomic<bool> done{false};
    std::thread meddler([&] {
        while (!done) {
            EXPECT_TRUE(playing.refill());
            std::this_thread::sleep_for(100us);
        }
    });
    playBlocks(5);
    done = true;
    meddler.join();
    playing.stop();
    EXPECT_TRUE(device->played() == expected({0, kRate, 2 * kRate, 0, kRate}));
}

// --- preparing and failing ------------------------------------------------------------------

TEST_F(PlayerTest, AnIncompleteLaneRefusesToPlayUnlessTheBuiltInFolderHasTheSound) {
    const auto partial = test::writeToneSounds(dir / "partial");
    std::filesystem::remove(partial / "sound27.wav");
    ProjectSettings settings = project.settings();
    settings.lanes[1].waveFolder = partial.string();

    Player& playing = makePlayer();
    EXPECT_FALSE(playing.prepare(settings));
    EXPECT_EQ(playing.failure().lane, 1);
    EXPECT_EQ(playing.failure().missingSounds, 1);
    EXPECT_FALSE(playing.start(target, project, 0, true));
    EXPECT_FALSE(playing.isPlaying());
    EXPECT_FALSE(playing.refill());
    EXPECT_TRUE(target.messages().empty());

    test::writeToneSounds(dir / "rsrc");
    EXPECT_TRUE(playing.prepare(settings));
    EXPECT_EQ(playing.failure().lane, -1);
    EXPECT_TRUE(playing.start(target, project, 0, true));
}

TEST_F(PlayerTest, NothingStartsBeforePrepare) {
    Player& playing = makePlayer();
    EXPECT_FALSE(playing.start(target, project, 0, true));
    EXPECT_FALSE(playing.isPlaying());
    EXPECT_EQ(device->opens(), 0);
}

TEST_F(PlayerTest, AnOutputThatCannotOpenEndsPlaybackSilently) {
    Player& playing = preparedPlayer();
    device->refuseToOpen(true);
    ASSERT_TRUE(playing.start(target, project, 0, true));
    ASSERT_TRUE(waitUntil([&] { return !playing.isPlaying(); }));
    EXPECT_TRUE(playing.outputFailed());
    EXPECT_NE(playing.outputError().find("refuses"), std::string::npos);
    EXPECT_TRUE(target.messages().empty());
    playing.stop();

    device->refuseToOpen(false);
    ASSERT_TRUE(playing.start(target, project, 0, true));
    EXPECT_TRUE(target.waitForCount(1, 20s));
    EXPECT_FALSE(playing.outputFailed());
}

// --- the posted position --------------------------------------------------------------------

TEST(PlayerPosition, HalfBeatsAndPostingPeriods) {
    EXPECT_EQ(Player::halfBeatAt(44100, 120, 44100), 4u);
    EXPECT_EQ(Player::halfBeatAt(44099, 120, 44100), 3u);
    EXPECT_EQ(Player::halfBeatAt(22050, 99, 22050), 3u);
    EXPECT_EQ(Player::positionPeriod(10), 100ms);
    EXPECT_EQ(Player::positionPeriod(15), 66ms);
    EXPECT_EQ(Player::positionPeriod(1), 1000ms);
    EXPECT_EQ(Player::positionPeriod(30), 66ms);
    EXPECT_EQ(Player::positionPeriod(0), 66ms) << "a damaged frame rate must not divide by zero";
}

// Every position posted after a buffer came back counts from that buffer's block, and never
// runs past its end.
TEST_F(PlayerTest, PositionsCountFromTheBlockThatPlays) {
    Player& playing = preparedPlayer();
    const std::int64_t before = steadyMilliseconds();
    ASSERT_TRUE(playing.start(target, project, 3, true));
    for (const std::int64_t tag :
         {std::int64_t{66150}, std::int64_t{0}, kRate, 2 * kRate, std::int64_t{0}}) {
        if (tag != 66150) playBlocks(1);
        ASSERT_TRUE(waitUntil([&] { return device->queuedCount() == 3; }));
        const std::size_t seen = target.messages().size();
        ASSERT_TRUE(target.waitForCount(seen + 2, 20s));
        const auto messages = target.messages();
        for (std::size_t k = seen; k < messages.size(); ++k) {
            EXPECT_EQ(messages[k].message, kMessagePlayPosition);
            EXPECT_GE(messages[k].wParam, Player::halfBeatAt(tag, 120, kRate)) << "block " << tag;
            EXPECT_LE(messages[k].wParam, Player::halfBeatAt(tag + kRate - 1, 120, kRate))
                << "block " << tag;
        }
    }
    playing.stop();
    const auto messages = target.messages();
    EXPECT_GE(messages.front().lParam, before);
    EXPECT_LE(messages.back().lParam, steadyMilliseconds());
}

std::int64_t medianGap(const std::vector<RecordingTarget::Message>& messages) {
    std::vector<std::int64_t> gaps;
    for (std::size_t k = 1; k < messages.size(); ++k)
        gaps.push_back(messages[k].lParam - messages[k - 1].lParam);
    std::sort(gaps.begin(), gaps.end());
    return gaps.empty() ? 0 : gaps[gaps.size() / 2];
}

TEST_F(PlayerTest, PositionsFollowTheSoundAtTheFrameRateUpToFifteenPerSecond) {
    for (const int fps : {10, 30}) {
        ProjectSettings settings = project.settings();
        settings.fps = fps;
        Player& playing = makePlayer(TestWaveDevice::Pace::RealTime);
        ASSERT_TRUE(playing.prepare(settings));
        RecordingTarget positions;
        ASSERT_TRUE(playing.start(positions, project, 2, true));
        ASSERT_TRUE(positions.waitForCount(1, 20s));
        std::this_thread::sleep_for(1200ms);
        playing.stop();

        const auto messages = positions.messages();
        const std::int64_t period = fps == 10 ? 100 : 66;
        EXPECT_GE(medianGap(messages), period) << fps << " fps";
        EXPECT_LE(medianGap(messages), period + period / 2) << fps << " fps";
        // Tempo 120 is four half-beats a second, from column 2 (half-beat 4).
        for (const auto& message : messages) {
            const double seconds =
                static_cast<double>(message.lParam - messages.front().lParam) / 1000.0;
            EXPECT_NEAR(static_cast<double>(message.wParam), 4.0 + 4.0 * seconds, 1.5)
                << fps << " fps";
        }
    }
}

TEST_F(PlayerTest, AStalledOutputHoldsThePositionAndStillStops) {
    Player& playing = preparedPlayer(TestWaveDevice::Pace::RealTime);
    ASSERT_TRUE(playing.start(target, project, 0, true));
    ASSERT_TRUE(target.waitForCount(1, 20s));
    device->stall(true);
    std::this_thread::sleep_for(1300ms);
    auto stopping = std::async(std::launch::async, [&] { playing.stop(); });
    ASSERT_EQ(stopping.wait_for(20s), std::future_status::ready)
        << "stop hangs on a stalled output";
    EXPECT_FALSE(device->isOpen());
    EXPECT_FALSE(playing.isPlaying());
    const auto messages = target.messages();
    for (const auto& message : messages)
        EXPECT_LE(message.wParam, 3u) << "ran past the first block";
    EXPECT_EQ(messages.back().wParam, 3u);
}

// --- threads --------------------------------------------------------------------------------

TEST_F(PlayerTest, StartAndStopInATightLoop) {
    Player& playing = makePlayer(TestWaveDevice::Pace::RealTime, false);
    constexpr int kRounds = 60;
    for (int round = 0; round < kRounds; ++round) {
        if (round % 10 == 0) {
            ASSERT_TRUE(playing.prepare(project.settings()));
        }
        ASSERT_TRUE(playing.start(target, project, round % 7, round % 2 == 0));
        if (round % 3 == 0) std::this_thread::sleep_for(2ms);
        if (round % 4 == 0) {
            ASSERT_TRUE(playing.start(target, project, 1, true)) << "restart";
        }
        playing.stop();
        EXPECT_FALSE(playing.isPlaying());
        EXPECT_FALSE(device->isOpen());
    }
    EXPECT_EQ(device->opens(), kRounds + (kRounds + 3) / 4) << "every start opened the output once";
}

TEST_F(PlayerTest, EditsThroughTheDocumentWhilePlaying) {
    CVtqGuiDoc document;
    test::arrangeSong(document.project(), waves, kSongColumns);
    Player& playing = makePlayer(TestWaveDevice::Pace::RealTime, false);
    ASSERT_TRUE(playing.prepare(document.settings()));
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(playing.start(target, document.project(), round % 6, true));
        EXPECT_GT(document.PlaceScoreText("SCORE=0051006200730084\nEND=5\n", round % 3, round), 0);
        EXPECT_TRUE(document.InsertCells(1, 2, 3));
        document.undo();
        EXPECT_TRUE(document.ClearCells(2, 0, 1));
        if (round % 5 == 0) std::this_thread::sleep_for(20ms);
        EXPECT_GT(document.columnCount(-1), 0);
        if (round % 2 == 0) playing.stop();
    }
    playing.stop();
    EXPECT_FALSE(device->isOpen());
}

}  // namespace
}  // namespace lantrel
