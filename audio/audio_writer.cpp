#include "audio_writer.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "base/atomic_file.h"
#include "base/resource_folder.h"
#include "model/project.h"
#include "model/project_settings.h"
#include "sample_set.h"
#include "timeline.h"
#include "wav_format.h"

namespace lantrel {

static_assert(std::endian::native == std::endian::little, "PCM is written in host byte order");

namespace {

std::array<SampleSet, 3> loadLaneSounds(const ProjectSettings& settings,
                                        std::span<const std::filesystem::path> folders) {
    std::array<SampleSet, 3> sets;
    for (std::size_t lane = 0; lane < sets.size(); ++lane)
        sets[lane] = loadLaneSampleSet(settings.lanes[lane], folders);
    return sets;
}

// The file being written, with the first failing call's errno (a full disk, a size limit).
class WavOutput {
  public:
    bool open(const std::filesystem::path& path, std::string& error) {
        return file_.open(path, error);
    }
    template <typename T>
    void write(std::span<const T> values) {
        if (failure_ == 0 && !file_.write(std::as_bytes(values))) failure_ = errno ? errno : EIO;
    }
    bool failed() const { return failure_ != 0; }
    // Puts the finished file in place; a failed one is removed and the old file kept.
    bool commit(std::string& error) {
        if (failure_ != 0) {
            error = "cannot write " + file_.target().string() + ": " + std::strerror(failure_);
            file_.discard();
            return false;
        }
        return file_.commit(error);
    }

  private:
    AtomicOutputFile file_;
    int failure_ = 0;
};

}  // namespace

int writeExportAudio(const Project& project, const ProjectSettings& settings,
                     const std::filesystem::path& path, PostTarget& target, std::string& error,
                     const AudioWriterOptions& options) {
    const auto folders =
        options.resourceFolders.empty() ? resourceFolders() : options.resourceFolders;
    const auto sets = std::make_unique<std::array<SampleSet, 3>>(loadLaneSounds(settings, folders));
    for (const SampleSet& set : *sets) {
        if (set.problem.empty()) continue;
        error = set.problem;
        return kExportFailure;
    }
    Timeline timeline;
    timeline.buildTimeline(project, settings, *sets);
    timeline.finishTimeline();

    const std::int64_t rate = timeline.sampleRate();
    const std::int64_t total = timeline.songLength() + rate;
    const int channels = settings.stereo ? 2 : 1;
    target.post(kMessageAudioProgress, 0, total);

    if (!fitsInWav(settings.stereo, static_cast<std::uint64_t>(total + rate))) {
        error = "the song is too long for a WAV file (more than 4 GiB of sound)";
        return kExportFailure;
    }
    WavOutput file;
    if (!file.open(path, error)) return kExportFailure;
    std::vector<std::int16_t> block(static_cast<std::size_t>(rate * channels), 0);
    file.write(std::span<const std::uint8_t>(
        makeWavHeader(settings.stereo, static_cast<std::int32_t>(rate),
                      static_cast<std::uint32_t>(total + rate))));
    file.write(std::span<const std::int16_t>(block));
    for (std::int64_t p = 0; !file.failed() && p < total; p += rate) {
        const std::int64_t n = std::min(rate, total - p);
        if (settings.stereo)
            timeline.renderStereo(block.data(), p, n);
        else
            timeline.renderMono(block.data(), p, n);
        file.write(
            std::span<const std::int16_t>(block).first(static_cast<std::size_t>(n * channels)));
        if (!file.failed())
            target.post(kMessageAudioProgress, static_cast<std::uintptr_t>(p), total);
    }
    if (!file.commit(error)) return kExportFailure;
    target.post(kMessageAudioProgress, static_cast<std::uintptr_t>(total), total);
    return kExportSuccess;
}

}  // namespace lantrel
