#include "resource_folder.h"

#include <cstdlib>

#include "install_layout.h"

namespace lantrel {

// The build tree's folder wins where there is one: an installation has nothing beside its
// executable, and a build tree has no DATADIR next to its bin folder.
std::filesystem::path builtInResourceFolder() {
    auto beside = programDirectory() / "rsrc";
    std::error_code error;
    if (std::filesystem::is_directory(beside, error)) return beside;
    return installedDataFolder() / "rsrc";
}

std::filesystem::path userDataHome(const char* xdgDataHome, const char* home) {
    // A relative XDG_DATA_HOME is to be ignored; it would move with the current directory.
    if (xdgDataHome && std::filesystem::path(xdgDataHome).is_absolute()) return xdgDataHome;
    if (home && *home) return std::filesystem::path(home) / ".local" / "share";
    return {};
}

std::filesystem::path userDataHome() {
    return userDataHome(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::filesystem::path userResourceFolder(const char* xdgDataHome, const char* home) {
    const std::filesystem::path dataHome = userDataHome(xdgDataHome, home);
    return dataHome.empty() ? dataHome : dataHome / "lantrel" / "rsrc";
}

std::filesystem::path userResourceFolder() {
    return userResourceFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::vector<std::filesystem::path> resourceFolders() {
    std::vector<std::filesystem::path> folders;
    if (auto user = userResourceFolder(); !user.empty()) folders.push_back(std::move(user));
    folders.push_back(builtInResourceFolder());
    return folders;
}

bool isUsableResourceFile(const std::filesystem::path& file) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (error || !std::filesystem::is_regular_file(status)) return false;
    const auto size = std::filesystem::file_size(file, error);
    return !error && size > 0;
}

std::optional<std::filesystem::path> findResourceFile(
    std::string_view name, std::span<const std::filesystem::path> folders) {
    for (const auto& folder : folders) {
        auto file = folder / name;
        if (isUsableResourceFile(file)) return file;
    }
    return std::nullopt;
}

std::filesystem::path resourceFile(std::string_view name) {
    const auto folders = resourceFolders();
    if (auto found = findResourceFile(name, folders)) return *found;
    return builtInResourceFolder() / name;
}

}  // namespace lantrel
