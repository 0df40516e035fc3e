#include "score_diagnosis.h"

#include "model/note_store.h"
#include "model/score.h"

namespace lantrel {

std::string explainUnreadableScore(const std::filesystem::path& path) {
    const std::string name = path.string();
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) return name + " does not exist";
    if (!std::filesystem::is_regular_file(status)) return name + " is not a regular file";
    const auto size = std::filesystem::file_size(path, error);
    if (error) return "cannot read " + name + ": " + error.message();
    if (size == 0) return name + " is empty";
    if (size > Score::kMaxFileBytes)
        return name + " is too large to be a score (" + std::to_string(size) + " bytes)";
    return "cannot read " + name;
}

std::string explainRefusedPlacement(const std::filesystem::path& path, int column) {
    Score score;
    if (!score.loadFile(path)) return explainUnreadableScore(path);
    if (score.end < 2)
        return path.string() + " has no END= line of 2 or more, so it holds no columns";
    const long long last = static_cast<long long>(column) + score.end - 2;
    if (last >= kMaxColumns)
        return "the score would reach column " + std::to_string(last) + ", beyond the maximum of " +
               std::to_string(kMaxColumns - 1);
    return "the document refused the placement";
}

}  // namespace lantrel
