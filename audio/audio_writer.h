#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/sound_sink.h"
#include "model/export_rounds.h"
#include "model/post_target.h"

namespace lantrel {

class Project;
struct ProjectSettings;

// Writes the sound of an export: one second of silence, the song's rounds, and one second of
// the last one's decay (N Na + 2R frames for N rounds of Na song samples at rate R; see
// ExportSound), as a 16-bit PCM WAV unless
// the options plug in another writer. Each lane plays its own sample set as loaded, with
// missing sounds silent; a sound that does not fit in memory fails the export with its name.
//
// Progress goes to `target` as message 1125: (0, total) before the file is opened, (start of
// the block, total) after each block and (total, total) at the end, total being N Na + R.
// Returns kExportSuccess, or kExportFailure with `error` set when the file cannot be created
// or written (a full disk). The file is written under a temporary name and renamed into place
// when complete, so a failure leaves nothing of its own and keeps an older file of that name.
struct AudioWriterOptions {
    // Where a lane's missing sounds come from, in lookup order; empty: resourceFolders().
    std::vector<std::filesystem::path> resourceFolders;
    // -1 (Timeline::kAllLanes): the mix of the three lanes; 0..2: that lane alone, its stem,
    // exactly as long as the mix.
    int lane = -1;
    // The columns, rounds and fade of the run (default: the arrangement once).
    ExportRounds rounds{};
    // Opens the file the sound goes to; empty: a WAV (WavWriter). The FLAC export plugs its
    // writer in here, so that every sound file is written by this one loop.
    std::function<std::unique_ptr<SoundSink>(const std::filesystem::path& path,
                                             const SoundFormat& format, std::string& error)>
        openFile{};
};

int writeExportAudio(const Project& project, const ProjectSettings& settings,
                     const std::filesystem::path& path, PostTarget& target, std::string& error,
                     const AudioWriterOptions& options = {});

}  // namespace lantrel
