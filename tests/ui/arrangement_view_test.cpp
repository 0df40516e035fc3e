#include <QClipboard>
#include <QMimeData>
#include <QUrl>

#include "app/command_table.h"
#include "app/matrix_scroll_bar.h"
#include "app/progress_box.h"
#include "app/view_geometry.h"
#include "ui/window_fixture.h"
#include "video/frame_context.h"

namespace lantrel {
namespace {

using test::WindowFixture;

constexpr QRgb kGrid = 0xFFC0C0C0;
constexpr QRgb kGrey = 0xFFD0D0D0;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kMagenta = 0xFFFF00FF;

TEST(ViewGeometry, FitsTheScreenWithoutEverEnlargingIt) {
    EXPECT_EQ((ViewGeometry{512, 496}.screenRect()), QRect(0, 2, 512, 384));
    EXPECT_EQ((ViewGeometry{1000, 900}.screenRect()), QRect(244, 204, 512, 384));
    EXPECT_EQ((ViewGeometry{256, 496}.screenRect()), QRect(0, 98, 256, 192));
    EXPECT_EQ((ViewGeometry{512, 300}.screenRect()), QRect(128, 0, 256, 192));
    EXPECT_TRUE((ViewGeometry{512, 100}.screenRect().isEmpty()));
    EXPECT_EQ((ViewGeometry{512, 496}.cancelBox()), QRect(384, 354, 128, 32));
    EXPECT_EQ((ViewGeometry{256, 496}.cancelBox()), QRect(192, 274, 64, 16));
}

// Over a light score the caption must still read: white on a black band of its own.
TEST(ProgressBox, TheCaptionIsWhiteOnBlackAndNamesTheMp4ForItsVideo) {
    QImage avi(512, 384, QImage::Format_RGB32);
    avi.fill(Qt::white);
    QImage mp4 = avi.copy();
    drawProgressBox(avi, 0, false);
    drawProgressBox(mp4, 0, true);
    EXPECT_EQ(avi.pixel(384, 351), qRgb(0, 0, 0)) << "the caption's band";
    EXPECT_EQ(avi.pixel(511, 340), qRgb(0, 0, 0));
    EXPECT_EQ(avi.pixel(383, 351), qRgb(255, 255, 255)) << "the score beside it";
    const QRect caption(384, 320, 128, 32);
    EXPECT_NE(avi.copy(caption), mp4.copy(caption)) << "another caption for the MP4";
    EXPECT_EQ(avi.copy(384, 352, 128, 32), mp4.copy(384, 352, 128, 32)) << "the same cancel box";
}

TEST(ViewGeometry, TheHeaderCountsAsTheUpperLaneForTheLeftButtonOnly) {
    const ViewGeometry view{512, 496};  // the strip's rows are 388 .. 479
    EXPECT_EQ(view.hitLeft({20, 390}, 7)->lane, 0);
    EXPECT_EQ(view.hitLeft({20, 390}, 7)->column, 9);
    EXPECT_FALSE(view.hitRight({20, 390}, 7));
    EXPECT_EQ(view.hitRight({20, 404}, 0)->lane, 0);
    EXPECT_EQ(view.hitLeft({0, 454}, 0)->lane, 2);
    EXPECT_FALSE(view.hitLeft({0, 388}, 0)) << "the strip's first row is outside";
    EXPECT_FALSE(view.hitLeft({0, 479}, 0)) << "its last row reads as a fourth lane";
    EXPECT_FALSE(view.hitRight({0, 480}, 0));
}

class ArrangementViewTest : public WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(start());
        ASSERT_EQ(view().size(), QSize(512, 496));
    }

    void clickCell(int onScreenColumn, int lane, Qt::MouseButton button = Qt::LeftButton) {
        const int y = view().geometryNow().stripTop() + 16 + 25 * lane + 12;
        QTest::mouseClick(&view(), button, {}, QPoint(9 * onScreenColumn + 4, y));
        QApplication::processEvents();
    }
    void place(int lane, int column, int columns, int instrument = 1) {
        document().PlaceScoreText(test::scoreText(columns, instrument), lane, column);
        QApplication::processEvents();
    }
    void resizeView(int width) {
        frame().resize(frame().width() - view().width() + width, frame().height());
        QApplication::processEvents();
        ASSERT_EQ(view().width(), width);
    }
    QScrollBar& bar() { return *view().scrollBar(); }
};

TEST_F(ArrangementViewTest, TheStripShowsGridGreyAndWhiteCellsAndIcons) {
    place(0, 0, 6, 1);
    document().PlaceScoreText("SCORE=000000000\nEND=4\n", 1, 2);  // three cells without notes
    const QImage shot = grabbed();
    const int top = 496 - 108;
    for (const int y : {16, 41, 66, 91})
        EXPECT_EQ(shot.pixel(100, top + y), kGrid) << y;
    EXPECT_EQ(shot.pixel(9, top + 30), kGrid);
    EXPECT_EQ(shot.pixel(0, top + 10), kGrid) << "the header's tick at the first bar";
    EXPECT_EQ(shot.pixel(9 * 4, top + 10), kGrid) << "the tick of bar 2";
    EXPECT_EQ(shot.pixel(9 * 5 + 4, top + 17 + 50 + 10), kGrey) << "outside every score";
    EXPECT_EQ(shot.pixel(9 * 3 + 4, top + 17 + 25 + 10), kWhite) << "a placed cell without notes";
    EXPECT_EQ(shot.pixel(9 * 1 + 4, top + 17 + 25 + 10), kGrey);
    // Each note's 8 x 8 icon sits in its slot; the slots below stay white.
    bool iconDrawn = false;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            iconDrawn = iconDrawn || shot.pixel(9 * 2 + 1 + x, top + 17 + y) != kWhite;
    EXPECT_TRUE(iconDrawn);
    EXPECT_EQ(shot.pixel(9 * 2 + 4, top + 17 + 12), kWhite);
    // The cursor frame lies on the grid lines around the middle lane's column 0.
    EXPECT_EQ(shot.pixel(0, top + 41), kMagenta);
    EXPECT_EQ(shot.pixel(9, top + 50), kMagenta);
    EXPECT_EQ(shot.pixel(4, top + 66), kMagenta);
}

TEST_F(ArrangementViewTest, TheScreenAreaShowsTheRenderedPictureAtTheCursor) {
    place(0, 0, 8, 2);
    clickCell(3, 0);
    const std::vector<std::filesystem::path> folders{LANTREL_RSRC_DIR};
    FrameContext context(folders);
    context.attach(document().project());
    QImage expected = makeScreenImage();
    RenderFrame(context.prepare(&expected, 6));
    const QImage shot = grabbed().copy(0, 2, 512, 384);
    EXPECT_EQ(shot, expected.convertToFormat(QImage::Format_RGB32));
}

TEST_F(ArrangementViewTest, HeaderNumbersFollowTheTimeSignature) {
    place(0, 0, 100);
    ProjectSettings settings = document().settings();
    settings.fourFour = false;
    document().setSettings(settings);
    bar().setSliderPosition(5);
    bar().triggerAction(QAbstractSlider::SliderMove);
    EXPECT_EQ(view().firstVisibleColumn(), 5);
    const QImage shot = grabbed();
    const int top = 496 - 108;
    EXPECT_EQ(shot.pixel(9, top + 8), kGrid) << "first tick at on-screen column 1 (column 6)";
    EXPECT_EQ(shot.pixel(0, top + 8), kWhite);
    EXPECT_EQ(shot.pixel(9 * 4, top + 8), kGrid);
}

TEST_F(ArrangementViewTest, TheCursorFrameIsDrawnUpToThePartlyVisibleColumnOnly) {
    resizeView(500);  // 55 whole columns and five pixels of the 56th
    clickCell(55, 2);
    EXPECT_EQ(view().cursorColumn(), 55);
    QImage shot = grabbed();
    EXPECT_EQ(shot.pixel(495, 496 - 108 + 66 + 10), kMagenta);
    bar().setSliderPosition(3);  // an empty arrangement scrolls as far as column 0 only
    bar().triggerAction(QAbstractSlider::SliderMove);
    EXPECT_EQ(view().firstVisibleColumn(), 0);
}

TEST_F(ArrangementViewTest, TheScrollBarReachesPastTheEndButTheStripStopsAtItsLastColumn) {
    EXPECT_EQ(bar().maximum(), 8) << "an empty arrangement scrolls 0..8";
    place(1, 0, 100);
    resizeView(450);
    EXPECT_EQ(bar().minimum(), 0);
    EXPECT_EQ(bar().maximum(), 107);
    EXPECT_EQ(bar().pageStep(), 50);
    bar().setSliderPosition(105);
    bar().triggerAction(QAbstractSlider::SliderMove);
    EXPECT_EQ(view().firstVisibleColumn(), 99);
    bar().triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(view().firstVisibleColumn(), 0);
    bar().triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(view().firstVisibleColumn(), 50);
    EXPECT_EQ(view().cursorColumn(), 0) << "scrolling never moves the cursor";
}

TEST_F(ArrangementViewTest, LeftAndRightPageAtTheStripsEdges) {
    place(1, 0, 100);
    resizeView(450);  // a page of 50
    clickCell(49, 1);
    press(Qt::Key_Right);
    EXPECT_EQ(view().cursorColumn(), 50);
    EXPECT_EQ(view().firstVisibleColumn(), 50) << "the cursor becomes the first visible column";

    bar().setSliderPosition(60);
    bar().triggerAction(QAbstractSlider::SliderMove);
    clickCell(0, 1);
    ASSERT_EQ(view().cursorColumn(), 60);
    press(Qt::Key_Left);
    EXPECT_EQ(view().cursorColumn(), 59);
    EXPECT_EQ(view().firstVisibleColumn(), 10);
    EXPECT_EQ(bar().value(), 10);

    press(Qt::Key_Up);
    press(Qt::Key_Up);
    EXPECT_EQ(view().cursorLane(), 0);
    press(Qt::Key_Down);
    EXPECT_EQ(view().cursorLane(), 1);
}

TEST_F(ArrangementViewTest, HomeEndAndTheArrangementEnds) {
    place(2, 30, 10);
    place(1, 0, 70);
    clickCell(3, 2);
    press(Qt::Key_End);
    EXPECT_EQ(view().cursorColumn(), 40);
    press(Qt::Key_Home);
    EXPECT_EQ(view().cursorColumn(), 30);
    press(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(view().cursorColumn(), 70);
    EXPECT_EQ(view().firstVisibleColumn(), 70 - 56 / 2);
    EXPECT_FALSE(frame().action(kCommandArrangementEnd)->isEnabled());
    press(Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(view().cursorColumn(), 0);
    EXPECT_FALSE(frame().action(kCommandFirstColumn)->isEnabled());
}

TEST_F(ArrangementViewTest, CellEditsAtTheCursorAndUndoBringsTheCursorBack) {
    place(0, 0, 10);
    clickCell(4, 0);
    press(Qt::Key_Insert);
    EXPECT_EQ(document().columnCount(0), 11);
    EXPECT_EQ(document().pitch(0, 4, 0), -1) << "an empty cell was inserted at the cursor";
    press(Qt::Key_Delete);
    press(Qt::Key_Delete);
    EXPECT_EQ(document().columnCount(0), 9);
    clickCell(6, 0);
    press(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(document().columnCount(0), 6);

    test::chooseFromPopup(4);  // "ここより←左をクリア"
    clickCell(3, 0, Qt::RightButton);
    EXPECT_EQ(document().pitch(0, 2, 0), -1);
    EXPECT_EQ(document().pitch(0, 3, 0), 5);

    clickCell(0, 1);
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view().cursorColumn(), 0) << "clear left undone at its column 0";
    EXPECT_EQ(document().pitch(0, 2, 0), 5);
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view().cursorColumn(), 6);
    EXPECT_EQ(document().columnCount(0), 9);
    press(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(document().columnCount(0), 6);
}

TEST_F(ArrangementViewTest, TheContextMenuListsItsFiveCommandsAndTheHeaderIgnoresTheRightButton) {
    place(0, 0, 5);
    QStringList items;
    test::chooseFromPopup(1, &items);  // insert here
    clickCell(2, 0, Qt::RightButton);
    EXPECT_EQ(items,
              (QStringList{"ファイル読み込み...", "ここにセルを挿入\tInsert", "このセルを削除\tDel",
                           "ここから右→を削除\tShift+Del", "ここより←左をクリア"}));
    EXPECT_EQ(view().cursorColumn(), 2);
    EXPECT_EQ(document().columnCount(0), 6);

    QTest::mouseClick(&view(), Qt::RightButton, {}, QPoint(40, 496 - 108 + 8));
    EXPECT_EQ(view().cursorColumn(), 2) << "a right click in the header does nothing";
    QTest::mouseClick(&view(), Qt::LeftButton, {}, QPoint(40, 496 - 108 + 8));
    EXPECT_EQ(view().cursorColumn(), 4);
    EXPECT_EQ(view().cursorLane(), 0) << "a left click in the header means the upper lane";
}

TEST_F(ArrangementViewTest, ADoubleClickPlacesTheChosenScoreWithoutMovingOn) {
    scoreAnswers.push_back(writeScore("chosen.vtq", 7, 4));
    QTest::mouseDClick(&view(), Qt::LeftButton, {}, QPoint(9 * 3 + 4, 496 - 108 + 16 + 50 + 5));
    QApplication::processEvents();
    EXPECT_EQ(document().columnCount(2), 10);
    EXPECT_EQ(document().instrument(2, 3, 0), 4);
    EXPECT_EQ(view().cursorColumn(), 3);
}

TEST_F(ArrangementViewTest, PasteTakesTheClipboardsScoreTextAndMovesOn) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(test::scoreText(5, 7)));
    frame().refreshCommandStates();
    EXPECT_TRUE(frame().action(kCommandPaste)->isEnabled());
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(document().columnCount(1), 5);
    EXPECT_EQ(document().instrument(1, 0, 0), 7);
    EXPECT_EQ(view().cursorColumn(), 5);
    QGuiApplication::clipboard()->clear();
    frame().refreshCommandStates();
    EXPECT_FALSE(frame().action(kCommandPaste)->isEnabled());
}

TEST_F(ArrangementViewTest, DroppedScoresLandOneAfterAnotherInSortedOrder) {
    const auto b = writeScore("b.vtq", 3, 2);
    const auto a = writeScore("a.vtq", 5, 9);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(b)),
                  QUrl::fromLocalFile(QString::fromStdString(a))});
    QDropEvent drop(QPointF(50, 420), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the view's handler: outside a real drag, QApplication holds drop events back.
    static_cast<QObject&>(view()).event(&drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(document().instrument(1, 0, 0), 9) << "a.vtq first";
    EXPECT_EQ(document().instrument(1, 5, 0), 2) << "then b.vtq after it";
    EXPECT_EQ(view().cursorColumn(), 8);
}

TEST_F(ArrangementViewTest, EnablingRulesOfAnIdleWindow) {
    auto enabled = [this](CommandId id) {
        frame().refreshCommandStates();
        return frame().action(id)->isEnabled();
    };
    EXPECT_FALSE(enabled(kCommandPlay));
    EXPECT_FALSE(enabled(kCommandAudioPlay));
    EXPECT_FALSE(enabled(kCommandMovieOutput));
    EXPECT_TRUE(enabled(kCommandMovieSettings));
    EXPECT_FALSE(enabled(kCommandStop));
    EXPECT_FALSE(enabled(kCommandUndo));
    EXPECT_FALSE(enabled(kCommandFirstColumn));
    EXPECT_FALSE(enabled(kCommandArrangementEnd)) << "the cursor is at the end of nothing";
    place(0, 0, 4);
    EXPECT_TRUE(enabled(kCommandPlay));
    EXPECT_TRUE(enabled(kCommandMovieOutput));
    EXPECT_TRUE(enabled(kCommandUndo));
    EXPECT_FALSE(enabled(kCommandRedo));
    EXPECT_TRUE(enabled(kCommandArrangementEnd));
}

}  // namespace
}  // namespace lantrel
