#include "app/resource_setup.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/resource_names.h"
#include "support/temp_dir.h"

namespace lantrel {
namespace {

// With every file in the user's resource folder, start-up goes on without asking anything: a
// dialog or message box here would block the test.
TEST(SetUpResources, PresentResourcesNeedNoImport) {
    const test::TempDir dir;
    std::filesystem::create_directories(dir / "lantrel" / "rsrc");
    for (const std::string_view name : kResourceNames)
        dir.write("lantrel/rsrc/" + std::string(name), "x");
    const char* previous = std::getenv("XDG_DATA_HOME");
    const std::string saved = previous ? previous : "";
    ::setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
    EXPECT_TRUE(setUpResources());
    if (previous)
        ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace lantrel
