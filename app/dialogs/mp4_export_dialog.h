#pragma once

#include <QDialog>

#include "app/dialogs/dialog_hooks.h"
#include "app/dialogs/export_rounds_edits.h"
#include "model/project_settings.h"
#include "video/movie_export.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lantrel {

// "MP4 で出力": the choices of an MP4 export (the scale with the movie's size, the quality,
// the loop count and the fade-out, the 16:9 canvas, the stems) and where it goes (output
// folder and file name, as the project holds them). OK reads "出力開始" and insists on numbers
// in range, an existing folder and a usable file name.
class Mp4ExportDialog : public QDialog {
    Q_OBJECT

  public:
    // Edits `choices` (scale, crf, loops, fade, 16:9, stems) and the output folder and file name of
    // `settings` in place, and only on OK.
    Mp4ExportDialog(QWidget* parent, ProjectSettings& settings, ExtraOutputs& choices,
                    DialogHooks hooks = {});

    void accept() override;

  private:
    QWidget* makeMovieGroup();
    QWidget* makeTargetGroup();
    void showSize();

    ProjectSettings& settings_;
    ExtraOutputs& choices_;
    DialogHooks hooks_;

    QSpinBox* scale_ = nullptr;
    QLabel* size_ = nullptr;
    QSpinBox* crf_ = nullptr;
    ExportRoundsEdits rounds_;
    QCheckBox* pad16x9_ = nullptr;
    QCheckBox* stems_ = nullptr;
    QLineEdit* outputFolder_ = nullptr;
    QLineEdit* fileName_ = nullptr;
};

}  // namespace lantrel
