#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
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

// The same for a temporary file that a library wrote and closed by its name (libavformat opens
// its files itself): flushed to disk and renamed over `target`, or removed on failure.
bool commitClosedTemporary(const std::filesystem::path& temporary,
                           const std::filesystem::path& target, std::string& error);

// An output file that appears under its name only when it is whole: written under a temporary
// name beside the target and renamed over it by commit(). Until then the previous file of that
// name (if any) stays as it was, and a file given up (a failure, a cancel, an exception on the
// way out) leaves nothing behind: the destructor removes the temporary file.
class AtomicOutputFile {
  public:
    AtomicOutputFile() = default;
    ~AtomicOutputFile();
    AtomicOutputFile(AtomicOutputFile&& other) noexcept;
    AtomicOutputFile& operator=(AtomicOutputFile&& other) noexcept;
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    // Creates the temporary file for `target`; false with `error` when none can be created.
    bool open(const std::filesystem::path& target, std::string& error);
    bool isOpen() const { return file_.descriptor >= 0; }
    // For writers that position their writes themselves (pwrite); -1 when not open.
    int descriptor() const { return file_.descriptor; }
    const std::filesystem::path& target() const { return target_; }
    const std::filesystem::path& temporaryPath() const { return file_.path; }

    // Writes all of `bytes`, retrying short writes; false (with errno) when the system refuses.
    bool write(std::span<const std::byte> bytes);
    // Flushes the data to disk and closes the file, still under its temporary name; a group of
    // files can so be made ready before any of them replaces its target.
    bool finish(std::string& error);
    // Finishes the file if needed and renames it over the target. On failure the temporary file
    // is removed and `error` says why.
    bool commit(std::string& error);
    // Gives the file up now: closed and removed, the target untouched.
    void discard();

  private:
    TemporaryFile file_;
    std::filesystem::path target_;
    bool finished_ = false;
};

// Removes `path` only if it is a regular file: an output path might name a device or a folder.
void removeRegularFile(const std::filesystem::path& path);

// Reads a whole regular file of at most `maxBytes` bytes.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path,
                                                       std::uintmax_t maxBytes, std::string& error);

}  // namespace lantrel
