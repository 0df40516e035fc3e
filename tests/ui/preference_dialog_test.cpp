#include "app/dialogs/preference_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialog_recorder.h"

namespace lantrel {
namespace {

using test::child;

void setFolders(const CPreferenceDialog& dialog, const CPreferenceDialog::Folders& folders) {
    for (int lane = 0; lane < kLaneCount; ++lane)
        child<QLineEdit>(dialog, QStringLiteral("folder%1").arg(lane))
            ->setText(QString::fromStdString(folders[lane]));
}

TEST(PreferenceDialog, ShowsTheStoredFoldersAndItsNote) {
    test::DialogRecorder recorder;
    const CPreferenceDialog dialog(nullptr, {"/a", "", "/c"}, recorder.hooks());
    EXPECT_EQ(dialog.windowTitle().toStdString(), "環境設定");
    EXPECT_EQ(child<QLineEdit>(dialog, "folder0")->text(), "/a");
    EXPECT_EQ(child<QLineEdit>(dialog, "folder1")->text(), "");
    EXPECT_EQ(child<QLineEdit>(dialog, "folder2")->text(), "/c");
    EXPECT_EQ(child<QLabel>(dialog, "note")->text().toStdString(),
              "通常、ヴェルトシーケンサのwavesという名前のフォルダを選択します。\n"
              "この値は新規作成されたプロジェクトの初期値に使用されます。\n"
              "作成中またはセーブされたプロジェクトは影響を受けません。\n"
              "空欄だと内蔵WAVが使用されます。説明がＭＳっぽくてごめん。");
    EXPECT_EQ(child<QPushButton>(dialog, "chooseFolder1")->text().toStdString(), "選択");
    EXPECT_EQ(child<QPushButton>(dialog, "cancel")->text().toStdString(), "キャンセル");
}

TEST(PreferenceDialog, OkHandsBackTheCheckedFoldersWithoutTrailingSeparator) {
    const test::TempDir upper, lower;
    test::DialogRecorder recorder;
    CPreferenceDialog dialog(nullptr, {}, recorder.hooks());
    setFolders(dialog, {test::soundFolder(upper) + "/", "", test::soundFolder(lower)});
    child<QPushButton>(dialog, "ok")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(dialog.folders(),
              (CPreferenceDialog::Folders{upper.path().string(), "", lower.path().string()}));
}

TEST(PreferenceDialog, StaysOpenAtTheFirstInvalidFolderAndKeepsTheOldOnes) {
    const test::TempDir upper, middle, lower;
    const CPreferenceDialog::Folders old{"/old0", "/old1", "/old2"};
    test::DialogRecorder recorder;
    CPreferenceDialog dialog(nullptr, old, recorder.hooks());
    const std::string middleFolder = test::soundFolder(middle, true, false);
    setFolders(dialog, {test::soundFolder(upper), middleFolder, "/nowhere"});
    child<QPushButton>(dialog, "ok")->click();
    EXPECT_EQ(recorder.takeWarning(),
              "フォルダ " + middleFolder + " の sound27.wav にアクセスできません。");
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.folders(), old);
}

TEST(PreferenceDialog, ChosenFolderReplacesItsLaneOnlyAndCancellingChangesNothing) {
    test::DialogRecorder recorder;
    CPreferenceDialog dialog(nullptr, {"/a", "/b", "/c"}, recorder.hooks());
    recorder.folderAnswer = "/chosen";
    child<QPushButton>(dialog, "chooseFolder1")->click();
    ASSERT_EQ(recorder.folderRequests.size(), 1u);
    EXPECT_EQ(recorder.folderRequests[0].title, "出力フォルダの選択");
    EXPECT_EQ(recorder.folderRequests[0].start, "/b");
    EXPECT_EQ(child<QLineEdit>(dialog, "folder0")->text(), "/a");
    EXPECT_EQ(child<QLineEdit>(dialog, "folder1")->text(), "/chosen");
    recorder.folderAnswer.clear();
    child<QPushButton>(dialog, "chooseFolder1")->click();
    EXPECT_EQ(child<QLineEdit>(dialog, "folder1")->text(), "/chosen");
}

TEST(PreferenceDialog, CancelHandsBackTheFoldersAsGiven) {
    CPreferenceDialog dialog(nullptr, {"/a/", "/b", "/c"});
    setFolders(dialog, {"", "", ""});
    child<QPushButton>(dialog, "cancel")->click();
    EXPECT_EQ(dialog.folders(), (CPreferenceDialog::Folders{"/a/", "/b", "/c"}));
}

}  // namespace
}  // namespace lantrel
