#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

namespace lantrel {

inline constexpr std::string_view kSequencerExecutableName = "VeltoSeq.exe";

// Asks the user for the sequencer's executable; nothing when they cancel.
using ExecutableChooser = std::function<std::optional<std::filesystem::path>()>;

// The places an import looks at, in order, and where it writes.
struct SequencerSearch {
    std::filesystem::path programDirectory;  // 1. VeltoSeq.exe beside the program
    std::filesystem::path procRoot;          // 2. a running sequencer among these processes
    ExecutableChooser askUser;               // 3. the user's choice
    std::filesystem::path importFolder;
};

// The Linux path for a path that a Windows program sees under Wine: its Z: drive is the root
// of the Linux file system, and Wine also passes Linux paths through unchanged. Other drives
// cannot be mapped without the prefix's configuration, so they give nothing, as do relative
// paths.
std::optional<std::filesystem::path> linuxPathFromWine(std::string_view path);

// The executable of a running sequencer: the first process under `procRoot` (in process-id
// order) whose command line has an argument naming VeltoSeq.exe that maps to an existing file.
std::optional<std::filesystem::path> findRunningSequencer(const std::filesystem::path& procRoot);

// Finds the sequencer's executable and imports from it, trying the three places in order and
// stopping at the first import that succeeds. Failed imports from the first two are silent;
// the user is asked next. False when all three fail or the user cancels.
bool importFromSequencer(const SequencerSearch& search);
// The same for this program: its own directory, /proc, and importFolder().
bool importFromSequencer(ExecutableChooser askUser);

}  // namespace lantrel
