// The window as LANTREL_LANGUAGE=en starts it: every menu, tooltip, dialog and message in
// English, with accelerators that do not clash; and the language choice of Preferences, which
// lasts across starts.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTranslator>

#include <cstdlib>
#include <map>
#include <memory>

#include "app/dialogs/about_dialog.h"
#include "app/dialogs/cheat_dialog.h"
#include "app/dialogs/movie_setting_dialog.h"
#include "app/dialogs/mp4_export_dialog.h"
#include "app/dialogs/preference_dialog.h"
#include "app/dialogs/vtq_exe_find_dialog.h"
#include "app/dialogs/wav_attr_dialog.h"
#include "app/file_failure_text.h"
#include "app/translation_setup.h"
#include "app/window_language.h"
#include "ui/japanese_text.h"
#include "ui/window_fixture.h"

namespace lantrel {
namespace {

using test::WindowFixture;

// The English texts installed the way the program does it, and gone again afterwards, so that
// the Japanese tests in the same process see the texts as written.
struct EnglishTexts {
    EnglishTexts() {
        ::setenv("LANTREL_LANGUAGE", "en", 1);
        installTranslation(*qApp);
        ::unsetenv("LANTREL_LANGUAGE");
    }
    ~EnglishTexts() { qDeleteAll(qApp->findChildren<QTranslator*>()); }
    EnglishTexts(const EnglishTexts&) = delete;
    EnglishTexts& operator=(const EnglishTexts&) = delete;
};

class EnglishWindow : public test::WindowFixture {
  protected:
    EnglishTexts english;

    void expectEnglish(const QString& text, const QString& where) {
        EXPECT_FALSE(test::hasJapanese(text)) << where.toStdString() << ": " << text.toStdString();
    }

    // Every menu's items in English, and each accelerator once in its menu.
    void expectEnglishMenu(const QMenu& menu, const QString& where) {
        std::map<QChar, QString> accelerators;
        for (const QAction* action : menu.actions()) {
            if (action->isSeparator() || !action->isVisible()) continue;
            const QString text = action->text();
            expectEnglish(text, where);
            expectEnglish(action->toolTip(), where + " tooltip");
            const auto mark = text.indexOf(u'&');
            if (mark < 0) continue;
            const QChar key = text[mark + 1].toLower();
            EXPECT_FALSE(accelerators.contains(key))
                << where.toStdString() << ": &" << QString(key).toStdString() << " in "
                << text.toStdString() << " and " << accelerators[key].toStdString();
            accelerators[key] = text;
        }
    }

    // Labels, buttons, group titles, tooltips and the title of a dialog; what the user types is
    // theirs, and the language picker names each language in its own words.
    void expectEnglishDialog(const QWidget& dialog) {
        const QString name = dialog.metaObject()->className();
        expectEnglish(dialog.windowTitle(), name + " title");
        int texts = 0;
        for (const QWidget* widget : dialog.findChildren<QWidget*>()) {
            if (widget->objectName() == u"language" || widget->objectName() == u"languageNote")
                continue;
            expectEnglish(widget->toolTip(), name + " tooltip");
            QString text;
            if (const auto* label = qobject_cast<const QLabel*>(widget)) text = label->text();
            if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
                text = button->text();
            if (const auto* group = qobject_cast<const QGroupBox*>(widget)) text = group->title();
            texts += text.isEmpty() ? 0 : 1;
            expectEnglish(text, name + " " + widget->objectName());
        }
        EXPECT_GT(texts, 0) << name.toStdString();
    }
};

TEST_F(EnglishWindow, EveryMenuCommandAndTooltipIsEnglishWithoutClashingAccelerators) {
    ASSERT_TRUE(start());
    EXPECT_EQ(frame().windowTitle().toStdString(), "Untitled[*] - Lantrel");
    QMenu bar;  // the menu titles as one menu, for their accelerators
    for (QAction* title : frame().menuBar()->actions()) {
        bar.addAction(title->text());
        expectEnglishMenu(*title->menu(), title->text());
    }
    expectEnglishMenu(bar, QStringLiteral("menu bar"));
    for (const QAction* action : frame().actions()) {
        expectEnglish(action->text(), action->objectName());
        expectEnglish(action->toolTip(), action->objectName() + " tooltip");
    }
    EXPECT_EQ(frame().action(kCommandMovieOutput)->text().toStdString(), "&Export movie...");

    QStringList items;
    test::chooseFromPopup(-1, &items);
    const int stripTop = view().geometryNow().stripTop();
    QTest::mouseClick(&view(), Qt::RightButton, {},
                      QPoint(4, stripTop + ViewGeometry::kHeaderHeight + 5));
    ASSERT_EQ(items.size(), 5);
    QMenu context;
    for (const QString& item : items)
        context.addAction(item);
    expectEnglishMenu(context, QStringLiteral("context menu"));
}

TEST_F(EnglishWindow, EveryDialogIsEnglish) {
    ProjectSettings settings;
    ExtraOutputs choices;
    const std::vector<std::filesystem::path> folders = {LANTREL_RSRC_DIR};
    const auto hooks = recorder.hooks();
    expectEnglishDialog(CMovieSettingDialog(nullptr, settings, {}, folders, hooks));
    ExportRounds rounds;
    const CMovieSettingDialog exportMode(nullptr, settings,
                                         QString::fromUtf8(CMovieSettingDialog::kExportModeText),
                                         folders, hooks, &rounds);
    expectEnglishDialog(exportMode);
    ASSERT_NE(exportMode.findChild<QWidget*>("loops"), nullptr) << "the rounds were checked too";
    EXPECT_EQ(test::child<QAbstractButton>(exportMode, "ok")->text().toStdString(), "Start export");
    expectEnglishDialog(Mp4ExportDialog(nullptr, settings, choices, hooks));
    expectEnglishDialog(CPreferenceDialog(nullptr, {}, hooks));
    expectEnglishDialog(CCheatDialog(nullptr, settings));
    expectEnglishDialog(CWavAttrDialog(nullptr, settings.lanes[0], folders, hooks));
    expectEnglishDialog(CAboutDlg());
    expectEnglishDialog(CVtqExeFindDialog());
}

// Each kind of message the window can give, brought about as a user would.
TEST_F(EnglishWindow, TheWindowsMessagesAreEnglish) {
    ASSERT_TRUE(start());
    app->openFile(QString::fromStdString((dir / "notes.txt").string()));
    app->openFile(QString::fromStdString((dir / "missing.vtm").string()));
    dir.write("broken.vtm", "not a project");
    app->openFile(QString::fromStdString((dir / "broken.vtm").string()));
    app->openFile(QString::fromStdString(writeScore("a.vtq", 4)));
    frame().action(kCommandNew)->trigger();  // the save question, answered no
    app->openFile(QString::fromStdString(writeScore("b.vtq", 4)));
    saveAnswer = QString::fromStdString((dir / "nowhere" / "a.vtm").string());
    frame().action(kCommandSaveAs)->trigger();
    std::string error;
    ASSERT_FALSE(app->writeRecoveryCopy(error).empty()) << error;
    answer = QMessageBox::Cancel;
    ASSERT_TRUE(start());  // the recovery question

    ProjectSettings settings;
    settings.tempo = 5;
    CMovieSettingDialog movie(nullptr, settings, {}, {}, recorder.hooks());
    test::pressOk(movie, recorder);
    settings.tempo = 120;
    settings.fileName = "../x";
    ExtraOutputs choices;
    Mp4ExportDialog mp4(nullptr, settings, choices, recorder.hooks());
    test::pressOk(mp4, recorder);
    CPreferenceDialog preferences(nullptr, {"/nowhere", "", ""}, recorder.hooks());
    test::pressOk(preferences, recorder);

    for (const auto& question : questions)
        expectEnglish(QString::fromStdString(question), QStringLiteral("question"));
    EXPECT_EQ(questions.size(), 2u);
    for (const auto& message : recorder.messages)
        expectEnglish(QString::fromStdString(message.text), QStringLiteral("message"));
    EXPECT_EQ(recorder.messages.size(), 7u);

    using Status = DocumentFileResult::Status;
    for (const ProjectDamage damage : {ProjectDamage::Truncated, ProjectDamage::BadLanes})
        expectEnglish(fileFailureText({Status::Malformed, {}, damage}, "a.vtm", false), "damage");
    expectEnglish(fileFailureText({Status::Busy, {}, {}}, "a.vtm", true), "busy");
    expectEnglish(fileFailureText({Status::Malformed, {}, {}}, "a.vtq", false), "score");
}

// The movie's picture, and the strip's bar numbers with it, are the same in either language.
TEST_F(WindowFixture, TheScreenAndTheStripDoNotDependOnTheLanguage) {
    ASSERT_TRUE(start());
    app->openFile(QString::fromStdString(writeScore("a.vtq", 40, 3)));
    const QImage japanese = grabbed();
    const EnglishTexts english;
    ASSERT_TRUE(start());
    app->openFile(QString::fromStdString(writeScore("a.vtq", 40, 3)));
    EXPECT_EQ(grabbed(), japanese);
}

TEST_F(WindowFixture, TheLanguageChosenInPreferencesLastsAcrossStarts) {
    ASSERT_TRUE(start());
    EXPECT_EQ(app->settings().language(), WindowLanguage::Japanese) << "the default, always";
    auto choose = [this](const QString& language) {
        return test::driveModal<CPreferenceDialog>(
            [this] { frame().action(kCommandPreferences)->trigger(); },
            [&language](CPreferenceDialog& dialog) {
                auto* picker = test::child<QComboBox>(dialog, "language");
                picker->setCurrentIndex(picker->findText(language));
                test::child<QAbstractButton>(dialog, "ok")->click();
            });
    };
    ASSERT_TRUE(choose(QStringLiteral("English")));
    QSettings written((dir / "settings.ini").c_str(), QSettings::IniFormat);
    EXPECT_EQ(written.value("MISC/language").toString().toStdString(), "en");

    ASSERT_TRUE(start());
    EXPECT_EQ(app->settings().language(), WindowLanguage::English);
    const bool shown = test::driveModal<CPreferenceDialog>(
        [this] { frame().action(kCommandPreferences)->trigger(); },
        [](CPreferenceDialog& dialog) {
            EXPECT_EQ(test::child<QComboBox>(dialog, "language")->currentText(), "English");
            EXPECT_NE(test::child<QLabel>(dialog, "languageNote")->text().indexOf("next time"), -1);
            dialog.reject();
        });
    EXPECT_TRUE(shown);
    ASSERT_TRUE(choose(QStringLiteral("日本語")));
    written.sync();
    EXPECT_EQ(written.value("MISC/language").toString().toStdString(), "ja");
}

}  // namespace
}  // namespace lantrel
