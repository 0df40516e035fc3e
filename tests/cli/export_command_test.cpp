// The export verb tried as a hostile or unlucky user would: names from someone else's project,
// missing folders, a full disk, signals from a closing terminal or a shutdown.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "cli/command_line.h"
#include "model/vtq_gui_doc.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "support/test_sounds.h"
#include "verb_outcome.h"

namespace lantrel {
namespace {

using namespace std::chrono_literals;

using test::Outcome;

Outcome run(const std::vector<std::string>& args) { return test::runVerbs(args); }

std::vector<std::string> entriesOf(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A short song whose lanes play sounds the test writes, saved as projects with the settings a
// test asks for.
class ExportFaultTest : public ::testing::Test {
  protected:
    ExportFaultTest() {
        test::writeSoundFolder(dir / "sounds",
                               [](int) { return test::constantSamples(900, 3000); });
        const auto score = dir.write("a.vtq", "SCORE=00510062007300840095\nEND=6\n");
        EXPECT_EQ(run({"arrange", project().string(), "upper:0:" + score.string()}).status, 0);
        std::filesystem::create_directory(out());
        save([](ProjectSettings&) {});
    }
    std::filesystem::path project() const { return dir / "p.vtm"; }
    std::filesystem::path out() const { return dir / "out"; }
    // Saves the project with its sounds and `change` applied to its settings.
    template <typename Change>
    void save(Change change) {
        CVtqGuiDoc document;
        ASSERT_TRUE(document.open(project()).ok());
        ProjectSettings settings = document.settings();
        for (auto& lane : settings.lanes)
            lane.waveFolder = (dir / "sounds").string();
        settings.outputFolder = out().string();
        settings.fileName = "song";
        change(settings);
        document.setSettings(settings);
        ASSERT_TRUE(document.save(project()).ok());
    }
    Outcome exportSound(std::vector<std::string> options = {}) {
        std::vector<std::string> args = {"export", project().string(), "--no-video"};
        args.insert(args.end(), options.begin(), options.end());
        return run(args);
    }
    test::ChildProcess launch(std::vector<std::string> args, test::ChildSetup setup = {}) {
        args.insert(args.begin(), {LANTREL_EXECUTABLE, "export", project().string()});
        setup.output = dir / "child.txt";
        return test::ChildProcess(args, setup);
    }
    std::string childSaid() const { return test::TempDir::read(dir / "child.txt"); }

    test::TempDir dir;
};

TEST_F(ExportFaultTest, AFileNameFromTheProjectCannotNameAFileOutsideTheFolder) {
    const auto precious = dir.write("out/precious.txt", "the user's own words");
    std::filesystem::create_directories(dir / "a" / "b");
    for (const std::string& name :
         {std::string("precious.txt\0", 13), std::string("../../escaped"), (dir / "abs").string(),
          std::string("back\\slash"), std::string("bell\a"), std::string(".."), std::string("")}) {
        save([&](ProjectSettings& settings) { settings.fileName = name; });
        const Outcome result = exportSound({"--stereo"});
        if (name.empty()) {  // an empty stored name means the project file's own name
            EXPECT_EQ(result.status, 0) << result.err;
            std::filesystem::remove(out() / "p.wav");
            continue;
        }
        EXPECT_EQ(result.status, 1) << name;
        EXPECT_NE(result.err.find("cannot name an output file"), std::string::npos) << result.err;
    }
    EXPECT_EQ(test::TempDir::read(precious), "the user's own words");
    EXPECT_EQ(entriesOf(out()), std::vector<std::string>{"precious.txt"});
    EXPECT_FALSE(std::filesystem::exists(dir / "escaped.wav"));
    EXPECT_FALSE(std::filesystem::exists(dir / "abs.wav"));
}

TEST_F(ExportFaultTest, TheNameOptionAndTheFolderAreCheckedAlike) {
    Outcome result = exportSound({"--name", "../up"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("'../up' cannot name an output file"), std::string::npos)
        << result.err;
    result = exportSound({"--name", "tab\there"});
    EXPECT_NE(result.err.find("'tab\\x09here'"), std::string::npos) << result.err;

    result = exportSound({"--out-dir", out().string() + std::string("\0/etc", 5)});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("holds a NUL byte"), std::string::npos) << result.err;
    EXPECT_TRUE(entriesOf(out()).empty());

    EXPECT_EQ(exportSound({"--name", "take 2"}).status, 0);
    EXPECT_EQ(entriesOf(out()), std::vector<std::string>{"take 2.wav"});
}

TEST_F(ExportFaultTest, AnEmptyFolderIsABadCommandLine) {
    const Outcome result = exportSound({"--out-dir", ""});
    EXPECT_EQ(result.status, kExitUsage);
    EXPECT_NE(result.err.find("--out-dir needs a folder"), std::string::npos) << result.err;
}

TEST_F(ExportFaultTest, AMissingFolderIsReportedAndNotCreated) {
    const auto missing = dir / "missing" / "deeper";
    Outcome result = exportSound({"--out-dir", missing.string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("the output folder " + missing.string() + " does not exist"),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

    result = exportSound({"--out-dir", dir.write("a-file", "").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("is not a folder"), std::string::npos) << result.err;

    // A folder stored by the Windows program ends in a backslash; it is dropped, and no folder
    // named with it appears.
    save([&](ProjectSettings& settings) { settings.outputFolder = out().string() + "\\"; });
    result = exportSound();
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(entriesOf(out()), std::vector<std::string>{"song.wav"});
    EXPECT_FALSE(std::filesystem::exists(out().string() + "\\"));
}

TEST_F(ExportFaultTest, AnUnexpectedErrorIsAMessageAndAFailure) {
    // Without a stored folder the files go to the current one, which here no longer exists.
    save([](ProjectSettings& settings) { settings.outputFolder.clear(); });
    std::filesystem::create_directory(dir / "gone");
    test::ChildSetup setup;
    setup.directory = dir / "gone";
    setup.removeDirectory = true;
    auto child = launch({"--no-video"}, setup);
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.wait(), 1) << childSaid();
    EXPECT_NE(childSaid().find("lantrel export: "), std::string::npos) << childSaid();
}

TEST_F(ExportFaultTest, AFullDiskKeepsTheFilesOfThePreviousRun) {
    // A file size limit stands in for the full disk: the new files cannot grow past 200 kB.
    const std::string oldSound(300'000, 's');
    const std::string oldVideo(300'000, 'v');
    dir.write("out/song.wav", oldSound);
    dir.write("out/song.avi", oldVideo);
    test::ChildSetup setup;
    setup.fileSizeLimit = 200'000;
    for (const auto& options :
         std::vector<std::vector<std::string>>{{"--no-video"}, {"--no-audio"}, {"--join"}}) {
        auto child = launch(options, setup);
        ASSERT_TRUE(child.started());
        EXPECT_EQ(child.wait(), 1) << options[0] << ": " << childSaid();
        EXPECT_NE(childSaid().find("cannot write"), std::string::npos) << childSaid();
        EXPECT_EQ(entriesOf(out()), (std::vector<std::string>{"song.avi", "song.wav"}));
        EXPECT_TRUE(test::TempDir::read(out() / "song.wav") == oldSound) << options[0];
        EXPECT_TRUE(test::TempDir::read(out() / "song.avi") == oldVideo) << options[0];
    }
}

// Waits until the export has begun to write, so that the signal comes in the middle of it.
bool waitForAFileIn(const std::filesystem::path& folder) {
    for (int round = 0; round < 6000; ++round) {
        if (!std::filesystem::is_empty(folder)) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST_F(ExportFaultTest, AClosedTerminalOrAShutdownCancelsCleanly) {
    // A long song (one column a minute) at one frame a second: minutes of video to write.
    save([](ProjectSettings& settings) {
        settings.tempo = 1;
        settings.emulateTempo = false;
        settings.fps = 1;
    });
    for (const int signal : {SIGTERM, SIGHUP}) {
        auto child = launch({"--join"});
        ASSERT_TRUE(child.started());
        ASSERT_TRUE(waitForAFileIn(out())) << childSaid();
        child.signal(signal);
        EXPECT_EQ(child.wait(), 128 + signal) << childSaid();
        EXPECT_NE(childSaid().find("cancelled by SIG"), std::string::npos) << childSaid();
        EXPECT_TRUE(entriesOf(out()).empty()) << "no file of the run is left";
    }
}

TEST_F(ExportFaultTest, TheMp4OptionsGoTogetherOnlyWhereTheyMeanSomething) {
    const std::vector<std::vector<std::string>> wrong = {
        {"--scale", "2"},          {"--pad-16x9"},           {"--mp4", "--join"},
        {"--mp4", "--no-video"},   {"--mp4", "--flac"},      {"--flac", "--join"},
        {"--mp4", "--scale", "6"}, {"--mp4", "--crf", "52"}, {"--mp4", "--crf", "high"},
        {"--mp4", "--preset", ""}};
    for (const auto& options : wrong) {
        std::vector<std::string> args = {"export", project().string()};
        args.insert(args.end(), options.begin(), options.end());
        const Outcome result = run(args);
        EXPECT_EQ(result.status, kExitUsage) << options[0] << " " << options.back();
        EXPECT_TRUE(test::isOneUsageLine(result.err, "export")) << result.err;
    }
    EXPECT_TRUE(entriesOf(out()).empty());
    // The project's own join is refused for a FLAC sound too, before anything is written.
    save([](ProjectSettings& settings) { settings.join = true; });
    const Outcome joined = run({"export", project().string(), "--flac"});
    EXPECT_EQ(joined.status, kExitFailure);
    EXPECT_NE(joined.err.find("cannot be joined"), std::string::npos) << joined.err;
    EXPECT_TRUE(entriesOf(out()).empty());
}

TEST_F(ExportFaultTest, RoundsAndColumnsOutOfRangeAreABadCommandLine) {
    // The arranged score has five columns, 0 to 4.
    const std::vector<std::vector<std::string>> wrong = {
        {"--loops", "0"},   {"--loops", "100"},          {"--loops", "two"},
        {"--fade", "-1"},   {"--fade", "60.5"},          {"--fade", "nan"},
        {"--from", "-1"},   {"--from", "3", "--to", "2"}, {"--to", "5"},
        {"--from", "5"}};
    for (const auto& options : wrong) {
        const Outcome result = exportSound(options);
        EXPECT_EQ(result.status, kExitUsage) << options[0] << " " << options.back();
        EXPECT_TRUE(test::isOneUsageLine(result.err, "export")) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_TRUE(entriesOf(out()).empty()) << "no file touched";
    EXPECT_NE(exportSound({"--to", "5"}).err.find("--to 5 lies past the arrangement's end (its "
                                                  "last column is 4)"),
              std::string::npos);
}

// What `info` says a round is, the export repeats: three rounds of columns 1 to 4 make a sound
// of three such rounds and the two seconds around them.
TEST_F(ExportFaultTest, InfoTellsTheRoundThatTheLoopsRepeat) {
    save([](ProjectSettings& settings) {
        settings.stereo = false;
        settings.emulateTempo = false;  // tempo 100 as it stands: a column is 26460 samples
    });
    const Outcome info = run({"info", project().string()});
    std::smatch round;
    ASSERT_TRUE(std::regex_search(
        info.out, round, std::regex(R"("round":\{"samples":([0-9]+),"sampleRate":44100,)")))
        << info.out;
    const long long samples = std::stoll(round[1]);
    EXPECT_EQ(samples, 5 * 26460);

    ASSERT_EQ(exportSound({"--loops", "3", "--fade", "0.5", "--from", "1"}).status, 0);
    const auto bytes = std::filesystem::file_size(out() / "song.wav");
    EXPECT_EQ(bytes, 44u + 2u * static_cast<std::uintmax_t>(3 * (samples - 26460) + 2 * 44100));
}

TEST_F(ExportFaultTest, AnMp4ComesAloneAndTheSummaryGivesItsSizeAndSpeed) {
    const Outcome result = run({"export", project().string(), "--mp4", "--scale", "1"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(entriesOf(out()), std::vector<std::string>{"song.mp4"});
    EXPECT_TRUE(std::regex_match(result.out, std::regex("wrote " + (out() / "song.mp4").string() +
                                                        R"( \([0-9]+ kB\) in [0-9]+\.[0-9] s, )"
                                                        R"([0-9]+\.[0-9]× real time\n)")))
        << result.out;
    EXPECT_EQ(result.err, "") << "no encoder statistics, no progress line off a terminal";

    const Outcome sounds = exportSound({"--flac", "--stems"});
    ASSERT_EQ(sounds.status, 0) << sounds.err;
    EXPECT_EQ(entriesOf(out()),
              (std::vector<std::string>{"song.flac", "song.mp4", "song_lower.flac",
                                        "song_middle.flac", "song_upper.flac"}));
    EXPECT_NE(sounds.out.find("song.flac ("), std::string::npos) << sounds.out;
    EXPECT_NE(sounds.out.find(", " + (out() / "song_middle.flac").string()), std::string::npos);
    EXPECT_NE(sounds.out.find(" and " + (out() / "song_lower.flac").string()), std::string::npos);
}

TEST_F(ExportFaultTest, AnEncoderThatWillNotOpenIsAClearFailure) {
    const Outcome result = run({"export", project().string(), "--mp4", "--preset", "glacial"});
    EXPECT_EQ(result.status, kExitFailure);
    EXPECT_NE(result.err.find("lantrel export: cannot open the H.264 encoder libx264 (preset "
                              "\"glacial\", crf 18)"),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(entriesOf(out()).empty());
}

TEST_F(ExportFaultTest, AFullDiskOrASignalLeavesNoMp4OfTheRun) {
    const std::string oldMovie(300'000, 'm');
    dir.write("out/song.mp4", oldMovie);
    test::ChildSetup setup;
    setup.fileSizeLimit = 8'000;
    auto full = launch({"--mp4"}, setup);
    ASSERT_TRUE(full.started());
    EXPECT_EQ(full.wait(), 1) << childSaid();
    EXPECT_NE(childSaid().find("cannot write"), std::string::npos) << childSaid();
    EXPECT_EQ(entriesOf(out()), std::vector<std::string>{"song.mp4"});
    EXPECT_TRUE(test::TempDir::read(out() / "song.mp4") == oldMovie);

    std::filesystem::remove(out() / "song.mp4");
    save([](ProjectSettings& settings) {  // minutes of movie at one frame a second
        settings.tempo = 1;
        settings.emulateTempo = false;
        settings.fps = 1;
    });
    auto child = launch({"--mp4", "--stems"});
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(waitForAFileIn(out())) << childSaid();
    child.signal(SIGINT);
    EXPECT_EQ(child.wait(), 130) << childSaid();
    EXPECT_NE(childSaid().find("cancelled by SIGINT"), std::string::npos) << childSaid();
    EXPECT_TRUE(entriesOf(out()).empty()) << "no file of the run is left";
}

}  // namespace
}  // namespace lantrel
