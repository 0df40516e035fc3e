#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace lantrel {

// The built-in resource folder: `rsrc` beside the executable when there is one (a build tree,
// where make_rsrc writes it), else the installation's DATADIR/lantrel/rsrc found from the
// executable's folder (/usr/share/lantrel/rsrc for /usr/bin/lantrel). It holds the program's
// default sounds and sprite bitmaps; an import replaces them when it may write here.
std::filesystem::path builtInResourceFolder();

// The user's data folder, `$XDG_DATA_HOME`, or `$HOME/.local/share` when XDG_DATA_HOME is unset
// or not absolute; empty when neither variable names a folder.
std::filesystem::path userDataHome();
std::filesystem::path userDataHome(const char* xdgDataHome, const char* home);

// The user's resource folder, `$XDG_DATA_HOME/lantrel/rsrc`, or `$HOME/.local/share/lantrel/rsrc`
// when XDG_DATA_HOME is unset or not absolute. Empty when neither variable names a folder. An
// import writes here when the built-in folder cannot be written (a system-wide installation).
std::filesystem::path userResourceFolder();
std::filesystem::path userResourceFolder(const char* xdgDataHome, const char* home);

// Where resource files are looked up, in order:
//   1. the user's resource folder (when there is one),
//   2. the built-in folder.
// The user's folder comes first because a system-wide installation ships a default set in the
// built-in folder, and the sequencer's files imported by the user must win over it. The lookup
// is per file: a file missing or unusable in the user's folder comes from the built-in one.
std::vector<std::filesystem::path> resourceFolders();

// A file that a loader may use: a regular file (or a link to one) that is not empty.
bool isUsableResourceFile(const std::filesystem::path& file);

// `name` in the first of `folders` that holds it as a usable file, or nothing.
std::optional<std::filesystem::path> findResourceFile(
    std::string_view name, std::span<const std::filesystem::path> folders);

// `name` looked up in resourceFolders(); the built-in folder's path when no folder holds it,
// so that a reader fails on the path that the program documents.
std::filesystem::path resourceFile(std::string_view name);

}  // namespace lantrel
