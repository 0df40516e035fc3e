#include "preference_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/dialogs/dialog_buttons.h"
#include "audio/wave_folder_check.h"

namespace lantrel {

namespace {

const char* const kLaneNames[kLaneCount] = {"上段", "中段", "下段"};

const char* const kNote =
    "通常、ヴェルトシーケンサのwavesという名前のフォルダを選択します。\n"
    "この値は新規作成されたプロジェクトの初期値に使用されます。\n"
    "作成中またはセーブされたプロジェクトは影響を受けません。\n"
    "空欄だと内蔵WAVが使用されます。説明がＭＳっぽくてごめん。";

}  // namespace

CPreferenceDialog::CPreferenceDialog(QWidget* parent, const Folders& folders, DialogHooks hooks)
    : QDialog(parent), hooks_(withDefaults(std::move(hooks))), folders_(folders) {
    setWindowTitle(QStringLiteral("環境設定"));
    auto* note = new QLabel(QString::fromUtf8(kNote));
    note->setObjectName("note");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeFolderGroup());
    layout->addWidget(note);
    layout->addLayout(makeOkCancelRow(this).row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* CPreferenceDialog::makeFolderGroup() {
    auto* group = new QGroupBox(QStringLiteral("WAV フォルダ"));
    auto* column = new QVBoxLayout(group);
    for (int lane = 0; lane < kLaneCount; ++lane)
        column->addWidget(makeLaneGroup(lane));
    return group;
}

QWidget* CPreferenceDialog::makeLaneGroup(int lane) {
    auto* group = new QGroupBox(QString::fromUtf8(kLaneNames[lane]));
    const FolderRow folder =
        makeFolderRow(this, hooks_, folders_[lane], QStringLiteral("folder%1").arg(lane),
                      QStringLiteral("chooseFolder%1").arg(lane));
    edits_[lane] = folder.edit;
    group->setLayout(folder.row);
    return group;
}

void CPreferenceDialog::accept() {
    Folders checked;
    for (int lane = 0; lane < kLaneCount; ++lane) {
        const WaveFolderCheck check = checkWaveFolder(edits_[lane]->text().toStdString());
        if (!check.valid()) {
            hooks_.message(this, QMessageBox::Warning, QString::fromStdString(check.problem));
            return;
        }
        checked[lane] = check.folder;
    }
    folders_ = checked;
    QDialog::accept();
}

}  // namespace lantrel
