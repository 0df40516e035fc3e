#include "contact_sheet.h"

#include "resources/clef_image.h"
#include "sprite_art.h"

namespace lantrel {

namespace {

constexpr int kScale = 4;
constexpr int kMargin = 8;
constexpr int kGap = 8;
constexpr int kIconsPerRow = 8;
constexpr int kGridLeft = kMargin + kClefWidth * kScale + 2 * kGap;
constexpr int kTile = kIconSize * kScale;
constexpr int kRunnerTop = kMargin + 2 * (kTile + kGap);
constexpr int kRunnerTileHeight = 22 * kScale;
constexpr int kSmallTop = kRunnerTop + kRunnerTileHeight + 2 * kGap;
constexpr int kSheetWidth = kGridLeft + kIconsPerRow * (kTile + kGap);
constexpr int kSheetHeight = kMargin + kClefHeight * kScale + kMargin;

// The colours the score screen puts behind the sprites: the lane band, the white bar-number
// band the runner walks on, and the black staff lines.
constexpr Rgb kLaneColour{206, 239, 231};
constexpr Rgb kBackdrop{96, 96, 96};
constexpr int kStaffLineRows[] = {14, 30, 46, 62, 78};

void drawClef(RgbImage& sheet) {
    const int left = kMargin;
    const int top = kMargin;
    sheet.fill(left, top, kClefWidth * kScale, kClefHeight * kScale, kLaneColour);
    for (int row : kStaffLineRows)
        sheet.fill(left, top + row * kScale, kClefWidth * kScale, 2 * kScale, kBlack);
    for (int y = 0; y < kClefHeight; ++y)
        for (int x = 0; x < kClefWidth; ++x)
            if (clefInk(x, y))
                sheet.fill(left + x * kScale, top + y * kScale, kScale, kScale, kBlack);
}

void drawIcons(RgbImage& sheet, const SpriteSheet& icons) {
    for (int cell = 0; cell < kIconCellCount; ++cell) {
        const int x = kGridLeft + (cell % kIconsPerRow) * (kTile + kGap);
        const int y = kMargin + (cell / kIconsPerRow) * (kTile + kGap);
        sheet.fill(x, y, kTile, kTile, kLaneColour);
        sheet.drawMasked(icons.colour, icons.mask, iconCellArea(cell), x, y, kScale);

        const int smallSize = kIconSize * 2;
        const int smallX = kGridLeft + cell * (smallSize + kGap / 2);
        sheet.fill(smallX, kSmallTop, smallSize, smallSize, kLaneColour);
        sheet.drawMasked(icons.colour, icons.mask, iconCellArea(cell), smallX, kSmallTop, 2);
    }
}

void drawRunner(RgbImage& sheet, const SpriteSheet& runner) {
    for (std::size_t cell = 0; cell < kRunnerCellAreas.size(); ++cell) {
        const int x = kGridLeft + static_cast<int>(cell) * (kTile + kGap);
        sheet.fill(x, kRunnerTop, kTile, kRunnerTileHeight, kWhite);
        sheet.drawMasked(runner.colour, runner.mask, kRunnerCellAreas[cell], x, kRunnerTop, kScale);
    }
}

}  // namespace

RgbImage drawContactSheet(const SpriteSheet& icons, const SpriteSheet& runner) {
    RgbImage sheet(kSheetWidth, kSheetHeight, kBackdrop);
    drawClef(sheet);
    drawIcons(sheet, icons);
    drawRunner(sheet, runner);
    return sheet;
}

}  // namespace lantrel
