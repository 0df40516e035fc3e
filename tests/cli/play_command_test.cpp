#include "cli/play_command.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "cli/command_line.h"
#include "model/vtq_gui_doc.h"
#include "support/playback_fixture.h"
#include "support/temp_dir.h"
#include "verb_outcome.h"

namespace lantrel {
namespace {

using namespace std::chrono_literals;

using test::Outcome;

class PlayCommandTest : public ::testing::Test {
  protected:
    PlayCommandTest() : waves(test::writeToneSounds(dir / "waves")) {
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", (dir / "capture.raw").c_str(), 1);
    }

    std::string saveProject(int columns, const std::string& name = "song.vtm") {
        CVtqGuiDoc document;
        test::arrangeSong(document.project(), waves, columns);
        EXPECT_TRUE(document.save(dir / name).ok());
        return (dir / name).string();
    }
    Outcome play(std::vector<std::string> args) {
        args.insert(args.begin(), "play");
        std::ostringstream out;
        std::ostringstream err;
        const std::span<const std::string> rest(args.begin() + 1, args.end());
        const int status = runPlayCommand(rest, out, err, {{dir / "rsrc"}});
        return {status, out.str(), err.str()};
    }

    test::TempDir dir;
    std::filesystem::path waves;
};

TEST(PlayPosition, ShowsBarBeatAndSongTime) {
    EXPECT_EQ(describePlayPosition(-1, 120, true), "bar 1 beat 1  0:00.0");
    EXPECT_EQ(describePlayPosition(9, 120, true), "bar 2 beat 1  0:02.2");
    EXPECT_EQ(describePlayPosition(7, 100, false), "bar 2 beat 1  0:02.1");
    EXPECT_EQ(describePlayPosition(251, 100, false), "bar 42 beat 3  1:15.3");
}

TEST_F(PlayCommandTest, BadCommandLinesAreUsageErrors) {
    const std::string project = saveProject(2);
    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {project, "--from"},
                                                                  {project, "--from", "-1"},
                                                                  {project, "--from", "x"},
                                                                  {project, "--seconds", "0"},
                                                                  {project, "--seconds", "soon"},
                                                                  {project, "--loud"},
                                                                  {project, project}}) {
        const Outcome result = play(args);
        EXPECT_EQ(result.status, kExitUsage) << result.err;
        EXPECT_TRUE(test::isOneUsageLine(result.err, "play")) << result.err;
    }
}

TEST_F(PlayCommandTest, ProjectsThatCannotPlayFailWithTheReason) {
    EXPECT_EQ(play({(dir / "none.vtm").string()}).status, kExitFailure);

    CVtqGuiDoc empty;
    ASSERT_TRUE(empty.save(dir / "empty.vtm").ok());
    const Outcome nothing = play({(dir / "empty.vtm").string()});
    EXPECT_EQ(nothing.status, kExitFailure);
    EXPECT_NE(nothing.err.find("empty"), std::string::npos);
}

TEST_F(PlayCommandTest, AnIncompleteLaneIsNamedAndNothingPlays) {
    const auto partial = test::writeToneSounds(dir / "partial");
    std::filesystem::remove(partial / "SOUND29.WAV");
    CVtqGuiDoc document;
    test::arrangeSong(document.project(), waves, 3);
    ProjectSettings settings = document.settings();
    settings.lanes[2].waveFolder = partial.string();
    document.setSettings(settings);
    ASSERT_TRUE(document.save(dir / "partial.vtm").ok());

    const Outcome result = play({(dir / "partial.vtm").string(), "--seconds", "5"});
    EXPECT_EQ(result.status, kExitFailure);
    EXPECT_NE(result.err.find("the lower lane's sounds are incomplete: 1 of 24"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find(partial.string()), std::string::npos);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir / "capture.raw")) << "the output was opened";
}

TEST_F(PlayCommandTest, PlaysForTheGivenTime) {
    const Outcome result = play({saveProject(4), "--from", "2", "--seconds", "0.6"});
    EXPECT_EQ(result.status, kExitSuccess) << result.err;
    EXPECT_NE(result.out.find("from column 2, in a loop"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("stopped at bar 1 beat"), std::string::npos) << result.out;
    EXPECT_GT(std::filesystem::file_size(dir / "capture.raw"), 44100u);
}

TEST_F(PlayCommandTest, AStartPastTheEndPlaysFromColumnZero) {
    const Outcome result = play({saveProject(2), "--from", "2", "--seconds", "0.2"});
    EXPECT_EQ(result.status, kExitSuccess) << result.err;
    EXPECT_NE(result.out.find("from column 0"), std::string::npos) << result.out;
}

TEST_F(PlayCommandTest, WithoutLoopItEndsAfterOnePass) {
    const Outcome result = play({saveProject(1), "--no-loop"});  // half a second of song
    EXPECT_EQ(result.status, kExitSuccess) << result.err;
    EXPECT_EQ(result.out.find("in a loop"), std::string::npos) << result.out;
}

TEST_F(PlayCommandTest, WithoutASoundOutputItFails) {
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const Outcome result = play({saveProject(2), "--seconds", "5"});
    EXPECT_EQ(result.status, kExitFailure);
    EXPECT_NE(result.err.find("sound output"), std::string::npos) << result.err;
}

// ALSA's own lines about a device it cannot open (eight on a machine without a sound card) do
// not reach the terminal: the user reads one line, Lantrel's. An ALSA configuration without
// any device stands in for the missing card, whatever the machine has.
TEST_F(PlayCommandTest, WithoutASoundCardTheUserReadsOneLine) {
    const auto config = dir.write("no-devices.conf", "");
    const std::string command = "SDL_AUDIODRIVER=alsa ALSA_CONFIG_PATH='" + config.string() +
                                "' '" + LANTREL_EXECUTABLE + "' play '" + saveProject(2) +
                                "' --seconds 5 >/dev/null 2>'" + (dir / "err.txt").string() + "'";
    const int raw = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, kExitFailure);
    const std::string said = test::TempDir::read(dir / "err.txt");
    EXPECT_TRUE(said.starts_with("lantrel play: cannot open the sound output")) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

// The real program, interrupted as a terminal would (Ctrl+C, or the terminal closing) or as a
// shutdown does: it stops playing and exits with 128 + the signal.
class PlaySignalTest : public PlayCommandTest, public ::testing::WithParamInterface<int> {};

TEST_P(PlaySignalTest, StopsCleanly) {
    const int signal = GetParam();
    const std::string project = saveProject(4);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDERR_FILENO);
        ::close(pipeEnds[0]);
        ::execl(LANTREL_EXECUTABLE, LANTREL_EXECUTABLE, "play", project.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    std::string said;
    char byte = 0;
    while (said.find('\n') == std::string::npos && ::read(pipeEnds[0], &byte, 1) == 1)
        said += byte;
    EXPECT_NE(said.find("playing"), std::string::npos) << said;
    std::this_thread::sleep_for(300ms);
    ::kill(child, signal);

    int status = 0;
    pid_t ended = 0;
    for (int wait = 0; wait < 2000 && ended == 0; ++wait) {
        ended = ::waitpid(child, &status, WNOHANG);
        if (ended == 0) std::this_thread::sleep_for(10ms);
    }
    if (ended == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "signal " << signal << " did not stop playback";
    }
    ::close(pipeEnds[0]);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
}

INSTANTIATE_TEST_SUITE_P(CtrlCHangUpAndTerminate, PlaySignalTest,
                         ::testing::Values(SIGINT, SIGHUP, SIGTERM));

}  // namespace
}  // namespace lantrel
