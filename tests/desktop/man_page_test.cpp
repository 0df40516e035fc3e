#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "cli/command_line.h"
#include "desktop_tool.h"

namespace lantrel::test {
namespace {

std::string manPage() {
    return LANTREL_MAN_PAGE;
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

// The program's own help is the list of what the page must explain: every verb gets its own
// entry, and every option of a verb's --help is spelled out within that entry (roff writes
// each hyphen as \-).
TEST(ManPage, DocumentsEveryVerbAndOptionOfTheProgram) {
    const std::string program = "'" + std::string(LANTREL_EXECUTABLE) + "'";
    const ToolRun usage = runTool(program + " --help");
    ASSERT_EQ(usage.status, 0) << usage.output;
    const std::string page = readText(manPage());
    std::set<std::string> verbs;  // from the summary lines: "  info     print a JSON..."
    const std::regex verb(R"(\n  ([a-z]+) +[a-z])"), option(R"(--[a-z0-9][a-z0-9-]*)");
    for (std::sregex_iterator it(usage.output.begin(), usage.output.end(), verb), end; it != end;
         ++it)
        verbs.insert((*it)[1]);
    EXPECT_EQ(verbs.size(), 6u);
    const auto commands = page.find(".SH COMMANDS");
    ASSERT_NE(commands, std::string::npos);
    for (const std::string& name : verbs) {
        const auto entry = page.find("\n.BI " + name + " ", commands);
        ASSERT_NE(entry, std::string::npos) << name;
        // The entry runs to the next verb's (an option's .BI starts with \-) or section.
        std::smatch next;
        const std::string rest = page.substr(entry + 1);
        std::regex_search(rest, next, std::regex(R"(\n\.BI [a-z]|\n\.SH )"));
        const std::string text = rest.substr(0, next.empty() ? rest.size() : next.position());
        const std::string help = runTool(program + " " + name + " --help").output;
        for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it) {
            const std::string roff = std::regex_replace(it->str(), std::regex("-"), "\\-");
            EXPECT_NE(text.find(roff), std::string::npos) << name << " " << it->str();
        }
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
