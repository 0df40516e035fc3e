#include <gtest/gtest.h>

#include "desktop_tool.h"

namespace lantrel::test {
namespace {

TEST(DesktopEntry, DesktopFileValidateHasNothingToSay) {
    ASSERT_TRUE(hasTool("desktop-file-validate"));
    const ToolRun run =
        runTool("desktop-file-validate '" + desktopSource("lantrel.desktop").string() + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
}

// The file manager starts the installed program with the file's name, shows the installed
// icon, and offers the program for exactly the type that the MIME package declares.
TEST(DesktopEntry, OpensProjectsWithTheInstalledProgramAndIcon) {
    const std::string entry = readText(desktopSource("lantrel.desktop"));
    EXPECT_EQ(entryValue(entry, "Exec"), "lantrel %f");
    EXPECT_EQ(entryValue(entry, "Icon"), "lantrel");
    EXPECT_EQ(entryValue(entry, "Terminal"), "false");
    EXPECT_EQ(entryValue(entry, "MimeType"), std::string(kProjectMimeType) + ";");
    const std::string mime = readText(desktopSource("lantrel.xml"));
    EXPECT_NE(mime.find("<mime-type type=\"" + std::string(kProjectMimeType) + "\">"),
              std::string::npos);
}

TEST(DesktopEntry, HasAJapaneseNameAndComment) {
    const std::string entry = readText(desktopSource("lantrel.desktop"));
    EXPECT_EQ(entryValue(entry, "Name"), "Lantrel");
    for (const char* key : {"Name[ja]", "Comment[ja]"}) {
        const std::string value = entryValue(entry, key);
        EXPECT_FALSE(value.empty()) << key;
        // Japanese text in UTF-8 is made of bytes above 0x7F
        EXPECT_NE(value.find_first_of("\xE3\xE4\xE5\xE6\xE7\xE8\xE9"), std::string::npos) << key;
    }
}

}  // namespace
}  // namespace lantrel::test
