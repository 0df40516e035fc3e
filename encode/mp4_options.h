#pragma once

#include <string>

#include "movie_sink.h"

// What the MP4 writer is asked for, and the size of the movie it makes. Neither needs libav:
// the command line checks the options and the window's dialog shows the size without loading
// the encoder module.
namespace lantrel {

struct Mp4Options {
    // Each screen pixel becomes scale x scale pixels, 1..5. With an even factor each 4:2:0
    // chroma sample covers one screen pixel, so no colour bleeds into its neighbours; 2
    // (1024 x 768) is the smallest such factor.
    int scale = 2;
    // x264's constant rate factor, 0 (lossless) .. 51. At 18 the flat sprite colours and
    // one-pixel lines of the score come back above 50 dB luma PSNR; a mostly still screen
    // costs about 1.1 MB of video a minute, the demo song's busy one about 8 MB.
    int crf = 18;
    // x264's speed preset. The score screen is flat colours, mostly still, with one strip
    // that scrolls: "superfast" encodes it in three quarters of the processor time of
    // "veryfast" and two fifths of "medium", for video about a fifth larger (7 % more file
    // with the sound), still above 50 dB luma PSNR at crf 18. What decides it is memory: the
    // slower presets look 10 or 40 frames ahead, about 3 MB a frame at 1024 x 768, which takes
    // an export past 150 MB (veryfast: about 160 MB, medium: about 250 MB).
    std::string preset = "superfast";
    // Centre the picture on a black 16:9 canvas (1024 x 768 on 1366 x 768).
    bool pad16x9 = false;
    int fps = 10;  // 1..60
    int sampleRate = 44100;
    int channels = 2;  // AAC-LC at 192 kb/s for stereo, 128 kb/s for mono
    std::string title;  // the container's title tag; none when empty
};

// What is wrong with `options`, or empty when they make a movie.
std::string mp4OptionsProblem(const Mp4Options& options);

// Where the score screen lies in a movie frame: enlarged by a whole factor, alone or centred on
// a black 16:9 canvas.
struct MovieGeometry {
    int scale = 1;
    int width = ScreenPicture::kWidth;  // of the whole frame
    int height = ScreenPicture::kHeight;
    int pictureX = 0;  // the enlarged screen's left edge in the frame; a multiple of 16
    int pictureWidth() const { return ScreenPicture::kWidth * scale; }
};

// The frame for `scale` (1..5): 512 s x 384 s, or with `pad16x9` as wide as 16:9 asks at that
// height, rounded to the nearest even width (1024 x 768 becomes 1366 x 768), the picture
// placed as near the centre as a 16-pixel boundary allows.
MovieGeometry movieGeometry(int scale, bool pad16x9);

}  // namespace lantrel
