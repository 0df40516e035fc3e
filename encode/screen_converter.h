#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "movie_sink.h"
#include "mp4_options.h"

namespace lantrel {

// The three planes of a 4:2:0 frame (luma, Cb, Cr) as libav lays them out: chroma at half the
// width and half the height.
struct YuvPlanes {
    std::array<std::uint8_t*, 3> data{};
    std::array<int, 3> stride{};
};

// Turns score-screen pictures into 4:2:0 frames: each pixel becomes a scale x scale block
// (nearest neighbour), colours are converted with the BT.709 matrix to limited range (luma
// 16-235, chroma 16-240), and each chroma sample is that of the mean of the 2 x 2 block it
// covers. With an even scale such a block lies inside one screen pixel, so the sprites keep
// their exact colours; a 16:9 canvas is black.
//
// Converting into the same planes again (an encoder's reused frame) rewrites only the rows
// whose screen rows differ from the last picture's: from one frame of the score screen to the
// next most rows stay as they were. The planes must still hold what the last call wrote.
class ScreenConverter {
  public:
    explicit ScreenConverter(MovieGeometry geometry);

    const MovieGeometry& geometry() const { return geometry_; }
    void convert(const ScreenPicture& picture, const YuvPlanes& frame);

  private:
    void noteChangedRows(const ScreenPicture& picture, const YuvPlanes& frame);
    void convertLuma(const ScreenPicture& picture, const YuvPlanes& frame);
    void convertChroma(const ScreenPicture& picture, const YuvPlanes& frame);
    void lumaRow(const std::uint32_t* source, std::uint8_t* out) const;
    void pixelChromaRow(const std::uint32_t* source, std::uint8_t* cb, std::uint8_t* cr) const;
    void blockChromaRow(const std::uint32_t* upper, const std::uint32_t* lower, std::uint8_t* cb,
                        std::uint8_t* cr) const;

    MovieGeometry geometry_;
    std::vector<int> sourceColumn_;        // for each column of the enlarged screen (odd scales)
    std::vector<std::uint32_t> previous_;  // the last picture converted
    std::vector<bool> rowChanged_;         // for each screen row, since that picture
    YuvPlanes lastFrame_;                  // where it went; nothing yet while null
};

}  // namespace lantrel
