#include "base/atomic_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "base/input_file.h"
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

TEST(AtomicFile, AFileClosedUnderItsTemporaryNameIsCommittedOrRemoved) {
    test::TempDir dir;
    const auto target = dir.write("song.mp4", "the old take");
    ::chmod(target.c_str(), 0640);
    std::string error;
    TemporaryFile file = createTemporaryBeside(target, error);
    ASSERT_GE(file.descriptor, 0) << error;
    ::close(file.descriptor);  // as a library that opens the file again by its name
    dir.write(file.path.filename().string(), "the new take");
    ASSERT_TRUE(commitClosedTemporary(file.path, target, error)) << error;
    EXPECT_EQ(test::TempDir::read(target), "the new take");
    EXPECT_EQ(modeOf(target), 0640u);
    EXPECT_EQ(entriesIn(dir.path()), 1u);

    std::filesystem::create_directories(dir / "folder" / "occupied");
    file = createTemporaryBeside(dir / "folder", error);
    ASSERT_GE(file.descriptor, 0) << error;
    ::close(file.descriptor);
    EXPECT_FALSE(commitClosedTemporary(file.path, dir / "folder", error));
    EXPECT_NE(error.find("cannot write " + (dir / "folder").string()), std::string::npos) << error;
    EXPECT_EQ(entriesIn(dir.path()), 2u) << "the temporary file is removed";
    EXPECT_FALSE(commitClosedTemporary(dir / "never-made", target, error));
    EXPECT_EQ(test::TempDir::read(target), "the new take");
}

std::span<const std::byte> bytesOf(std::string_view text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

TEST(AtomicOutputFile, TheTargetChangesOnlyWhenTheFileIsCommitted) {
    test::TempDir dir;
    const auto target = dir.write("song.wav", "the old take");
    std::string error;
    {
        AtomicOutputFile file;
        ASSERT_TRUE(file.open(target, error)) << error;
        EXPECT_EQ(file.temporaryPath().parent_path(), dir.path());
        ASSERT_TRUE(file.write(bytesOf("half of a new")));
        EXPECT_EQ(test::TempDir::read(target), "the old take");
    }  // given up: a failure or a cancel
    EXPECT_EQ(test::TempDir::read(target), "the old take");
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "the temporary file is removed";

    AtomicOutputFile file;
    ASSERT_TRUE(file.open(target, error)) << error;
    ASSERT_TRUE(file.write(bytesOf("the new take")));
    ASSERT_TRUE(file.finish(error)) << error;
    EXPECT_EQ(test::TempDir::read(target), "the old take") << "finished is not yet committed";
    ASSERT_TRUE(file.commit(error)) << error;
    EXPECT_EQ(test::TempDir::read(target), "the new take");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicOutputFile, AFailedRenameLeavesNothing) {
    test::TempDir dir;
    std::string error;
    std::filesystem::create_directories(dir / "b.avi" / "occupied");
    AtomicOutputFile blocked;
    ASSERT_TRUE(blocked.open(dir / "b.avi", error));
    AtomicOutputFile moved = std::move(blocked);
    EXPECT_FALSE(moved.commit(error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    EXPECT_FALSE(AtomicOutputFile().open(dir / "missing" / "c.avi", error));
}

TEST(InputFile, OnlyRegularFilesAreInputs) {
    test::TempDir dir;
    const auto plain = dir.write("song.vtq", "SCORE=");
    ::mkfifo((dir / "pipe.vtq").c_str(), 0600);
    std::filesystem::create_directory(dir / "folder.vtq");
    std::filesystem::create_symlink(plain, dir / "link.vtq");
    EXPECT_TRUE(isRegularInputFile(plain));
    EXPECT_TRUE(isRegularInputFile(dir / "link.vtq"));
    EXPECT_EQ(regularFileProblem(dir / "pipe.vtq"),
              (dir / "pipe.vtq").string() + " is not a regular file");
    EXPECT_FALSE(isRegularInputFile(dir / "folder.vtq"));
    EXPECT_FALSE(isRegularInputFile("/dev/null"));
    EXPECT_EQ(regularFileProblem(dir / "none.vtq"),
              (dir / "none.vtq").string() + " does not exist");
}

}  // namespace
}  // namespace lantrel
