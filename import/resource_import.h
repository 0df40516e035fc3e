#pragma once

#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "base/resource_names.h"

namespace lantrel {

enum class ImportOutcome {
    NotReached,  // not written: another file failed, and the import was refused
    Written,     // a bitmap taken out of the executable
    Copied,      // a sound copied from the sequencer's `waves` folder
    Failed,      // see the file's reason
};

struct ImportedFile {
    std::string_view name;
    ImportOutcome outcome = ImportOutcome::NotReached;
    std::string reason;  // why it failed
};

// What one import did with each file of the import list.
struct ImportReport {
    std::filesystem::path folder;  // where the files were written
    std::array<ImportedFile, kResourceFileCount> files;

    ImportReport();
    bool succeeded() const;
    // "name: reason" of the file that stopped the import; empty after a success.
    std::string failure() const;
};

// Imports from the sequencer's executable into `folder`: the four bitmaps out of the executable,
// then the 24 sounds from the `waves` folder beside it, each replacing a file of the same name.
// Every file is checked before any is replaced: each bitmap must match, each sound must be a WAV
// that the sound loader accepts and that holds samples. The first file that fails refuses the
// whole import and leaves the folder as it was, so empty or garbage sounds never replace good
// ones (after which nothing would play and the start-up check would fail for ever). No file is
// ever left half-written under its own name.
ImportReport extractFrom(const std::filesystem::path& executable,
                         const std::filesystem::path& folder);
// The same into importFolder().
ImportReport extractFrom(const std::filesystem::path& executable);

// The sequencer keeps its sounds in `waves` beside its executable.
std::filesystem::path soundFolderOf(const std::filesystem::path& executable);

// Where an import writes: the built-in folder when files can be created in it, otherwise the
// user's resource folder (see resource_folder.h for the order in which they are read).
std::filesystem::path importFolder();
std::filesystem::path chooseImportFolder(const std::filesystem::path& builtInFolder,
                                         const std::filesystem::path& userFolder);

// True when every file of the import list is a usable file in one of `folders`, looked up per
// file in their order, as the loaders do. An empty file or a directory in its place does not
// count.
bool resourcesPresent(std::span<const std::filesystem::path> folders);
// The same for the program's resource folders.
bool resourcesPresent();

}  // namespace lantrel
