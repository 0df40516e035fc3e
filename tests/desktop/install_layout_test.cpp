#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "base/resource_names.h"
#include "desktop_tool.h"
#include "model/project.h"
#include "model/project_file.h"
#include "model/vtq_gui_doc.h"
#include "resources/app_icon.h"
#include "support/temp_dir.h"

namespace lantrel::test {
namespace {

namespace fs = std::filesystem;

// One `cmake --install` of this build, staged with DESTDIR for a prefix other than the one it
// was configured for, and used from the staging folder: so the program must find its files
// from where it lies, as in a package or a moved prefix. Shared by the tests below.
class InstallLayout : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        stage_ = std::make_unique<TempDir>();
        install_ = runTool("DESTDIR='" + stage_->path().string() + "' '" +
                           std::string(LANTREL_CMAKE) + "' --install '" +
                           std::string(LANTREL_BUILD_DIR) + "' --prefix /opt/lantrel-test");
    }
    static void TearDownTestSuite() { stage_.reset(); }

    void SetUp() override { ASSERT_EQ(install_.status, 0) << install_.output; }

    static fs::path prefix() { return stage_->path() / "opt" / "lantrel-test"; }
    static fs::path installed(const fs::path& relative) { return prefix() / relative; }
    static std::string program() { return "'" + installed("bin/lantrel").string() + "'"; }

    // A command run in a fresh folder by a user who has no resource folder of their own.
    static ToolRun runAsNewUser(const TempDir& home, const std::string& command) {
        return runTool("cd '" + home.path().string() + "' && HOME='" + home.path().string() +
                       "' XDG_DATA_HOME='" + home.path().string() + "/data' " + command);
    }

    static inline std::unique_ptr<TempDir> stage_;
    static inline ToolRun install_;
};

TEST_F(InstallLayout, PutsTheDesktopFilesWhereTheDesktopLooks) {
    const std::pair<fs::path, const char*> files[] = {
        {desktopSource("lantrel.desktop"), "share/applications/lantrel.desktop"},
        {desktopSource("lantrel.xml"), "share/mime/packages/lantrel.xml"},
        {LANTREL_METAINFO, "share/metainfo/io.github.lantrel.Lantrel.metainfo.xml"},
    };
    for (const auto& [source, target] : files) {
        ASSERT_TRUE(fs::is_regular_file(installed(target))) << target;
        EXPECT_EQ(readText(installed(target)), readText(source)) << target;
    }
    const fs::path manPage = installed("share/man/man1/lantrel.1.gz");
    ASSERT_TRUE(fs::is_regular_file(manPage));
    EXPECT_EQ(runTool("gzip -dc '" + manPage.string() + "'").output, readText(LANTREL_MAN_PAGE));
}

TEST_F(InstallLayout, PutsEveryIconSizeIntoTheHicolorTheme) {
    for (int size : kAppIconSizes) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const fs::path icon = installed("share/icons/hicolor/" + name + "/apps/lantrel.png");
        ASSERT_TRUE(fs::is_regular_file(icon)) << icon;
        EXPECT_GT(fs::file_size(icon), 100u) << icon;
    }
}

// bin/ is on everybody's PATH and holds programs only; the program's data lies in
// share/lantrel, its loadable parts (if any) in its own folder of lib/, the rest in the
// shared places of share/.
TEST_F(InstallLayout, PutsOnlyTheProgramIntoBinAndItsDataIntoShare) {
    for (const auto& entry : fs::recursive_directory_iterator(prefix())) {
        if (entry.is_directory()) continue;
        const std::string file = fs::relative(entry.path(), prefix()).string();
        const bool placed =
            file == "bin/lantrel" || file.starts_with("share/") ||
            (file.starts_with("lib") && file.find("/lantrel/") != std::string::npos);
        EXPECT_TRUE(placed) << file;
    }
    for (std::string_view name : kResourceNames)
        EXPECT_TRUE(fs::is_regular_file(installed("share/lantrel/rsrc") / name)) << name;
    for (const char* doc : {"copyright", "changelog.gz", "NEWS.md"})
        EXPECT_TRUE(fs::is_regular_file(installed("share/doc/lantrel") / doc)) << doc;
}

// The installed demo stores no folder and no name of its own, so an export of it lands in
// the current folder as demo.*, never in the installation or a folder of the build machine.
TEST_F(InstallLayout, InstallsTheDemoProjectWithItsScores) {
    const fs::path examples = installed("share/lantrel/examples");
    for (const char* score : {"frere_jacques.vtq", "ode_to_joy.vtq", "ode_to_joy_chords.vtq",
                              "bass_and_drums.vtq", "row_your_boat.vtq"})
        EXPECT_TRUE(fs::is_regular_file(examples / score)) << score;
    CVtqGuiDoc demo;
    ASSERT_TRUE(demo.open(examples / "demo.vtm").ok());
    EXPECT_EQ(demo.columnCount(-1), 224);
    EXPECT_EQ(demo.settings().outputFolder, "");
    EXPECT_EQ(demo.settings().fileName, "");
}

// The moved program reads the sounds and sprites of its own installation: its export of the
// demo has the sound, and its picture is the build tree's, sprite for sprite.
TEST_F(InstallLayout, TheMovedProgramFindsItsResources) {
    const TempDir home;
    const std::string demo = "'" + installed("share/lantrel/examples/demo.vtm").string() + "'";
    const ToolRun exported = runAsNewUser(home, program() + " export " + demo + " --no-video");
    ASSERT_EQ(exported.status, 0) << exported.output;
    EXPECT_GT(fs::file_size(home / "demo.wav"), 1'000'000u);

    const ToolRun moved = runAsNewUser(home, program() + " render " + demo + " 200 moved.png");
    ASSERT_EQ(moved.status, 0) << moved.output;
    const ToolRun built = runAsNewUser(
        home, "'" + std::string(LANTREL_EXECUTABLE) + "' render " + demo + " 200 built.png");
    ASSERT_EQ(built.status, 0) << built.output;
    EXPECT_EQ(readText(home / "moved.png"), readText(home / "built.png"));
}

// The modules go to LIBDIR/lantrel, where the installed executable looks for them: an
// installed program draws, and writes an MP4, with nothing of the build tree.
TEST_F(InstallLayout, PutsTheModulesWhereTheInstalledProgramFindsThem) {
    const fs::path modules = installed(LANTREL_MODULE_INSTALL_DIR);
    for (const char* module : {"window.so", "encoder.so", "sound.so"})
        EXPECT_TRUE(fs::is_regular_file(modules / module)) << modules / module;
    const TempDir home;
    const fs::path project = home.write("song.vtm", writeProjectFile(Project()));
    const ToolRun mp4 =
        runAsNewUser(home, program() + " export '" + project.string() + "' --mp4");
    EXPECT_EQ(mp4.status, 0) << mp4.output;
    EXPECT_GT(fs::file_size(home / "song.mp4"), 1000u);
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
    const fs::path file = stage_->write("saved.project", writeProjectFile(project));
    const ToolRun type =
        runTool(environment + "gio info -a standard::content-type '" + file.string() + "'");
    EXPECT_NE(type.output.find("standard::content-type: " + std::string(kProjectMimeType)),
              std::string::npos)
        << type.output;
}

}  // namespace
}  // namespace lantrel::test
