#include "audio/wave_folder_check.h"

#include <gtest/gtest.h>

#include "dialog_recorder.h"

namespace lantrel {
namespace {

TEST(WaveFolderCheck, EmptyTextMeansTheBuiltInSounds) {
    const WaveFolderCheck check = checkWaveFolder("");
    EXPECT_TRUE(check.valid());
    EXPECT_EQ(check.folder, "");
}

TEST(WaveFolderCheck, FolderWithBothProbedSoundsPassesWithoutOneTrailingSeparator) {
    const test::TempDir dir;
    const std::string folder = test::soundFolder(dir);
    for (const std::string& text : {folder, folder + "/", folder + "\\"}) {
        const WaveFolderCheck check = checkWaveFolder(text);
        EXPECT_TRUE(check.valid()) << check.problem;
        EXPECT_EQ(check.folder, folder) << text;
    }
    EXPECT_EQ(checkWaveFolder(folder + "//").folder, folder + "/");
    EXPECT_EQ(checkWaveFolder("/").folder, "/");
}

}  // namespace
}  // namespace lantrel
