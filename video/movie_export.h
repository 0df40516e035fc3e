#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "avi_writer.h"
#include "model/project_settings.h"

namespace lantrel {

class AutoResetEvent;
class PostTarget;
class Project;

// One movie export run: the arrangement to an uncompressed AVI of the score screen, its sound
// to a WAV, and optionally both joined into one AVI. Video and sound each cover one second
// before and one second after the song, so the two streams have the same length.
struct MovieExportJob {
    const Project* project = nullptr;                    // read through its locked queries only
    ProjectSettings settings;                            // the snapshot the run works from
    std::vector<std::filesystem::path> resourceFolders;  // sprites and built-in sounds
    AutoResetEvent* cancel = nullptr;  // polled by the video writer and the joiner
    PostTarget* target = nullptr;      // progress 1124-1126 and the end message 1133
    // A run never ends sooner than this after it began, so that the window's progress box is
    // seen even for a tiny song.
    std::chrono::milliseconds minimumDuration{1000};
    AviWriterOptions aviOptions;
};

// The files of a run, from the output folder and file name (one trailing separator of the
// folder is dropped; an empty folder is the current one).
struct MoviePaths {
    std::filesystem::path video;           // name.avi
    std::filesystem::path temporaryVideo;  // name_tmp.avi, the video while a join follows
    std::filesystem::path audio;           // name.wav
    std::filesystem::path joined;          // name.avi
};
MoviePaths moviePaths(const ProjectSettings& settings);
// The folder the files go to, as moviePaths builds on it.
std::filesystem::path movieFolder(const ProjectSettings& settings);

// Why the settings cannot name the run's files, or an empty text. A project file may come from
// anyone, so its file name must not reach outside the output folder or cut a path short: a
// name that is empty, "." or "..", or holds a NUL, a control character or a path separator is
// refused, and so is a folder that holds a NUL. ExportMovie refuses such a run before it writes.
std::string outputNameProblem(const ProjectSettings& settings);

// The numbers of the video: song frames Nv and the half-beat position of song frame g.
struct VideoTiming {
    int tempo;    // effective tempo T
    int fps;      // F as stored; 1 for a stored rate below 1
    int columns;  // Lv: the arrangement's length, at least 1
    std::int64_t songFrames;
    std::int64_t framePosition(std::int64_t g) const;
};
VideoTiming videoTiming(const Project& project, const ProjectSettings& settings);

// Runs the export on the calling thread (the export worker): video, then sound, then the join,
// each only when enabled and everything before it succeeded; then posts 1133 with the result.
// Returns kExportSuccess, kExportFailure (with `error` saying why) or kExportCancelled. The
// files left behind are those of a finished run: every file is written under a temporary name
// and takes its own only when complete, so a failed or cancelled writer leaves nothing of its
// own and an older file of that name stays; a failed join keeps the temporary video and the
// WAV, a cancelled one keeps neither. Nothing escapes: an allocation failure is a failed run.
int ExportMovie(const MovieExportJob& job, std::string& error);

int writeExportVideo(const MovieExportJob& job, const std::filesystem::path& path,
                     std::string& error);
int joinMovie(const MovieExportJob& job, const MoviePaths& paths, std::string& error);

}  // namespace lantrel
