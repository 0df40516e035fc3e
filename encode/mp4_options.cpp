#include "mp4_options.h"

namespace lantrel {

std::string mp4OptionsProblem(const Mp4Options& options) {
    if (options.scale < 1 || options.scale > 5)
        return "the scale must be 1 to 5, not " + std::to_string(options.scale);
    if (options.crf < 0 || options.crf > 51)
        return "the quality (crf) must be 0 to 51, not " + std::to_string(options.crf);
    if (options.fps < 1 || options.fps > 60)
        return "the frame rate must be 1 to 60 frames a second, not " + std::to_string(options.fps);
    if (options.channels != 1 && options.channels != 2)
        return "the sound must have 1 or 2 channels, not " + std::to_string(options.channels);
    if (options.sampleRate <= 0)
        return "the sample rate must be positive, not " + std::to_string(options.sampleRate);
    if (options.preset.empty()) return "the encoder preset must be named";
    return {};
}

MovieGeometry movieGeometry(int scale, bool pad16x9) {
    MovieGeometry geometry;
    geometry.scale = scale;
    geometry.width = ScreenPicture::kWidth * scale;
    geometry.height = ScreenPicture::kHeight * scale;
    if (pad16x9) {
        const int canvasWidth = 2 * ((16 * geometry.height + 9) / 18);  // 2 round(8 h / 9)
        // The picture starts on a 16-pixel boundary, the nearest to the centre: so x264's
        // macroblocks line up with the enlarged pixels as they do without the canvas (the
        // 16:9 movie of the demo song is then 9.5 MB rather than 13.1 MB, and encodes faster),
        // and every 2 x 2 chroma block stays inside one enlarged pixel. It is off the centre
        // by 8 pixels at most.
        constexpr int kMacroblock = 16;
        const int margin = (canvasWidth - geometry.width) / 2;
        geometry.pictureX = (margin + kMacroblock / 2) / kMacroblock * kMacroblock;
        geometry.width = canvasWidth;
    }
    return geometry;
}

}  // namespace lantrel
