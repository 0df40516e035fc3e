#pragma once

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <span>

namespace lantrel {

class Project;
struct ProjectSettings;

// The numbers of a movie's video: song frames Nv and the half-beat position of song frame g.
struct VideoTiming {
    int tempo;    // effective tempo T
    int fps;      // F as stored; 1 for a stored rate below 1
    int columns;  // Lv: the arrangement's length, at least 1
    std::int64_t songFrames;
    std::int64_t framePosition(std::int64_t g) const;
    // Nv + 2F: the song and a second before and after it.
    std::int64_t movieFrames() const { return songFrames + 2 * std::int64_t{fps}; }
};
VideoTiming videoTiming(const Project& project, const ProjectSettings& settings);

// Where the frames go, in the order they play: the AVI writer or the MP4 writer.
class FrameOutput {
  public:
    virtual ~FrameOutput() = default;
    // The next frame; `repeated` when `picture` is the one of the frame before, unchanged.
    virtual bool addFrame(const QImage& picture, bool repeated) = 0;
};

// What the sequence reports as it goes, and asks whether to go on.
class FrameProgress {
  public:
    virtual ~FrameProgress() = default;
    // The frame `frame` of the song shows the half-beat `position`.
    virtual void reached(std::int64_t position, std::int64_t frame) = 0;
    // Whether to stop now.
    virtual bool stopRequested() = 0;
};

// Draws the frames of `project` with sprites of its own (from `resourceFolders`) and hands
// them to `output`: a second of the lead-in picture (position -1, drawn once), song frame g at
// its frame position, a second of the end picture (2 Lv - 1, drawn once); Nv + 2F frames in
// all. Reports (position, g) before every tenth song frame and (2 Lv, Nv) after the end
// picture, and asks whether to stop before every fiftieth song frame and every fiftieth frame
// of a repeated picture. Returns kExportSuccess, kExportCancelled when asked to stop, or
// kExportFailure when `output` refused a frame.
int writeFrameSequence(const Project& project,
                       std::span<const std::filesystem::path> resourceFolders,
                       const VideoTiming& timing, FrameOutput& output, FrameProgress& progress);

}  // namespace lantrel
