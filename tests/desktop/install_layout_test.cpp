#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "desktop_tool.h"
#include "model/project.h"
#include "model/project_file.h"
#include "resources/app_icon.h"
#include "support/temp_dir.h"

namespace lantrel::test {
namespace {

namespace fs = std::filesystem;

// One `cmake --install` of this build into a fresh prefix, shared by the tests below.
class InstallLayout : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        prefix_ = std::make_unique<TempDir>();
        install_ = runTool("'" + std::string(LANTREL_CMAKE) + "' --install '" +
                           std::string(LANTREL_BUILD_DIR) + "' --prefix '" +
                           prefix_->path().string() + "'");
    }
    static void TearDownTestSuite() { prefix_.reset(); }

    void SetUp() override { ASSERT_EQ(install_.status, 0) << install_.output; }

    static fs::path installed(const fs::path& relative) { return prefix_->path() / relative; }

    static inline std::unique_ptr<TempDir> prefix_;
    static inline ToolRun install_;
};

TEST_F(InstallLayout, PutsTheDesktopFilesWhereTheDesktopLooks) {
    const std::pair<const char*, const char*> files[] = {
        {"lantrel.desktop", "share/applications/lantrel.desktop"},
        {"lantrel.xml", "share/mime/packages/lantrel.xml"},
        {"io.github.lantrel.Lantrel.metainfo.xml",
         "share/metainfo/io.github.lantrel.Lantrel.metainfo.xml"},
        {"lantrel.1", "share/man/man1/lantrel.1"},
    };
    for (const auto& [source, target] : files) {
        ASSERT_TRUE(fs::is_regular_file(installed(target))) << target;
        EXPECT_EQ(readText(installed(target)), readText(desktopSource(source))) << target;
    }
}

TEST_F(InstallLayout, PutsEveryIconSizeIntoTheHicolorTheme) {
    for (int size : kAppIconSizes) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const fs::path icon = installed("share/icons/hicolor/" + name + "/apps/lantrel.png");
        ASSERT_TRUE(fs::is_regular_file(icon)) << icon;
        EXPECT_GT(fs::file_size(icon), 100u) << icon;
    }
}

// What the desktop entry's Exec line starts must be on the prefix's bin, with the built-in
// resource folder beside it.
TEST_F(InstallLayout, PutsTheProgramAndItsResourcesInBin) {
    EXPECT_TRUE(fs::is_regular_file(installed("bin/lantrel")));
    EXPECT_TRUE(fs::is_regular_file(installed("bin/rsrc/icons.bmp")));
}

// The modules go to LIBDIR/lantrel, where the installed executable looks for them: an
// installed program draws, and writes an MP4, with nothing of the build tree.
TEST_F(InstallLayout, PutsTheModulesWhereTheInstalledProgramFindsThem) {
    const fs::path modules = installed(LANTREL_MODULE_INSTALL_DIR);
    for (const char* module : {"window.so", "encoder.so", "sound.so"})
        EXPECT_TRUE(fs::is_regular_file(modules / module)) << modules / module;
    const fs::path project = prefix_->write("song.vtm", writeProjectFile(Project()));
    const std::string lantrel = "'" + installed("bin/lantrel").string() + "' ";
    const ToolRun mp4 = runTool(lantrel + "export '" + project.string() + "' --mp4 --out-dir '" +
                                prefix_->path().string() + "'");
    EXPECT_EQ(mp4.status, 0) << mp4.output;
    EXPECT_GT(fs::file_size(prefix_->path() / "song.mp4"), 1000u);
    const ToolRun render = runTool(lantrel + "render '" + project.string() + "' 0 '" +
                                   (prefix_->path() / "song.png").string() + "'");
    EXPECT_EQ(render.status, 0) << render.output;
}

// From the installed tree alone, as a desktop sees it after update-mime-database, a saved
// project is known as a Lantrel project.
TEST_F(InstallLayout, InstalledMimePackageIdentifiesProjects) {
    ASSERT_TRUE(hasTool("update-mime-database"));
    ASSERT_TRUE(hasTool("gio"));
    const std::string share = installed("share").string();
    const std::string environment = "XDG_DATA_HOME='" + share + "' XDG_DATA_DIRS=/usr/share ";
    const ToolRun update =
        runTool(environment + "update-mime-database '" + installed("share/mime").string() + "'");
    ASSERT_EQ(update.status, 0) << update.output;
    Project project;
    const fs::path file = prefix_->write("saved.project", writeProjectFile(project));
    const ToolRun type =
        runTool(environment + "gio info -a standard::content-type '" + file.string() + "'");
    EXPECT_NE(type.output.find("standard::content-type: " + std::string(kProjectMimeType)),
              std::string::npos)
        << type.output;
}

}  // namespace
}  // namespace lantrel::test
