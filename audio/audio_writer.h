#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/post_target.h"

namespace lantrel {

class Project;
struct ProjectSettings;

// Writes the sound of an export: a 16-bit PCM WAV of one second of silence, the song, and one
// second of its decay (Na + 2R frames for Na song samples at rate R), rendered in one-second
// blocks so that memory stays flat however long the song is. Each lane plays its own sample
// set as loaded, with missing sounds silent; a sound that does not fit in memory fails the
// export with its name.
//
// Progress goes to `target` as message 1125: (0, total) before the file is opened, (start of
// the block, total) after each block and (total, total) at the end, total being Na + R.
// Returns kExportSuccess, or kExportFailure with `error` set when the file cannot be created
// or written (a full disk). The file is written under a temporary name and renamed into place
// when complete, so a failure leaves nothing of its own and keeps an older file of that name.
struct AudioWriterOptions {
    // Where a lane's missing sounds come from, in lookup order; empty: resourceFolders().
    std::vector<std::filesystem::path> resourceFolders;
};

int writeExportAudio(const Project& project, const ProjectSettings& settings,
                     const std::filesystem::path& path, PostTarget& target, std::string& error,
                     const AudioWriterOptions& options = {});

}  // namespace lantrel
