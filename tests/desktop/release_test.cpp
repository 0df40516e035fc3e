// What names the release must name the same one: the program, its manual page, the software
// centre's releases and the release notes; and the README's command line is the program's.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "desktop_tool.h"

namespace lantrel::test {
namespace {

std::string program() {
    return "'" + std::string(LANTREL_EXECUTABLE) + "'";
}

// "## 1.1.0 (2026-12-08)" on top of NEWS.md: the version and the date.
std::pair<std::string, std::string> latestRelease() {
    const std::string news = readText(std::filesystem::path(LANTREL_SOURCE_DIR) / "NEWS.md");
    std::smatch heading;
    if (!std::regex_search(news, heading, std::regex(R"(\n## ([0-9.]+) \(([0-9-]+)\)\n)")))
        return {};
    return {heading[1], heading[2]};
}

TEST(Release, TheProgramThePagesAndTheNotesNameOneVersion) {
    const auto [version, date] = latestRelease();
    EXPECT_EQ(version, LANTREL_VERSION);
    EXPECT_EQ(runTool(program() + " --version").output, "lantrel " + version + "\n");
    const std::string info = readText(LANTREL_METAINFO);
    // The newest release comes first.
    EXPECT_NE(
        info.find("<releases>\n    <release version=\"" + version + "\" date=\"" + date + "\">"),
        std::string::npos)
        << info;
    // Manual pages date themselves by month: "December 2026".
    static const char* const months[] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};
    const std::string month = months[std::stoi(date.substr(5, 2)) - 1];
    const std::string page = readText(LANTREL_MAN_PAGE);
    EXPECT_TRUE(page.starts_with(".TH LANTREL 1 \"" + month + " " + date.substr(0, 4) +
                                 "\" \"Lantrel " + version + "\""))
        << page.substr(0, 80);
}

// A reader of the README sees what `lantrel --help` prints, line for line.
TEST(Release, TheReadmeShowsTheProgramsOwnHelp) {
    const ToolRun help = runTool(program() + " --help");
    ASSERT_EQ(help.status, 0);
    const std::string readme = readText(std::filesystem::path(LANTREL_SOURCE_DIR) / "README.md");
    EXPECT_NE(readme.find("\n```\n" + help.output + "```\n"), std::string::npos) << help.output;
}

}  // namespace
}  // namespace lantrel::test
