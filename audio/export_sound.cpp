#include "export_sound.h"

#include <algorithm>
#include <cmath>

#include "base/resource_folder.h"
#include "model/project.h"
#include "model/project_settings.h"

namespace lantrel {

ExportSound::ExportSound() : sets_(std::make_unique<std::array<SampleSet, 3>>()) {}

bool ExportSound::prepare(const Project& project, const ProjectSettings& settings,
                          std::span<const std::filesystem::path> folders, int lane,
                          std::string& error, const ExportRounds& rounds) {
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
    timeline_.buildTimeline(project, settings, *sets_, lane, rounds.fromColumn,
                            rounds.endColumn(project.columnCount(-1)));
    timeline_.finishTimeline();
    channels_ = settings.stereo ? 2 : 1;
    loops_ = std::max(rounds.loops, 1);
    const auto fade = static_cast<std::int64_t>(
        std::llround(std::max(rounds.fadeSeconds, 0.0) * timeline_.sampleRate()));
    fadeFrames_ = std::min(songEnd(), fade);
    next_ = -timeline_.sampleRate();
    return true;
}

SoundFormat ExportSound::format() const {
    return {timeline_.sampleRate(), channels_, mixedFrames() + timeline_.sampleRate()};
}

void ExportSound::addRounds(std::vector<std::int32_t>& sums, std::int64_t first, std::int64_t count,
                            int lane) const {
    const std::int64_t round = roundFrames();
    for (int k = 0; k < loops_; ++k) {
        const std::int64_t local = first - k * round;
        if (local + count <= 0 || local >= timeline_.silenceFrom()) continue;
        timeline_.addSums(sums.data(), local, count, channels_ == 2, lane);
    }
}

// Each lane's sum is scaled by its own integer arithmetic before the lanes are added, so that
// a stem, which holds one lane's voices exactly as the mix does, fades to the very same values.
void ExportSound::addFadedLanes(std::int64_t first, std::int64_t count) {
    const std::int64_t end = songEnd();
    laneSums_.resize(sums_.size());
    for (int lane = 0; lane < kLaneCount; ++lane) {
        std::fill(laneSums_.begin(), laneSums_.end(), 0);
        addRounds(laneSums_, first, count, lane);
        for (std::int64_t i = 0; i < count; ++i) {
            // Full level up to the fade's start, then falling to none at the last round's end.
            const std::int64_t left = std::clamp<std::int64_t>(end - (first + i), 0, fadeFrames_);
            for (int c = 0; c < channels_; ++c) {
                const auto at = static_cast<std::size_t>(i * channels_ + c);
                const std::int64_t value = laneSums_[at];
                sums_[at] += static_cast<std::int32_t>(value * left / fadeFrames_);
            }
        }
    }
}

std::span<const std::int16_t> ExportSound::next() {
    const std::int64_t rate = timeline_.sampleRate();
    const std::int64_t count = next_ < 0 ? -next_ : std::min(rate, mixedFrames() - next_);
    if (count <= 0) return {};
    const auto values = static_cast<std::size_t>(count * channels_);
    sums_.assign(values, 0);
    if (next_ >= 0 && fadeFrames_ > 0 && next_ + count > songEnd() - fadeFrames_)
        addFadedLanes(next_, count);
    else if (next_ >= 0)
        addRounds(sums_, next_, count, Timeline::kAllLanes);
    block_.resize(values);
    for (std::size_t k = 0; k < values; ++k)
        block_[k] = static_cast<std::int16_t>(std::clamp(sums_[k], -32768, 32767));
    blockStart_ = next_;
    next_ += count;
    return block_;
}

}  // namespace lantrel
