#include "video/frame_context.h"

#include <gtest/gtest.h>

#include "model/project.h"
#include "resources/clef_image.h"
#include "support/forged_bitmap.h"
#include "support/temp_dir.h"

namespace lantrel {
namespace {

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBand = 0xFFCEEFE7;
constexpr QRgb kOrange = 0xFFFF9600;
constexpr QRgb kGreyGreen = 0xFFA5C7B5;
constexpr int kTop = 146;        // band top of a lone lane
constexpr int kRunnerTop = 126;  // the bar-number band above it

// Icon cell k is a 12 x 12 square of its own colour at (2, 2) inside the cell.
QRgb iconColour(int cell) {
    return qRgb(10 * cell + 5, 200 - 10 * cell, 100);
}
constexpr QRgb kRunnerColours[] = {0xFFE00000, 0xFF0000E0};

void saveBmp(const QImage& image, const std::filesystem::path& path) {
    ASSERT_TRUE(image.save(QString::fromStdString(path.string()), "BMP"));
}

// Sprite sheets drawn by the test: solid icon squares, and runner cells that are outlines
// (opaque only at columns 3 and 12) so that the outline filling shows.
void writeSprites(const std::filesystem::path& folder) {
    QImage icons(64, 80, QImage::Format_RGB32), iconMask(64, 80, QImage::Format_RGB32);
    icons.fill(kWhite);
    iconMask.fill(kWhite);
    for (int cell = 0; cell < 16; ++cell)
        for (int y = 2; y < 14; ++y)
            for (int x = 2; x < 14; ++x) {
                icons.setPixel(cell % 4 * 16 + x, cell / 4 * 16 + y, iconColour(cell));
                iconMask.setPixel(cell % 4 * 16 + x, cell / 4 * 16 + y,
                                  qRgb(90, 90, 90));  // any non-white
            }
    QImage runner(64, 66, QImage::Format_RGB32), runnerMask(64, 66, QImage::Format_RGB32);
    runner.fill(kWhite);
    runnerMask.fill(kWhite);
    const struct { int x, y, height; } cells[] = {{0, 1, 21}, {16, 2, 20}};
    for (int cell = 0; cell < 2; ++cell)
        for (int y = 0; y < cells[cell].height; ++y)
            for (int x : {3, 12}) {
                runner.setPixel(cells[cell].x + x, cells[cell].y + y, kRunnerColours[cell]);
                runnerMask.setPixel(cells[cell].x + x, cells[cell].y + y, kBlack);
            }
    saveBmp(icons, folder / "icons.bmp");
    saveBmp(iconMask, folder / "icons_mask.bmp");
    saveBmp(runner, folder / "running.bmp");
    saveBmp(runnerMask, folder / "running_mask.bmp");
}

class RenderTest : public ::testing::Test {
  protected:
    RenderTest() : folders{(writeSprites(sprites.path()), sprites.path())}, context(folders) {
        context.attach(project);
        context.minuteOfClock = [] { return 17; };
    }
    void fillLane(int lane, int length) {
        for (int column = 0; column < length; ++column)
            project.lane(lane).putNote(column, 0, kNoNote);
    }
    void setSettings(const std::function<void(ProjectSettings&)>& change) {
        ProjectSettings settings = project.settings();
        change(settings);
        project.setSettings(settings);
    }
    const QImage& render(int position) {
        RenderFrame(context.prepare(&picture, position));
        return picture;
    }
    QRgb at(int x, int y) const { return picture.pixel(x, y); }

    test::TempDir sprites;
    std::vector<std::filesystem::path> folders;
    Project project;
    FrameContext context;
    QImage picture = makeScreenImage();
};

TEST_F(RenderTest, BandsStackInTheMiddleOfThePicture) {
    fillLane(1, 20);
    render(-1);
    EXPECT_EQ(at(300, 145), kWhite) << "bar-number band 126..145";
    EXPECT_EQ(at(300, 126), kWhite);
    EXPECT_EQ(at(300, 125), kBlack);
    EXPECT_EQ(at(300, 146), kBand);
    EXPECT_EQ(at(300, 257), kBand);
    EXPECT_EQ(at(300, 258), kBlack);

    fillLane(2, 20);
    render(-1);
    EXPECT_EQ(at(300, 88), kBand);
    EXPECT_EQ(at(300, 200), kWhite) << "gap above the second band";
    EXPECT_EQ(at(300, 204), kBand);

    fillLane(0, 20);
    render(-1);
    for (int top : {30, 146, 262}) {
        EXPECT_EQ(at(300, top), kBand) << top;
        for (int line : {14, 30, 46, 62, 78}) {
            EXPECT_EQ(at(300, top + line), kBlack) << top << "+" << line;
            EXPECT_EQ(at(300, top + line + 1), kBlack);
            EXPECT_EQ(at(300, top + line + 2), kBand);
        }
    }
    EXPECT_EQ(at(300, 383), kBlack);
}

TEST_F(RenderTest, TheClefStandsAtRestThenScrollsAway) {
    fillLane(0, 40);
    // Offsets of the clef's left edge: 2 at rest (positions up to 8), -14 at 9, gone from 14.
    const std::pair<int, int> cases[] = {{-1, 2}, {8, 2}, {9, -14}};
    for (const auto& [position, left] : cases) {
        render(position);
        int checked = 0;
        for (int y = 0; y < kClefHeight; ++y)
            for (int x = 0; x < kClefWidth; ++x)
                if (clefInk(x, y) && left + x >= 0) {
                    ASSERT_EQ(at(left + x, kTop + y), kBlack)
                        << position << " at " << x << "," << y;
                    ++checked;
                }
        EXPECT_GT(checked, 100) << position;
    }
    render(14);
    const auto onStaffLine = [](int y) { return y >= 14 && y < 80 && (y - 14) % 16 < 2; };
    for (int y = 0; y < kClefHeight; ++y)
        for (int x = 0; x < kClefWidth - 6; ++x)
            if (!onStaffLine(y)) {
                EXPECT_NE(at(x, kTop + y), kBlack) << "no clef at position 14: " << x << "," << y;
            }
}

TEST_F(RenderTest, ColumnLinesAreCheckeredAndOrangeOnBarStarts) {
    fillLane(0, 40);
    render(-1);  // column 0 at x = 90, its line at x = 98
    auto lineColourAt = [&](int x) {
        return at(x, kTop + 1 + (x + kTop + 1) % 2);
    };  // a row where x + y is even
    EXPECT_EQ(lineColourAt(98), kOrange);
    EXPECT_EQ(at(98, kTop + 2 + (98 + kTop + 2) % 2 + 1), kWhite) << "the other checker colour";
    EXPECT_EQ(lineColourAt(98 + 32), kGreyGreen);
    EXPECT_EQ(lineColourAt(98 + 128), kOrange);
    EXPECT_EQ(lineColourAt(98 + 96), kGreyGreen);

    setSettings([](ProjectSettings& s) { s.fourFour = false; });
    render(-1);
    EXPECT_EQ(lineColourAt(98 + 96), kOrange);
    EXPECT_EQ(lineColourAt(98 + 128), kGreyGreen);
}

TEST_F(RenderTest, TheEndBarStandsAtTheLanesLengthAndLinesContinueAfterIt) {
    fillLane(0, 4);
    render(-1);  // column 4 at x = 218
    for (int y = kTop + 16; y < kTop + 80; ++y) {
        EXPECT_EQ(at(224, y), kBlack) << y;
        for (int x = 228; x < 232; ++x)
            EXPECT_EQ(at(x, y), kBlack);
    }
    EXPECT_NE(at(225, kTop + 20), kBlack);
    EXPECT_NE(at(226, kTop + 2 + (226 + kTop) % 2), kOrange) << "no column line at the end column";
    EXPECT_EQ(at(258, kTop + 1 + (258 + kTop + 1) % 2), kGreyGreen)
        << "column 5 has its line again";
}

TEST_F(RenderTest, HighNotesGetLedgerLinesAndIconsOnTop) {
    fillLane(0, 10);
    project.lane(0).putNote(0, 0, Note{3, 12});
    project.lane(0).putNote(1, 0, Note{5, 11});
    project.lane(0).putNote(1, 1, Note{7, 1});
    render(-1);
    for (int x = 86; x < 90; ++x)
        EXPECT_EQ(at(x, kTop + 96), kBlack) << x;
    EXPECT_EQ(at(107, kTop + 97), kBlack);
    EXPECT_EQ(at(90 + 5, kTop + 88 + 5), iconColour(2)) << "instrument 3 at pitch 12";
    EXPECT_NE(at(122 - 4 + 1, kTop + 96), kBlack) << "pitch 11 has no ledger line";
    EXPECT_EQ(at(122 + 5, kTop + 80 + 5), iconColour(4));
    EXPECT_EQ(at(122 + 5, kTop + 5), iconColour(6)) << "the second slot is drawn too";
    EXPECT_EQ(at(122 + 1, kTop + 80 + 1), kBand) << "transparent icon pixels leave the band";
}

TEST_F(RenderTest, TheRunnerWalksInAndThenTheScoreMoves) {
    fillLane(0, 40);
    const struct {
        int position, x, cell;
    } cases[] = {{0, 82, 1}, {3, 130, 0}, {8, 210, 1}, {9, 210, 0}, {20, 210, 1}};
    for (const auto& c : cases) {
        render(c.position);
        EXPECT_EQ(at(c.x + 3, kRunnerTop + 5), kRunnerColours[c.cell]) << c.position;
        EXPECT_EQ(at(c.x + 12, kRunnerTop + 5), kRunnerColours[c.cell]) << c.position;
        EXPECT_NE(at(c.x + 2, kRunnerTop + 5), kRunnerColours[c.cell]) << c.position;
    }
    render(9);
    EXPECT_EQ(at(74 + 8, kTop + 1 + (82 + kTop + 1) % 2), kOrange)
        << "position 9 moves column 0 to x = 74";
    render(-1);
    for (int x = 0; x < 512; ++x)
        for (int y = kRunnerTop; y < kRunnerTop + 22; ++y)
            ASSERT_NE(at(x, y), kRunnerColours[0]) << "no runner before the start";
}

TEST_F(RenderTest, TheRunnerOutlineIsFilledAboveTheLegs) {
    const SpriteSheets& sheets = context.sprites();
    for (int y = 0; y <= 18; ++y)
        EXPECT_FALSE(sheets.runnerMask().transparent(7, y)) << y;
    EXPECT_TRUE(sheets.runnerMask().transparent(7, 19));
    EXPECT_FALSE(sheets.runnerMask().transparent(3, 20));
    EXPECT_TRUE(sheets.runnerMask().transparent(3, 21)) << "cell 0 moved up by one row";
    EXPECT_FALSE(sheets.runnerMask().transparent(16 + 7, 16));
    EXPECT_TRUE(sheets.runnerMask().transparent(16 + 7, 17));
    EXPECT_TRUE(sheets.runnerMask().transparent(16 + 3, 20)) << "cell 1 moved up by two rows";
    EXPECT_EQ(sheets.runnerStrip().pixel(7, 5), kWhite) << "filled pixels are opaque white";
    EXPECT_EQ(sheets.iconStrip().pixel(5 * 16 + 4, 4), iconColour(5))
        << "cell 5 from sheet row 1, column 1";
    EXPECT_FALSE(sheets.iconMask().transparent(5 * 16 + 4, 4)) << "grey in a mask is opaque";
}

TEST_F(RenderTest, BrightnessZeroDarkensTheScoreButNotTheSprites) {
    fillLane(0, 10);
    project.lane(0).putNote(2, 0, Note{1, 5});
    setSettings([](ProjectSettings& s) { s.brightness = 0; });
    render(4);
    EXPECT_EQ(at(300, kTop + 10), kBlack);
    EXPECT_EQ(at(300, kRunnerTop + 1), kBlack) << "bar-number band";
    EXPECT_EQ(at(162, kTop + 1 + (162 + kTop + 1) % 2), kBlack) << "column line";
    EXPECT_EQ(at(154 + 5, kTop + 32 + 5), iconColour(0));
    EXPECT_EQ(at(146 + 3, kRunnerTop + 5), kRunnerColours[1]);
    EXPECT_EQ(blend(qRgb(206, 239, 231), kBlack, 128), qRgb(103, 119, 115));
}

TEST_F(RenderTest, AnAlteredPitchIsMarkedCheat) {
    fillLane(2, 10);
    setSettings([](ProjectSettings& s) { s.lanes[2].instruments[0].pitchFactor = 1.5; });
    render(-1);
    int red = 0;
    for (int y = 146; y < 256; ++y)
        for (int x = 0; x < 512; ++x)
            if (at(x, y) == 0xFFFF0000) {
                ++red;
                EXPECT_GE(x, 10);
                EXPECT_LT(y, 146 + 110);
            }
    EXPECT_GT(red, 50);
}

TEST_F(RenderTest, BarNumbersCentreOnTheirBars) {
    fillLane(0, 40);
    render(-1);
    auto inkNear = [&](int centre) {
        for (int x = centre - 8; x <= centre + 8; ++x)
            for (int y = kRunnerTop; y < kTop; ++y)
                if (x >= 0 && x < 512 && at(x, y) == kBlack) return true;
        return false;
    };
    EXPECT_TRUE(inkNear(98));   // bar 1
    EXPECT_TRUE(inkNear(226));  // bar 2
    EXPECT_FALSE(inkNear(162));
}

TEST_F(RenderTest, AnEmptyArrangementShowsOneEnlargedIcon) {
    render(5);
    EXPECT_EQ(at(0, 0), kBlack);
    EXPECT_EQ(at(418, 290), kWhite);
    EXPECT_EQ(at(422 + 5 * 2, 294 + 5 * 2), iconColour(2)) << "minute 17 picks cell 2";
    EXPECT_EQ(at(422 + 5 * 14 - 1, 294 + 5 * 14 - 1), iconColour(2));
    EXPECT_EQ(at(422 + 5 * 14, 294 + 5 * 14), kWhite);
    context.minuteOfClock = [] { return 44; };
    render(5);
    EXPECT_EQ(at(422 + 10, 294 + 10), iconColour(14));
}

TEST(SpriteSheetsDamaged, AForgedSheetIsPassedOverForTheNextFolders) {
    test::TempDir user, builtIn;
    writeSprites(builtIn.path());
    user.write("icons.bmp", test::forgedBitmap(16384, 16384, 32, 90));
    user.write("icons_mask.bmp", test::forgedBitmap(16384, 16384, 1, 90));
    user.write("running.bmp", test::forgedBitmap(64, 66, 24, 10));  // cut short
    const std::vector<std::filesystem::path> folders{user.path(), builtIn.path()};
    const SpriteSheets sheets(folders);
    for (int cell = 0; cell < 16; ++cell)
        EXPECT_EQ(sheets.iconStrip().pixel(16 * cell + 8, 8), iconColour(cell)) << cell;
    EXPECT_FALSE(sheets.iconMask().transparent(8, 8));
    EXPECT_EQ(sheets.runnerStrip().pixel(3, 5), kRunnerColours[0]);
}

TEST(SpriteSheetsMissing, MissingFilesGiveBlankSprites) {
    test::TempDir empty;
    empty.write("icons.bmp", "BM garbage that is not a bitmap");
    const std::vector<std::filesystem::path> folders{empty.path()};
    const SpriteSheets sheets(folders);
    EXPECT_EQ(sheets.iconStrip().pixel(40, 8), kWhite);
    EXPECT_TRUE(sheets.iconMask().transparent(40, 8));
    EXPECT_TRUE(sheets.runnerMask().transparent(5, 5));
    EXPECT_FALSE(sheets.clef().transparent(12, 48) && sheets.clef().transparent(11, 48) &&
                 sheets.clef().transparent(13, 48))
        << "the clef is built in";
}

}  // namespace
}  // namespace lantrel
