#pragma once

#include <filesystem>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

namespace lantrel {

struct PlayCommandOptions {
    // Where missing lane sounds come from, in lookup order; empty: resourceFolders().
    std::vector<std::filesystem::path> resourceFolders;
};

// `lantrel play PROJECT.vtm [--from COLUMN] [--seconds N] [--no-loop]`: plays the arrangement
// through the sound output exactly as the window's play command does, in a loop unless
// --no-loop, until N seconds have passed, the pass has played out, or Ctrl+C. While standard
// error is a terminal it shows the position on one line. Runs in the window module, as render
// does.
int runPlayCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                   const PlayCommandOptions& options = {});

// "bar 3 beat 2  0:05.4": the bar and beat of a half-beat position and its time in the song.
std::string describePlayPosition(long long halfBeat, int tempo, bool fourFour);

}  // namespace lantrel
