#pragma once

#include <QImage>

#include "encode/movie_sink.h"

namespace lantrel {

// The encoders' view of a picture that RenderFrame drew. A picture in another format gives
// an empty view, which the encoders refuse.
inline ScreenPicture screenPictureOf(const QImage& image) {
    if (image.format() != QImage::Format_RGB32) return {nullptr, 0, 0, 0};
    return {reinterpret_cast<const std::byte*>(image.constBits()), image.bytesPerLine(),
            image.width(), image.height()};
}

}  // namespace lantrel
