#include "resource_setup.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

#include "app/dialogs/vtq_exe_find_dialog.h"
#include "import/resource_import.h"
#include "import/sequencer_locator.h"

namespace lantrel {

namespace {

const char* const kApplicationTitle = "lANTREL SEQUENCER";
const char* const kSetupFailed =
    QT_TRANSLATE_NOOP("ResourceSetup",
                      "セットアップがうまくいかないので終了します。\n"
                      "実はヴェルトシーケンサを起動した状態でこのプログラムを起動すると\n"
                      "セットアップを自動的に行います。一度試してみてください。\n"
                      "さようなら。");

}  // namespace

bool setUpResources(QWidget* parent) {
    if (resourcesPresent()) return true;
    if (importFromSequencer([parent] { return CVtqExeFindDialog::ask(parent); })) return true;
    QMessageBox goodbye(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle),
                        QCoreApplication::translate("ResourceSetup", kSetupFailed), QMessageBox::Ok,
                        parent);
    goodbye.exec();
    return false;
}

}  // namespace lantrel
