#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>

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

std::filesystem::path folderOf(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path() : ".";
}

std::string randomSuffix(std::mt19937& random) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string suffix(6, 'x');
    for (char& c : suffix)
        c = kLetters[random() % (sizeof kLetters - 1)];
    return suffix;
}

void syncFolder(const std::filesystem::path& folder) {
    if (const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

}  // namespace

// Created with mode 0666 so that the kernel applies the umask: reading the umask means setting
// it, which would race with files that other threads (an export) create meanwhile.
TemporaryFile createTemporaryBeside(const std::filesystem::path& target, std::string& error) {
    const std::filesystem::path folder = folderOf(target);
    std::mt19937 random(std::random_device{}());
    int lastError = EEXIST;
    for (int attempt = 0; attempt < 100 && lastError == EEXIST; ++attempt) {
        TemporaryFile file;
        file.path = folder / ("." + target.filename().string() + "." + randomSuffix(random));
        file.descriptor = ::open(file.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.descriptor >= 0) {
            struct stat existing {};
            if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
                ::fchmod(file.descriptor, existing.st_mode & 07777);
            return file;
        }
        lastError = errno;
    }
    error = systemError("cannot create a file in " + folder.string(), lastError);
    return {};
}

bool commitTemporary(TemporaryFile& file, const std::filesystem::path& target, std::string& error) {
    int failure = ::fsync(file.descriptor) != 0 ? errno : 0;
    if (::close(file.descriptor) != 0 && !failure) failure = errno;
    file.descriptor = -1;
    if (!failure && ::rename(file.path.c_str(), target.c_str()) != 0) failure = errno;
    if (failure) {
        ::unlink(file.path.c_str());
        error = systemError("cannot write " + target.string(), failure);
        return false;
    }
    syncFolder(folderOf(target));
    return true;
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string& error) {
    TemporaryFile file = createTemporaryBeside(path, error);
    if (file.descriptor < 0) return false;
    if (!writeAll(file.descriptor, bytes)) {
        const int failure = errno;
        ::close(file.descriptor);
        ::unlink(file.path.c_str());
        error = systemError("cannot write " + path.string(), failure);
        return false;
    }
    return commitTemporary(file, path, error);
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
