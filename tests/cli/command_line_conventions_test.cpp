// The conventions every command-line program keeps, checked on the real executable, whose
// standard output and error are the user's: --version and --help answer on standard output
// and succeed, whatever else the command line holds; a usage error is one line on standard
// error and status 2; nothing runs when only help was asked for.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "verb_outcome.h"

namespace lantrel {
namespace {

using test::Outcome;

class ExecutableTest : public ::testing::Test {
  protected:
    // Runs the program in the test's folder with its streams caught apart.
    Outcome lantrel(const std::string& arguments, const std::string& environment = "") const {
        const std::string command = "cd '" + dir.path().string() + "' && " + environment + " '" +
                                    LANTREL_EXECUTABLE + "' " + arguments + " >'" + out() +
                                    "' 2>'" + err() + "' </dev/null";
        const int raw = std::system(command.c_str());
        const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return {status, test::TempDir::read(out()), test::TempDir::read(err())};
    }

    // The verbs as the program's help lists them ("  info     print a JSON summary...").
    std::vector<std::string> verbs() const {
        const std::string help = lantrel("--help").out;
        static const std::regex line(R"(\n  ([a-z]+) +\S)");
        std::vector<std::string> names;
        for (std::sregex_iterator it(help.begin(), help.end(), line), end; it != end; ++it)
            names.push_back((*it)[1]);
        return names;
    }

    std::string out() const { return (dir / "stdout.txt").string(); }
    std::string err() const { return (dir / "stderr.txt").string(); }

    test::TempDir dir;
};

TEST_F(ExecutableTest, VersionNamesTheProjectsVersion) {
    for (const char* option : {"--version", "-V"}) {
        const Outcome version = lantrel(option);
        EXPECT_EQ(version.status, 0) << option;
        EXPECT_EQ(version.out, std::string("lantrel ") + LANTREL_VERSION + "\n") << option;
        EXPECT_EQ(version.err, "") << option;
    }
    EXPECT_TRUE(test::isOneUsageLine(lantrel("--version now").err, ""));
}

TEST_F(ExecutableTest, TheProgramsHelpListsEveryVerbOnStandardOutput) {
    const std::string help = lantrel("--help").out;
    for (const char* asked : {"--help", "-h", "help"}) {
        const Outcome outcome = lantrel(asked);
        EXPECT_EQ(outcome.status, 0) << asked;
        EXPECT_EQ(outcome.out, help) << asked;
        EXPECT_EQ(outcome.err, "") << asked;
    }
    EXPECT_TRUE(help.starts_with("usage: lantrel [PROJECT.vtm]\n")) << help;
    EXPECT_TRUE(help.ends_with(".\n")) << help;
    EXPECT_EQ(verbs(),
              (std::vector<std::string>{"info", "arrange", "play", "render", "export", "import"}));
}

// Help wins over everything else on the line: the verb never starts, so `arrange` saves
// nothing and `play` opens no sound output, and a drawing verb needs no display.
TEST_F(ExecutableTest, EveryVerbAnswersItsHelpWhereverItIsAsked) {
    for (const std::string& verb : verbs()) {
        const std::string expected = lantrel(verb + " --help").out;
        EXPECT_TRUE(expected.starts_with("usage: lantrel " + verb + " ")) << expected;
        EXPECT_TRUE(expected.ends_with("\n")) << verb;
        EXPECT_EQ(lantrel("help " + verb).out, expected) << verb;
        for (const std::string& line :
             {verb + " -h", verb + " made.vtm --help", verb + " made.vtm --bogus -h"}) {
            const Outcome outcome = lantrel(line, "DISPLAY= WAYLAND_DISPLAY=");
            EXPECT_EQ(outcome.status, 0) << line << ": " << outcome.err;
            EXPECT_EQ(outcome.out, expected) << line;
            EXPECT_EQ(outcome.err, "") << line;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "made.vtm"));
}

TEST_F(ExecutableTest, UsageErrorsAreOneLineOnStandardErrorAndStatusTwo) {
    const std::vector<std::pair<std::string, std::string>> wrong = {
        {"frobnicate", ""},
        {"--frobnicate", ""},
        {"help frobnicate", ""},
        {"info", "info"},
        {"info a.vtq b.vtq", "info"},
        {"arrange", "arrange"},
        {"arrange out.vtm top:0:a.vtq", "arrange"},
        {"arrange out.vtm --name a/b", "arrange"},
        {"play", "play"},
        {"play p.vtm --seconds 0", "play"},
        {"render p.vtm", "render"},
        {"render p.vtm -2 out.png", "render"},
        {"export", "export"},
        {"export p.vtm --fps 61", "export"},
        {"export p.vtm --mp4 --join", "export"},
        {"export p.vtm --name ''", "export"},
        {"import", "import"},
    };
    for (const auto& [arguments, verb] : wrong) {
        const Outcome outcome = lantrel(arguments);
        EXPECT_EQ(outcome.status, 2) << arguments;
        EXPECT_EQ(outcome.out, "") << arguments;
        EXPECT_TRUE(test::isOneUsageLine(outcome.err, verb)) << arguments << ": " << outcome.err;
    }
    // A control character in an argument is shown, not sent to the terminal.
    const Outcome escaped = lantrel("info \"-$(printf '\\033')[2J\"");
    EXPECT_TRUE(test::isOneUsageLine(escaped.err, "info")) << escaped.err;
    EXPECT_NE(escaped.err.find("'-\\x1B[2J'"), std::string::npos) << escaped.err;
}

}  // namespace
}  // namespace lantrel
