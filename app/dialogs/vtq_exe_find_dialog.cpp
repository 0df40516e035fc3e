#include "vtq_exe_find_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

namespace lantrel {

namespace {

const char* const kTitle =
    QT_TRANSLATE_NOOP("lantrel::CVtqExeFindDialog", "VeltoSeq.exeを見つけます");
const char* const kMessage = QT_TRANSLATE_NOOP(
    "lantrel::CVtqExeFindDialog",
    "最初に、ヴェルトシーケンサ（r6またはr7。r5は不可）から動作に必要なビットマップとサウンドを"
    "取得します。取得したリソースは rsrc というフォルダに保存されます。\n\n"
    "ヴェルトシーケンサ（VeltoSeq.exe）の場所を指定してください。");

// The system's dialog for opening an existing file, proposing "VeltoSeq.exe", with no filter.
QString chooseWithFileDialog(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix("exe");
    dialog.selectFile("VeltoSeq.exe");
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

QPushButton* addButton(QHBoxLayout* row, const QString& text, const char* name) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    row->addWidget(button);
    return button;
}

}  // namespace

CVtqExeFindDialog::CVtqExeFindDialog(QWidget* parent, FileChooser chooser)
    : QDialog(parent),
      pathEdit_(new QLineEdit),
      chooser_(chooser ? std::move(chooser) : FileChooser(chooseWithFileDialog)) {
    setWindowTitle(tr(kTitle));
    auto* message = new QLabel(tr(kMessage));
    message->setObjectName("message");
    message->setWordWrap(true);
    pathEdit_->setObjectName("path");

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(pathEdit_);
    QPushButton* browseButton = addButton(pathRow, tr("…"), "browse");
    browseButton->setAutoDefault(false);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    QPushButton* ok = addButton(buttonRow, tr("OK"), "ok");
    QPushButton* cancel = addButton(buttonRow, tr("キャンセル"), "cancel");
    ok->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addLayout(pathRow);
    layout->addLayout(buttonRow);

    connect(browseButton, &QPushButton::clicked, this, &CVtqExeFindDialog::browse);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString CVtqExeFindDialog::path() const {
    return pathEdit_->text();
}

void CVtqExeFindDialog::browse() {
    const QString chosen = chooser_(this);
    if (!chosen.isEmpty()) pathEdit_->setText(chosen);
}

std::optional<std::filesystem::path> CVtqExeFindDialog::ask(QWidget* parent) {
    CVtqExeFindDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return std::filesystem::path(QFile::encodeName(dialog.path()).toStdString());
}

}  // namespace lantrel
