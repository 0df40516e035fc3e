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

// A new, empty file beside `target` under a name of its own (".NAME.XXXXXX"), open for
// writing. A replaced file's permissions carry over; a new one gets 0666 less the umask, as any
// file the user creates. `descriptor` is -1 and `error` says why when none could be created.
struct TemporaryFile {
    int descriptor = -1;
    std::filesystem::path path;
};
TemporaryFile createTemporaryBeside(const std::filesystem::path& target, std::string& error);

// Flushes the temporary file to disk, closes it and renames it over `target`; the rename is made
// durable too. On failure the temporary file is removed and `error` says why. Always closes.
bool commitTemporary(TemporaryFile& file, const std::filesystem::path& target, std::string& error);

// Removes `path` only if it is a regular file: an output path might name a device or a folder.
void removeRegularFile(const std::filesystem::path& path);

// Reads a whole regular file of at most `maxBytes` bytes.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path,
                                                       std::uintmax_t maxBytes, std::string& error);

}  // namespace lantrel
