#pragma once
#include <string_view>
namespace lantrel {
// A file name that an output may be given: not empty, and free of NUL and control characters
// and of path separators, so that a name from a project file can never point outside the chosen
// output folder.
inline bool isSafeOutputFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '/' || c == '\\') return false;
    }
    return true;
}
}  // namespace lantrel
