#pragma once

#include "default_sprites.h"
#include "rgb_image.h"

namespace lantrel {

// One picture that shows every icon, the two runner cells and the clef four times enlarged
// (and the icons once more at twice their size), each on the background it gets on the
// score screen, so that the artwork can be judged at a glance.
RgbImage drawContactSheet(const SpriteSheet& icons, const SpriteSheet& runner);

}  // namespace lantrel
