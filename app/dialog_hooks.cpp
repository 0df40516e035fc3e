#include "dialog_hooks.h"

#include <QFileDialog>
#include <QLineEdit>

namespace lantrel {

namespace {

void showMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QString::fromUtf8(kMessageBoxTitle), text, QMessageBox::Ok, parent);
    box.exec();
}

QString chooseExistingFolder(QWidget* parent, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

}  // namespace

DialogHooks withDefaults(DialogHooks hooks) {
    if (!hooks.message) hooks.message = showMessageBox;
    if (!hooks.chooseFolder) hooks.chooseFolder = chooseExistingFolder;
    return hooks;
}

void chooseFolderInto(const DialogHooks& hooks, QWidget* parent, QLineEdit* edit) {
    const QString chosen =
        hooks.chooseFolder(parent, QStringLiteral("出力フォルダの選択"), edit->text());
    if (!chosen.isEmpty()) edit->setText(chosen);
}

}  // namespace lantrel
