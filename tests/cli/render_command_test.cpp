#include <gtest/gtest.h>

#include <QImage>

#include <sstream>

#include "cli/command_line.h"
#include "model/vtq_gui_doc.h"
#include "support/child_process.h"
#include "support/forged_bitmap.h"
#include "support/temp_dir.h"

namespace lantrel {
namespace {

class RenderCommandTest : public ::testing::Test {
  protected:
    RenderCommandTest() {
        CVtqGuiDoc document;
        EXPECT_TRUE(document.save(project()).ok());
    }
    std::filesystem::path project() const { return dir / "p.vtm"; }
    // The real program, so that a resource limit or the user's resource folder applies to it.
    std::optional<int> render(const std::filesystem::path& picture, test::ChildSetup setup = {}) {
        setup.output = dir / "said.txt";
        test::ChildProcess child(
            {LANTREL_EXECUTABLE, "render", project().string(), "-1", picture.string()}, setup);
        return child.wait();
    }
    std::string said() const { return test::TempDir::read(dir / "said.txt"); }

    test::TempDir dir;
};

TEST_F(RenderCommandTest, WritesTheScreenAsAPicture) {
    std::ostringstream out, err;
    const std::vector<std::string> args = {"render", project().string(), "-1",
                                           (dir / "s.png").string()};
    ASSERT_EQ(runCommandLine(args, out, err), 0) << err.str();
    EXPECT_EQ(out.str(), "wrote " + (dir / "s.png").string() + "\n");
    EXPECT_EQ(QImage(QString::fromStdString((dir / "s.png").string())).size(), QSize(512, 384));
}

TEST_F(RenderCommandTest, AFullDiskFailsAndKeepsTheOldPicture) {
    const std::string old(5000, 'p');
    const auto picture = dir.write("s.png", old);
    test::ChildSetup setup;
    setup.fileSizeLimit = 1000;  // far less than the picture needs
    EXPECT_EQ(render(picture, setup), 1) << said();
    EXPECT_NE(said().find("lantrel render: cannot write " + picture.string()), std::string::npos)
        << said();
    EXPECT_EQ(said().find("wrote"), std::string::npos) << said();
    EXPECT_TRUE(test::TempDir::read(picture) == old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              3)
        << "only the project, the picture and the child's messages";
}

// The crash needed a failed allocation of the declared picture; an address space limit makes
// one. AddressSanitizer reserves terabytes of address space and cannot run under such a limit.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSpaceLimitWorks = false;
#else
constexpr bool kAddressSpaceLimitWorks = true;
#endif

TEST_F(RenderCommandTest, AForgedSpriteInTheUsersFolderIsPassedOver) {
    std::filesystem::create_directories(dir / "data" / "lantrel" / "rsrc");
    dir.write("data/lantrel/rsrc/icons.bmp", test::forgedBitmap(16384, 16384, 32, 90));
    dir.write("data/lantrel/rsrc/icons_mask.bmp", test::forgedBitmap(16384, 16384, 1, 90));
    test::ChildSetup setup;
    setup.environment = {{"XDG_DATA_HOME", (dir / "data").string()}};
    if (kAddressSpaceLimitWorks) setup.addressSpaceLimit = rlim_t{900} << 20;
    EXPECT_EQ(render(dir / "s.png", setup), 0) << said();
    EXPECT_EQ(QImage(QString::fromStdString((dir / "s.png").string())).size(), QSize(512, 384));
}

// A machine without the IPA fonts would draw another picture; the drawing verbs say so and
// stop instead, unless the user accepts other fonts.
TEST_F(RenderCommandTest, WithoutTheIpaFontsTheDrawingVerbsRefuseUnlessAllowed) {
    dir.write("fonts.conf",
              "<?xml version=\"1.0\"?>\n<fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir>"
              "<cachedir>" + (dir / "cache").string() + "</cachedir></fontconfig>\n");
    test::ChildSetup setup;
    setup.environment = {{"FONTCONFIG_FILE", (dir / "fonts.conf").string()}};
    const auto picture = dir / "s.png";
    EXPECT_EQ(render(picture, setup), 1);
    EXPECT_EQ(said(),
              "lantrel: the font for bar numbers (IPA P Gothic) is not installed; the font for "
              "the CHEAT caption (IPA Gothic) is not installed; install fonts-ipafont-gothic, or "
              "give --allow-font-substitute to draw with other fonts\n");
    EXPECT_FALSE(std::filesystem::exists(picture));

    setup.output = dir / "said.txt";
    test::ChildProcess allowed({LANTREL_EXECUTABLE, "render", project().string(), "-1",
                                picture.string(), "--allow-font-substitute"},
                               setup);
    EXPECT_EQ(allowed.wait(), 0) << said();
    EXPECT_TRUE(std::filesystem::exists(picture));

    test::ChildProcess movie({LANTREL_EXECUTABLE, "export", project().string(), "--out-dir",
                              dir.path().string(), "--name", "m", "--no-audio"},
                             setup);
    EXPECT_EQ(movie.wait(), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "m.avi"));
    test::ChildProcess sound({LANTREL_EXECUTABLE, "export", project().string(), "--out-dir",
                              dir.path().string(), "--name", "m", "--no-video"},
                             setup);
    EXPECT_EQ(sound.wait(), 0) << "the sound alone draws nothing: " << said();
}

}  // namespace
}  // namespace lantrel
