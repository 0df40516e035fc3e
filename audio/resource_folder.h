#pragma once

#include <filesystem>

namespace lantrel {

// The directory of the running executable (from /proc/self/exe); the current directory when
// that cannot be read, and "." when neither can.
std::filesystem::path programDirectory();

// The built-in resource folder: `rsrc` beside the executable. It holds the default sounds and
// the sprite bitmaps; every loader asks here.
std::filesystem::path builtInResourceFolder();

}  // namespace lantrel
