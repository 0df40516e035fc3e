#pragma once

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <span>

#include "model/export_rounds.h"

namespace lantrel {

class Project;
struct ProjectSettings;

// The numbers of a movie's video: the song frames Nv of one round and the half-beat position
// of each frame. A round is the columns from `firstColumn` on, `columns` of them; round k
// starts at the frame nearest to the sound's round k (k Nv frames whenever a round of sound
// lasts whole frames), so the picture keeps pace with the sound however many rounds run.
struct VideoTiming {
    int tempo;    // effective tempo T
    int fps;      // F as stored; 1 for a stored rate below 1
    int columns;  // Lv: the round's length, at least 1
    std::int64_t songFrames;  // Nv: one round
    int firstColumn = 0;
    int loops = 1;
    std::int64_t roundSamples = 0;  // Na, at `sampleRate`
    int sampleRate = 44100;

    // The position of frame g of a round, counted from the round's first frame.
    std::int64_t framePosition(std::int64_t g) const;
    // The first frame of round k, counted from the first song frame.
    std::int64_t roundStartFrame(int k) const;
    // The song frames of all rounds: the last round's start and its Nv.
    std::int64_t allSongFrames() const { return roundStartFrame(loops - 1) + songFrames; }
    // The position that song frame g of the whole movie shows, in whichever round it lies.
    std::int64_t positionOfFrame(std::int64_t g) const;
    // The picture of the second before the song: before the start, or the range's first column.
    std::int64_t leadInPosition() const { return firstColumn == 0 ? -1 : 2 * firstColumn; }
    // The picture of the second after it: the round's last half-beat.
    std::int64_t endPosition() const { return 2 * (firstColumn + columns) - 1; }
    // The songs and a second before and after them.
    std::int64_t movieFrames() const { return allSongFrames() + 2 * std::int64_t{fps}; }
};
VideoTiming videoTiming(const Project& project, const ProjectSettings& settings,
                        const ExportRounds& rounds = {});

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
// them to `output`: a second of the lead-in picture (drawn once), each song frame g of every
// round at its position, a second of the end picture (drawn once); movieFrames() in all.
// Reports (position, g) before every tenth song frame and (end position + 1, all song frames)
// after the end picture, and asks whether to stop before every fiftieth song frame and every fiftieth frame
// of a repeated picture. Returns kExportSuccess, kExportCancelled when asked to stop, or
// kExportFailure when `output` refused a frame.
int writeFrameSequence(const Project& project,
                       std::span<const std::filesystem::path> resourceFolders,
                       const VideoTiming& timing, FrameOutput& output, FrameProgress& progress);

}  // namespace lantrel
