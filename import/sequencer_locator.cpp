#include "sequencer_locator.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/install_layout.h"
#include "base/resource_folder.h"
#include "resource_import.h"

namespace lantrel {

namespace {

// A command line is a few arguments; this bounds what a strange process can make us read.
constexpr std::streamsize kMaxCommandLine = 64 * 1024;

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// Windows ignores case in file names, so "veltoseq.EXE" is the same program.
bool namesSequencer(std::string_view argument) {
    const auto slash = argument.find_last_of("/\\");
    const auto name = slash == std::string_view::npos ? argument : argument.substr(slash + 1);
    return equalsIgnoringCase(name, kSequencerExecutableName);
}

std::vector<int> processIds(const std::filesystem::path& procRoot) {
    std::vector<int> ids;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(procRoot, error)) {
        const std::string name = entry.path().filename().string();
        int id = 0;
        const auto [end, parseError] = std::from_chars(name.data(), name.data() + name.size(), id);
        if (parseError == std::errc() && end == name.data() + name.size()) ids.push_back(id);
    }
    std::ranges::sort(ids);
    return ids;
}

// The arguments of a process; empty when it has gone or cannot be read.
std::vector<std::string> commandLine(const std::filesystem::path& processFolder) {
    std::ifstream file(processFolder / "cmdline", std::ios::binary);
    std::string text(static_cast<std::size_t>(kMaxCommandLine), '\0');
    file.read(text.data(), kMaxCommandLine);
    text.resize(static_cast<std::size_t>(file.gcount()));
    std::vector<std::string> arguments;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\0', start), text.size());
        arguments.emplace_back(text, start, end - start);
        start = end + 1;
    }
    return arguments;
}

std::optional<std::filesystem::path> sequencerIn(const std::vector<std::string>& arguments) {
    std::error_code error;
    for (const std::string& argument : arguments) {
        if (!namesSequencer(argument)) continue;
        const auto path = linuxPathFromWine(argument);
        if (path && std::filesystem::is_regular_file(*path, error)) return path;
    }
    return std::nullopt;
}

bool importFrom(const std::filesystem::path& executable, const std::filesystem::path& folder) {
    return extractFrom(executable, folder).succeeded();
}

}  // namespace

std::optional<std::filesystem::path> linuxPathFromWine(std::string_view path) {
    if (path.starts_with('/')) return std::filesystem::path(path);
    const bool onDriveZ = path.size() >= 3 && (path[0] == 'Z' || path[0] == 'z') &&
                          path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    if (!onDriveZ) return std::nullopt;
    std::string converted(path.substr(2));
    std::ranges::replace(converted, '\\', '/');
    return std::filesystem::path(converted);
}

std::optional<std::filesystem::path> findRunningSequencer(const std::filesystem::path& procRoot) {
    for (const int id : processIds(procRoot))
        if (auto found = sequencerIn(commandLine(procRoot / std::to_string(id)))) return found;
    return std::nullopt;
}

bool importFromSequencer(const SequencerSearch& search) {
    std::error_code error;
    const auto beside = search.programDirectory / kSequencerExecutableName;
    if (std::filesystem::exists(beside, error) && importFrom(beside, search.importFolder))
        return true;
    if (const auto running = findRunningSequencer(search.procRoot);
        running && importFrom(*running, search.importFolder))
        return true;
    if (!search.askUser) return false;
    const auto chosen = search.askUser();
    return chosen && importFrom(*chosen, search.importFolder);
}

bool importFromSequencer(ExecutableChooser askUser) {
    return importFromSequencer(
        SequencerSearch{programDirectory(), "/proc", std::move(askUser), importFolder()});
}

}  // namespace lantrel
