#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "cli/command_line.h"
#include "desktop_tool.h"

namespace lantrel::test {
namespace {

std::string manPage() {
    return desktopSource("lantrel.1").string();
}

TEST(ManPage, GroffFindsNothingToWarnAbout) {
    ASSERT_TRUE(hasTool("groff"));
    const ToolRun run = runTool("groff -man -ww -z '" + manPage() + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
}

TEST(ManPage, ManFindsNothingToWarnAbout) {
    ASSERT_TRUE(hasTool("man"));
    // Only the warnings: the formatted page itself goes nowhere.
    const ToolRun run =
        runTool("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l '" + manPage() + "' 2>&1 >/dev/null");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
}

// The program's own usage text is the list of what the page must explain: every verb gets
// its own entry and every option is spelled out (roff writes each hyphen as \-).
TEST(ManPage, DocumentsEveryVerbAndOptionOfTheProgram) {
    const ToolRun usage = runTool("'" + std::string(LANTREL_EXECUTABLE) + "' --help");
    ASSERT_EQ(usage.status, 0) << usage.output;
    const std::string page = readText(manPage());
    std::set<std::string> verbs, options;
    const std::regex verb(R"(lantrel ([a-z]+) )"), option(R"(--[a-z][a-z-]*)");
    for (std::sregex_iterator it(usage.output.begin(), usage.output.end(), verb), end; it != end;
         ++it)
        verbs.insert((*it)[1]);
    for (std::sregex_iterator it(usage.output.begin(), usage.output.end(), option), end; it != end;
         ++it)
        options.insert(it->str());
    EXPECT_GE(verbs.size(), 6u);
    EXPECT_GE(options.size(), 10u);
    for (const std::string& name : verbs)
        EXPECT_NE(page.find("\n.BI " + name + " "), std::string::npos) << name;
    for (std::string name : options) {
        const std::string roff = std::regex_replace(name, std::regex("-"), "\\-");
        EXPECT_NE(page.find(roff), std::string::npos) << name;
    }
}

TEST(ManPage, ExplainsEveryExitStatusAndTheEnvironment) {
    const std::string page = readText(manPage());
    const auto status = page.find(".SH EXIT STATUS");
    ASSERT_NE(status, std::string::npos);
    for (int code : {kExitSuccess, kExitFailure, kExitUsage, kExitCancelled})
        EXPECT_NE(page.find("\n.B " + std::to_string(code) + "\n", status), std::string::npos)
            << code;
    for (const char* name : {"XDG_DATA_HOME", "SDL_AUDIODRIVER", "QT_QPA_PLATFORM"})
        EXPECT_NE(page.find(".B " + std::string(name) + "\n"), std::string::npos) << name;
}

}  // namespace
}  // namespace lantrel::test
