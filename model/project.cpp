#include "project.h"

#include <algorithm>

#include "application_settings.h"
#include "score.h"

namespace lantrel {

bool isValidLane(int lane) {
    return lane >= 0 && lane < kLaneCount;
}

Project::Project(const ApplicationSettings* application) : application_(application) {
    reset();
}

void Project::reset() {
    std::lock_guard guard(lock_);
    for (Lane& lane : lanes_)
        lane.reset();
    ProjectSettings defaults;
    defaults.outputFolder = std::move(settings_.outputFolder);
    defaults.fileName = std::move(settings_.fileName);
    for (int index = 0; index < kLaneCount; ++index) {
        LaneSound& lane = defaults.lanes[static_cast<std::size_t>(index)];
        lane.label = std::move(settings_.lanes[static_cast<std::size_t>(index)].label);
        if (application_) lane.waveFolder = application_->defaultWaveFolder(index);
        for (InstrumentSound& instrument : lane.instruments)
            instrument.pan = defaultPan(index);
    }
    settings_ = std::move(defaults);
}

ProjectSettings Project::settings() const {
    std::lock_guard guard(lock_);
    return settings_;
}

void Project::setSettings(const ProjectSettings& settings) {
    std::lock_guard guard(lock_);
    settings_ = settings;
}

bool Project::fourFour() const {
    std::lock_guard guard(lock_);
    return settings_.fourFour;
}

int Project::columnCount(int lane) const {
    std::lock_guard guard(lock_);
    if (lane == -1) {
        int longest = 0;
        for (const Lane& each : lanes_)
            longest = std::max(longest, each.columnCount());
        return longest;
    }
    return isValidLane(lane) ? this->lane(lane).columnCount() : 0;
}

int Project::firstColumn(int lane) const {
    std::lock_guard guard(lock_);
    return isValidLane(lane) ? this->lane(lane).firstUsedColumn() : Lane::kEmptyFirst;
}

int Project::pitch(int lane, int column, int slot) const {
    std::lock_guard guard(lock_);
    return isValidLane(lane) ? this->lane(lane).note(column, slot).pitch : -1;
}

int Project::instrument(int lane, int column, int slot) const {
    std::lock_guard guard(lock_);
    return isValidLane(lane) ? this->lane(lane).note(column, slot).instrument : -1;
}

void Project::adoptScore(std::string_view path, const Score& score) {
    settings_.tempo = score.tempo;
    settings_.fourFour = score.time44;
    outputFromPath(path);
}

void Project::outputFromPath(std::string_view path) {
    if (path.empty()) return;
    // Paths from Windows files use '\', ours '/'; a bare drive ("C:tune.vtq") splits at ':'.
    auto separator = path.find_last_of("/\\");
    if (separator == std::string_view::npos) separator = path.find_last_of(':');
    if (separator == std::string_view::npos) return;
    const bool isRoot = separator == 0 && path[0] == '/';
    settings_.outputFolder = std::string(isRoot ? path.substr(0, 1) : path.substr(0, separator));
    const auto dot = path.find_last_of('.');
    if (dot == std::string_view::npos)
        settings_.fileName = std::string(path.substr(separator + 1));
    else if (dot < separator)
        settings_.fileName.clear();
    else
        settings_.fileName = std::string(path.substr(separator + 1, dot - separator - 1));
}

void Project::takeContentsOf(Project& other) {
    std::scoped_lock guard(lock_, other.lock_);
    settings_ = std::move(other.settings_);
    lanes_ = std::move(other.lanes_);
}

}  // namespace lantrel
