#include "install_layout.h"

#include "base/install_dirs.h"

namespace lantrel {

std::filesystem::path programDirectory() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && executable.has_parent_path()) return executable.parent_path();
    auto current = std::filesystem::current_path(error);
    return error ? std::filesystem::path(".") : current;
}

std::filesystem::path installedDataFolder() {
    return (programDirectory() / kBinDirToDataDir).lexically_normal();
}

std::filesystem::path installedLibraryFolder() {
    return (programDirectory() / kBinDirToLibDir).lexically_normal();
}

}  // namespace lantrel
