#include <gtest/gtest.h>

#include <filesystem>

#include "desktop_tool.h"
#include "model/project.h"
#include "model/project_file.h"
#include "support/temp_dir.h"

namespace lantrel::test {
namespace {

// A private MIME database with only our package added to the system's, built the way a
// desktop builds its own after installation, and asked through GLib as file managers ask.
class MimePackage : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(hasTool("update-mime-database"));
        ASSERT_TRUE(hasTool("gio"));
        std::filesystem::create_directories(data_ / "mime" / "packages");
        std::filesystem::copy_file(desktopSource("lantrel.xml"),
                                   data_ / "mime" / "packages" / "lantrel.xml");
        const ToolRun run =
            runTool(environment() + " update-mime-database '" + (data_ / "mime").string() + "'");
        ASSERT_EQ(run.status, 0) << run.output;
        ASSERT_EQ(run.output, "");
    }

    std::string environment() const {
        return "XDG_DATA_HOME='" + data_.path().string() + "' XDG_DATA_DIRS=/usr/share";
    }

    std::string contentType(std::string_view name, std::string_view bytes) const {
        const auto file = files_.write(name, bytes);
        const ToolRun run =
            runTool(environment() + " gio info -a standard::content-type '" + file.string() + "'");
        const std::string key = "standard::content-type: ";
        const auto at = run.output.find(key);
        if (at == std::string::npos) return "(none) " + run.output;
        const auto from = at + key.size();
        return run.output.substr(from, run.output.find('\n', from) - from);
    }

    TempDir data_;
    TempDir files_;
};

TEST(MimePackageXml, XmllintFindsItWellFormed) {
    ASSERT_TRUE(hasTool("xmllint"));
    const ToolRun run = runTool("xmllint --noout '" + desktopSource("lantrel.xml").string() + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
}

// Named anything at all, a project that Lantrel saved is known by its first bytes.
TEST_F(MimePackage, KnowsASavedProjectByItsFirstBytes) {
    Project project;
    EXPECT_EQ(contentType("song.data", writeProjectFile(project)), kProjectMimeType);
}

// Projects from before the version word start with the tempo; only their name tells.
TEST_F(MimePackage, KnowsAnOldProjectByItsName) {
    const std::string tempo120("\x78\x00\x00\x00\x01\x01\x01", 7);
    EXPECT_EQ(contentType("old.vtm", tempo120), kProjectMimeType);
    EXPECT_EQ(contentType("OLD.VTM", tempo120), kProjectMimeType);
}

TEST_F(MimePackage, LeavesScoresAndLookAlikesAlone) {
    EXPECT_NE(contentType("tune.data", "120\n4\n1,3;2,5\n"), kProjectMimeType);
    EXPECT_NE(contentType("near.data", std::string("\x01VTQ\x64\x00\x00\x00", 8)),
              kProjectMimeType);
    EXPECT_NE(contentType("late.data", std::string("\x01\x00VTM\x64\x00\x00", 8)),
              kProjectMimeType);
}

}  // namespace
}  // namespace lantrel::test
