#pragma once

#include <filesystem>
#include <optional>

namespace lantrel {

// A shutdown (SIGTERM, SIGHUP) cannot wait for the user's answer to the save question, so the
// unsaved project goes to a copy in the user's data folder, and the next start offers to open
// it. One copy per project name; a newer copy of the same name replaces the older one.
class RecoveryCopies {
  public:
    // `folder` empty: `$XDG_DATA_HOME/Lantrel/recovery` (`~/.local/share/Lantrel/recovery`).
    explicit RecoveryCopies(std::filesystem::path folder = {});

    const std::filesystem::path& folder() const { return folder_; }
    // Where the copy of the project saved as `project` (empty: never saved) goes, creating the
    // folder; empty when there is no data folder to put it in.
    std::filesystem::path placeFor(const std::filesystem::path& project) const;
    // The newest copy waiting to be offered, if any.
    std::optional<std::filesystem::path> newest() const;

  private:
    std::filesystem::path folder_;
};

}  // namespace lantrel
