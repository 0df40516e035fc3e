#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

#include "base/install_dirs.h"
#include "cli/command_line.h"
#include "support/fake_sequencer.h"
#include "support/temp_dir.h"

namespace lantrel {
namespace {

struct ProgramRun {
    int status;
    std::string out;
    std::string err;
};

// Runs a copy of the program installed as dir/bin/lantrel, so that its built-in folder is the
// installation's (dir/share/lantrel/rsrc), with the user's data folder in dir/xdg.
class ImportCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir / "bin");
        std::filesystem::copy_file(LANTREL_EXECUTABLE, dir / "bin" / "lantrel");
    }
    std::filesystem::path builtInFolder() const {
        return (dir / "bin" / kBinDirToDataDir / "rsrc").lexically_normal();
    }
    ProgramRun importFrom(const std::filesystem::path& executable,
                          const std::filesystem::path& program = {}) {
        const auto lantrel = program.empty() ? dir / "bin" / "lantrel" : program;
        const std::string command = "XDG_DATA_HOME='" + (dir / "xdg").string() + "' '" +
                                    lantrel.string() + "' import '" + executable.string() +
                                    "' >'" + (dir / "out").string() + "' 2>'" +
                                    (dir / "err").string() + "'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::TempDir::read(dir / "out"),
                test::TempDir::read(dir / "err")};
    }
    std::filesystem::path sequencer(test::Waves waves = test::Waves::AsNamed) {
        static const std::string executable =
            test::FakeExecutable(660'000).placeAtKnownOffsets(0, 1).build();
        return test::writeFakeSequencer(dir / "velto", executable, waves);
    }
    static std::size_t count(const std::string& text, const std::string& what) {
        std::size_t found = 0;
        for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++found;
        return found;
    }
    test::TempDir dir;
};

TEST_F(ImportCommandTest, ImportsIntoTheInstallationsBuiltInFolder) {
    const ProgramRun run = importFrom(sequencer());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(count(run.out, ": written\n"), 4u) << run.out;
    EXPECT_EQ(count(run.out, ": copied\n"), 24u) << run.out;
    EXPECT_NE(run.out.find("icons.bmp: written\n"), std::string::npos);
    EXPECT_NE(run.out.find("SOUND29.WAV: copied\n"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(builtInFolder() / "icons.bmp"), 20'588u);
    EXPECT_EQ(test::TempDir::read(builtInFolder() / "sound7.wav"), test::fakeSound(11));
    EXPECT_FALSE(std::filesystem::exists(dir / "xdg"));
    EXPECT_FALSE(std::filesystem::exists(dir / "bin" / "rsrc"));
}

// A build tree keeps the folder beside the program, and there it stays the built-in one.
TEST_F(ImportCommandTest, ImportsIntoTheFolderBesideTheProgramWhereThereIsOne) {
    std::filesystem::create_directories(dir / "build" / "rsrc");
    std::filesystem::copy_file(LANTREL_EXECUTABLE, dir / "build" / "lantrel");
    const ProgramRun run = importFrom(sequencer(), dir / "build" / "lantrel");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::filesystem::file_size(dir / "build" / "rsrc" / "icons.bmp"), 20'588u);
}

// As for a system-wide installation: the built-in folder cannot be made, even by root.
TEST_F(ImportCommandTest, ImportsIntoTheUserFolderWhenTheBuiltInOneIsBlocked) {
    std::filesystem::create_directories(builtInFolder().parent_path());
    std::ofstream(builtInFolder()) << "";
    const ProgramRun run = importFrom(sequencer());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::filesystem::file_size(dir / "xdg" / "lantrel" / "rsrc" / "icons.bmp"), 20'588u);
    EXPECT_NE(run.out.find((dir / "xdg" / "lantrel" / "rsrc").string()), std::string::npos);
}

TEST_F(ImportCommandTest, ReportsWhereAndWhyTheImportStopped) {
    const ProgramRun run = importFrom(sequencer(test::Waves::None));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(count(run.out, ": written\n"), 0u) << run.out;
    EXPECT_NE(run.out.find("sound1.wav: failed: "), std::string::npos) << run.out;
    EXPECT_EQ(count(run.out, ": not imported: the import was refused"), 27u) << run.out;
    EXPECT_TRUE(run.err.starts_with("lantrel import: sound1.wav: ")) << run.err;

    const ProgramRun missing = importFrom(dir / "nowhere" / "VeltoSeq.exe");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;
}

TEST_F(ImportCommandTest, WantsExactlyOneExecutable) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runCommandLine(std::vector<std::string>{"import"}, out, err), kExitUsage);
    EXPECT_EQ(runCommandLine(std::vector<std::string>{"import", "a", "b"}, out, err), kExitUsage);
}

}  // namespace
}  // namespace lantrel
