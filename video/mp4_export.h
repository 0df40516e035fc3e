#pragma once

#include <filesystem>
#include <string>

#include "movie_export.h"

namespace lantrel {

// The MP4 of a run in one pass: the frames the AVI would hold, and the samples the WAV would
// hold, encoded as they are drawn and mixed, a second of each in turn, so that nothing of the
// song piles up in memory. Progress (1124) and cancel polls as for the AVI video. The file is
// written under a temporary name and renamed at the end, so a failure or a cancel leaves
// nothing of its own and an older file of that name as it was. Returns kExportSuccess,
// kExportCancelled or kExportFailure with `error` saying why (an encoder that cannot be
// opened, a full disk).
int writeExportMp4(const MovieExportJob& job, const std::filesystem::path& path,
                   std::string& error);

}  // namespace lantrel
