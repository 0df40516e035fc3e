#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

// Running the desktop's own checkers (desktop-file-validate, appstreamcli, xmllint,
// update-mime-database, gio, groff, man) on the files in desktop/, and reading those files.
namespace lantrel::test {

struct ToolRun {
    int status = -1;
    std::string output;  // standard output and standard error together
};

inline ToolRun runTool(const std::string& command) {
    ToolRun run;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, got);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// CI installs every checker through scripts/install_packages.sh; a missing one is a broken
// machine, not a reason to pass.
inline bool hasTool(std::string_view name) {
    return runTool("command -v " + std::string(name)).status == 0;
}

inline std::filesystem::path desktopSource(std::string_view name) {
    return std::filesystem::path(LANTREL_DESKTOP_DIR) / name;
}

inline std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The value of `key` in a desktop entry or the text between the first <tag> and </tag>; empty
// when there is none.
inline std::string entryValue(const std::string& text, std::string_view key) {
    const std::string prefix = "\n" + std::string(key) + "=";
    const auto start = text.find(prefix);
    if (start == std::string::npos) return {};
    const auto from = start + prefix.size();
    return text.substr(from, text.find('\n', from) - from);
}

inline std::string elementText(const std::string& text, std::string_view tag) {
    const std::string open = "<" + std::string(tag);
    const auto start = text.find(open);
    if (start == std::string::npos) return {};
    const auto from = text.find('>', start) + 1;
    return text.substr(from, text.find("</" + std::string(tag) + ">", from) - from);
}

inline constexpr std::string_view kProjectMimeType = "application/x-lantrel-project";

}  // namespace lantrel::test
