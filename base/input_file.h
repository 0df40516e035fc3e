#pragma once

#include <filesystem>
#include <string>

namespace lantrel {

// Input files are opened only when they are regular files: a named pipe or a device given as a
// project, a score or a sound would block the program, or feed it forever, where a plain file
// simply ends. Looking at the file's status never opens it, so the check itself cannot block.

// Why `path` cannot be read as an input file ("... does not exist", "... is not a regular
// file"), or an empty text when it is a regular file or a link to one.
std::string regularFileProblem(const std::filesystem::path& path);

inline bool isRegularInputFile(const std::filesystem::path& path) {
    return regularFileProblem(path).empty();
}

}  // namespace lantrel
