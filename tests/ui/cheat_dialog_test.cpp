#include "app/dialogs/cheat_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QSlider>

#include "dialog_recorder.h"

namespace lantrel {
namespace {

using test::child;

QSlider* volume(const QWidget& dialog, int lane) {
    return child<QSlider>(dialog, QStringLiteral("volume%1").arg(lane));
}

QCheckBox* semitone(const QWidget& dialog, int lane) {
    return child<QCheckBox>(dialog, QStringLiteral("semitone%1").arg(lane));
}

// Every lane with volumes and pitch factors that differ from instrument to instrument.
ProjectSettings unevenSettings() {
    ProjectSettings settings;
    for (int lane = 0; lane < kLaneCount; ++lane)
        for (int i = 0; i < kInstrumentCount; ++i)
            settings.lanes[lane].instruments[i] = {64, 20 * lane + i, i == 0 ? 1.25 : 1.0 + i};
    return settings;
}

TEST(CheatDialog, ShowsInstrumentOneOfEachLaneAndHidesTheMiddleBox) {
    ProjectSettings settings = unevenSettings();
    settings.lanes[2].instruments[0].pitchFactor = 1.0;
    const CCheatDialog dialog(nullptr, settings);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "しろうとにはおすすめできない");
    for (int lane = 0; lane < kLaneCount; ++lane)
        EXPECT_EQ(volume(dialog, lane)->value(), 20 * lane);
    EXPECT_TRUE(semitone(dialog, 0)->isChecked());
    EXPECT_FALSE(semitone(dialog, 2)->isChecked());
    EXPECT_EQ(semitone(dialog, 0)->text().toStdString(), "半音上げる");
    EXPECT_EQ(semitone(dialog, 1)->text().toStdString(), "半音下げる");
    EXPECT_EQ(semitone(dialog, 2)->text().toStdString(), "半音下げる");
    EXPECT_TRUE(semitone(dialog, 1)->isHidden());
    EXPECT_FALSE(semitone(dialog, 2)->isHidden());
}

TEST(CheatDialog, OkGivesEveryInstrumentTheLaneVolumeAndTheExactSemitoneFactors) {
    ProjectSettings settings = unevenSettings();
    const ProjectSettings before = settings;
    CCheatDialog dialog(nullptr, settings);
    volume(dialog, 0)->setValue(127);
    volume(dialog, 1)->setValue(0);
    semitone(dialog, 0)->setChecked(true);
    semitone(dialog, 1)->setChecked(false);
    semitone(dialog, 2)->setChecked(true);
    EXPECT_EQ(settings, before);  // nothing is stored before OK
    child<QPushButton>(dialog, "ok")->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    for (int i = 0; i < kInstrumentCount; ++i) {
        EXPECT_EQ(settings.lanes[0].instruments[i].volume, 127);
        EXPECT_EQ(settings.lanes[0].instruments[i].pitchFactor, 1.059463);
        EXPECT_EQ(settings.lanes[1].instruments[i].volume, 0);
        EXPECT_EQ(settings.lanes[1].instruments[i].pitchFactor,
                  before.lanes[1].instruments[i].pitchFactor);
        EXPECT_EQ(settings.lanes[2].instruments[i].volume, 40);
        EXPECT_EQ(settings.lanes[2].instruments[i].pitchFactor, 0.9438743967462762);
        EXPECT_EQ(settings.lanes[2].instruments[i].pan, 64);
    }
}

TEST(CheatDialog, RestoreResetsTheControlsAndOkThenClearsTheShifts) {
    ProjectSettings settings = unevenSettings();
    CCheatDialog dialog(nullptr, settings);
    child<QPushButton>(dialog, "restore")->click();
    for (int lane = 0; lane < kLaneCount; ++lane) {
        EXPECT_EQ(volume(dialog, lane)->value(), 100);
        EXPECT_FALSE(semitone(dialog, lane)->isChecked());
    }
    EXPECT_EQ(settings, unevenSettings());
    child<QPushButton>(dialog, "ok")->click();
    EXPECT_EQ(settings.lanes[0].instruments[7].pitchFactor, 1.0);
    EXPECT_EQ(settings.lanes[1].instruments[7].pitchFactor, 8.0);
    EXPECT_EQ(settings.lanes[2].instruments[7].volume, 100);
}

TEST(CheatDialog, CancelWritesNothing) {
    ProjectSettings settings = unevenSettings();
    CCheatDialog dialog(nullptr, settings);
    volume(dialog, 0)->setValue(3);
    child<QPushButton>(dialog, "restore")->click();
    child<QPushButton>(dialog, "cancel")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(settings, unevenSettings());
}

}  // namespace
}  // namespace lantrel
