#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/lantrel_app.h"
#include "app/main_frame.h"
#include "app/vtq_gui_view.h"
#include "model/vtq_gui_doc.h"
#include "support/temp_dir.h"
#include "support/test_sounds.h"
#include "support/test_wave_device.h"
#include "ui/dialog_recorder.h"

namespace lantrel::test {

// Score text of `columns` columns, each with a note of `instrument` at pitch position 5.
inline std::string scoreText(int columns, int instrument = 1, int tempo = 120) {
    std::string text = "SCORE=";
    for (int i = 0; i < columns; ++i)
        text += std::string("005") + "0123456789ABCDEF"[instrument];
    return text + "\nTEMPO=" + std::to_string(tempo) +
           "\nTIME44=T\nEND=" + std::to_string(columns + 1) + "\n";
}

// Waits, running the event loop, until `done` or five seconds have passed.
inline bool waitFor(const std::function<bool()>& done, int milliseconds = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds) return false;
        QTest::qWait(10);
    }
    return true;
}

// The whole window as a person meets it, with stand-ins for everything that would block a
// test: message boxes and file dialogs are recorded and answered, the sound goes to a test
// device, the settings to a file of the test's own.
class WindowFixture : public ::testing::Test {
  protected:
    WindowFixture() : store_((dir / "settings.ini").c_str(), QSettings::IniFormat) {}

    ~WindowFixture() override {
        app.reset();
        QApplication::processEvents();
    }

    AppServices services() {
        AppServices services;
        services.store = &store_;
        services.recoveryFolder = dir / "recovery";
        services.view.resourceFolders = {LANTREL_RSRC_DIR};
        services.view.waveDevice = [this] {
            auto device = std::make_unique<TestWaveDevice>(TestWaveDevice::Pace::RealTime, false);
            device_ = device.get();
            return device;
        };
        services.view.hooks = recorder.hooks();
        services.view.chooseScoreFile = [this](QWidget*) -> std::optional<std::string> {
            if (scoreAnswers.empty()) return std::nullopt;
            std::string next = scoreAnswers.front();
            scoreAnswers.pop_front();
            return next;
        };
        services.chooseProjectToOpen = [this](QWidget*) { return openAnswer; };
        services.chooseProjectToSave = [this](QWidget*, const QString&) { return saveAnswer; };
        services.ask = [this](QWidget*, const QString& question) {
            questions.push_back(question.toStdString());
            return answer;
        };
        return services;
    }

    // Starts the window with the given command line and waits until it is shown.
    bool start(const QStringList& arguments = {}) { return startWith(services(), arguments); }
    bool startWith(AppServices with, const QStringList& arguments = {}) {
        app.reset();
        app = std::make_unique<CLantrelApp>(std::move(with));
        if (!app->start(arguments)) return false;
        QApplication::setActiveWindow(app->frame());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(app->frame()));
        QApplication::processEvents();
        return true;
    }

    CVtqGuiView& view() { return *app->view(); }
    CVtqGuiDoc& document() { return app->document(); }
    CMainFrame& frame() { return *app->frame(); }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&view(), static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();
    }

    std::string writeScore(const std::string& name, int columns, int instrument = 1) {
        return dir.write(name, scoreText(columns, instrument)).string();
    }

    // The strip as drawn in the window.
    QImage grabbed() {
        QApplication::processEvents();
        return view().grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    TempDir dir;
    DialogRecorder recorder;
    std::deque<std::string> scoreAnswers;
    QString openAnswer;
    QString saveAnswer;
    QMessageBox::StandardButton answer = QMessageBox::No;
    std::vector<std::string> questions;
    std::unique_ptr<CLantrelApp> app;
    TestWaveDevice* device_ = nullptr;

  private:
    QSettings store_;
};

// Picks the entry of the context menu at `index` once it is open, after recording its items.
inline void chooseFromPopup(int index, QStringList* items = nullptr) {
    QTimer::singleShot(50, [index, items] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        const auto actions = menu->actions();
        if (items)
            for (QAction* action : actions)
                items->push_back(action->text());
        if (index >= 0 && index < actions.size()) {
            menu->setActiveAction(actions[index]);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            menu->close();
        }
    });
}

}  // namespace lantrel::test
