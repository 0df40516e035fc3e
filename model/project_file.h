#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace lantrel {

class Project;

// The project file (.vtm): a magic and version word (0x01 'V' 'T' 'M'), the settings, then
// each lane's bounds and the notes of every column between them. Files from before the
// magic word start directly with the tempo and have no brightness.
inline constexpr std::uint32_t kProjectMagic = 0x4D545601;
inline constexpr int kProjectFileVersion = 1;

// Writes the whole file body of `project`. The caller holds the project's lock or is the
// only thread that changes it.
std::string writeProjectFile(const Project& project);

// What is wrong with a file that is not a readable project, for a message in the user's own
// language: it ends too soon, or its lanes claim what no project holds.
enum class ProjectDamage { None, Truncated, BadLanes };

struct ProjectReadResult {
    bool ok = false;
    int version = 0;
    std::string error;  // plain words, for the user
    ProjectDamage damage = ProjectDamage::None;
};

// Reads a file body into `project`, which should be freshly reset. Stored lane bounds are
// checked before any note is read, so a malformed or forged file fails quickly without
// large allocations. On failure `project` is left half-read and should be discarded.
ProjectReadResult readProjectFile(std::span<const std::uint8_t> bytes, Project& project);

// True when the bytes begin with the magic word of a project file.
bool hasProjectMagic(std::span<const std::uint8_t> bytes);

}  // namespace lantrel
