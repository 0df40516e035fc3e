#include "import_list.h"

#include <algorithm>
#include <cctype>

namespace lantrel {

const std::array<std::string_view, kImportFileCount> kImportList = {
    "icons.bmp",   "icons_mask.bmp", "running.bmp", "running_mask.bmp", "sound1.wav",
    "sound2.wav",  "sound3.wav",     "sound4.wav",  "sound5.wav",       "sound6.wav",
    "sound7.wav",  "sound8.wav",     "sound9.wav",  "sound10.wav",      "sound11.wav",
    "sound12.wav", "sound13.wav",    "sound14.wav", "sound15.wav",      "sound21.wav",
    "sound22.wav", "sound23.wav",    "sound24.wav", "sound25.wav",      "sound26.wav",
    "sound27.wav", "SOUND28.WAV",    "SOUND29.WAV",
};

bool isSoundFileName(std::string_view name) {
    if (name.size() < 3) return false;
    const std::string_view tail = name.substr(name.size() - 3);
    return std::equal(tail.begin(), tail.end(), "wav", [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

}  // namespace lantrel
