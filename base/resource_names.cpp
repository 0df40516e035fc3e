#include "resource_names.h"

#include <algorithm>
#include <cctype>

namespace lantrel {

static_assert(soundFileName(1) == "sound1.wav" && soundFileName(15) == "sound15.wav" &&
              soundFileName(21) == "sound21.wav" && soundFileName(29) == "SOUND29.WAV");

bool isSoundFileName(std::string_view name) {
    if (name.size() < 3) return false;
    const std::string_view tail = name.substr(name.size() - 3);
    return std::equal(tail.begin(), tail.end(), "wav", [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

}  // namespace lantrel
