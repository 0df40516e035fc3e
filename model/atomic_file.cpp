#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace lantrel {

namespace {

std::string systemError(const std::string& what, int errorNumber) {
    return what + ": " + std::strerror(errorNumber);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A replaced file keeps its permissions; a new one gets the usual 0666 less the umask
// instead of mkstemp's private 0600.
mode_t modeFor(const std::filesystem::path& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string& error) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    std::string temporary = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = systemError("cannot create a file in " + folder.string(), errno);
        return false;
    }
    int failure = writeAll(fd, bytes) ? 0 : errno;
    if (!failure && ::fchmod(fd, modeFor(path)) != 0) failure = errno;
    if (!failure && ::fsync(fd) != 0) failure = errno;
    if (::close(fd) != 0 && !failure) failure = errno;
    if (!failure && ::rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
    if (failure) {
        ::unlink(temporary.c_str());
        error = systemError("cannot write " + path.string(), failure);
        return false;
    }
    // Make the rename itself durable.
    if (const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

void removeRegularFile(const std::filesystem::path& path) {
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored)) std::filesystem::remove(path, ignored);
}

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path,
                                                       std::uintmax_t maxBytes,
                                                       std::string& error) {
    std::error_code code;
    if (!std::filesystem::is_regular_file(path, code)) {
        error = std::filesystem::exists(path, code) ? path.string() + " is not a regular file"
                                                    : path.string() + " does not exist";
        return std::nullopt;
    }
    const auto size = std::filesystem::file_size(path, code);
    if (code) {
        error = "cannot read " + path.string() + ": " + code.message();
        return std::nullopt;
    }
    if (size > maxBytes) {
        error = path.string() + " is too large (" + std::to_string(size) + " bytes)";
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!file || !file.read(reinterpret_cast<char*>(bytes.data()),
                            static_cast<std::streamsize>(bytes.size()))) {
        error = systemError("cannot read " + path.string(), errno);
        return std::nullopt;
    }
    return bytes;
}

}  // namespace lantrel
