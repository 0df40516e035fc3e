#pragma once

#include <cstddef>
#include <cstdint>

#include "base/sound_sink.h"

namespace lantrel {

// One picture of the score screen as it lies in memory: 32-bit pixels 0xffRRGGBB in host
// order (the layout of QImage::Format_RGB32), `stride` bytes from one row to the next. The
// encoders take this view rather than a QImage so that they need no Qt.
struct ScreenPicture {
    static constexpr int kWidth = 512;
    static constexpr int kHeight = 384;

    const std::byte* bits = nullptr;
    std::ptrdiff_t stride = 0;
    int width = kWidth;
    int height = kHeight;

    const std::uint32_t* row(int y) const {
        return reinterpret_cast<const std::uint32_t*>(bits + y * stride);
    }
};

// Where an export's movie goes: the sound (see SoundSink) and the pictures in the order they play,
// each lasting one frame. Picture and sound may come in any order; handing over about one
// second of each in turn keeps the encoders' queues short.
class MovieSink : public SoundSink {
  public:
    virtual bool addFrame(const ScreenPicture& picture) = 0;
};

}  // namespace lantrel
