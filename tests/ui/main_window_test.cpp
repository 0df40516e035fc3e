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
#include "model/project.h"
#include "model/project_file.h"
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
    const std::string score = writeScore("first.vtq", 3);
    EXPECT_FALSE(start({QString::fromStdString(score)}));
    EXPECT_EQ(recorder.takeWarning(),
              score + " は楽譜ファイル（.vtq）で、プロジェクトとしては開けません。\n\n"
                      "楽譜は、プロジェクトを開いてからウィンドウにドロップするか、"
                      "セルをダブルクリックして配置してください。");
}

// The boxes speak the window's language throughout; the verbs keep the English reasons.
TEST_F(WindowFixture, FailedOpensAndSavesSayWhyInJapanese) {
    ASSERT_TRUE(start());
    const std::string project = writeProjectFile(Project());
    const auto cut = dir.write("cut.vtm", project.substr(0, project.size() / 2));
    std::filesystem::create_directory(dir / "folder.vtm");
    const std::vector<std::pair<std::filesystem::path, std::string>> opens = {
        {cut, " はプロジェクトファイルとして読めません。\n\nファイルが途中で切れています。"},
        {dir / "missing.vtm", " を開けませんでした。\n\nファイルが見つかりません。"},
        {dir / "folder.vtm", " を開けませんでした。\n\nこれはフォルダです。"},
    };
    for (const auto& [file, reason] : opens) {
        app->openFile(QString::fromStdString(file.string()));
        EXPECT_EQ(recorder.takeWarning(), file.string() + reason);
    }
    saveAnswer = QString::fromStdString((dir / "nowhere" / "a.vtm").string());
    frame().action(kCommandSaveAs)->trigger();
    EXPECT_EQ(recorder.takeWarning(),
              saveAnswer.toStdString() + " に保存できませんでした。\n\n保存先のフォルダがありません。");
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

// A shutdown leaves the unsaved project in a recovery copy; the next start offers it once.
TEST_F(WindowFixture, AShutdownKeepsTheUnsavedProjectAndTheNextStartOffersIt) {
    ASSERT_TRUE(start());
    std::string error;
    EXPECT_TRUE(app->writeRecoveryCopy(error).empty()) << "nothing unsaved, nothing kept";
    app->openFile(QString::fromStdString(writeScore("a.vtq", 4)));
    const std::filesystem::path copy = app->writeRecoveryCopy(error);
    EXPECT_EQ(copy, dir / "recovery" / "無題.vtm") << error;
    EXPECT_TRUE(document().isModified()) << "the copy is not the user's file";

    answer = QMessageBox::Cancel;
    ASSERT_TRUE(start());
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_NE(questions.back().find(copy.string()), std::string::npos);
    EXPECT_EQ(document().columnCount(1), 0) << "cancelled, the start goes on as it would";
    EXPECT_TRUE(std::filesystem::exists(copy)) << "and the copy waits for the next start";

    answer = QMessageBox::Yes;
    ASSERT_TRUE(start({QString::fromStdString((dir / "ignored.vtm").string())}));
    EXPECT_EQ(document().columnCount(1), 4);
    EXPECT_TRUE(document().isModified());
    EXPECT_TRUE(document().path().empty()) << "a save must ask where, not write the copy";
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_TRUE(app->settings().recentFiles().isEmpty());

    ASSERT_FALSE(app->writeRecoveryCopy(error).empty());
    answer = QMessageBox::No;
    ASSERT_TRUE(start());
    EXPECT_FALSE(std::filesystem::exists(copy)) << "declined, the copy is deleted";
    EXPECT_EQ(document().columnCount(1), 0);
    EXPECT_EQ(questions.size(), 3u);
}

}  // namespace
}  // namespace lantrel
