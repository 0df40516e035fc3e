#include "base/program_module.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace lantrel {
namespace {

// The interface of the stand-in module (tests/support/stand_in_module.cpp).
struct StandInInterface {
    ModuleHeader header;
    int (*answer)();
};

const ModuleHeader kExpected{7, sizeof(StandInInterface), programVersion()};

const ModuleHeader* open(const std::filesystem::path& file, const ModuleHeader& expected,
                         std::string& error, const char* entry = "lantrel_stand_in_module") {
    return openModuleFile(file, entry, expected, "the stand-in module", error);
}

TEST(ProgramModule, HandsOutTheInterfaceOfAModuleOfThisBuildOncePerProcess) {
    std::string error;
    const ModuleHeader* first = open(LANTREL_STAND_IN_MODULE, kExpected, error);
    ASSERT_NE(first, nullptr) << error;
    EXPECT_EQ(reinterpret_cast<const StandInInterface*>(first)->answer(), 42);
    EXPECT_EQ(open(LANTREL_STAND_IN_MODULE, kExpected, error), first);
}

TEST(ProgramModule, SaysWhyAModuleIsMissingOrNoModuleAtAll) {
    test::TempDir dir;
    std::string error;
    EXPECT_EQ(open(dir / "absent.so", kExpected, error), nullptr);
    EXPECT_EQ(error, "cannot load the stand-in module: " + (dir / "absent.so").string() +
                         ": cannot open shared object file: No such file or directory");

    const auto text = dir.write("text.so", "not a library");
    EXPECT_EQ(open(text, kExpected, error), nullptr);
    EXPECT_TRUE(error.starts_with("cannot load the stand-in module: " + text.string() + ": "))
        << error;

    EXPECT_EQ(open(LANTREL_STAND_IN_MODULE, kExpected, error, "lantrel_window_module"), nullptr);
    EXPECT_EQ(error, "cannot load the stand-in module: " + std::string(LANTREL_STAND_IN_MODULE) +
                         " is not a module of this program (it has no lantrel_window_module)");
}

// A module left from another build is refused before anything of it is called.
TEST(ProgramModule, RefusesAModuleOfAnotherInterfaceOrProgramVersion) {
    std::string error;
    ModuleHeader newer = kExpected;
    newer.interfaceVersion = 8;
    EXPECT_EQ(open(LANTREL_STAND_IN_MODULE, newer, error), nullptr);
    EXPECT_EQ(error, "cannot load the stand-in module: " + std::string(LANTREL_STAND_IN_MODULE) +
                         " belongs to another build of the program (version " + programVersion() +
                         ", interface 7 of " + std::to_string(sizeof(StandInInterface)) +
                         " bytes; this program: version " + programVersion() + ", interface 8 of " +
                         std::to_string(sizeof(StandInInterface)) +
                         " bytes); install the program again");

    ModuleHeader larger = kExpected;
    larger.interfaceSize += 8;
    EXPECT_EQ(open(LANTREL_STAND_IN_MODULE, larger, error), nullptr);
    ModuleHeader otherRelease = kExpected;
    otherRelease.programVersion = "0.0.0-other";
    EXPECT_EQ(open(LANTREL_STAND_IN_MODULE, otherRelease, error), nullptr);
    EXPECT_NE(error.find("belongs to another build"), std::string::npos) << error;
}

}  // namespace
}  // namespace lantrel
