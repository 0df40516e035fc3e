#include "audio_writer.h"

#include <bit>
#include <cerrno>
#include <cstdio>
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

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::array<SampleSet, 3> loadLaneSounds(const ProjectSettings& settings,
                                        std::span<const std::filesystem::path> folders) {
    std::array<SampleSet, 3> sets;
    for (std::size_t lane = 0; lane < sets.size(); ++lane)
        sets[lane] = loadLaneSampleSet(settings.lanes[lane], folders);
    return sets;
}

bool writeSamples(std::FILE* file, const std::vector<std::int16_t>& samples, std::size_t count) {
    return std::fwrite(samples.data(), sizeof(std::int16_t), count, file) == count;
}

}  // namespace

int writeExportAudio(const Project& project, const ProjectSettings& settings,
                     const std::filesystem::path& path, PostTarget& target, std::string& error,
                     const AudioWriterOptions& options) {
    const auto folders =
        options.resourceFolders.empty() ? resourceFolders() : options.resourceFolders;
    const auto sets = std::make_unique<std::array<SampleSet, 3>>(loadLaneSounds(settings, folders));
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
    removeRegularFile(path);
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = "cannot create " + path.string() + ": " + std::strerror(errno);
        return kExportFailure;
    }
    // The first failing call's errno says why (a full disk, a file size limit).
    int failure = 0;
    auto check = [&failure](bool ok) {
        if (!ok && failure == 0) failure = errno != 0 ? errno : EIO;
        return ok;
    };
    std::vector<std::int16_t> block(static_cast<std::size_t>(rate * channels), 0);
    check(writeWavHeader(file.get(), settings.stereo, static_cast<std::int32_t>(rate),
                         static_cast<std::uint32_t>(total + rate)) &&
          writeSamples(file.get(), block, block.size()));
    for (std::int64_t p = 0; failure == 0 && p < total; p += rate) {
        const std::int64_t n = std::min(rate, total - p);
        if (settings.stereo)
            timeline.renderStereo(block.data(), p, n);
        else
            timeline.renderMono(block.data(), p, n);
        if (check(writeSamples(file.get(), block, static_cast<std::size_t>(n * channels))))
            target.post(kMessageAudioProgress, static_cast<std::uintptr_t>(p), total);
    }
    check(std::fclose(file.release()) == 0);
    if (failure != 0) {
        error = "cannot write " + path.string() + ": " + std::strerror(failure);
        removeRegularFile(path);
        return kExportFailure;
    }
    target.post(kMessageAudioProgress, static_cast<std::uintptr_t>(total), total);
    return kExportSuccess;
}

}  // namespace lantrel
