#pragma once

#include <QFont>
#include <QImage>

#include <filesystem>
#include <span>
#include <string>

#include "bit_mask.h"

namespace lantrel {

// The score screen's sprites, loaded once from the resource folder and rearranged into
// single-row strips: 16 instrument icons (cell k shows instrument k + 1) and two runner cells,
// each with a mask, plus the program's own treble clef and the bar-number font. Missing or
// malformed files leave blank (white, transparent) sprites; nothing here fails.
class SpriteSheets {
  public:
    static constexpr int kIconSize = 16;
    static constexpr int kIconCells = 16;
    static constexpr int kRunnerWidth = 16;
    static constexpr int kRunnerHeight = 22;

    // Each file is taken from the first of `resourceFolders` that holds it as a bitmap that
    // reads; one that does not is passed over like a missing file.
    explicit SpriteSheets(std::span<const std::filesystem::path> resourceFolders);

    const QImage& iconStrip() const { return iconStrip_; }      // 256 x 16
    const BitMask& iconMask() const { return iconMask_; }       // 256 x 16
    const BitMask& clef() const { return clef_; }               // 24 x 96, black = opaque
    const QImage& runnerStrip() const { return runnerStrip_; }  // 32 x 22
    const BitMask& runnerMask() const { return runnerMask_; }   // 32 x 22
    const QFont& barNumberFont() const { return barNumberFont_; }

  private:
    void loadIcons(std::span<const std::filesystem::path> folders);
    void loadRunner(std::span<const std::filesystem::path> folders);
    void fillRunnerOutline();

    QImage iconStrip_;
    BitMask iconMask_;
    BitMask clef_;
    QImage runnerStrip_;
    BitMask runnerMask_;
    QFont barNumberFont_;
};

// The fonts of the score screen, by the names the screen was designed with. The application
// maps those names to the metric-compatible IPA fonts once, at start-up, before any drawing.
void installScreenFontSubstitutes();
// What is missing for the screen to look the same everywhere ("the font for bar numbers (IPA P
// Gothic) is not installed"), or an empty text. Without the IPA fonts Qt draws with whatever it
// finds, and a movie made on one machine would not be the movie made on another.
std::string missingScreenFonts();
QFont proportionalGothicFont(int pixelSize);
QFont monospacedGothicFont(int pixelSize, bool bold);

}  // namespace lantrel
