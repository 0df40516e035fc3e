#include "cheat_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/dialogs/dialog_buttons.h"

namespace lantrel {

namespace {

constexpr int kMaximumVolume = 127;
constexpr int kRestoredVolume = 100;
constexpr int kUpper = 0;
constexpr int kMiddle = 1;
constexpr int kLower = 2;

const char* const kLaneNames[kLaneCount] = {QT_TRANSLATE_NOOP("lantrel::CCheatDialog", "上段"),
                                            QT_TRANSLATE_NOOP("lantrel::CCheatDialog", "中段"),
                                            QT_TRANSLATE_NOOP("lantrel::CCheatDialog", "下段")};
const char* const kSemitoneTexts[kLaneCount] = {
    QT_TRANSLATE_NOOP("lantrel::CCheatDialog", "半音上げる"),
    QT_TRANSLATE_NOOP("lantrel::CCheatDialog", "半音下げる"),
    QT_TRANSLATE_NOOP("lantrel::CCheatDialog", "半音下げる")};

void setLaneVolume(LaneSound& lane, int volume) {
    for (InstrumentSound& instrument : lane.instruments)
        instrument.volume = volume;
}

void setLanePitch(LaneSound& lane, double factor) {
    for (InstrumentSound& instrument : lane.instruments)
        instrument.pitchFactor = factor;
}

// The middle lane's box is there but not shown; its place stays empty so that the three
// trackbars line up.
void hideKeepingItsPlace(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    widget->hide();
}

}  // namespace

CCheatDialog::CCheatDialog(QWidget* parent, ProjectSettings& settings)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(tr("しろうとにはおすすめできない"));
    auto* layout = new QVBoxLayout(this);
    for (int lane = 0; lane < kLaneCount; ++lane)
        layout->addWidget(makeLaneGroup(lane));
    const OkCancelRow buttons = makeOkCancelRow(this);
    auto* restore = makeButton(tr("元に戻す"), QStringLiteral("restore"));
    connect(restore, &QPushButton::clicked, this, &CCheatDialog::restoreControls);
    buttons.row->addWidget(restore);
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

// Instrument 1 stands for the lane: the dialog only ever writes all fifteen alike.
QWidget* CCheatDialog::makeLaneGroup(int lane) {
    const InstrumentSound& first = settings_.lanes[lane].instruments[0];
    auto* group = new QGroupBox(tr(kLaneNames[lane]));
    auto* label = new QLabel(tr("Volume"));
    auto* volume = volumes_[lane] = new QSlider(Qt::Horizontal);
    volume->setObjectName(QStringLiteral("volume%1").arg(lane));
    volume->setRange(0, kMaximumVolume);
    volume->setValue(first.volume);
    volume->setMinimumWidth(200);
    auto* semitone = semitones_[lane] = new QCheckBox(tr(kSemitoneTexts[lane]));
    semitone->setObjectName(QStringLiteral("semitone%1").arg(lane));
    semitone->setChecked(first.pitchFactor != 1.0);

    auto* row = new QHBoxLayout(group);
    row->addWidget(label);
    row->addWidget(volume, 1);
    row->addWidget(semitone);
    if (lane == kMiddle) hideKeepingItsPlace(semitone);
    return group;
}

void CCheatDialog::restoreControls() {
    for (QSlider* volume : volumes_)
        volume->setValue(kRestoredVolume);
    for (QCheckBox* semitone : semitones_)
        semitone->setChecked(false);
}

void CCheatDialog::accept() {
    for (int lane = 0; lane < kLaneCount; ++lane)
        setLaneVolume(settings_.lanes[lane], volumes_[lane]->value());
    setLanePitch(settings_.lanes[kUpper], semitones_[kUpper]->isChecked() ? kSemitoneUp : 1.0);
    setLanePitch(settings_.lanes[kLower], semitones_[kLower]->isChecked() ? kSemitoneDown : 1.0);
    QDialog::accept();
}

}  // namespace lantrel
