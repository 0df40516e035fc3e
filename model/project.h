#pragma once

#include <array>
#include <mutex>
#include <string>
#include <string_view>

#include "lane.h"
#include "project_settings.h"

namespace lantrel {

class ApplicationSettings;
class Score;

// The data of one open document: its settings and three lanes, guarded by one recursive
// lock. The player and the export read it from their own threads only through the locked
// queries and settings copies below; every change happens on the user-interface thread
// while the lock is held.
class Project {
  public:
    // `application` (may be null) supplies the default WAV folders at each reset and must
    // outlive the project.
    explicit Project(const ApplicationSettings* application = nullptr);
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    std::recursive_mutex& lock() const { return lock_; }

    // Resets lanes and settings to their defaults, but keeps the output folder, the file
    // name and the lane labels.
    void reset();
    ProjectSettings settings() const;
    void setSettings(const ProjectSettings& settings);
    bool fourFour() const;

    // Locked queries. `lane` -1 asks for the arrangement's length (the longest lane).
    int columnCount(int lane) const;
    int firstColumn(int lane) const;
    int pitch(int lane, int column, int slot) const;
    int instrument(int lane, int column, int slot) const;

    // Unlocked access for whoever already holds the lock (the document, the file reader).
    Lane& lane(int index) { return lanes_[static_cast<std::size_t>(index)]; }
    const Lane& lane(int index) const { return lanes_[static_cast<std::size_t>(index)]; }
    ProjectSettings& settingsUnlocked() { return settings_; }
    const ProjectSettings& settingsUnlocked() const { return settings_; }

    // Takes tempo, time signature and output name from a placed score. Unlocked.
    void adoptScore(std::string_view path, const Score& score);
    // Takes the output folder and the file name (without extension) from a score's path.
    // Unlocked.
    void outputFromPath(std::string_view path);

    // Replaces settings and lanes with those of `other`, under the lock, so that a project
    // read in full elsewhere appears to other threads in one step.
    void takeContentsOf(Project& other);

  private:
    const ApplicationSettings* application_;
    mutable std::recursive_mutex lock_;
    ProjectSettings settings_;
    std::array<Lane, kLaneCount> lanes_;
};

bool isValidLane(int lane);

}  // namespace lantrel
