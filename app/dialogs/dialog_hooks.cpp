#include "dialog_hooks.h"

#include <QAbstractSpinBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <system_error>

#include "base/output_name.h"
#include "dialog_buttons.h"

namespace lantrel {

namespace {

// The translations' context.
class Text {
    Q_DECLARE_TR_FUNCTIONS(DialogHooks)
};

void showMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QString::fromUtf8(kMessageBoxTitle), text, QMessageBox::Ok, parent);
    box.exec();
}

QString chooseExistingFolder(QWidget* parent, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

// A folder that the export can write into: it exists and is a directory (or a link to one).
bool isAccessibleFolder(const QString& text) {
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::path(text.toStdString()), error);
}

}  // namespace

DialogHooks withDefaults(DialogHooks hooks) {
    if (!hooks.message) hooks.message = showMessageBox;
    if (!hooks.chooseFolder) hooks.chooseFolder = chooseExistingFolder;
    return hooks;
}

QString waveFolderProblemText(const WaveFolderCheck& check) {
    return Text::tr("フォルダ %1 の %2 にアクセスできません。")
        .arg(QString::fromStdString(check.folder), QString::fromStdString(check.missingSound));
}

bool refuseField(const DialogHooks& hooks, QWidget* dialog, QWidget* field,
                 const QString& message) {
    hooks.message(dialog, QMessageBox::Warning, message);
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
    if (auto* number = qobject_cast<QAbstractSpinBox*>(field)) number->selectAll();
    return false;
}

void chooseFolderInto(const DialogHooks& hooks, QWidget* parent, QLineEdit* edit) {
    const QString chosen = hooks.chooseFolder(parent, Text::tr("出力フォルダの選択"), edit->text());
    if (!chosen.isEmpty()) edit->setText(chosen);
}

FolderRow makeFolderRow(QWidget* dialog, const DialogHooks& hooks, const std::string& folder,
                        const QString& editName, const QString& buttonName) {
    FolderRow made{new QHBoxLayout, new QLineEdit(QString::fromStdString(folder))};
    made.edit->setObjectName(editName);
    auto* choose = makeChooseButton(buttonName);
    QLineEdit* edit = made.edit;
    QObject::connect(choose, &QPushButton::clicked, dialog,
                     [&hooks, dialog, edit] { chooseFolderInto(hooks, dialog, edit); });
    made.row->addWidget(made.edit, 1);
    made.row->addWidget(choose);
    return made;
}

bool outputFieldsAcceptable(const DialogHooks& hooks, QWidget* dialog, QLineEdit* folder,
                            QLineEdit* fileName) {
    if (folder->text().isEmpty())
        return refuseField(hooks, dialog, folder, Text::tr("フォルダを選択してください。"));
    if (!isAccessibleFolder(folder->text()))
        return refuseField(hooks, dialog, folder, Text::tr("フォルダにアクセスできません。"));
    if (fileName->text().isEmpty())
        return refuseField(hooks, dialog, fileName, Text::tr("ファイル名を指定してください。"));
    if (!isSafeOutputFileName(fileName->text().toStdString()))
        return refuseField(hooks, dialog, fileName,
                           Text::tr("ファイル名に使えない文字が含まれています。"));
    return true;
}

}  // namespace lantrel
