// Keeps the start lean: the executable links none of the heavy desktop libraries (Qt, SDL2,
// libav), which only the modules bring in, each module exports nothing but its entry point, and
// `lantrel info` runs without loading any of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/command_output.h"

namespace lantrel {
namespace {

namespace fs = std::filesystem;

// Qt, SDL2 and libav's libraries (libavcodec, libswresample, ...).
const std::regex kHeavy(R"(^lib(Qt[0-9]|SDL2|av[a-z]|sw[a-z]))");

std::string output(const std::string& command) {
    return test::commandOutput(command + " 2>&1");
}

// The libraries a file names in its dynamic section (its NEEDED entries).
std::vector<std::string> neededBy(const fs::path& file) {
    static const std::regex needed(R"(\(NEEDED\)\s+Shared library: \[([^\]]+)\])");
    const std::string text = output("readelf -d -W '" + file.string() + "'");
    std::vector<std::string> names;
    for (std::sregex_iterator it(text.begin(), text.end(), needed), end; it != end; ++it)
        names.push_back((*it)[1]);
    return names;
}

// The global symbols a file defines in its dynamic symbol table.
std::vector<std::string> exportedBy(const fs::path& file) {
    std::istringstream lines(output("readelf --dyn-syms -W '" + file.string() + "'"));
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string number, value, size, type, bind, visibility, section, name;
        fields >> number >> value >> size >> type >> bind >> visibility >> section >> name;
        if ((bind == "GLOBAL" || bind == "WEAK") && section != "UND" && !name.empty())
            names.push_back(name);
    }
    return names;
}

std::vector<std::string> heavyOf(const std::vector<std::string>& libraries) {
    std::vector<std::string> heavy;
    for (const std::string& library : libraries)
        if (std::regex_search(library, kHeavy)) heavy.push_back(library);
    return heavy;
}

fs::path module(const char* name) {
    return fs::path(LANTREL_MODULE_DIR) / name;
}

TEST(LeanStart, TheExecutableLinksNoneOfQtSdlOrLibav) {
    const auto needed = neededBy(LANTREL_EXECUTABLE);
    ASSERT_FALSE(needed.empty()) << "readelf read nothing from " << LANTREL_EXECUTABLE;
    EXPECT_EQ(heavyOf(needed), std::vector<std::string>{});
    // The rule sees those libraries where they belong.
    EXPECT_FALSE(heavyOf(neededBy(module("window.so"))).empty());
    EXPECT_FALSE(heavyOf(neededBy(module("encoder.so"))).empty());
    EXPECT_FALSE(heavyOf(neededBy(module("sound.so"))).empty());
}

TEST(LeanStart, EachModuleExportsOnlyItsEntryPoint) {
    EXPECT_EQ(exportedBy(module("window.so")), std::vector<std::string>{"lantrel_window_module"});
    EXPECT_EQ(exportedBy(module("encoder.so")), std::vector<std::string>{"lantrel_encoder_module"});
    EXPECT_EQ(exportedBy(module("sound.so")),
              std::vector<std::string>{"lantrel_sound_output_module"});
}

// What the dynamic linker actually loads, modules and their libraries included.
TEST(LeanStart, InfoLoadsNoModuleAndNoHeavyLibrary) {
    const std::string trace = output("(LD_DEBUG=files '" + std::string(LANTREL_EXECUTABLE) +
                                     "' info '" + LANTREL_DEMO_PROJECT + "' >/dev/null)");
    static const std::regex loaded(R"(file=(\S+) \[0\];  generating link map)");
    std::vector<std::string> libraries;
    for (std::sregex_iterator it(trace.begin(), trace.end(), loaded), end; it != end; ++it)
        libraries.push_back(fs::path((*it)[1].str()).filename().string());
    ASSERT_FALSE(libraries.empty()) << trace;
    EXPECT_EQ(heavyOf(libraries), std::vector<std::string>{});
    EXPECT_EQ(trace.find(".so: error"), std::string::npos) << trace;
    for (const std::string& library : libraries)
        EXPECT_FALSE(library == "window.so" || library == "encoder.so" || library == "sound.so")
            << library;
}

}  // namespace
}  // namespace lantrel
