#include "resource_folder.h"

namespace lantrel {

std::filesystem::path programDirectory() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && executable.has_parent_path()) return executable.parent_path();
    auto current = std::filesystem::current_path(error);
    return error ? std::filesystem::path(".") : current;
}

std::filesystem::path builtInResourceFolder() {
    return programDirectory() / "rsrc";
}

}  // namespace lantrel
