#include "app/dialogs/wav_attr_dialog.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "dialog_recorder.h"

namespace lantrel {
namespace {

using test::child;

QRgb iconColour(int cell) {
    return qRgb(16 * cell + 8, 255 - 16 * cell, 100);
}

// A resource folder whose icon sheet fills cell k with its own colour, opaque but for the
// cell's bottom right pixel, which the mask leaves transparent (white in the strip).
void writeIconSheets(const test::TempDir& folder) {
    QImage icons(64, 64, QImage::Format_RGB32);
    QImage mask(64, 64, QImage::Format_RGB32);
    mask.fill(Qt::black);
    for (int cell = 0; cell < 16; ++cell) {
        const int left = 16 * (cell % 4);
        const int top = 16 * (cell / 4);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                icons.setPixel(left + x, top + y, iconColour(cell));
        mask.setPixel(left + 15, top + 15, qRgb(255, 255, 255));
    }
    ASSERT_TRUE(icons.save(QString::fromStdString((folder / "icons.bmp").string()), "BMP"));
    ASSERT_TRUE(mask.save(QString::fromStdString((folder / "icons_mask.bmp").string()), "BMP"));
}

LaneSound distinctLane() {
    LaneSound lane{"label", "", {}};
    for (int i = 0; i < kInstrumentCount; ++i)
        lane.instruments[i] = {5 * i, 10 + i, 1.5};
    return lane;
}

class WavAttrDialogTest : public ::testing::Test {
  protected:
    CWavAttrDialog open(const LaneSound& lane) {
        const std::filesystem::path folders[] = {resources_.path()};
        return CWavAttrDialog(nullptr, lane, folders, recorder_.hooks());
    }
    QSlider* instrument(const QWidget& dialog, int i) {
        return child<QSlider>(dialog, QStringLiteral("instrument%1").arg(i));
    }

    test::TempDir resources_;
    test::DialogRecorder recorder_;
};

TEST_F(WavAttrDialogTest, OpensWithTheMasterCentredAndEachInstrumentAtItsPan) {
    const LaneSound lane = distinctLane();
    const CWavAttrDialog dialog = open(lane);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "パンポット");
    EXPECT_EQ(child<QSlider>(dialog, "master")->value(), 64);
    for (int i = 0; i < kInstrumentCount; ++i)
        EXPECT_EQ(instrument(dialog, i)->value(), lane.instruments[i].pan);
    EXPECT_EQ(child<QLabel>(dialog, "left")->text(), "LEFT");
    EXPECT_EQ(child<QLabel>(dialog, "right")->text(), "RIGHT");
    EXPECT_EQ(child<QPushButton>(dialog, "centre")->text().toStdString(), "中央にする");
}

TEST_F(WavAttrDialogTest, MasterAtZeroGivesEveryInstrumentPanZeroAndKeepsTheRest) {
    const LaneSound lane = distinctLane();
    CWavAttrDialog dialog = open(lane);
    child<QSlider>(dialog, "master")->setValue(0);
    child<QPushButton>(dialog, "ok")->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    LaneSound expected = lane;
    for (InstrumentSound& sound : expected.instruments)
        sound.pan = 0;
    EXPECT_EQ(dialog.laneSound(), expected);
}

TEST_F(WavAttrDialogTest, CentreMovesMasterAndInstrumentsTo64) {
    CWavAttrDialog dialog = open(distinctLane());
    child<QSlider>(dialog, "master")->setValue(10);
    instrument(dialog, 3)->setValue(120);
    child<QPushButton>(dialog, "centre")->click();
    EXPECT_EQ(child<QSlider>(dialog, "master")->value(), 64);
    for (int i = 0; i < kInstrumentCount; ++i)
        EXPECT_EQ(instrument(dialog, i)->value(), 64);
}

TEST_F(WavAttrDialogTest, OkStoresTheCheckedFolderOrStaysOpen) {
    const test::TempDir waves, withoutFirst;
    CWavAttrDialog dialog = open(distinctLane());
    auto* folder = child<QLineEdit>(dialog, "folder");
    folder->setText(QString::fromStdString(test::soundFolder(withoutFirst, false, true)));
    instrument(dialog, 0)->setValue(99);
    child<QPushButton>(dialog, "ok")->click();
    EXPECT_EQ(recorder_.takeWarning(),
              "フォルダ " + withoutFirst.path().string() + " の sound1.wav にアクセスできません。");
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.laneSound(), distinctLane());

    folder->setText(QString::fromStdString(test::soundFolder(waves) + "/"));
    child<QPushButton>(dialog, "ok")->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.laneSound().waveFolder, waves.path().string());
    EXPECT_EQ(dialog.laneSound().instruments[0].pan, 99);
}

TEST_F(WavAttrDialogTest, CancelKeepsTheLaneAsGiven) {
    CWavAttrDialog dialog = open(distinctLane());
    child<QSlider>(dialog, "master")->setValue(127);
    child<QLineEdit>(dialog, "folder")->setText("/elsewhere");
    child<QPushButton>(dialog, "cancel")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.laneSound(), distinctLane());
}

TEST_F(WavAttrDialogTest, RowsKeepTheirDistancesFromTheMaster) {
    const CWavAttrDialog dialog = open(distinctLane());
    const QRect master = child<QSlider>(dialog, "master")->geometry();
    for (int i = 0; i < kInstrumentCount; ++i) {
        const QRect row = instrument(dialog, i)->geometry();
        const QRect picture = child<QLabel>(dialog, QStringLiteral("icon%1").arg(i))->geometry();
        EXPECT_EQ(row, QRect(master.left(), master.top() + master.height() + 16 + 20 * i,
                             master.width(), 18));
        EXPECT_EQ(picture, QRect(master.left() - 46, row.top(), 18, 18));
    }
}

TEST_F(WavAttrDialogTest, PicturesShowEachIconInABlackSquare) {
    writeIconSheets(resources_);
    CWavAttrDialog dialog = open(distinctLane());
    const QImage shot = dialog.grab().toImage();
    for (int i = 0; i < kInstrumentCount; ++i) {
        const auto* label = child<QLabel>(dialog, QStringLiteral("icon%1").arg(i));
        const QPoint origin = label->mapTo(&dialog, QPoint(0, 0));
        const auto at = [&](int x, int y) {
            return shot.pixel(origin + QPoint(x, y)) | 0xFF000000;
        };
        for (const int edge : {0, 17}) {
            for (int k = 0; k < 18; ++k) {
                EXPECT_EQ(at(edge, k), qRgb(0, 0, 0)) << i;
                EXPECT_EQ(at(k, edge), qRgb(0, 0, 0)) << i;
            }
        }
        EXPECT_EQ(at(1, 1), iconColour(i)) << i;
        EXPECT_EQ(at(15, 16), iconColour(i)) << i;
        EXPECT_EQ(at(16, 16), qRgb(255, 255, 255)) << i;
    }
}

}  // namespace
}  // namespace lantrel
