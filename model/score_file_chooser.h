#pragma once

#include <optional>
#include <string>

namespace lantrel {

// Asked by the document for a score file when a placement comes without a path (the
// "read file" command, a double click). The window answers with a file dialog showing
// only existing files of kScoreFileFilter; std::nullopt means the user cancelled.
class ScoreFileChooser {
  public:
    static constexpr const char* kDefaultExtension = "vtq";
    static constexpr const char* kScoreFileFilter = "Velto Sequencer Files(*.vtq)|*.vtq||";

    virtual ~ScoreFileChooser() = default;
    virtual std::optional<std::string> chooseScoreFile() = 0;
};

}  // namespace lantrel
