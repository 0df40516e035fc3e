#include "app/dialogs/vtq_exe_find_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lantrel {
namespace {

template <typename Widget>
Widget* child(const QDialog& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

TEST(VtqExeFindDialog, ShowsItsTextsAndAnEmptyPath) {
    const CVtqExeFindDialog dialog(nullptr, [](QWidget*) { return QString(); });
    EXPECT_EQ(dialog.windowTitle().toStdString(), "VeltoSeq.exeを見つけます");
    EXPECT_EQ(child<QLabel>(dialog, "message")->text().toStdString(),
              "最初に、ヴェルトシーケンサ（r6またはr7。r5は不可）から動作に必要なビットマップと"
              "サウンドを取得します。取得したリソースは rsrc というフォルダに保存されます。\n\n"
              "ヴェルトシーケンサ（VeltoSeq.exe）の場所を指定してください。");
    EXPECT_EQ(child<QPushButton>(dialog, "browse")->text().toStdString(), "…");
    EXPECT_EQ(child<QPushButton>(dialog, "ok")->text().toStdString(), "OK");
    EXPECT_EQ(child<QPushButton>(dialog, "cancel")->text().toStdString(), "キャンセル");
    EXPECT_TRUE(dialog.path().isEmpty());
}

TEST(VtqExeFindDialog, ChosenFileReplacesThePathAndCancellingTheChooserKeepsIt) {
    QString answer = "/opt/velto/VeltoSeq.exe";
    CVtqExeFindDialog dialog(nullptr, [&answer](QWidget*) { return answer; });
    child<QLineEdit>(dialog, "path")->setText("typed by hand");
    child<QPushButton>(dialog, "browse")->click();
    EXPECT_EQ(dialog.path(), "/opt/velto/VeltoSeq.exe");
    answer.clear();
    child<QPushButton>(dialog, "browse")->click();
    EXPECT_EQ(dialog.path(), "/opt/velto/VeltoSeq.exe");
}

TEST(VtqExeFindDialog, OkAcceptsAndCancelRejects) {
    CVtqExeFindDialog accepted(nullptr, [](QWidget*) { return QString(); });
    child<QPushButton>(accepted, "ok")->click();
    EXPECT_EQ(accepted.result(), QDialog::Accepted);
    CVtqExeFindDialog rejected(nullptr, [](QWidget*) { return QString(); });
    child<QPushButton>(rejected, "cancel")->click();
    EXPECT_EQ(rejected.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace lantrel
