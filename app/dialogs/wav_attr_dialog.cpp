#include "wav_attr_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/dialogs/dialog_buttons.h"
#include "audio/wave_folder_check.h"
#include "video/sprite_sheets.h"

namespace lantrel {

namespace {

constexpr int kCentre = 64;
constexpr int kMaximumPan = 127;
constexpr int kTrackbarLeft = CWavAttrDialog::kPictureOffset + 4;
constexpr int kTrackbarWidth = 256;
constexpr int kMasterHeight = 22;
constexpr int kEndLabelHeight = 14;

int rowTop(int instrument) {
    return kMasterHeight + CWavAttrDialog::kFirstRowGap + CWavAttrDialog::kRowPitch * instrument;
}

// A black square with the instrument's icon inside, one pixel in from every edge.
QPixmap instrumentPicture(const QImage& iconStrip, int instrument) {
    constexpr int kIcon = SpriteSheets::kIconSize;
    QImage picture(CWavAttrDialog::kPictureSize, CWavAttrDialog::kPictureSize,
                   QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.drawImage(QPoint(1, 1), iconStrip, QRect(kIcon * instrument, 0, kIcon, kIcon));
    painter.end();
    return QPixmap::fromImage(picture);
}

QSlider* makePanTrackbar(QWidget* panel, const QString& name, int pan, QRect geometry) {
    auto* trackbar = new QSlider(Qt::Horizontal, panel);
    trackbar->setObjectName(name);
    trackbar->setRange(0, kMaximumPan);
    trackbar->setValue(pan);
    trackbar->setGeometry(geometry);
    return trackbar;
}

void addEndLabel(QWidget* panel, const char* text, Qt::Alignment alignment) {
    auto* label = new QLabel(CWavAttrDialog::tr(text), panel);
    label->setObjectName(QString::fromLatin1(text).toLower());
    label->setAlignment(alignment | Qt::AlignTop);
    label->setGeometry(kTrackbarLeft, kMasterHeight, kTrackbarWidth, kEndLabelHeight);
}

}  // namespace

CWavAttrDialog::CWavAttrDialog(QWidget* parent, const LaneSound& sound,
                               std::span<const std::filesystem::path> resourceFolders,
                               DialogHooks hooks)
    : QDialog(parent), hooks_(withDefaults(std::move(hooks))), sound_(sound) {
    setWindowTitle(tr("パンポット"));
    const SpriteSheets sprites(resourceFolders);
    auto* centre = makeButton(tr("中央にする"), QStringLiteral("centre"));
    connect(centre, &QPushButton::clicked, this, &CWavAttrDialog::centreAll);

    auto* centreRow = new QHBoxLayout;
    centreRow->addWidget(centre);
    centreRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeFolderGroup());
    layout->addLayout(centreRow);
    layout->addWidget(makeTrackbarPanel(sprites.iconStrip()));
    layout->addLayout(makeOkCancelRow(this).row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* CWavAttrDialog::makeFolderGroup() {
    auto* group = new QGroupBox(tr("ＷＡＶフォルダ"));
    const FolderRow folder = makeFolderRow(this, hooks_, sound_.waveFolder, QStringLiteral("folder"),
                                           QStringLiteral("chooseFolder"));
    folderEdit_ = folder.edit;
    group->setLayout(folder.row);
    return group;
}

// Placed by hand rather than by a layout, because the rows and pictures keep fixed distances
// from the master trackbar.
QWidget* CWavAttrDialog::makeTrackbarPanel(const QImage& iconStrip) {
    auto* panel = new QWidget;
    panel->setObjectName("trackbars");
    panel->setFixedSize(kTrackbarLeft + kTrackbarWidth + 8,
                        rowTop(kInstrumentCount - 1) + kRowHeight);
    master_ = makePanTrackbar(panel, QStringLiteral("master"), kCentre,
                              QRect(kTrackbarLeft, 0, kTrackbarWidth, kMasterHeight));
    addEndLabel(panel, QT_TRANSLATE_NOOP("lantrel::CWavAttrDialog", "LEFT"), Qt::AlignLeft);
    addEndLabel(panel, QT_TRANSLATE_NOOP("lantrel::CWavAttrDialog", "RIGHT"), Qt::AlignRight);
    for (int i = 0; i < kInstrumentCount; ++i) {
        auto* picture = new QLabel(panel);
        picture->setObjectName(QStringLiteral("icon%1").arg(i));
        picture->setPixmap(instrumentPicture(iconStrip, i));
        picture->setGeometry(kTrackbarLeft - kPictureOffset, rowTop(i), kPictureSize, kPictureSize);
        instruments_[i] =
            makePanTrackbar(panel, QStringLiteral("instrument%1").arg(i), sound_.instruments[i].pan,
                            QRect(kTrackbarLeft, rowTop(i), kTrackbarWidth, kRowHeight));
    }
    connect(master_, &QSlider::valueChanged, this, &CWavAttrDialog::moveAllInstruments);
    return panel;
}

void CWavAttrDialog::moveAllInstruments(int pan) {
    for (QSlider* trackbar : instruments_)
        trackbar->setValue(pan);
}

void CWavAttrDialog::centreAll() {
    master_->setValue(kCentre);
    moveAllInstruments(kCentre);
}

void CWavAttrDialog::accept() {
    const WaveFolderCheck check = checkWaveFolder(folderEdit_->text().toStdString());
    if (!check.valid()) {
        hooks_.message(this, QMessageBox::Warning, waveFolderProblemText(check));
        return;
    }
    sound_.waveFolder = check.folder;
    for (int i = 0; i < kInstrumentCount; ++i)
        sound_.instruments[i].pan = instruments_[i]->value();
    QDialog::accept();
}

}  // namespace lantrel
