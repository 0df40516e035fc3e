#pragma once

#include <QDialog>

#include <array>

#include "model/project_settings.h"

class QCheckBox;
class QSlider;

namespace lantrel {

// "しろうとにはおすすめできない": one volume for all instruments of a lane, and a semitone up
// for the upper lane and down for the lower one. The middle lane's box exists but stays
// hidden, and its pitch factors are never written. Writes into the given settings only on OK.
class CCheatDialog : public QDialog {
    Q_OBJECT

  public:
    // The semitone factors, stored exactly as written: they are not each other's reciprocal.
    static constexpr double kSemitoneUp = 1.059463;
    static constexpr double kSemitoneDown = 0.9438743967462762;

    CCheatDialog(QWidget* parent, ProjectSettings& settings);

    void accept() override;

  private:
    QWidget* makeLaneGroup(int lane);
    void restoreControls();

    ProjectSettings& settings_;
    std::array<QSlider*, kLaneCount> volumes_{};
    std::array<QCheckBox*, kLaneCount> semitones_{};
};

}  // namespace lantrel
