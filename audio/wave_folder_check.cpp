#include "wave_folder_check.h"

#include <filesystem>
#include <system_error>

namespace lantrel {

namespace {

constexpr std::string_view kProbeNames[] = {"sound1.wav", "sound27.wav"};

std::string withoutTrailingSeparator(std::string_view text) {
    if (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) text.remove_suffix(1);
    return std::string(text);
}

bool holdsFile(const std::string& folder, std::string_view name) {
    std::error_code error;
    return std::filesystem::is_regular_file(folder + "/" + std::string(name), error);
}

std::string accessProblem(const std::string& folder, std::string_view name) {
    return "フォルダ " + folder + " の " + std::string(name) + " にアクセスできません。";
}

}  // namespace

WaveFolderCheck checkWaveFolder(std::string_view text) {
    WaveFolderCheck check{withoutTrailingSeparator(text), {}, {}};
    if (check.folder.empty()) return check;
    for (const std::string_view name : kProbeNames) {
        if (!holdsFile(check.folder, name)) {
            check.problem = accessProblem(check.folder, name);
            check.missingSound = std::string(name);
            break;
        }
    }
    return check;
}

}  // namespace lantrel
