#include "atomic_file.h"

#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <utility>

namespace lantrel {

namespace {

std::string systemError(const std::string& what, int errorNumber) {
    return what + ": " + std::strerror(errorNumber);
}

bool writeAll(int fd, std::span<const std::byte> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
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

bool commitClosedTemporary(const std::filesystem::path& temporary,
                           const std::filesystem::path& target, std::string& error) {
    TemporaryFile file{::open(temporary.c_str(), O_RDONLY | O_CLOEXEC), temporary};
    if (file.descriptor < 0) {
        error = systemError("cannot write " + target.string(), errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return commitTemporary(file, target, error);
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string& error) {
    TemporaryFile file = createTemporaryBeside(path, error);
    if (file.descriptor < 0) return false;
    if (!writeAll(file.descriptor, std::as_bytes(std::span(bytes.data(), bytes.size())))) {
        const int failure = errno;
        ::close(file.descriptor);
        ::unlink(file.path.c_str());
        error = systemError("cannot write " + path.string(), failure);
        return false;
    }
    return commitTemporary(file, path, error);
}

AtomicOutputFile::~AtomicOutputFile() {
    discard();
}

AtomicOutputFile::AtomicOutputFile(AtomicOutputFile&& other) noexcept
    : file_(std::exchange(other.file_, {})),
      target_(std::move(other.target_)),
      finished_(std::exchange(other.finished_, false)) {}

AtomicOutputFile& AtomicOutputFile::operator=(AtomicOutputFile&& other) noexcept {
    if (this != &other) {
        discard();
        file_ = std::exchange(other.file_, {});
        target_ = std::move(other.target_);
        finished_ = std::exchange(other.finished_, false);
    }
    return *this;
}

bool AtomicOutputFile::open(const std::filesystem::path& target, std::string& error) {
    discard();
    file_ = createTemporaryBeside(target, error);
    target_ = target;
    return isOpen();
}

bool AtomicOutputFile::write(std::span<const std::byte> bytes) {
    if (!isOpen()) {
        errno = EBADF;
        return false;
    }
    return writeAll(file_.descriptor, bytes);
}

bool AtomicOutputFile::finish(std::string& error) {
    if (finished_) return true;
    if (!isOpen()) {
        error = "cannot write " + target_.string() + ": the file is not open";
        return false;
    }
    int failure = ::fsync(file_.descriptor) != 0 ? errno : 0;
    if (::close(file_.descriptor) != 0 && !failure) failure = errno;
    file_.descriptor = -1;
    if (failure) {
        discard();
        error = systemError("cannot write " + target_.string(), failure);
        return false;
    }
    finished_ = true;
    return true;
}

bool AtomicOutputFile::commit(std::string& error) {
    if (!finish(error)) return false;
    if (::rename(file_.path.c_str(), target_.c_str()) != 0) {
        const int failure = errno;
        discard();
        error = systemError("cannot write " + target_.string(), failure);
        return false;
    }
    file_.path.clear();
    finished_ = false;
    syncFolder(folderOf(target_));
    return true;
}

void AtomicOutputFile::discard() {
    if (file_.descriptor >= 0) ::close(file_.descriptor);
    if (!file_.path.empty()) ::unlink(file_.path.c_str());
    file_ = {};
    finished_ = false;
}

void removeRegularFile(const std::filesystem::path& path) {
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored)) std::filesystem::remove(path, ignored);
}

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path,
                                                       std::uintmax_t maxBytes,
                                                       std::string& error) {
    if (error = regularFileProblem(path); !error.empty()) return std::nullopt;
    std::error_code code;
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
