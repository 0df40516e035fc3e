#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// Running the tools that no one here wrote (sox, ffprobe, ffmpeg) and reading what they print.
namespace lantrel::test {

inline std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, got);
        ::pclose(pipe);
    }
    return out;
}

inline std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

}  // namespace lantrel::test
