#pragma once

#include <QIcon>
#include <QImage>

namespace lantrel {

// The program's pixel art as Qt pictures: the application icon at one of its sizes, every
// size together as the window icon, and the 16 × 15 toolbar button of a command (a null icon
// for a command without one).
QImage applicationIconImage(int size);
QIcon applicationIcon();
QIcon toolbarButtonIcon(int commandId);

}  // namespace lantrel
