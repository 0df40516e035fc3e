// The export's progress line on terminals of different widths: it must overwrite itself, never
// scroll, and end on 100 %.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "cli/progress_bar.h"
#include "support/temp_dir.h"
#include "support/test_sounds.h"
#include "verb_outcome.h"

namespace lantrel {
namespace {

using namespace std::chrono_literals;

// The lines a terminal shows: split at carriage returns and line ends, erase codes taken out.
std::vector<std::string> shownLines(std::string text) {
    for (std::size_t at; (at = text.find("\x1b[K")) != std::string::npos;)
        text.erase(at, 3);
    std::vector<std::string> lines;
    std::string line;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            if (!line.empty()) lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

TEST(ProgressBarTest, FitsTheTerminalGivingWayPieceByPiece) {
    const auto start = ProgressBar::Clock::now();
    ProgressBar frames("video", "frames", 1.0, 0);
    frames.update(0, 580, start);
    EXPECT_EQ(frames.line(80), "video [........................]   0%  0/580 frames  0 frames/s");
    frames.update(290, 580, start + 2s);
    EXPECT_EQ(frames.line(80),
              "video [############............]  50%  290/580 frames  145 frames/s  0:02 left");
    for (const int columns : {200, 80, 60, 40, 30, 20, 8, 1})
        EXPECT_LE(static_cast<int>(frames.line(columns).size()), std::max(columns - 1, 1))
            << columns;
    EXPECT_EQ(frames.line(40), "video [#####.....]  50%  290/580 frames");
    frames.update(580, 580, start + 4s);
    EXPECT_EQ(frames.line(80), "video [########################] 100%  580/580 frames  145 frames/s");

    ProgressBar sound("audio", "s", 1.0 / 44100, 1);
    sound.update(44100 * 3 / 2, 44100 * 6, start + 1s);
    EXPECT_EQ(sound.line(48), "audio [###...........]  25%  1.5/6.0 s  1.5 s/s");
}

// A real export with its standard error on a pseudo-terminal of the given width.
std::string exportOnTerminal(const std::filesystem::path& project, int columns) {
    int master = -1;
    winsize size{};
    size.ws_col = static_cast<unsigned short>(columns);
    size.ws_row = 24;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, &size);
    if (child == 0) {
        ::unsetenv("COLUMNS");
        ::execl(LANTREL_EXECUTABLE, LANTREL_EXECUTABLE, "export", project.c_str(), "--fps", "20",
                nullptr);
        ::_exit(127);
    }
    std::string said;
    char buffer[4096];
    for (;;) {
        pollfd ready{master, POLLIN, 0};
        if (::poll(&ready, 1, 30'000) <= 0) break;
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0) break;  // EIO once the child has gone
        said.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(master);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << said;
    return said;
}

TEST(ProgressLineTest, StaysWithinTerminalsOf80And40ColumnsAndEndsOnAHundredPercent) {
    test::TempDir dir;
    test::writeSoundFolder(dir / "sounds", [](int) { return test::constantSamples(900, 3000); });
    std::string body = "SCORE=";
    for (int column = 0; column < 120; ++column)
        body += "0051";
    const auto score = dir.write("long.vtq", body + "\nTEMPO=240\nEND=121\n");
    ASSERT_EQ(test::runVerbs({"arrange", (dir / "p.vtm").string(), "upper:0:" + score.string()})
                  .status,
              0);
    for (const int columns : {80, 40}) {
        const auto lines = shownLines(exportOnTerminal(dir / "p.vtm", columns));
        std::vector<std::string> progress;
        for (const std::string& line : lines)
            if (!line.starts_with("wrote ")) progress.push_back(line);
        ASSERT_GT(progress.size(), 2u);
        for (const std::string& line : progress) {
            EXPECT_LT(static_cast<int>(line.size()), columns) << line;
            if (line.starts_with("video")) {
                EXPECT_EQ(line.find(".0/"), std::string::npos) << "frames are whole: " << line;
            }
        }
        EXPECT_NE(progress.back().find("100%"), std::string::npos) << progress.back();
    }
}

}  // namespace
}  // namespace lantrel
