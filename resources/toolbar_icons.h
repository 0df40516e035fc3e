#pragma once

#include <array>

#include "rgba_image.h"

namespace lantrel {

// The main window's toolbar buttons are 16 x 15 pixels, the size the toolbar was laid out for.
inline constexpr int kToolbarIconWidth = 16;
inline constexpr int kToolbarIconHeight = 15;

// A button picture, rows top to bottom, each pixel opaque or fully transparent. As bytes it is
// a 16 x 15 QImage::Format_RGBA8888 picture with 64-byte rows.
using ToolbarIcon = std::array<Rgba, kToolbarIconWidth * kToolbarIconHeight>;

// The commands that have a toolbar button, in button order; the window adds the separators.
inline constexpr std::array<int, 15> kToolbarCommands = {
    57600,  // new
    57601,  // open
    57603,  // save
    32808,  // place a score file ("VTQ配置")
    57637,  // paste
    57643,  // undo
    32785,  // redo
    32789,  // play with the score screen
    32794,  // play the sound only
    32793,  // stop
    32819,  // to the first column
    32820,  // to the arrangement's end
    32800,  // movie settings
    32772,  // movie output
    57664,  // about
};

// The button picture of `commandId`, or nullptr for a command without a button. The pictures
// are built at compile time and live as long as the program.
const ToolbarIcon* toolbarIcon(int commandId);

}  // namespace lantrel
