#pragma once

#include <QImage>

namespace lantrel {

class Project;
class SpriteSheets;

// Draws the arrangement strip: the header with its bar ticks and numbers, the grid, and each
// visible cell (grey outside every placed score, else white with a small icon per note).
// The cursor frame is not part of it; the view draws that on the window. Keeps the icons
// shrunk to cell size, made once from the sprites.
class StripPainter {
  public:
    static constexpr int kGridColour = 0xC0C0C0;
    static constexpr int kEmptyCellColour = 0xD0D0D0;
    static constexpr int kSmallIcon = 8;

    explicit StripPainter(const SpriteSheets& sprites);

    // Paints `strip` (width × 92, Format_RGB32) for the columns from `firstVisibleColumn` on,
    // reading the project through its locked queries.
    void paint(QImage& strip, const Project& project, int firstVisibleColumn) const;

  private:
    void paintGrid(QImage& strip) const;
    void paintHeader(QImage& strip, int firstVisibleColumn, bool fourFour) const;
    void paintCells(QImage& strip, const Project& project, int firstVisibleColumn) const;

    const SpriteSheets& sprites_;
    QImage smallIcons_;  // the icon strip at 8 × 8 a cell
};

}  // namespace lantrel
