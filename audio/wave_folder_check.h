#pragma once

#include <string>
#include <string_view>

namespace lantrel {

// The check that the preferences and pan dialogs make before they store a WAV folder. It looks
// only for the first and the last of the sounds (sound1.wav, sound27.wav): a folder that lacks
// another one still passes, and the sample set falls back to the built-in sound for it.
struct WaveFolderCheck {
    std::string folder;   // the text without one trailing separator; what the dialog stores
    std::string problem;  // the message to show the user; empty when the folder may be stored
    // The probed sound that is not there, so that the window can word the problem itself.
    std::string missingSound;

    bool valid() const { return problem.empty(); }
};

// An empty text is valid (it means the built-in sounds). A single trailing '/' or '\' is
// removed, except from a text that would then be empty, so that "/" keeps meaning the root
// folder rather than turning into the built-in sounds.
WaveFolderCheck checkWaveFolder(std::string_view text);

}  // namespace lantrel
