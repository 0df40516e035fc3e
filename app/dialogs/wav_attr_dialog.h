#pragma once

#include <QDialog>

#include <array>
#include <filesystem>
#include <span>

#include "app/dialogs/dialog_hooks.h"
#include "model/project_settings.h"

class QImage;
class QLineEdit;
class QSlider;

namespace lantrel {

// "パンポット": the WAV folder of one lane and the pan of each of its fifteen instruments. The
// master trackbar moves every instrument's trackbar with it. The dialog works on its own copy
// of the lane: the caller's record changes only when the caller takes laneSound() after OK.
class CWavAttrDialog : public QDialog {
    Q_OBJECT

  public:
    // Where the instrument pictures sit, relative to the master trackbar: rows 20 pixels
    // apart, the first 16 pixels below the master's bottom edge, 18 pixels high; the picture
    // 18 x 18, from 46 to 28 pixels left of the trackbars' left edge.
    static constexpr int kRowPitch = 20;
    static constexpr int kFirstRowGap = 16;
    static constexpr int kRowHeight = 18;
    static constexpr int kPictureSize = 18;
    static constexpr int kPictureOffset = 46;

    // `resourceFolders` are where the instrument icons are read from (see SpriteSheets).
    CWavAttrDialog(QWidget* parent, const LaneSound& sound,
                   std::span<const std::filesystem::path> resourceFolders, DialogHooks hooks = {});

    // After an accepted exec: the lane with the checked folder and the trackbars' pans; the
    // volumes and pitch factors as they were given.
    const LaneSound& laneSound() const { return sound_; }

    void accept() override;

  private:
    QWidget* makeFolderGroup();
    QWidget* makeTrackbarPanel(const QImage& iconStrip);
    void moveAllInstruments(int pan);
    void centreAll();

    DialogHooks hooks_;
    LaneSound sound_;
    QLineEdit* folderEdit_ = nullptr;
    QSlider* master_ = nullptr;
    std::array<QSlider*, kInstrumentCount> instruments_{};
};

}  // namespace lantrel
