#include "sprite_sheets.h"

#include <QFontDatabase>
#include <QStringList>

#include "base/resource_folder.h"
#include "base/resource_names.h"
#include "bmp_reader.h"
#include "resources/clef_image.h"

namespace lantrel {

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

struct Area {
    int sourceX, sourceY, width, height, targetX, targetY;
};

// Where the cells sit on the sheets and where they go in the strips.
constexpr Area kIconRows[] = {
    {0, 0, 64, 16, 0, 0}, {0, 16, 64, 16, 64, 0}, {0, 32, 64, 16, 128, 0}, {0, 48, 64, 16, 192, 0}};
constexpr Area kRunnerCells[] = {{0, 1, 16, 21, 0, 0}, {16, 2, 16, 20, 16, 0}};

QRgb sheetPixel(const QImage& sheet, int x, int y) {
    return sheet.valid(x, y) ? sheet.pixel(x, y) | 0xFF000000 : kWhite;
}

// Only exact white is transparent: any other colour in a mask sheet marks an opaque pixel.
template <std::size_t N>
void copyMask(const QImage& sheet, const Area (&areas)[N], BitMask& mask) {
    for (const Area& area : areas)
        for (int y = 0; y < area.height; ++y)
            for (int x = 0; x < area.width; ++x)
                mask.set(area.targetX + x, area.targetY + y,
                         sheetPixel(sheet, area.sourceX + x, area.sourceY + y) == kWhite);
}

// Copies the colour pixels where the mask is opaque; the strip stays white elsewhere.
template <std::size_t N>
void copyThroughMask(const QImage& sheet, const Area (&areas)[N], const BitMask& mask,
                     QImage& strip) {
    for (const Area& area : areas)
        for (int y = 0; y < area.height; ++y)
            for (int x = 0; x < area.width; ++x)
                if (!mask.transparent(area.targetX + x, area.targetY + y))
                    strip.setPixel(area.targetX + x, area.targetY + y,
                                   sheetPixel(sheet, area.sourceX + x, area.sourceY + y));
}

QImage whiteStrip(int width, int height) {
    QImage strip(width, height, QImage::Format_RGB32);
    strip.fill(kWhite);
    return strip;
}

// A sheet that does not read (damaged, forged, far too large) is passed over as a missing one
// is: the next folder's file is tried.
QImage readSheet(std::string_view name, std::span<const std::filesystem::path> folders) {
    for (std::size_t first = 0; first < folders.size(); ++first) {
        const auto file = findResourceFile(name, folders.subspan(first, 1));
        if (!file) continue;
        if (QImage sheet = readBmpFile(*file); !sheet.isNull()) return sheet;
    }
    return {};
}

BitMask clefMask() {
    BitMask mask(kClefWidth, kClefHeight);
    for (int y = 0; y < kClefHeight; ++y)
        for (int x = 0; x < kClefWidth; ++x)
            mask.set(x, y, !clefInk(x, y));
    return mask;
}

}  // namespace

void installScreenFontSubstitutes() {
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
}

std::string missingScreenFonts() {
    const QStringList installed = QFontDatabase::families();
    std::string missing;
    auto need = [&](const char* family, const char* use, const char* shownName) {
        if (installed.contains(QString::fromLatin1(family))) return;
        missing += std::string(missing.empty() ? "" : "; ") + "the font for " + use + " (" +
                   shownName + ") is not installed";
    };
    need("IPAPGothic", "bar numbers", "IPA P Gothic");
    need("IPAGothic", "the CHEAT caption", "IPA Gothic");
    return missing;
}

QFont proportionalGothicFont(int pixelSize) {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(pixelSize);
    return font;
}

QFont monospacedGothicFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

SpriteSheets::SpriteSheets(std::span<const std::filesystem::path> resourceFolders)
    : iconStrip_(whiteStrip(kIconSize * kIconCells, kIconSize)),
      iconMask_(kIconSize * kIconCells, kIconSize),
      clef_(clefMask()),
      runnerStrip_(whiteStrip(2 * kRunnerWidth, kRunnerHeight)),
      runnerMask_(2 * kRunnerWidth, kRunnerHeight),
      barNumberFont_(proportionalGothicFont(12)) {  // 9 points at 96 dots per inch
    loadIcons(resourceFolders);
    loadRunner(resourceFolders);
    fillRunnerOutline();
}

void SpriteSheets::loadIcons(std::span<const std::filesystem::path> folders) {
    copyMask(readSheet(kIconsMaskBitmap, folders), kIconRows, iconMask_);
    copyThroughMask(readSheet(kIconsBitmap, folders), kIconRows, iconMask_, iconStrip_);
}

void SpriteSheets::loadRunner(std::span<const std::filesystem::path> folders) {
    copyMask(readSheet(kRunnerMaskBitmap, folders), kRunnerCells, runnerMask_);
    copyThroughMask(readSheet(kRunnerBitmap, folders), kRunnerCells, runnerMask_, runnerStrip_);
}

// The runner's outline is filled row by row (rows 0..18 of cell 0, 0..16 of cell 1) so that
// it is drawn as a solid figure; the legs below keep their gaps. The filled pixels are white
// in the colour strip, so they show as opaque white.
void SpriteSheets::fillRunnerOutline() {
    constexpr struct { int left, lastRow; } kCells[] = {{0, 18}, {kRunnerWidth, 16}};
    for (const auto& cell : kCells) {
        for (int y = 0; y <= cell.lastRow; ++y) {
            int first = -1;
            int last = -1;
            for (int x = cell.left; x < cell.left + kRunnerWidth; ++x) {
                if (runnerMask_.transparent(x, y)) continue;
                if (first < 0) first = x;
                last = x;
            }
            for (int x = first + 1; first >= 0 && x < last; ++x)
                runnerMask_.set(x, y, false);
        }
    }
}

}  // namespace lantrel
