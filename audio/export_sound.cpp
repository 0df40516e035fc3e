#include "export_sound.h"

#include <algorithm>

#include "base/resource_folder.h"
#include "model/project.h"
#include "model/project_settings.h"

namespace lantrel {

ExportSound::ExportSound() : sets_(std::make_unique<std::array<SampleSet, 3>>()) {}

bool ExportSound::prepare(const Project& project, const ProjectSettings& settings,
                          std::span<const std::filesystem::path> folders, int lane,
                          std::string& error) {
    const auto lookup =
        folders.empty() ? resourceFolders() : std::vector(folders.begin(), folders.end());
    // A stem needs only its own lane's sounds; the other sets stay empty.
    for (std::size_t index = 0; index < sets_->size(); ++index) {
        if (lane != Timeline::kAllLanes && lane != static_cast<int>(index)) continue;
        SampleSet& set = (*sets_)[index];
        set = loadLaneSampleSet(settings.lanes[index], lookup);
        if (!set.problem.empty()) {
            error = set.problem;
            return false;
        }
    }
    timeline_.buildTimeline(project, settings, *sets_, lane);
    timeline_.finishTimeline();
    channels_ = settings.stereo ? 2 : 1;
    next_ = -timeline_.sampleRate();
    return true;
}

SoundFormat ExportSound::format() const {
    return {timeline_.sampleRate(), channels_, mixedFrames() + timeline_.sampleRate()};
}

std::span<const std::int16_t> ExportSound::next() {
    const std::int64_t rate = timeline_.sampleRate();
    const std::int64_t count = next_ < 0 ? -next_ : std::min(rate, mixedFrames() - next_);
    if (count <= 0) return {};
    block_.assign(static_cast<std::size_t>(count * channels_), 0);
    if (next_ >= 0 && channels_ == 2)
        timeline_.renderStereo(block_.data(), next_, count);
    else if (next_ >= 0)
        timeline_.renderMono(block_.data(), next_, count);
    blockStart_ = next_;
    next_ += count;
    return block_;
}

}  // namespace lantrel
