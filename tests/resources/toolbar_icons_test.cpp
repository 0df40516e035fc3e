#include "resources/toolbar_icons.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace lantrel {
namespace {

int opaquePixels(const ToolbarIcon& icon) {
    int count = 0;
    for (const Rgba& pixel : icon)
        count += pixel.a == 255 ? 1 : 0;
    return count;
}

// Dark enough to stand out on a light toolbar.
int darkPixels(const ToolbarIcon& icon) {
    int count = 0;
    for (const Rgba& pixel : icon)
        if (pixel.a == 255 && pixel.r * 3 + pixel.g * 6 + pixel.b < 1000) ++count;
    return count;
}

int differingPixels(const ToolbarIcon& first, const ToolbarIcon& second) {
    int count = 0;
    for (std::size_t i = 0; i < first.size(); ++i)
        count += first[i] == second[i] ? 0 : 1;
    return count;
}

TEST(ToolbarIcons, ButtonsFollowTheToolbarOrder) {
    const std::array<int, 15> expected = {57600, 57601, 57603, 32808, 57637, 57643, 32785, 32789,
                                          32794, 32793, 32819, 32820, 32800, 32772, 57664};
    EXPECT_EQ(kToolbarCommands, expected);
    EXPECT_EQ(kToolbarIconWidth * kToolbarIconHeight, 16 * 15);
}

TEST(ToolbarIcons, EveryButtonHasAPictureThatReadsOnALightToolbar) {
    for (int command : kToolbarCommands) {
        const ToolbarIcon* icon = toolbarIcon(command);
        ASSERT_NE(icon, nullptr) << command;
        const int opaque = opaquePixels(*icon);
        EXPECT_GT(opaque, 240 / 6) << command << " is too faint to see";
        EXPECT_LT(opaque, 240) << command << " would hide the toolbar behind it";
        EXPECT_GE(darkPixels(*icon), 12) << command << " has no outline";
        std::set<std::tuple<int, int, int>> colours;
        for (const Rgba& pixel : *icon) {
            EXPECT_TRUE(pixel.a == 0 || pixel.a == 255) << command;
            if (pixel.a == 255) colours.insert({pixel.r, pixel.g, pixel.b});
        }
        EXPECT_GE(colours.size(), 2u) << command;
    }
}

TEST(ToolbarIcons, TransparentPixelsCarryNoColour) {
    for (int command : kToolbarCommands) {
        for (const Rgba& pixel : *toolbarIcon(command)) {
            if (pixel.a != 0) continue;
            EXPECT_EQ(pixel, kClear) << command;
        }
    }
}

TEST(ToolbarIcons, NoTwoButtonsLookAlike) {
    for (std::size_t i = 0; i < kToolbarCommands.size(); ++i)
        for (std::size_t j = i + 1; j < kToolbarCommands.size(); ++j)
            EXPECT_GE(differingPixels(*toolbarIcon(kToolbarCommands[i]),
                                      *toolbarIcon(kToolbarCommands[j])),
                      20)
                << kToolbarCommands[i] << " and " << kToolbarCommands[j];
}

TEST(ToolbarIcons, CommandsWithoutAButtonHaveNoPicture) {
    EXPECT_EQ(toolbarIcon(57604), nullptr);  // save as: menu only
    EXPECT_EQ(toolbarIcon(32774), nullptr);  // preferences
    EXPECT_EQ(toolbarIcon(0), nullptr);
    EXPECT_EQ(toolbarIcon(-57600), nullptr);
}

}  // namespace
}  // namespace lantrel
