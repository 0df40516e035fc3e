#pragma once

#include <filesystem>

// Where the running program is, and where its installation keeps the rest of its files. Every
// path is found from the program's own folder, never from the prefix it was built for, so an
// installation may be moved as a whole (or run from a DESTDIR staging folder).
namespace lantrel {

// The directory of the running executable (from /proc/self/exe); the current directory when
// that cannot be read, and "." when neither can.
std::filesystem::path programDirectory();

// The program's own installed data, DATADIR/lantrel: /usr/share/lantrel for /usr/bin/lantrel.
// It holds the built-in resource folder and the examples.
std::filesystem::path installedDataFolder();

// The program's own loadable parts, LIBDIR/lantrel: /usr/lib/lantrel (or the multiarch
// /usr/lib/x86_64-linux-gnu/lantrel) for /usr/bin/lantrel.
std::filesystem::path installedLibraryFolder();

}  // namespace lantrel
