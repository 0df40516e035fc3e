#include "default_sprites.h"

#include "pixel_art.h"
#include "sprite_art.h"

namespace lantrel {

RgbImage::Area iconCellArea(int cell) {
    return {kIconSize * (cell % 4), kIconSize * (cell / 4), kIconSize, kIconSize};
}

SpriteSheet buildIconSheet() {
    SpriteSheet sheet{RgbImage(kIconSheetWidth, kIconSheetHeight),
                      RgbImage(kIconSheetWidth, kIconSheetHeight)};
    for (int cell = 0; cell < kIconCellCount; ++cell) {
        const RgbImage::Area area = iconCellArea(cell);
        paintArt(kIconArt[static_cast<std::size_t>(cell)], area.x, area.y, sheet.colour,
                 sheet.mask);
    }
    return sheet;
}

SpriteSheet buildRunnerSheet() {
    SpriteSheet sheet{RgbImage(kRunnerSheetWidth, kRunnerSheetHeight),
                      RgbImage(kRunnerSheetWidth, kRunnerSheetHeight)};
    paintArt(kRunnerStepArt, kRunnerCellAreas[0].x, kRunnerCellAreas[0].y, sheet.colour,
             sheet.mask);
    paintArt(kRunnerLeapArt, kRunnerCellAreas[1].x, kRunnerCellAreas[1].y, sheet.colour,
             sheet.mask);
    return sheet;
}

}  // namespace lantrel
