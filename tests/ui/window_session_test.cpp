// Playing and exporting from the window, with the test sound device and real export runs.
#include <QCheckBox>
#include <QElapsedTimer>

#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <cstring>
#include <set>

#include "app/command_table.h"
#include "app/dialogs/movie_setting_dialog.h"
#include "app/dialogs/mp4_export_dialog.h"
#include "app/dialogs/number_edit.h"
#include "app/posted_event.h"
#include "support/command_output.h"
#include "support/playback_fixture.h"
#include "ui/window_fixture.h"
#include "video/frame_context.h"

namespace lantrel {
namespace {

using test::TempDir;
using test::waitFor;

class WindowSessionTest : public test::WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(start());
        out = dir / "out";
        std::filesystem::create_directories(out);
    }

    void arrange(int columns, int tempo = 400) {
        document().PlaceScoreText(test::scoreText(columns, 3, tempo), 0, 0);
        ProjectSettings settings = document().settings();
        settings.sampleRate = 22050;
        settings.emulateTempo = false;
        document().setSettings(settings);
        QApplication::processEvents();
    }

    bool enabled(CommandId id) {
        frame().refreshCommandStates();
        return frame().action(id)->isEnabled();
    }

    QImage renderedAt(int position) {
        const std::vector<std::filesystem::path> folders{LANTREL_RSRC_DIR};
        FrameContext context(folders);
        context.attach(document().project());
        QImage picture = makeScreenImage();
        RenderFrame(context.prepare(&picture, position));
        return picture;
    }

    // A movie command through its dialog, into the test's folder as "movie", as the user fills
    // it in; whether the dialog opened.
    template <typename Dialog>
    bool exportThrough(CommandId command, const std::function<void(Dialog&)>& fill) {
        return test::driveModal<Dialog>(
            [this, command] { frame().action(command)->trigger(); },
            [this, &fill](Dialog& dialog) {
                test::child<QLineEdit>(dialog, "outputFolder")->setText(out.c_str());
                test::child<QLineEdit>(dialog, "fileName")->setText("movie");
                if (fill) fill(dialog);
                test::child<QPushButton>(dialog, "ok")->click();
            });
    }
    void exportMovie(const std::function<void(CMovieSettingDialog&)>& fill = {}) {
        ASSERT_TRUE(exportThrough(kCommandMovieOutput, fill));
    }
    bool exportMp4(const std::function<void(Mp4ExportDialog&)>& fill = {}) {
        return exportThrough(kCommandMp4Output, fill);
    }
    void cancelExport() {
        QTest::mouseClick(&view(), Qt::LeftButton, {}, view().geometryNow().cancelBox().center());
        ASSERT_TRUE(waitFor([this] { return !view().exporting(); }, 20000));
    }
    // Where the preview stands once the sound phase has mixed `mixed` of `rounds` rounds of
    // 100000 samples at 22050 Hz.
    int positionShownFor(std::int64_t mixed, int rounds) {
        PostedEvent progress(kMessageAudioProgress, static_cast<std::uintptr_t>(mixed),
                             rounds * 100000 + 22050);
        QApplication::sendEvent(&view(), &progress);
        return view().exportPosition();
    }

    std::filesystem::path out;
};

TEST_F(WindowSessionTest, PlayFollowsThePositionAndStopEndsIt) {
    arrange(40, 240);
    press(Qt::Key_F5);
    EXPECT_TRUE(view().isPlaying());
    EXPECT_TRUE(enabled(kCommandStop));
    EXPECT_FALSE(view().audioOnly());
    ASSERT_TRUE(waitFor([this] { return view().exportPosition() >= 2; }));
    EXPECT_EQ(view().screenImage(), renderedAt(view().exportPosition()))
        << "the screen shows the posted position";
    press(Qt::Key_F8);
    EXPECT_FALSE(view().isPlaying());
    EXPECT_FALSE(enabled(kCommandStop));
    ASSERT_NE(device_, nullptr);
    EXPECT_GT(device_->framesPlayed(), 0);
}

// The real sound output through SDL's disk driver: F5, a while, F8, and the capture holds the
// mixer's blocks from the cursor in playing order, while the screen moved with the positions.
TEST_F(WindowSessionTest, PlayingThroughSdlGivesTheMixersBlocks) {
    const std::filesystem::path capture = dir / "capture.raw";
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    AppServices sdl = services();
    sdl.view.waveDevice = nullptr;
    ASSERT_TRUE(startWith(sdl));
    const auto waves = test::writeToneSounds(dir / "waves");
    test::arrangeSong(document().project(), waves, 5);  // 2.5 s, stereo, 44100 Hz
    frame().refreshCommandStates();                     // the song was written past the document

    std::set<int> positions;
    press(Qt::Key_F5);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 3200) {
        QTest::qWait(20);
        positions.insert(view().exportPosition());
    }
    press(Qt::Key_F8);
    ::unsetenv("SDL_AUDIODRIVER");
    ::unsetenv("SDL_DISKAUDIOFILE");
    EXPECT_TRUE(recorder.messages.empty());
    const std::string bytes = TempDir::read(capture);
    std::vector<std::int16_t> captured(bytes.size() / 2);
    std::memcpy(captured.data(), bytes.data(), captured.size() * 2);
    constexpr std::int64_t kRate = 44100;
    const auto expected = test::ExpectedSound(document().project(), LANTREL_RSRC_DIR)
                              .blocks({0, kRate, 2 * kRate, 0, kRate});
    test::expectBlocksInOrder(captured, expected, 2, kRate, 2.5);
    EXPECT_GE(positions.size(), 5u) << "the screen followed the play position";
    EXPECT_LE(*positions.rbegin(), 9);
}

TEST_F(WindowSessionTest, ASoundOutputThatWillNotOpenIsReported) {
    arrange(10);
    AppServices refusing = services();
    refusing.view.waveDevice = [] {
        auto device = std::make_unique<test::TestWaveDevice>();
        device->refuseToOpen(true);
        return device;
    };
    ASSERT_TRUE(startWith(refusing));
    document().PlaceScoreText(test::scoreText(10), 0, 0);
    frame().action(kCommandPlay)->trigger();
    ASSERT_TRUE(waitFor([this] { return !recorder.messages.empty(); }));
    EXPECT_EQ(recorder.takeWarning().rfind("サウンドを出力できませんでした。", 0), 0u);
    EXPECT_FALSE(view().isPlaying());
}

TEST_F(WindowSessionTest, PositionsPastTheEndAreClampedAndSoundOnlyKeepsTheCursor) {
    arrange(10);
    press(Qt::Key_F5);
    PostedEvent late(kMessagePlayPosition, 5000, 0);
    QApplication::sendEvent(&view(), &late);
    EXPECT_EQ(view().exportPosition(), 19);
    press(Qt::Key_F6);
    EXPECT_TRUE(view().audioOnly());
    PostedEvent position(kMessagePlayPosition, 7, 0);
    QApplication::sendEvent(&view(), &position);
    EXPECT_EQ(view().exportPosition(), 19);
    press(Qt::Key_F8);
    QApplication::processEvents();
    EXPECT_EQ(view().screenImage(), renderedAt(0));
}

TEST_F(WindowSessionTest, AnEditWhilePlayingStopsPlaybackWithoutHanging) {
    arrange(60, 240);
    press(Qt::Key_Up);
    for (int round = 0; round < 5; ++round) {
        press(Qt::Key_F5);
        EXPECT_TRUE(view().isPlaying());
        QTest::qWait(20);
        press(Qt::Key_Insert);
        EXPECT_FALSE(view().isPlaying()) << "any change of the document stops playback";
    }
    EXPECT_EQ(document().columnCount(0), 65);
}

TEST_F(WindowSessionTest, ANewProjectWithoutSoundsSaysSoInsteadOfPlayingSilently) {
    // The view's sounds come from a folder that holds none.
    AppServices bare = services();
    bare.view.resourceFolders = {dir / "nothing"};
    ASSERT_TRUE(startWith(bare));
    document().PlaceScoreText(test::scoreText(4), 0, 0);
    recorder.messages.clear();
    frame().action(kCommandPlay)->trigger();
    EXPECT_FALSE(view().isPlaying());
    EXPECT_NE(recorder.takeWarning().find("再生できません"), std::string::npos);
}

TEST_F(WindowSessionTest, AMovieRunsToTheEndWithTheProgressBoxAndBusyState) {
    arrange(24);
    exportMovie([](CMovieSettingDialog& dialog) {
        test::child<QCheckBox>(dialog, "join")->setChecked(true);
    });
    EXPECT_TRUE(view().exporting());
    EXPECT_TRUE(document().busy());
    EXPECT_FALSE(enabled(kCommandPlay));
    EXPECT_FALSE(enabled(kCommandMovieOutput));
    EXPECT_FALSE(enabled(kCommandMovieSettings));
    EXPECT_FALSE(enabled(kCommandUndo));
    press(Qt::Key_Up);
    press(Qt::Key_Insert);
    EXPECT_EQ(document().columnCount(0), 24) << "edits are refused";
    ASSERT_TRUE(waitFor([this] { return view().exportPhase() > 0 || !view().exporting(); }));
    ASSERT_TRUE(waitFor([this] { return !view().exporting(); }, 20000));
    EXPECT_FALSE(document().busy());
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(document().settings().outputFolder, out.string());
    const auto probe = test::commandOutput(
        "ffprobe -v error -show_entries stream=codec_type "
        "-of csv=p=0 " +
        test::quoted(out / "movie.avi"));
    EXPECT_EQ(probe, "video\naudio\n");
    EXPECT_FALSE(std::filesystem::exists(out / "movie.wav"));
    EXPECT_FALSE(std::filesystem::exists(out / "movie_tmp.avi"));
}

TEST_F(WindowSessionTest, ProgressMessagesDrawTheCancelBoxOverThePreview) {
    arrange(24);
    exportMovie();
    PostedEvent progress(kMessageVideoProgress, 4, 0);
    QApplication::sendEvent(&view(), &progress);
    EXPECT_EQ(view().exportPosition(), 4);
    EXPECT_EQ(view().screenImage().pixel(384, 383), qRgb(255, 0, 0));
    EXPECT_EQ(view().screenImage().pixel(400, 370), qRgb(0, 0, 0)) << "or red text on black";
    ASSERT_TRUE(waitFor([this] { return !view().exporting(); }, 20000));
}

TEST_F(WindowSessionTest, AClickInTheCancelBoxStopsTheVideoAndLeavesNoFile) {
    arrange(400, 120);
    exportMovie(
        [](CMovieSettingDialog& dialog) { test::child<NumberEdit>(dialog, "fps")->setText("2"); });
    ASSERT_TRUE(view().exporting());
    const QRect box = view().geometryNow().cancelBox();
    QTest::mouseClick(&view(), Qt::LeftButton, {}, box.center());
    ASSERT_TRUE(waitFor([this] { return !view().exporting(); }, 20000));
    EXPECT_TRUE(recorder.messages.empty()) << "a cancel ends silently";
    EXPECT_FALSE(std::filesystem::exists(out / "movie.avi"));
    EXPECT_FALSE(std::filesystem::exists(out / "movie.wav"));
    EXPECT_EQ(view().cursorColumn(), 0) << "the click did not move the cursor";
}

TEST_F(WindowSessionTest, AFailedExportSaysSo) {
    arrange(8);
    std::filesystem::create_directories(out / "movie.avi");  // nothing can be written there
    exportMovie();
    ASSERT_TRUE(waitFor([this] { return !view().exporting(); }, 20000));
    const std::string warning = recorder.takeWarning();
    EXPECT_EQ(
        warning.rfind("どうやら失敗した模様。ディスクがいっぱいとか？\nあとは開いてるファイルに"
                      "書きにいったとか。\n\n",
                      0),
        0u)
        << "the message, then the reason: " << warning;
    EXPECT_FALSE(document().busy());
}

TEST_F(WindowSessionTest, WithBothOutputsOffTheSettingsAreStoredAndNothingStarts) {
    arrange(8);
    exportMovie([](CMovieSettingDialog& dialog) {
        test::child<QCheckBox>(dialog, "videoOn")->setChecked(false);
        test::child<QCheckBox>(dialog, "audioOn")->setChecked(false);
    });
    EXPECT_FALSE(view().exporting());
    EXPECT_FALSE(document().settings().videoOn);
    EXPECT_EQ(document().settings().fileName, "movie");
    EXPECT_TRUE(document().isModified());
}

TEST_F(WindowSessionTest, TheWindowWillNotCloseDuringAnExportAndAwaitsItWhenDestroyed) {
    arrange(400, 120);
    exportMovie(
        [](CMovieSettingDialog& dialog) { test::child<NumberEdit>(dialog, "fps")->setText("2"); });
    ASSERT_TRUE(view().exporting());
    EXPECT_FALSE(frame().close());
    EXPECT_EQ(recorder.takeWarning(), "ちょwwwおまwww");
    EXPECT_TRUE(frame().isVisible());
    app.reset();  // the window goes with the run: cancelled and awaited
    EXPECT_FALSE(std::filesystem::exists(out / "movie.avi"));
}

TEST_F(WindowSessionTest, TheMp4CommandRunsTheExportAndRemembersItsChoices) {
    EXPECT_FALSE(enabled(kCommandMp4Output)) << "nothing to export yet";
    arrange(24);
    EXPECT_TRUE(enabled(kCommandMp4Output));
    const ProjectSettings before = document().settings();
    ASSERT_TRUE(exportMp4([](Mp4ExportDialog& dialog) {
        test::child<QSpinBox>(dialog, "scale")->setValue(1);
        test::child<QSpinBox>(dialog, "crf")->setValue(26);
        test::child<QCheckBox>(dialog, "stems")->setChecked(true);
    }));
    EXPECT_TRUE(view().exporting());
    EXPECT_TRUE(document().busy());
    EXPECT_FALSE(enabled(kCommandMp4Output));
    EXPECT_FALSE(enabled(kCommandMovieOutput));
    EXPECT_FALSE(exportMp4()) << "refused while exporting";
    ASSERT_TRUE(waitFor([this] { return !view().exporting(); }, 20000));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_FALSE(document().busy());
    EXPECT_EQ(TempDir::read(out / "movie.mp4").substr(4, 4), "ftyp");
    for (const char* stem : {"movie_upper.wav", "movie_middle.wav", "movie_lower.wav"})
        EXPECT_TRUE(std::filesystem::exists(out / stem)) << stem;
    EXPECT_FALSE(std::filesystem::exists(out / "movie.avi"));
    EXPECT_FALSE(std::filesystem::exists(out / "movie.wav"));

    // The target is the project's, as for the movie output; the rest is the user's own.
    EXPECT_EQ(document().settings().outputFolder, out.string());
    EXPECT_EQ(document().settings().fileName, "movie");
    EXPECT_EQ(document().settings().videoOn, before.videoOn);
    const QSettings store((dir / "settings.ini").c_str(), QSettings::IniFormat);
    EXPECT_EQ(store.value("EXPORT/scale").toInt(), 1);
    EXPECT_EQ(store.value("EXPORT/crf").toInt(), 26);
    EXPECT_TRUE(store.value("EXPORT/stems").toBool());
    int shownScale = 0;
    ASSERT_TRUE(test::driveModal<Mp4ExportDialog>(
        [this] { frame().action(kCommandMp4Output)->trigger(); },
        [&shownScale](Mp4ExportDialog& dialog) {
            shownScale = test::child<QSpinBox>(dialog, "scale")->value();
            dialog.reject();
        }));
    EXPECT_EQ(shownScale, 1) << "the dialog opens with the last choices";
}

// The times played and the fade-out go with the run (the preview runs through the
// arrangement once per round), stay the user's, and either export's dialog shows the other's.
TEST_F(WindowSessionTest, TheRoundsGoWithEitherExportAndTheOtherDialogShowsThem) {
    arrange(24);
    const int halfBeats = 2 * document().columnCount(-1);
    exportMovie([](CMovieSettingDialog& dialog) {
        test::child<NumberEdit>(dialog, "loops")->setText("3");
        test::child<NumberEdit>(dialog, "fade")->setText("2");
    });
    ASSERT_TRUE(view().exporting());
    EXPECT_EQ(positionShownFor(125000, 3), halfBeats / 4) << "a quarter into the second round";
    cancelExport();
    const QSettings store((dir / "settings.ini").c_str(), QSettings::IniFormat);
    EXPECT_EQ(store.value("EXPORT/loops").toInt(), 3);
    EXPECT_EQ(store.value("EXPORT/fade").toInt(), 2);

    QString shown;
    ASSERT_TRUE(exportMp4([&shown](Mp4ExportDialog& dialog) {
        shown = test::roundsShown(dialog);
        test::child<NumberEdit>(dialog, "loops")->setText("2");
    }));
    EXPECT_EQ(shown, "3/2");
    EXPECT_EQ(positionShownFor(150000, 2), halfBeats / 2) << "halfway through the second round";
    cancelExport();
    ASSERT_TRUE(test::driveModal<CMovieSettingDialog>(
        [this] { frame().action(kCommandMovieOutput)->trigger(); },
        [&shown](CMovieSettingDialog& dialog) {
            shown = test::roundsShown(dialog);
            dialog.reject();
        }));
    EXPECT_EQ(shown, "2/2");
}

TEST_F(WindowSessionTest, TheCancelBoxStopsTheMp4AndLeavesNoFile) {
    arrange(400, 120);
    ProjectSettings settings = document().settings();
    settings.fps = 30;
    document().setSettings(settings);
    ASSERT_TRUE(exportMp4());
    ASSERT_TRUE(view().exporting());
    PostedEvent progress(kMessageVideoProgress, 6, 0);
    QApplication::sendEvent(&view(), &progress);
    EXPECT_EQ(view().screenImage().pixel(384, 383), qRgb(255, 0, 0)) << "the cancel box";
    QTest::mouseClick(&view(), Qt::LeftButton, {}, view().geometryNow().cancelBox().center());
    ASSERT_TRUE(waitFor([this] { return !view().exporting(); }, 20000));
    EXPECT_TRUE(recorder.messages.empty()) << "a cancel ends silently";
    EXPECT_TRUE(std::filesystem::is_empty(out));
}

}  // namespace
}  // namespace lantrel
