#include "playback_session.h"

#include <algorithm>

#include "base/resource_folder.h"
#include "model/vtq_gui_doc.h"

namespace lantrel {

namespace {

std::vector<std::filesystem::path> orProgramFolders(std::vector<std::filesystem::path> folders) {
    return folders.empty() ? resourceFolders() : folders;
}

}  // namespace

PlaybackSession::PlaybackSession(std::unique_ptr<WaveDevice> device,
                                 std::vector<std::filesystem::path> resourceFolders)
    : folders_(orProgramFolders(std::move(resourceFolders))),
      player_(std::move(device), PlayerOptions{folders_}) {}

int PlaybackSession::startColumnFor(int cursorColumn, int arrangementLength) {
    return cursorColumn >= std::max(arrangementLength, 0) ? 0 : std::max(cursorColumn, 0);
}

PlayStart PlaybackSession::play(const CVtqGuiDoc& document, PostTarget& window, int cursorColumn,
                                bool loop) {
    player_.stop();
    PlayStart start;
    start.startColumn = startColumnFor(cursorColumn, document.columnCount(-1));
    if (!player_.prepare(document.settings())) {
        start.outcome = PlayStart::Outcome::SoundsIncomplete;
        start.sounds = player_.failure();
        return start;
    }
    if (!player_.start(window, document.project(), start.startColumn, loop))
        start.outcome = PlayStart::Outcome::ThreadFailed;
    return start;
}

}  // namespace lantrel
