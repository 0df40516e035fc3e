#pragma once

#include <cstdio>
#include <string>
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

// `text` with its control characters written as \xNN, so that a message about a name that holds
// them shows what is there instead of acting on the terminal.
inline std::string printableText(std::string_view text) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        shown += escaped;
    }
    return shown;
}

}  // namespace lantrel
