#include "preference_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/dialogs/dialog_buttons.h"
#include "audio/wave_folder_check.h"

namespace lantrel {

namespace {

const char* const kLaneNames[kLaneCount] = {
    QT_TRANSLATE_NOOP("lantrel::CPreferenceDialog", "上段"),
    QT_TRANSLATE_NOOP("lantrel::CPreferenceDialog", "中段"),
    QT_TRANSLATE_NOOP("lantrel::CPreferenceDialog", "下段")};

const char* const kNote =
    QT_TRANSLATE_NOOP("lantrel::CPreferenceDialog",
                      "通常、ヴェルトシーケンサのwavesという名前のフォルダを選択します。\n"
                      "この値は新規作成されたプロジェクトの初期値に使用されます。\n"
                      "作成中またはセーブされたプロジェクトは影響を受けません。\n"
                      "空欄だと内蔵WAVが使用されます。説明がＭＳっぽくてごめん。");

// Each language under its own name, and the note in both, so that a user who cannot read the
// window's language still finds theirs.
const char* const kLanguageNote =
    "次回の起動から有効になります。\nTakes effect the next time Lantrel starts.";

}  // namespace

CPreferenceDialog::CPreferenceDialog(QWidget* parent, const Folders& folders, DialogHooks hooks)
    : QDialog(parent), hooks_(withDefaults(std::move(hooks))), folders_(folders) {
    setWindowTitle(tr("環境設定"));
    auto* note = new QLabel(tr(kNote));
    note->setObjectName("note");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeFolderGroup());
    layout->addWidget(note);
    layout->addWidget(makeLanguageGroup());
    layout->addLayout(makeOkCancelRow(this).row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* CPreferenceDialog::makeFolderGroup() {
    auto* group = new QGroupBox(tr("WAV フォルダ"));
    auto* column = new QVBoxLayout(group);
    for (int lane = 0; lane < kLaneCount; ++lane)
        column->addWidget(makeLaneGroup(lane));
    return group;
}

QWidget* CPreferenceDialog::makeLaneGroup(int lane) {
    auto* group = new QGroupBox(tr(kLaneNames[lane]));
    const FolderRow folder =
        makeFolderRow(this, hooks_, folders_[lane], QStringLiteral("folder%1").arg(lane),
                      QStringLiteral("chooseFolder%1").arg(lane));
    edits_[lane] = folder.edit;
    group->setLayout(folder.row);
    return group;
}

QWidget* CPreferenceDialog::makeLanguageGroup() {
    language_ = new QComboBox;
    language_->setObjectName("language");
    language_->addItem(QStringLiteral("日本語"), languageCode(WindowLanguage::Japanese));
    language_->addItem(QStringLiteral("English"), languageCode(WindowLanguage::English));
    auto* note = new QLabel(QString::fromUtf8(kLanguageNote));
    note->setObjectName("languageNote");
    auto* group = new QGroupBox(tr("言語"));
    auto* row = new QHBoxLayout(group);
    row->addWidget(language_);
    row->addWidget(note, 1);
    return group;
}

void CPreferenceDialog::setLanguage(WindowLanguage language) {
    language_->setCurrentIndex(language_->findData(languageCode(language)));
}

WindowLanguage CPreferenceDialog::language() const {
    return languageFromCode(language_->currentData().toString()).value_or(WindowLanguage::Japanese);
}

void CPreferenceDialog::accept() {
    Folders checked;
    for (int lane = 0; lane < kLaneCount; ++lane) {
        const WaveFolderCheck check = checkWaveFolder(edits_[lane]->text().toStdString());
        if (!check.valid()) {
            hooks_.message(this, QMessageBox::Warning, waveFolderProblemText(check));
            return;
        }
        checked[lane] = check.folder;
    }
    folders_ = checked;
    QDialog::accept();
}

}  // namespace lantrel
