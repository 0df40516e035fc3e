#include <gtest/gtest.h>

#include <QImage>

#include <sstream>

#include "cli/command_line.h"
#include "model/vtq_gui_doc.h"
#include "support/child_process.h"
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

}  // namespace
}  // namespace lantrel
