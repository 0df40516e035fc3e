#pragma once

#include <QImage>

#include "movie_export.h"

namespace lantrel {

// Where an export's frames go, in the order they play: the AVI writer or the MP4 writer.
class FrameOutput {
  public:
    virtual ~FrameOutput() = default;
    // The next frame; `repeated` when `picture` is the one of the frame before, unchanged.
    virtual bool addFrame(const QImage& picture, bool repeated) = 0;
};

// Draws the export's frames with sprites of its own and hands them to `output`: a second of
// the lead-in picture (position -1, drawn once), song frame g at its frame position, a second
// of the end picture (2 Lv - 1, drawn once); Nv + 2F frames in all. Posts 1124 (position, g)
// before every tenth song frame and (2 Lv, Nv) after the end picture, and polls the cancel
// event before every fiftieth song frame and every fiftieth frame of a repeated picture.
// Returns kExportSuccess, kExportCancelled, or kExportFailure when `output` refused a frame.
int writeFrameSequence(const MovieExportJob& job, FrameOutput& output);

}  // namespace lantrel
