// The program's modules seen from outside: a copy of the executable with some of its modules
// missing, or with one left from another build. The plain verbs run without any; the others
// say what is wrong and fail, and leave no file behind.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "support/temp_dir.h"

namespace lantrel {
namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int status;
    std::string out;
    std::string err;
};

// A copy of the program in dir/bin with its resource folder, and its module folder where the
// build puts it relative to the executable, empty until a test installs modules into it.
class ModuleLoadingTest : public ::testing::Test {
  protected:
    ModuleLoadingTest() {
        fs::create_directories(dir / "bin");
        fs::copy_file(LANTREL_EXECUTABLE, dir / "bin" / "lantrel");
        fs::copy(LANTREL_RSRC_DIR, dir / "bin" / "rsrc");
        fs::create_directories(modules());
        fs::create_directories(dir / "out");
        dir.write("a.vtq", "SCORE=00510062007300840095\nEND=6\n");
        EXPECT_EQ(lantrel("arrange p.vtm upper:0:a.vtq").status, 0);
    }
    fs::path modules() const { return (dir / "bin" / LANTREL_MODULE_PATH).lexically_normal(); }
    void install(const fs::path& module, const char* as) const {
        fs::copy_file(module, modules() / as);
    }
    // Runs the copy in dir with `arguments` (quoted as the shell takes them).
    ProgramRun lantrel(const std::string& arguments) const {
        const std::string command = "cd '" + dir.path().string() + "' && XDG_DATA_HOME='" +
                                    (dir / "xdg").string() + "' bin/lantrel " + arguments +
                                    " >stdout.txt 2>stderr.txt";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::TempDir::read(dir / "stdout.txt"),
                test::TempDir::read(dir / "stderr.txt")};
    }
    std::string missing(const char* module) const {
        return "cannot load the " + std::string(module) +
               " module: " + (modules() / (std::string(module) + ".so")).string() +
               ": cannot open shared object file: No such file or directory\n";
    }
    bool wroteNothing() const { return fs::is_empty(dir / "out"); }

    test::TempDir dir;
};

TEST_F(ModuleLoadingTest, WithoutItsModulesThePlainVerbsRunAndTheOthersSayWhy) {
    const ProgramRun info = lantrel("info p.vtm");
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_TRUE(info.out.starts_with("{\"kind\":\"project\"")) << info.out;

    const std::pair<std::string, std::string> others[] = {{"render", "p.vtm 0 out/screen.png"},
                                                          {"play", "p.vtm --seconds 1"},
                                                          {"export", "p.vtm --out-dir out"}};
    for (const auto& [verb, arguments] : others) {
        const ProgramRun run = lantrel(verb + " " + arguments);
        EXPECT_EQ(run.status, 1) << verb;
        EXPECT_EQ(run.err, "lantrel " + verb + ": " + missing("window")) << verb;
    }
    const ProgramRun window = lantrel("p.vtm");
    EXPECT_EQ(window.status, 1);
    EXPECT_EQ(window.err, "lantrel: " + missing("window"));
    EXPECT_TRUE(wroteNothing());
}

TEST_F(ModuleLoadingTest, WithoutTheEncoderAnMp4ExportFailsAndAnAviExportRuns) {
    install(fs::path(LANTREL_MODULE_DIR) / "window.so", "window.so");
    const ProgramRun mp4 = lantrel("export p.vtm --out-dir out --mp4");
    EXPECT_EQ(mp4.status, 1);
    EXPECT_EQ(mp4.err, "lantrel export: " + missing("encoder"));
    EXPECT_TRUE(wroteNothing());

    const ProgramRun avi = lantrel("export p.vtm --out-dir out --name song --no-audio");
    EXPECT_EQ(avi.status, 0) << avi.err;
    EXPECT_TRUE(fs::is_regular_file(dir / "out" / "song.avi"));
}

TEST_F(ModuleLoadingTest, AModuleOfAnotherBuildIsRefusedBeforeItRuns) {
    install(LANTREL_STALE_WINDOW_MODULE, "window.so");
    const ProgramRun render = lantrel("render p.vtm 0 out/screen.png");
    EXPECT_EQ(render.status, 1);
    EXPECT_TRUE(render.err.starts_with(
        "lantrel render: cannot load the window module: " + (modules() / "window.so").string() +
        " belongs to another build of the program (version "))
        << render.err;
    EXPECT_NE(render.err.find(", interface 0 of "), std::string::npos) << render.err;
    EXPECT_TRUE(wroteNothing());
}

}  // namespace
}  // namespace lantrel
