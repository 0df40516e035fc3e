// Live playback through SDL, end to end, without a sound card: SDL's disk driver plays at
// real-time pace into a file, which must hold exactly the mixer's blocks in playing order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "audio/player.h"
#include "audio/sdl_wave_device.h"
#include "support/playback_fixture.h"

using lantrel::test::expectBlocksInOrder;
#include "support/temp_dir.h"

namespace lantrel {
namespace {

using namespace std::chrono_literals;

class SdlPlaybackTest : public ::testing::Test {
  protected:
    SdlPlaybackTest() : waves(test::writeToneSounds(dir / "waves")) {
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    }

    // Plays for a while through the disk driver and returns what it wrote.
    std::vector<std::int16_t> play(const Project& project, int column,
                                   std::chrono::milliseconds time) {
        Player player(std::make_unique<SdlWaveDevice>(), PlayerOptions{{dir / "rsrc"}});
        EXPECT_TRUE(player.prepare(project.settings()));
        EXPECT_TRUE(player.start(target, project, column, true));
        std::this_thread::sleep_for(time);
        EXPECT_TRUE(player.isPlaying()) << player.outputError();
        player.stop();
        const std::string bytes = test::TempDir::read(capture);
        std::vector<std::int16_t> values(bytes.size() / 2);
        std::memcpy(values.data(), bytes.data(), values.size() * 2);
        return values;
    }

    test::TempDir dir;
    std::filesystem::path waves;
    std::filesystem::path capture = dir / "capture.raw";
    test::RecordingTarget target;
};

TEST_F(SdlPlaybackTest, TheSoundCardGetsTheBlocksInPlayingOrder) {
    Project project;
    test::arrangeSong(project, waves, 5);  // 2.5 s, stereo, 44100 Hz
    const auto captured = play(project, 0, 4200ms);
    constexpr std::int64_t kRate = 44100;
    const auto expected = test::ExpectedSound(project, dir / "rsrc")
                              .blocks({0, kRate, 2 * kRate, 0, kRate, 2 * kRate});
    expectBlocksInOrder(captured, expected, 2, kRate, 3.5);
}

TEST_F(SdlPlaybackTest, AMonoPassFromAColumnWrapsToTheSongStart) {
    Project project;
    test::arrangeSong(project, waves, 5, false, 22050);
    const auto captured = play(project, 2, 3000ms);  // from 1 s; the block from 2 s ends the pass
    constexpr std::int64_t kRate = 22050;
    const auto expected =
        test::ExpectedSound(project, dir / "rsrc").blocks({kRate, 2 * kRate, 0, kRate, 2 * kRate});
    expectBlocksInOrder(captured, expected, 1, kRate, 2.3);
}

TEST_F(SdlPlaybackTest, WithoutASoundOutputPlaybackEndsSilently) {
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    Project project;
    test::arrangeSong(project, waves, 5);
    Player player(std::make_unique<SdlWaveDevice>(), PlayerOptions{{dir / "rsrc"}});
    ASSERT_TRUE(player.prepare(project.settings()));
    ASSERT_TRUE(player.start(target, project, 0, true));
    for (int wait = 0; wait < 20000 && player.isPlaying(); ++wait)
        std::this_thread::sleep_for(1ms);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_TRUE(player.outputFailed());
    EXPECT_FALSE(player.outputError().empty());
    EXPECT_TRUE(target.messages().empty());
    player.stop();
}

}  // namespace
}  // namespace lantrel
