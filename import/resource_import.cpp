#include "resource_import.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <span>
#include <utility>
#include <vector>

#include "audio/sample_slot.h"
#include "audio/wav_format.h"
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

// Marks `file` failed; the others stay NotReached: nothing of a refused import is written.
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

// Why a sound file would not play, or an empty text: it must be a WAV that the sound loader
// accepts and that holds samples, or it would replace a good sound with silence for good.
std::string soundProblem(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    WavFormat format;
    std::uint32_t size = 0;
    if (const char* tag = readWavHeader(in, format, size))
        return std::string("not a WAV file that Lantrel can play (its ") + tag + " is wrong)";
    SampleSlot sound;
    if (!sound.load(file)) return "not a WAV file that Lantrel can play (its data is wrong)";
    if (sound.frames() == 0) return "a WAV file without samples to play";
    return {};
}

// The import's files, ready under temporary names beside their targets; they replace the
// files of the resource folder only once every one of them is ready and checked.
using StagedFiles = std::vector<std::pair<ImportedFile*, AtomicOutputFile>>;

bool stage(ImportedFile& entry, std::span<const std::uint8_t> bytes, StagedFiles& staged,
           const std::filesystem::path& folder) {
    AtomicOutputFile file;
    std::string error;
    if (!file.open(folder / entry.name, error)) return fail(entry, error);
    if (!file.write(std::as_bytes(bytes)))
        return fail(entry, "cannot write " + (folder / entry.name).string() + ": " +
                               std::strerror(errno ? errno : EIO));
    if (!file.finish(error)) return fail(entry, error);
    staged.emplace_back(&entry, std::move(file));
    return true;
}

bool stageBitmaps(const std::filesystem::path& executable, ImportReport& report,
                  StagedFiles& staged) {
    BufferedReader file(executable);
    if (!file.isOpen()) return fail(report.files[0], whyNotOpened(executable));
    const auto positions = findBitmaps(file, kEmbeddedBitmaps);
    for (std::size_t row = 0; row < kEmbeddedBitmaps.size(); ++row) {
        const EmbeddedBitmap& bitmap = kEmbeddedBitmaps[row];
        ImportedFile& entry = report.files[row];
        const auto& position = positions[row];
        if (!position) return fail(entry, "no matching image in the executable");
        std::string error;
        const auto bytes = readBitmapBytes(file, *position, bitmap, error);
        if (!bytes) return fail(entry, error);
        if (!stage(entry, *bytes, staged, report.folder)) return false;
    }
    return true;
}

// The staged copy is what gets checked, so the file that is put in place is the file that
// passed.
bool stageSound(const std::filesystem::path& soundFolder, const std::filesystem::path& folder,
                ImportedFile& entry, StagedFiles& staged) {
    const auto source = findSoundSource(soundFolder, entry.name);
    std::string error;
    const auto bytes = readWholeFile(source, kMaxSoundBytes, error);
    if (!bytes) return fail(entry, error);
    if (!stage(entry, *bytes, staged, folder)) return false;
    if (std::string problem = soundProblem(staged.back().second.temporaryPath()); !problem.empty())
        return fail(entry, source.string() + " is " + problem);
    return true;
}

bool stageSounds(const std::filesystem::path& soundFolder, ImportReport& report,
                 StagedFiles& staged) {
    for (ImportedFile& entry : report.files)
        if (isSoundFileName(entry.name) && !stageSound(soundFolder, report.folder, entry, staged))
            return false;
    return true;
}

// Every file is ready and checked: each replaces its namesake now.
void commitAll(StagedFiles& staged) {
    for (auto& [entry, file] : staged) {
        std::string error;
        if (!file.commit(error)) {
            fail(*entry, error);
            return;
        }
        entry->outcome =
            isSoundFileName(entry->name) ? ImportOutcome::Copied : ImportOutcome::Written;
    }
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
    std::error_code code;
    const bool folderExisted = std::filesystem::is_directory(folder, code);
    if (!folderExisted) std::filesystem::create_directories(folder, code);
    StagedFiles staged;
    if (stageBitmaps(executable, report, staged) &&
        stageSounds(soundFolderOf(executable), report, staged)) {
        commitAll(staged);
        return report;
    }
    staged.clear();  // the temporary files go; the folder stays as it was
    if (!folderExisted) std::filesystem::remove(folder, code);
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
