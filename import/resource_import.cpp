#include "resource_import.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "base/atomic_file.h"
#include "base/resource_folder.h"
#include "buffered_reader.h"
#include "embedded_bitmap.h"

namespace lantrel {

namespace {

// Far beyond any sound the sequencer ships; it only keeps a wrong file from filling memory.
constexpr std::uintmax_t kMaxSoundBytes = 256u << 20;

std::string withCase(std::string_view name, int (*convert)(int)) {
    std::string result(name);
    std::ranges::transform(result, result.begin(),
                           [convert](unsigned char c) { return static_cast<char>(convert(c)); });
    return result;
}

// The sequencer comes from a platform that ignores case in file names, and its sound table
// mixes "sound2.wav" with "SOUND28.WAV"; a copied folder may spell either way.
std::filesystem::path findSoundSource(const std::filesystem::path& soundFolder,
                                      std::string_view name) {
    std::error_code ignored;
    for (const std::string& spelling :
         {std::string(name), withCase(name, ::tolower), withCase(name, ::toupper)}) {
        const auto candidate = soundFolder / spelling;
        if (std::filesystem::exists(candidate, ignored)) return candidate;
    }
    return soundFolder / name;
}

bool copySound(const std::filesystem::path& soundFolder, const std::filesystem::path& folder,
               std::string_view name, std::string& error) {
    const auto source = findSoundSource(soundFolder, name);
    const auto bytes = readWholeFile(source, kMaxSoundBytes, error);
    if (!bytes) return false;
    const std::string_view view(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    return writeFileAtomically(folder / name, view, error);
}

// Marks `file` failed; the files after it stay NotReached.
bool fail(ImportedFile& file, std::string reason) {
    file.outcome = ImportOutcome::Failed;
    file.reason = std::move(reason);
    return false;
}

std::string whyNotOpened(const std::filesystem::path& executable) {
    std::error_code code;
    const auto status = std::filesystem::status(executable, code);
    if (!std::filesystem::exists(status)) return executable.string() + " does not exist";
    if (!std::filesystem::is_regular_file(status))
        return executable.string() + " is not a regular file";
    return "cannot open " + executable.string();
}

bool extractBitmaps(const std::filesystem::path& executable, ImportReport& report) {
    BufferedReader file(executable);
    if (!file.isOpen()) return fail(report.files[0], whyNotOpened(executable));
    for (std::size_t row = 0; row < kEmbeddedBitmaps.size(); ++row) {
        const EmbeddedBitmap& bitmap = kEmbeddedBitmaps[row];
        ImportedFile& entry = report.files[row];
        const auto position = findBitmap(file, bitmap);
        if (!position) return fail(entry, "no matching image in the executable");
        std::string error;
        if (!writeBitmap(report.folder, file, *position, bitmap, error)) return fail(entry, error);
        entry.outcome = ImportOutcome::Written;
    }
    return true;
}

bool copySounds(const std::filesystem::path& soundFolder, ImportReport& report) {
    for (ImportedFile& entry : report.files) {
        if (!isSoundFileName(entry.name)) continue;
        std::string error;
        if (!copySound(soundFolder, report.folder, entry.name, error)) return fail(entry, error);
        entry.outcome = ImportOutcome::Copied;
    }
    return true;
}

bool canCreateFilesIn(const std::filesystem::path& folder) {
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code || !std::filesystem::is_directory(folder, code)) return false;
    std::string probe = (folder / ".lantrel-write-test.XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

}  // namespace

ImportReport::ImportReport() {
    for (std::size_t i = 0; i < files.size(); ++i)
        files[i].name = kResourceNames[i];
}

bool ImportReport::succeeded() const {
    return std::ranges::all_of(files, [](const ImportedFile& file) {
        return file.outcome == ImportOutcome::Written || file.outcome == ImportOutcome::Copied;
    });
}

std::string ImportReport::failure() const {
    for (const ImportedFile& file : files)
        if (file.outcome == ImportOutcome::Failed)
            return std::string(file.name) + ": " + file.reason;
    return {};
}

ImportReport extractFrom(const std::filesystem::path& executable,
                         const std::filesystem::path& folder) {
    ImportReport report;
    report.folder = folder;
    if (extractBitmaps(executable, report)) copySounds(soundFolderOf(executable), report);
    return report;
}

ImportReport extractFrom(const std::filesystem::path& executable) {
    return extractFrom(executable, importFolder());
}

std::filesystem::path soundFolderOf(const std::filesystem::path& executable) {
    // A bare file name means the current directory, so its sounds are in "waves" here.
    return executable.parent_path() / "waves";
}

std::filesystem::path chooseImportFolder(const std::filesystem::path& builtInFolder,
                                         const std::filesystem::path& userFolder) {
    if (userFolder.empty() || canCreateFilesIn(builtInFolder)) return builtInFolder;
    return userFolder;
}

std::filesystem::path importFolder() {
    return chooseImportFolder(builtInResourceFolder(), userResourceFolder());
}

bool resourcesPresent(std::span<const std::filesystem::path> folders) {
    return std::ranges::all_of(kResourceNames, [folders](std::string_view name) {
        return findResourceFile(name, folders).has_value();
    });
}

bool resourcesPresent() {
    return resourcesPresent(resourceFolders());
}

}  // namespace lantrel
