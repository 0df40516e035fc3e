#pragma once

class QImage;

namespace lantrel {

// The box an export draws over its preview: a red-framed "CANCEL" in the picture's bottom
// right corner and above it the running phase (0 video, 1 sound, 2 join) in white on black.
// With `mp4` the video phase is the MP4's, which holds the sound too.
void drawProgressBox(QImage& screen, int phase, bool mp4);

}  // namespace lantrel
