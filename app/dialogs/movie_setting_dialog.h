#pragma once

#include <QDialog>

#include <array>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/dialogs/dialog_hooks.h"
#include "app/dialogs/export_rounds_edits.h"
#include "model/export_rounds.h"
#include "model/project_settings.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSlider;

namespace lantrel {

class NumberEdit;

// "動画出力設定": every project setting that the score screen and the movie export use, and
// the buttons to the pan dialog of each lane. In export mode OK reads "出力開始" and also
// insists on an existing output folder and a usable file name, and the run's loop count and
// fade-out are asked for too; they are the user's, not the project's, so the settings mode
// has neither.
class CMovieSettingDialog : public QDialog {
    Q_OBJECT

  public:
    // The mode text of the export mode; an empty mode text opens the settings mode.
    static constexpr char kExportModeText[] = "出力開始";
    static constexpr int kMinimumTempo = 100;
    static constexpr int kMaximumTempo = 9999;
    static constexpr int kMinimumFps = 1;
    static constexpr int kMaximumFps = 60;
    static constexpr int kMaximumFolderLength = 440;
    static constexpr int kMaximumFileNameLength = 64;

    // Edits `settings` (the caller's copy of the project's settings) in place, and only on OK:
    // after Cancel it is exactly as it was, pans included. `resourceFolders` give the pan
    // dialog its instrument icons. In export mode `rounds`, when given, is the run's loop
    // count and fade-out, shown and likewise edited only on OK.
    CMovieSettingDialog(QWidget* parent, ProjectSettings& settings, const QString& modeText,
                        std::span<const std::filesystem::path> resourceFolders,
                        DialogHooks hooks = {}, ExportRounds* rounds = nullptr);

    bool exportMode() const { return exportMode_; }

    void accept() override;

  private:
    struct TextFields {
        int tempo = 0;
        int fps = 0;
        std::string outputFolder;
        std::string fileName;
        std::optional<ExportRounds> rounds;  // with the export's fields only
    };

    QWidget* makeSequencerGroup();
    QWidget* makeVideoGroup();
    QWidget* makeAudioGroup();
    QWidget* makePanGroup();
    QWidget* makeRoundsGroup();
    QWidget* makeOutputFolderGroup();
    QWidget* makeFileNameGroup();
    QCheckBox* makeCheckBox(const QString& text, const QString& name, bool checked);

    void editLanePans(int lane);
    bool exportTargetAcceptable();
    std::optional<TextFields> transferTextFields();
    bool transferRounds(TextFields& fields);
    std::optional<std::string> transferText(QLineEdit* edit, int maximumLength);
    void store(const TextFields& fields);

    ProjectSettings& settings_;
    std::array<LaneSound, kLaneCount> lanes_;  // what the pan dialogs changed, stored on OK
    std::vector<std::filesystem::path> resourceFolders_;
    DialogHooks hooks_;
    bool exportMode_;
    ExportRounds* rounds_;  // null unless the export's fields are shown

    NumberEdit* tempo_ = nullptr;
    QCheckBox* fourFour_ = nullptr;
    QCheckBox* emulateTempo_ = nullptr;
    QSlider* brightness_ = nullptr;
    QCheckBox* videoOn_ = nullptr;
    NumberEdit* fps_ = nullptr;
    QCheckBox* audioOn_ = nullptr;
    QCheckBox* join_ = nullptr;
    QCheckBox* stereo_ = nullptr;
    QRadioButton* rate22050_ = nullptr;
    QRadioButton* rate44100_ = nullptr;
    QLineEdit* outputFolder_ = nullptr;
    QLineEdit* fileName_ = nullptr;
    std::optional<ExportRoundsEdits> roundsEdits_;
};

}  // namespace lantrel
