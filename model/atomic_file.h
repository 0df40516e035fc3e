#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lantrel {

// Writes `bytes` to a temporary file in the target's folder, flushes it to disk and renames
// it over `path`, so that readers see either the old file or the whole new one, never a
// partial one. On failure the temporary file is removed, `path` is untouched and `error`
// says why.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string& error);

// Removes `path` only if it is a regular file: an output path might name a device or a folder.
void removeRegularFile(const std::filesystem::path& path);

// Reads a whole regular file of at most `maxBytes` bytes.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path,
                                                       std::uintmax_t maxBytes, std::string& error);

}  // namespace lantrel
