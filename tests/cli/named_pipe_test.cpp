// Named pipes where the verbs expect files: each is refused, or passed over as a missing file
// would be, instead of blocking the program for ever.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "model/vtq_gui_doc.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "support/test_sounds.h"

namespace lantrel {
namespace {

class NamedPipeTest : public ::testing::Test {
  protected:
    NamedPipeTest() {
        test::writeSoundFolder(dir / "waves", [](int) { return test::constantSamples(700, 900); });
        std::filesystem::remove(dir / "waves" / "sound1.wav");
        pipe(dir / "waves" / "sound1.wav");
        CVtqGuiDoc document;
        document.project().lane(0).putNote(0, 0, Note{1, 9});  // sound1.wav
        document.project().lane(0).putNote(1, 0, Note{2, 9});
        ProjectSettings settings = document.settings();
        settings.lanes[0].waveFolder = (dir / "waves").string();
        document.setSettings(settings);
        EXPECT_TRUE(document.save(dir / "p.vtm").ok());
        std::filesystem::create_directory(dir / "out");
    }
    static std::filesystem::path pipe(const std::filesystem::path& path) {
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path;
    }
    // The verb's exit status, or nothing when it had not ended within a minute.
    std::optional<int> run(std::vector<std::string> args) {
        args.insert(args.begin(), LANTREL_EXECUTABLE);
        test::ChildSetup setup;
        setup.output = dir / "said.txt";
        setup.environment = {{"SDL_AUDIODRIVER", "disk"},
                             {"SDL_DISKAUDIOFILE", (dir / "capture.raw").string()}};
        test::ChildProcess child(args, setup);
        return child.wait(std::chrono::seconds(60));
    }
    std::string said() const { return test::TempDir::read(dir / "said.txt"); }

    test::TempDir dir;
};

TEST_F(NamedPipeTest, AProjectOrAScoreThatIsAPipeIsRefused) {
    for (const auto& name : {"project.vtm", "score.vtq"}) {
        const auto path = pipe(dir / name);
        EXPECT_EQ(run({"info", path.string()}), 1) << name;
        EXPECT_NE(said().find(path.string() + " is not a regular file"), std::string::npos)
            << said();
    }
    EXPECT_EQ(
        run({"arrange", (dir / "new.vtm").string(), "upper:0:" + (dir / "score.vtq").string()}), 1);
    EXPECT_EQ(run({"export", (dir / "project.vtm").string()}), 1);
    EXPECT_NE(said().find("is not a regular file"), std::string::npos) << said();
}

TEST_F(NamedPipeTest, ASoundThatIsAPipeIsPassedOverLikeAMissingOne) {
    EXPECT_EQ(run({"export", (dir / "p.vtm").string(), "--out-dir", (dir / "out").string(),
                   "--no-video", "--name", "song"}),
              0)
        << said();
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / "song.wav"));
    // The built-in sound stands in for the pipe, so the lane is complete and plays.
    EXPECT_EQ(run({"play", (dir / "p.vtm").string(), "--seconds", "0.2"}), 0) << said();

    // A pipe where the join expects the sound: the join fails instead of waiting.
    pipe(dir / "out" / "clip.wav");
    EXPECT_EQ(run({"export", (dir / "p.vtm").string(), "--out-dir", (dir / "out").string(),
                   "--no-audio", "--join", "--name", "clip", "--fps", "1"}),
              1)
        << said();
}

}  // namespace
}  // namespace lantrel
