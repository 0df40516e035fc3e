#pragma once

#include <filesystem>
#include <string>

namespace lantrel {

// Why a score file could not be read, in plain words for the command line. The document
// itself places nothing silently; the verbs owe the user a reason.
std::string explainUnreadableScore(const std::filesystem::path& path);

// Why placing the score at `column` placed nothing.
std::string explainRefusedPlacement(const std::filesystem::path& path, int column);

}  // namespace lantrel
