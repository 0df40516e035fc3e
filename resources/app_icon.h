#pragma once

#include <array>

#include "rgba_image.h"

namespace lantrel {

// The sizes of the program's icon that the desktop's hicolor theme gets, in pixels square.
inline constexpr std::array<int, 6> kAppIconSizes = {16, 32, 48, 64, 128, 256};

// The program's icon, `size` pixels square: three lanes of note cells entering one after
// another, as in a round, under a note. It is drawn twice, at 16 and at 32 pixels, and
// enlarged by whole numbers from the larger drawing whose side divides `size`, so that the
// pixels stay crisp. A null image for a size that neither drawing divides.
RgbaImage appIcon(int size);

}  // namespace lantrel
