#pragma once

#include <QImage>

#include <filesystem>
#include <functional>

#include "base/screen_size.h"
#include "sprite_sheets.h"

namespace lantrel {

class Project;

// Everything one drawing of the score screen needs: the project, the target picture, the play
// position in half-beats (-1 = before the first column) and the sprites, loaded once per
// context. Each frame reads the project afresh through its locked queries: the notes, and from
// a settings copy taken for that frame the brightness, the time signature and the pitch factors,
// so a change made in a dialog shows at the next frame. The view and every export run each own
// a context, so two pictures can be drawn at the same time.
class FrameContext {
  public:
    // Sprites come from the first of `resourceFolders` that holds each file.
    explicit FrameContext(std::span<const std::filesystem::path> resourceFolders);

    // Stores the project (not owned), which must outlive the drawing.
    void attach(const Project& project);
    // `target` must be a 512 x 384 Format_RGB32 image (not owned).
    FrameContext& prepare(QImage* target, int position);

    const Project* project() const { return project_; }
    const SpriteSheets& sprites() const { return sprites_; }
    QImage* target() const { return target_; }
    int position() const { return position_; }

    // The minute of the wall clock, which picks the icon of the empty-arrangement picture.
    // Tests replace it.
    std::function<int()> minuteOfClock;

  private:
    const Project* project_ = nullptr;
    QImage* target_ = nullptr;
    int position_ = -1;
    SpriteSheets sprites_;
};

// Draws the score screen at the context's position into its target.
void RenderFrame(FrameContext& context);

// k * a / 255 + b * (255 - k) / 255 per channel, each quotient truncated, clamped to 0..255.
QRgb blend(QRgb a, QRgb b, int k);

// A new 512 x 384 picture in the format RenderFrame draws into.
QImage makeScreenImage();

}  // namespace lantrel
