#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "audio/sample_slot.h"
#include "audio/timeline.h"
#include "model/project.h"
#include "model/project_file.h"
#include "model/vtq_gui_doc.h"
#include "support/child_process.h"
#include "support/command_output.h"
#include "support/temp_dir.h"
#include "support/test_sounds.h"
#include "verb_outcome.h"

namespace lantrel {
namespace {

using test::Outcome;

Outcome run(const std::vector<std::string>& args) {
    return test::runVerbs(args);
}

class CommandLineTest : public ::testing::Test {
  protected:
    std::string score(const std::string& name, const std::string& body) {
        return dir.write(name, body).string();
    }
    test::TempDir dir;
};

TEST_F(CommandLineTest, InfoDescribesAScore) {
    const auto path = score("song.vtq", "SCORE=005100005123\nTEMPO=120\nLOOP=Y\nEND=9\nTIME44=F\n");
    const Outcome result = run({"info", path});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "{\"kind\":\"score\",\"tempo\":120,\"loop\":true,\"end\":9,\"time44\":false,"
              "\"columns\":8,\"notes\":3}\n");
}

TEST_F(CommandLineTest, InfoDescribesANewProject) {
    ASSERT_EQ(run({"arrange", (dir / "empty.vtm").string()}).status, 0);
    const Outcome result = run({"info", (dir / "empty.vtm").string()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(
        result.out.starts_with("{\"kind\":\"project\",\"version\":1,\"settings\":{\"tempo\":100,"
                               "\"emulateTempo\":true,\"fourFour\":true,\"videoOn\":true,"
                               "\"fps\":10,\"audioOn\":true,\"join\":false,\"stereo\":true,"
                               "\"sampleRate\":44100,\"outputFolder\":\"\",\"fileName\":\"\","
                               "\"lanes\":[{\"label\":\"\",\"waveFolder\":\"\",\"instruments\":"
                               "[{\"pan\":32,\"volume\":100,\"pitchFactor\":1},"))
        << result.out;
    EXPECT_TRUE(result.out.ends_with(
        "\"brightness\":255},\"lanes\":["
        "{\"firstUsedColumn\":2147483647,\"lastUsedColumn\":-1,\"columnCount\":0,\"notes\":0},"
        "{\"firstUsedColumn\":2147483647,\"lastUsedColumn\":-1,\"columnCount\":0,\"notes\":0},"
        "{\"firstUsedColumn\":2147483647,\"lastUsedColumn\":-1,\"columnCount\":0,\"notes\":0}],"
        "\"columnCount\":0,\"round\":{\"samples\":0,\"sampleRate\":44100,\"seconds\":0}}\n"))
        << result.out;
}

TEST_F(CommandLineTest, ArrangePlacesScoresInOrderAndSaves) {
    const auto a = score("a.vtq", "SCORE=00510061\nTEMPO=132\nEND=3\n");
    const auto b = score("b.vtq", "SCORE=0071\nTEMPO=90\nEND=5\n");
    const auto out = (dir / "song.vtm").string();
    const Outcome arranged = run({"arrange", out, "upper:0:" + a, "2:10:" + b, "middle:1:" + a});
    ASSERT_EQ(arranged.status, 0) << arranged.err;
    EXPECT_NE(arranged.out.find("placed 2 columns on the upper lane at column 0"),
              std::string::npos);
    EXPECT_NE(arranged.out.find("placed 4 columns on the lower lane at column 10"),
              std::string::npos);

    const Outcome info = run({"info", out});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("\"tempo\":132"), std::string::npos);
    EXPECT_NE(info.out.find("\"fileName\":\"a\""), std::string::npos);
    EXPECT_NE(info.out.find(
                  "{\"firstUsedColumn\":10,\"lastUsedColumn\":10,\"columnCount\":11,\"notes\":1}"),
              std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("\"columnCount\":11,\"round\":{"), std::string::npos);

    // Building on the saved project keeps its tempo: the arrangement is not empty.
    const Outcome more = run({"arrange", out, "--from", out, "lower:0:" + b});
    ASSERT_EQ(more.status, 0) << more.err;
    EXPECT_NE(run({"info", out}).out.find("\"tempo\":132"), std::string::npos);
}

// A placement stores the score's folder and name for the exports, as the window does; the
// options replace them, and empty ones leave the project without (the installed demo).
TEST_F(CommandLineTest, ArrangeStoresTheExportsFolderAndNameItIsGiven) {
    const auto a = score("a.vtq", "SCORE=0051\nEND=2\n");
    const auto out = (dir / "song.vtm").string();
    ASSERT_EQ(run({"arrange", out, "upper:0:" + a}).status, 0);
    EXPECT_NE(run({"info", out})
                  .out.find("\"outputFolder\":\"" + dir.path().string() + "\",\"fileName\":\"a\""),
              std::string::npos);

    ASSERT_EQ(run({"arrange", out, "--out-dir", "", "--name", "", "upper:0:" + a}).status, 0);
    EXPECT_NE(run({"info", out}).out.find("\"outputFolder\":\"\",\"fileName\":\"\""),
              std::string::npos);

    const auto movies = std::filesystem::current_path() / "movies";
    ASSERT_EQ(run({"arrange", out, "--from", out, "--out-dir", "movies", "--name", "take"}).status,
              0);
    EXPECT_NE(run({"info", out})
                  .out.find("\"outputFolder\":\"" + movies.string() + "\",\"fileName\":\"take\""),
              std::string::npos);
    EXPECT_NE(run({"info", out}).out.find("\"columnCount\":1,\"round\""), std::string::npos);
}

TEST_F(CommandLineTest, ArrangeRefusesBadPlacementsWithoutSaving) {
    const auto good = score("good.vtq", "SCORE=0051\nEND=2\n");
    const auto noEnd = score("noend.vtq", "SCORE=0051\n");
    const auto out = (dir / "x.vtm").string();

    const Outcome missing = run({"arrange", out, "upper:0:" + (dir / "nope.vtq").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;

    const Outcome empty = run({"arrange", out, "upper:0:" + noEnd});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("END="), std::string::npos) << empty.err;

    const Outcome tooFar = run({"arrange", out, "upper:2000000:" + good});
    EXPECT_EQ(tooFar.status, 1);
    EXPECT_NE(tooFar.err.find("maximum"), std::string::npos) << tooFar.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    EXPECT_EQ(run({"arrange", out, "top:0:" + good}).status, 2);
    EXPECT_EQ(run({"arrange", out, "upper:-3:" + good}).status, 2);
    EXPECT_EQ(run({"arrange", out, "upper:" + good}).status, 2);
    EXPECT_EQ(run({"arrange", out, "--from"}).status, 2);
    EXPECT_EQ(run({"arrange"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(CommandLineTest, MalformedFilesAreReportedNotCrashedOn) {
    std::string forged = writeProjectFile(Project());
    forged.replace(forged.size() - 24, 8, std::string("\0\0\0\0\0\x94\x35\x77", 8));  // 0..2e9
    const auto path = dir.write("forged.vtm", forged);
    const Outcome info = run({"info", path.string()});
    EXPECT_EQ(info.status, 1);
    EXPECT_NE(info.err.find("lane 0"), std::string::npos) << info.err;

    const Outcome from = run({"arrange", (dir / "out.vtm").string(), "--from", path.string()});
    EXPECT_EQ(from.status, 1);
    EXPECT_EQ(run({"info", score("empty.vtq", "")}).status, 1);
    EXPECT_EQ(run({"info", (dir / "missing.vtq").string()}).status, 1);
}

// A project made with `arrange` whose lanes play sounds from a folder the test writes.
class ExportCommandTest : public CommandLineTest {
  protected:
    ExportCommandTest() {
        test::writeSoundFolder(dir / "sounds", [](int index) {
            std::vector<std::int16_t> samples;
            for (int i = 0; i < 2000; ++i)
                samples.push_back(static_cast<std::int16_t>((i * (7 + index)) % 3000 - 1500));
            return samples;
        });
        const auto a = score("a.vtq", "SCORE=00510062007300840095\nTEMPO=300\nEND=6\n");
        const auto b = score("b.vtq", "SCORE=5123AD05120000D1\nEND=5\n");
        EXPECT_EQ(
            run({"arrange", (dir / "demo.vtm").string(), "upper:0:" + a, "lower:2:" + b}).status,
            0);
        CVtqGuiDoc document;
        EXPECT_TRUE(document.open(dir / "demo.vtm").ok());
        ProjectSettings settings = document.settings();
        for (auto& lane : settings.lanes)
            lane.waveFolder = (dir / "sounds").string();
        settings.outputFolder.clear();
        settings.fileName.clear();
        document.setSettings(settings);
        EXPECT_TRUE(document.save(dir / "demo.vtm").ok());
    }
};

TEST_F(ExportCommandTest, WritesTheWavThatTheMixerRenders) {
    std::filesystem::create_directory(dir / "out");
    const Outcome result = run({"export", (dir / "demo.vtm").string(), "--no-video", "--out-dir",
                                (dir / "out").string(), "--rate", "22050"});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto wav = dir / "out" / "demo.wav";  // named after the project file
    EXPECT_NE(result.out.find(wav.string()), std::string::npos) << result.out;

    CVtqGuiDoc document;
    ASSERT_TRUE(document.open(dir / "demo.vtm").ok());
    ProjectSettings settings = document.settings();
    settings.sampleRate = 22050;
    std::array<SampleSet, 3> sets;
    for (std::size_t lane = 0; lane < 3; ++lane) {
        sets[lane] = loadSampleSet((dir / "sounds").string(), dir / "sounds");
        for (int instrument = 1; instrument <= 15; ++instrument)
            applyLaneSound(
                sets[lane], instrument,
                settings.lanes[lane].instruments[static_cast<std::size_t>(instrument - 1)].pan,
                100);
    }
    Timeline timeline;
    timeline.buildTimeline(document.project(), settings, sets);
    timeline.finishTimeline();
    const std::int64_t frames = timeline.songLength() + 22050;
    std::vector<std::int16_t> expected(static_cast<std::size_t>(frames) * 2);
    timeline.renderStereo(expected.data(), 0, frames);

    SampleSlot written;
    ASSERT_TRUE(written.load(wav));
    ASSERT_EQ(written.frames(), frames + 22050);
    EXPECT_EQ(written.samplesPerSec, 22050);
    EXPECT_EQ(std::memcmp(written.data.data() + 22050 * 4, expected.data(), expected.size() * 2),
              0);
}

TEST_F(ExportCommandTest, NamesRatesAndChannelsComeFromTheOptions) {
    std::filesystem::create_directory(dir / "o");
    const Outcome result = run({"export", (dir / "demo.vtm").string(), "--no-video", "--out-dir",
                                (dir / "o").string(), "--name", "take2", "--mono"});
    ASSERT_EQ(result.status, 0) << result.err;
    SampleSlot written;
    ASSERT_TRUE(written.load(dir / "o" / "take2.wav"));
    EXPECT_EQ(written.channels, 1);
    EXPECT_EQ(written.samplesPerSec, 44100);

    EXPECT_EQ(run({"export", (dir / "demo.vtm").string(), "--no-video", "--rate", "48000"}).status,
              2);
    EXPECT_EQ(run({"export", (dir / "demo.vtm").string(), "--no-video", "--name"}).status, 2);
    EXPECT_EQ(run({"export", "--no-video"}).status, 2);
    EXPECT_EQ(run({"export", (dir / "demo.vtm").string(), "--fps", "0"}).status, 2);
    EXPECT_EQ(run({"export", (dir / "demo.vtm").string(), "--no-video", "--no-audio"}).status, 2);
    EXPECT_EQ(run({"export", (dir / "nothing.vtm").string(), "--no-video"}).status, 1);
}

using test::commandOutput;

TEST_F(ExportCommandTest, AJoinedMovieIsOneFileThatFfprobeReads) {
    const auto folder = dir / "movie";
    std::filesystem::create_directory(folder);
    const Outcome result = run({"export", (dir / "demo.vtm").string(), "--out-dir", folder.string(),
                                "--name", "clip", "--join", "--fps", "5", "--rate", "22050"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("clip.avi"), std::string::npos) << result.out;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"clip.avi"});
    const std::string streams = commandOutput(
        "ffprobe -v error -show_entries stream=codec_type,codec_name,sample_rate -of csv=p=0 '" +
        (folder / "clip.avi").string() + "'");
    EXPECT_EQ(streams, "rawvideo,video\npcm_s16le,audio,22050\n");
}

TEST_F(ExportCommandTest, CtrlCCancelsTheExportAndLeavesNoFiles) {
    // A long song (one column a minute): 360 song frames, so the cancel is seen long before the
    // end.
    CVtqGuiDoc document;
    ASSERT_TRUE(document.open(dir / "demo.vtm").ok());
    ProjectSettings settings = document.settings();
    settings.tempo = 1;
    settings.emulateTempo = false;
    settings.fps = 1;
    document.setSettings(settings);
    ASSERT_TRUE(document.save(dir / "long.vtm").ok());
    std::filesystem::create_directory(dir / "c");

    // Ctrl+C arrives while the signal is blocked, as it would between two progress messages;
    // the export collects it as soon as it starts and cancels at its next poll.
    sigset_t interrupt, previous;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    pthread_sigmask(SIG_BLOCK, &interrupt, &previous);
    ::kill(::getpid(), SIGINT);
    const Outcome result = run(
        {"export", (dir / "long.vtm").string(), "--out-dir", (dir / "c").string(), "--no-audio"});
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    EXPECT_EQ(result.status, 130) << result.err;
    EXPECT_NE(result.err.find("cancelled"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(dir / "c"));
}

TEST_F(CommandLineTest, UsageErrorsExitWithTwo) {
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"frobnicate"}).status, 2);
    EXPECT_EQ(run({"info"}).status, 2);
    EXPECT_EQ(run({"info", "a", "b"}).status, 2);
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage"), std::string::npos);
}

TEST_F(CommandLineTest, TheExecutableReportsItsExitStatus) {
    const auto path = score("a.vtq", "SCORE=0051\nEND=2\n");
    auto statusOf = [](const std::string& command) {
        const int raw = std::system((command + " >/dev/null 2>&1").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    const std::string exe = LANTREL_EXECUTABLE;
    EXPECT_EQ(statusOf(exe + " info '" + path + "'"), 0);
    EXPECT_EQ(statusOf(exe + " info '" + (dir / "none.vtq").string() + "'"), 1);
    EXPECT_EQ(statusOf(exe + " bogus"), 2);
}

TEST_F(CommandLineTest, TheWindowWithoutADisplayEndsWithOneLine) {
    const auto log = dir / "log";
    test::ChildSetup setup;
    setup.output = log;
    setup.environment = {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}};
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{LANTREL_EXECUTABLE},
          std::vector<std::string>{LANTREL_EXECUTABLE, (dir / "p.vtm").string()}}) {
        test::ChildProcess window(args, setup);
        EXPECT_EQ(window.wait(std::chrono::seconds(30)), 1);
        std::ifstream in(log);
        const std::string said((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(said,
                  "lantrel: no display to open the window on (DISPLAY is not set); the verbs "
                  "work without one, see lantrel --help\n");
    }
}

}  // namespace
}  // namespace lantrel
