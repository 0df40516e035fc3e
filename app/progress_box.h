#pragma once

class QImage;

namespace lantrel {

// The box an export draws over its preview: a red-framed "CANCEL" in the picture's bottom
// right corner and above it the running phase (0 video, 1 sound, 2 join) in white on black.
void drawProgressBox(QImage& screen, int phase);

}  // namespace lantrel
