#include "input_file.h"

namespace lantrel {

std::string regularFileProblem(const std::filesystem::path& path) {
    std::error_code code;
    const auto status = std::filesystem::status(path, code);
    if (std::filesystem::is_regular_file(status)) return {};
    if (!std::filesystem::exists(status)) return path.string() + " does not exist";
    return path.string() + " is not a regular file";
}

}  // namespace lantrel
