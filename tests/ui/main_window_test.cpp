#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>

#include "app/command_table.h"
#include "app/dialogs/about_dialog.h"
#include "app/dialogs/preference_dialog.h"
#include "ui/window_fixture.h"

namespace lantrel {
namespace {

using test::WindowFixture;

std::vector<std::string> menuTexts(const QMenu* menu) {
    std::vector<std::string> texts;
    for (const QAction* action : menu->actions())
        if (action->isVisible())
            texts.push_back(action->isSeparator() ? "|" : action->text().toStdString());
    return texts;
}

TEST_F(WindowFixture, StartsUntitledWithTheViewAt512By496) {
    ASSERT_TRUE(start());
    EXPECT_EQ(frame().windowTitle().toStdString(), "無題[*] - Lantrel");
    EXPECT_FALSE(frame().isWindowModified());
    EXPECT_EQ(view().size(), QSize(512, 496));
    EXPECT_EQ(view().cursorColumn(), 0);
    EXPECT_EQ(view().cursorLane(), 1);
    EXPECT_EQ(frame().findChild<QStatusBar*>(), nullptr);
}

TEST_F(WindowFixture, MenusAndToolbarFollowTheCommandTable) {
    ASSERT_TRUE(start());
    std::vector<std::string> titles;
    for (const QAction* menu : frame().menuBar()->actions())
        titles.push_back(menu->text().toStdString());
    EXPECT_EQ(titles, (std::vector<std::string>{"ファイル(&F)", "編集(&E)", "再生(&P)", "素人には",
                                                "ヘルプ(&H)"}));
    const auto* file = frame().findChild<QMenu*>("fileMenu");
    EXPECT_EQ(menuTexts(file),
              (std::vector<std::string>{
                  "新規作成(&N)\tCtrl+N", "開く...(&O)\tCtrl+O", "上書き保存(&S)\tCtrl+S",
                  "名前を付けて保存(&A)...", "|", "動画出力設定...", "動画出力...", "MP4 で出力...",
                  "|", "最近使ったファイル", "|", "環境設定...", "アプリケーションの終了(&X)"}));
    EXPECT_EQ(menuTexts(frame().findChild<QMenu*>("editMenu")),
              (std::vector<std::string>{"元に戻す(&U)\tCtrl+Z", "やり直し(&R)\tCtrl+R", "|",
                                        "貼り付け(&P)\tCtrl+V"}));
    EXPECT_EQ(menuTexts(frame().findChild<QMenu*>("playMenu")),
              (std::vector<std::string>{"再生(&P)\tF5", "オーディオ再生(&A)\tF6", "停止(&S)\tF8"}));

    std::vector<int> toolbar;
    for (const QAction* action : frame().toolBar()->actions())
        toolbar.push_back(action->isSeparator() ? 0 : action->objectName().mid(7).toInt());
    EXPECT_EQ(toolbar,
              (std::vector<int>{57600, 57601, 57603, 0,     32808, 57637, 57643, 32785, 0, 32789,
                                32794, 32793, 0,     32819, 32820, 0,     32800, 32772, 0, 57664}));
    EXPECT_EQ(frame().action(kCommandPlay)->toolTip().toStdString(), "再生");
    EXPECT_EQ(frame().action(kCommandLoadFile)->toolTip().toStdString(), "VTQ配置");
    EXPECT_FALSE(frame().toolBar()->isMovable());
    EXPECT_EQ(frame().toolBar()->iconSize(), QSize(16, 15));
    EXPECT_EQ(frame().action(kCommandUndo)->shortcuts().size(), 2);
}

TEST_F(WindowFixture, TheOpenFileRuleDecidesByTheExtension) {
    ASSERT_TRUE(start());
    const std::string score = writeScore("song.VTQ", 6);
    EXPECT_FALSE(app->openFile(QString::fromStdString(score)));
    EXPECT_EQ(document().columnCount(1), 6) << "a score in capitals is placed at the cursor";
    EXPECT_EQ(view().cursorColumn(), 6) << "and the cursor advances past it";

    dir.write("notes.txt", "hello");
    app->openFile(QString::fromStdString((dir / "notes.txt").string()));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(recorder.messages[0].text, "それは読めない");
    recorder.messages.clear();
    app->openFile(QString::fromStdString((dir / "noextension").string()));
    app->openFile(QString::fromStdString((dir / "trailing.").string()));
    EXPECT_TRUE(recorder.messages.empty()) << "no extension opens nothing, silently";
    EXPECT_EQ(document().columnCount(1), 6);
}

TEST_F(WindowFixture, OpeningAProjectAsksToSaveAndAFailedOpenKeepsTheProject) {
    ASSERT_TRUE(start());
    app->openFile(QString::fromStdString(writeScore("a.vtq", 4)));
    CVtqGuiDoc other;
    other.PlaceScoreText(test::scoreText(9, 3), 0, 0);
    ASSERT_TRUE(other.save(dir / "other.vtm").ok());

    answer = QMessageBox::Cancel;
    EXPECT_FALSE(app->openFile(QString::fromStdString((dir / "other.vtm").string())));
    EXPECT_EQ(questions, std::vector<std::string>{"変更あり。保存しとく？"});
    EXPECT_EQ(document().columnCount(1), 4);

    dir.write("broken.vtm", "not a project");
    answer = QMessageBox::No;
    EXPECT_FALSE(app->openFile(QString::fromStdString((dir / "broken.vtm").string())));
    EXPECT_NE(recorder.takeWarning().find("プロジェクトファイルとして読めません"),
              std::string::npos);
    EXPECT_EQ(document().columnCount(1), 4) << "the open project stays as it was";

    EXPECT_TRUE(app->openFile(QString::fromStdString((dir / "other.vtm").string())));
    EXPECT_EQ(document().columnCount(0), 9);
    EXPECT_EQ(frame().windowTitle().toStdString(), "other[*] - Lantrel");
    EXPECT_EQ(app->settings().recentFiles().value(0).toStdString(), (dir / "other.vtm").string());
}

TEST_F(WindowFixture, AScoreOnTheCommandLineGoesToTheProjectLoaderAndEndsStartUp) {
    EXPECT_FALSE(start({QString::fromStdString(writeScore("first.vtq", 3))}));
    EXPECT_NE(recorder.takeWarning().find("プロジェクトファイルとして読めません"),
              std::string::npos);
}

TEST_F(WindowFixture, SaveAsWritesTheProjectAndNamesTheWindow) {
    ASSERT_TRUE(start());
    app->openFile(QString::fromStdString(writeScore("a.vtq", 4)));
    EXPECT_TRUE(frame().isWindowModified());
    saveAnswer = QString::fromStdString((dir / "saved.vtm").string());
    press(Qt::Key_S, Qt::ControlModifier);  // no path yet: save asks where
    EXPECT_FALSE(document().isModified());
    CVtqGuiDoc reread;
    ASSERT_TRUE(reread.open(dir / "saved.vtm").ok());
    EXPECT_EQ(reread.columnCount(1), 4);
    EXPECT_EQ(frame().windowTitle().toStdString(), "saved[*] - Lantrel");
}

TEST_F(WindowFixture, PreferencesWriteTheThreeFoldersAndTheWelcomeFlag) {
    ASSERT_TRUE(start());
    const bool opened = test::driveModal<CPreferenceDialog>(
        [this] { frame().action(kCommandPreferences)->trigger(); },
        [](CPreferenceDialog& dialog) { test::child<QPushButton>(dialog, "ok")->click(); });
    EXPECT_TRUE(opened);
    QSettings written((dir / "settings.ini").c_str(), QSettings::IniFormat);
    for (const char* key : {"WAVE/dir0", "WAVE/dir1", "WAVE/dir2"}) {
        EXPECT_TRUE(written.contains(key)) << key;
        EXPECT_EQ(written.value(key).toString().toStdString(), "") << key;
    }
    EXPECT_EQ(written.value("MISC/welcome").toInt(), 1);
}

TEST_F(WindowFixture, NewProjectsStartWithThePreferredFoldersOpenOnesKeepTheirs) {
    ASSERT_TRUE(start());
    app->settings().waveFolders()[2] = "/sounds/lower";
    EXPECT_EQ(document().settings().lanes[2].waveFolder, "");
    frame().action(kCommandNew)->trigger();
    EXPECT_EQ(document().settings().lanes[2].waveFolder, "/sounds/lower");
}

TEST_F(WindowFixture, AboutShowsTheVersionAndTheBuildDate) {
    ASSERT_TRUE(start());
    const bool opened = test::driveModal<CAboutDlg>(
        [this] { frame().action(kCommandAbout)->trigger(); },
        [](CAboutDlg& dialog) {
            EXPECT_EQ(test::child<QLabel>(dialog, "version")->text().toStdString(),
                      "Lantrel Version 1.1");
            EXPECT_EQ(test::child<QLineEdit>(dialog, "buildDate")->text().toStdString(), __DATE__);
            dialog.accept();
        });
    EXPECT_TRUE(opened);
}

}  // namespace
}  // namespace lantrel
