#include "base/atomic_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace lantrel {
namespace {

mode_t modeOf(const std::filesystem::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

std::size_t entriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TEST(AtomicFile, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode) {
    test::TempDir dir;
    const mode_t previous = ::umask(027);
    std::string error;
    ASSERT_TRUE(writeFileAtomically(dir / "new.vtm", "fresh", error)) << error;
    EXPECT_EQ(modeOf(dir / "new.vtm"), 0640u);
    ::umask(previous);

    const auto kept = dir.write("kept.vtm", "old");
    ::chmod(kept.c_str(), 0604);
    ASSERT_TRUE(writeFileAtomically(kept, "new", error)) << error;
    EXPECT_EQ(modeOf(kept), 0604u);
    EXPECT_EQ(test::TempDir::read(kept), "new");
    EXPECT_EQ(entriesIn(dir.path()), 2u) << "no temporary file is left";
}

TEST(AtomicFile, AFailedCommitKeepsTheOldFileAndLeavesNoTemporary) {
    test::TempDir dir;
    const auto folderInTheWay = dir / "target";
    std::filesystem::create_directories(folderInTheWay / "occupied");
    std::string error;
    TemporaryFile file = createTemporaryBeside(folderInTheWay, error);
    ASSERT_GE(file.descriptor, 0) << error;
    EXPECT_EQ(file.path.parent_path(), dir.path());
    EXPECT_FALSE(commitTemporary(file, folderInTheWay, error));  // a folder cannot be replaced
    EXPECT_NE(error.find("cannot write"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(folderInTheWay / "occupied"));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

}  // namespace
}  // namespace lantrel
