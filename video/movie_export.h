#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "avi_writer.h"
#include "encode/mp4_options.h"
#include "frame_sequence.h"
#include "model/export_rounds.h"
#include "model/project_settings.h"

namespace lantrel {

class AutoResetEvent;
class PostTarget;
class Project;

// What a run writes beyond the project's AVI and WAV. None of it is kept in the project file:
// the command line, or the user's own settings in the window, choose it for each run.
struct ExtraOutputs {
    // One MP4 (H.264 + AAC) of the picture and the sound, in place of the AVI, the WAV and the
    // join; the project's frame rate, sample rate and channels replace the options' own.
    bool mp4 = false;
    Mp4Options mp4Options{};
    // Each lane alone as a sound file beside the movie (NAME_upper, NAME_middle, NAME_lower),
    // exactly as long as the mix, written after everything else.
    bool stems = false;
    // The sound files (the mix and the stems) as FLAC instead of WAV.
    bool flac = false;
    // The columns, the rounds and the fade of every output, picture and sound alike.
    ExportRounds rounds{};
};

// Why the extras cannot be written with these settings, or an empty text.
std::string extraOutputsProblem(const ProjectSettings& settings, const ExtraOutputs& extras);
// The MP4 writer's options for a run: the extras' scale, quality, preset and canvas with the
// project's frame rate, sample rate and channels.
Mp4Options mp4OptionsFor(const ProjectSettings& settings, const ExtraOutputs& extras);

// One movie export run: the arrangement to an uncompressed AVI of the score screen, its sound
// to a WAV, and optionally both joined into one AVI; or, with the extras, one MP4. Video and
// sound each cover one second before and one second after the song, so the two streams have
// the same length. The job is the run's one owner: its settings, its cancel event, where its
// progress goes and what it writes. The frame sequence, the mixer and the writers it drives
// know nothing of it.
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
    ExtraOutputs extras;

    // Posts to the target, if there is one.
    void post(std::uint32_t message, std::int64_t wParam, std::int64_t lParam) const;
    // Whether the cancel event was set since the last poll (a poll consumes it).
    bool cancelRequested() const;
};

// The files of a run, from the output folder and file name (one trailing separator of the
// folder is dropped; an empty folder is the current one).
struct MoviePaths {
    std::filesystem::path video;           // name.avi
    std::filesystem::path temporaryVideo;  // name_tmp.avi, the video while a join follows
    std::filesystem::path audio;           // name.wav
    std::filesystem::path joined;          // name.avi
    std::filesystem::path mp4;             // name.mp4
};
MoviePaths moviePaths(const ProjectSettings& settings);
// The sound file of a run: the mix (lane -1) as name.wav, or a lane's stem as name_upper.wav,
// name_middle.wav or name_lower.wav; ".flac" in place of ".wav" with FLAC.
std::filesystem::path soundPath(const ProjectSettings& settings, const ExtraOutputs& extras,
                                int lane = -1);
// The folder the files go to, as moviePaths builds on it.
std::filesystem::path movieFolder(const ProjectSettings& settings);

// Why the settings cannot name the run's files, or an empty text. A project file may come from
// anyone, so its file name must not reach outside the output folder or cut a path short: a
// name that is empty, "." or "..", or holds a NUL, a control character or a path separator is
// refused, and so is a folder that holds a NUL. ExportMovie refuses such a run before it writes.
std::string outputNameProblem(const ProjectSettings& settings);

// Runs the export on the calling thread (the export worker): video, then sound, then the join,
// each only when enabled and everything before it succeeded (or, with the MP4 extra, the MP4
// alone), then the stems when asked for; then posts 1133 with the result.
// Returns kExportSuccess, kExportFailure (with `error` saying why) or kExportCancelled. The
// files left behind are those of a finished run: every file is written under a temporary name
// and takes its own only when complete, so a failed or cancelled writer leaves nothing of its
// own and an older file of that name stays; a failed join keeps the temporary video and the
// WAV, a cancelled one keeps neither. Nothing escapes: an allocation failure is a failed run.
// The MP4 and FLAC writers come from the encoder module, which the first run that writes
// either loads; a module that cannot be loaded fails the run, saying why.
int ExportMovie(const MovieExportJob& job, std::string& error);

int writeExportVideo(const MovieExportJob& job, const std::filesystem::path& path,
                     std::string& error);
int joinMovie(const MovieExportJob& job, const MoviePaths& paths, std::string& error);

}  // namespace lantrel
