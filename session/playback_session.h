#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "audio/player.h"

namespace lantrel {

class CVtqGuiDoc;
class PostTarget;
class WaveDevice;

// How a press of play ended.
struct PlayStart {
    enum class Outcome { Started, SoundsIncomplete, ThreadFailed };
    Outcome outcome = Outcome::Started;
    int startColumn = 0;    // where playback began
    PrepareFailure sounds;  // which lane missed how many sounds, for SoundsIncomplete
    bool started() const { return outcome == Outcome::Started; }
};

// The play and stop commands, once for the window and the play verb: the player with the steps
// around it. Belongs to one controlling thread, as the player does.
class PlaybackSession {
  public:
    // Plays through `device`; sounds missing from a lane's folder come from `resourceFolders`
    // (empty: the program's resource folders).
    explicit PlaybackSession(std::unique_ptr<WaveDevice> device,
                             std::vector<std::filesystem::path> resourceFolders = {});

    // Stops what plays, copies the project's settings, loads the three lanes' sounds and starts
    // the worker at `cursorColumn`, or at column 0 when the cursor stands at or past the end.
    // The worker posts the play position to `window`; both it and the document must outlive
    // the playback.
    PlayStart play(const CVtqGuiDoc& document, PostTarget& window, int cursorColumn,
                   bool loop = true);
    void stop() { player_.stop(); }
    bool isPlaying() const { return player_.isPlaying(); }
    const Player& player() const { return player_; }
    const std::vector<std::filesystem::path>& resourceFolders() const { return folders_; }

    // Where play starts for a cursor: the cursor's column inside the arrangement, else 0.
    static int startColumnFor(int cursorColumn, int arrangementLength);

  private:
    std::vector<std::filesystem::path> folders_;
    Player player_;
};

}  // namespace lantrel
