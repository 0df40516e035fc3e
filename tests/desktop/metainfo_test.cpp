#include <gtest/gtest.h>

#include <sstream>

#include "desktop_tool.h"

namespace lantrel::test {
namespace {

// The file as the build writes it from its template, with the release filled in.
std::string metainfo() {
    return LANTREL_METAINFO;
}

TEST(Metainfo, AppstreamValidatesItWithoutErrorsOrWarnings) {
    ASSERT_TRUE(hasTool("appstreamcli"));
    const ToolRun run = runTool("appstreamcli validate --no-net '" + metainfo() + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_FALSE(line.starts_with("E:")) << line;
        EXPECT_FALSE(line.starts_with("W:")) << line;
    }
}

// The software centre finds the program through the desktop entry it names, and the file
// types through the MIME package, so the names must agree with the files we install.
TEST(Metainfo, NamesTheDesktopEntryTheTypeAndTheLicences) {
    const std::string info = readText(metainfo());
    const std::string launchable = elementText(info, "launchable");
    EXPECT_EQ(launchable, "lantrel.desktop");
    EXPECT_TRUE(std::filesystem::is_regular_file(desktopSource(launchable)));
    EXPECT_EQ(elementText(info, "mediatype"), kProjectMimeType);
    EXPECT_EQ(elementText(info, "binary"), "lantrel");
    EXPECT_EQ(elementText(info, "project_license"), "GPL-3.0-or-later");
    EXPECT_EQ(elementText(info, "metadata_license"), "CC0-1.0");
    EXPECT_NE(info.find("<content_rating type=\"oars-1.1\""), std::string::npos);
}

}  // namespace
}  // namespace lantrel::test
