#include "app/dialogs/movie_setting_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <tuple>

#include "app/dialogs/number_edit.h"
#include "app/dialogs/wav_attr_dialog.h"
#include "dialog_recorder.h"

namespace lantrel {
namespace {

using test::child;

class MovieSettingDialogTest : public ::testing::Test {
  protected:
    MovieSettingDialogTest() {
        settings_.outputFolder = output_.path().string();
        settings_.fileName = "tune";
        for (int lane = 0; lane < kLaneCount; ++lane)
            for (InstrumentSound& sound : settings_.lanes[lane].instruments)
                sound.pan = defaultPan(lane);
    }

    CMovieSettingDialog open(const char* modeText = "") {
        const std::filesystem::path folders[] = {output_.path()};
        return CMovieSettingDialog(nullptr, settings_, QString::fromUtf8(modeText), folders,
                                   recorder_.hooks(), &rounds_);
    }
    CMovieSettingDialog openForExport() { return open(CMovieSettingDialog::kExportModeText); }

    bool pressOk(CMovieSettingDialog& dialog, std::string* warning = nullptr) {
        return test::pressOk(dialog, recorder_, warning);
    }

    test::TempDir output_;
    ProjectSettings settings_;
    ExportRounds rounds_;
    test::DialogRecorder recorder_;
};

TEST_F(MovieSettingDialogTest, ShowsEveryControlWithItsText) {
    const CMovieSettingDialog dialog = open();
    EXPECT_EQ(dialog.windowTitle().toStdString(), "動画出力設定");
    QStringList titles;
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
        titles << group->title();
    titles.sort();
    QStringList expected = QString::fromUtf8(
                               "ヴェルトシーケンサ|TEMPO|背景（暗==明）|動画|FPS|音声|"
                               "サンプリングレート|パンポット|出力先フォルダ|ファイル名")
                               .split('|');
    expected.sort();
    EXPECT_EQ(titles, expected);
    QStringList buttons;
    for (const char* name :
         {"fourFour", "emulateTempo", "videoOn", "audioOn", "join", "stereo", "rate22050",
          "rate44100", "pan0", "pan1", "pan2", "chooseFolder", "ok", "cancel"})
        buttons << child<QAbstractButton>(dialog, name)->text();
    EXPECT_EQ(buttons.join('|').toStdString(),
              "４拍子|ヴェルトシーケンサのテンポをエミュレートする|出力する|出力する|結合（遅い）|"
              "ステレオ出力|22050Hz|44100Hz|上段|中段|下段|選択|OK|キャンセル");
    EXPECT_TRUE(child<QRadioButton>(dialog, "rate44100")->isChecked());
    EXPECT_EQ(child<QLabel>(dialog, "fileNameNote")->text().toStdString(),
              "ここで指定されたファイル名に拡張子 avi やら wav やらつけて出力します。");
    EXPECT_EQ(child<QLabel>(dialog, "sizeNote")->text().toStdString(),
              "余裕で2Gとかのファイルが出来るので注意してね。結合するとさらに倍必要w");
}

TEST_F(MovieSettingDialogTest, ShowsTheSettings) {
    settings_ = {120, false, true, false, 30, true, true, false, 48000, "/f", "n", {}, 7};
    const CMovieSettingDialog dialog = open();
    EXPECT_EQ(child<NumberEdit>(dialog, "tempo")->text(), "120");
    EXPECT_EQ(child<NumberEdit>(dialog, "fps")->text(), "30");
    const auto* brightness = child<QSlider>(dialog, "brightness");
    EXPECT_EQ(std::tuple(brightness->value(), brightness->maximum(), brightness->tickInterval()),
              std::tuple(7, 255, 16));
    EXPECT_FALSE(child<QCheckBox>(dialog, "emulateTempo")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(dialog, "fourFour")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(dialog, "videoOn")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(dialog, "join")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(dialog, "rate22050")->isChecked());
    EXPECT_EQ(child<QLineEdit>(dialog, "outputFolder")->text(), "/f");
    EXPECT_EQ(child<QLineEdit>(dialog, "fileName")->text(), "n");
}

TEST_F(MovieSettingDialogTest, OkStoresEveryControl) {
    CMovieSettingDialog dialog = open();
    child<NumberEdit>(dialog, "tempo")->setText(" 9999");
    child<NumberEdit>(dialog, "fps")->setText("1");
    child<QSlider>(dialog, "brightness")->setValue(0);
    for (const char* name : {"fourFour", "emulateTempo", "videoOn", "audioOn", "stereo"})
        child<QCheckBox>(dialog, name)->setChecked(false);
    child<QCheckBox>(dialog, "join")->setChecked(true);
    child<QRadioButton>(dialog, "rate22050")->setChecked(true);
    const QString folder(440, u'あ');
    const QString name(64, u'曲');
    child<QLineEdit>(dialog, "outputFolder")->setText(folder);
    child<QLineEdit>(dialog, "fileName")->setText(name);
    ASSERT_TRUE(pressOk(dialog));
    const ProjectSettings& s = settings_;
    EXPECT_EQ(std::tuple(s.tempo, s.fps, s.sampleRate, s.brightness),
              std::tuple(9999, 1, 22050, 0));
    EXPECT_EQ(std::tuple(s.fourFour, s.emulateTempo, s.videoOn, s.audioOn, s.join, s.stereo),
              std::tuple(false, false, false, false, true, false));
    EXPECT_EQ(std::pair(s.outputFolder, s.fileName),
              std::pair(folder.toStdString(), name.toStdString()));
}

TEST_F(MovieSettingDialogTest, RefusesNumbersAndTextsOutOfRangeAndStaysOpen) {
    const std::tuple<const char*, QString, std::string> cases[] = {
        {"tempo", "99", "100 から 9999 までの整数を入力してください。"},
        {"tempo", "10000", "100 から 9999 までの整数を入力してください。"},
        {"tempo", "abc", "整数を入力してください。"},
        {"fps", "0", "1 から 60 までの整数を入力してください。"},
        {"fps", "61", "1 から 60 までの整数を入力してください。"},
        {"fps", "", "整数を入力してください。"},
        {"outputFolder", QString(441, u'a'), "440 文字以内で入力してください。"},
        {"fileName", QString(65, u'a'), "64 文字以内で入力してください。"}};
    const ProjectSettings before = settings_;
    for (const auto& [name, text, message] : cases) {
        CMovieSettingDialog dialog = open();
        QWidget* control = child<QWidget>(dialog, name);
        if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->setText(text);
        if (auto* number = qobject_cast<NumberEdit*>(control)) number->setText(text);
        std::string warning;
        EXPECT_FALSE(pressOk(dialog, &warning)) << name;
        EXPECT_EQ(warning, message) << name;
        EXPECT_EQ(settings_, before) << name;
    }
}

TEST_F(MovieSettingDialogTest, OnlyTheExportModeAsksForAFolderAndAFileName) {
    settings_.outputFolder.clear();
    settings_.fileName.clear();
    CMovieSettingDialog settingsMode = open();
    EXPECT_TRUE(pressOk(settingsMode));

    CMovieSettingDialog exportMode = open(CMovieSettingDialog::kExportModeText);
    EXPECT_EQ(child<QPushButton>(exportMode, "ok")->text().toStdString(), "出力開始");
    child<NumberEdit>(exportMode, "tempo")->setText("99");  // checked only after the folder
    std::string warning;
    EXPECT_FALSE(pressOk(exportMode, &warning));
    EXPECT_EQ(warning, "フォルダを選択してください。");
}

TEST_F(MovieSettingDialogTest, ExportModeNeedsAnAccessibleFolderAndASafeFileName) {
    const std::string file = output_.write("not-a-folder", "x").string();
    const std::pair<std::string, std::string> refused[] = {
        {file, "フォルダにアクセスできません。"},
        {output_.path().string() + "/missing", "フォルダにアクセスできません。"}};
    for (const auto& [folder, message] : refused) {
        settings_.outputFolder = folder;
        CMovieSettingDialog dialog = open(CMovieSettingDialog::kExportModeText);
        std::string warning;
        EXPECT_FALSE(pressOk(dialog, &warning));
        EXPECT_EQ(warning, message) << folder;
    }
    settings_.outputFolder = output_.path().string();
    for (const char* name : {"", "../x", "a/b", "a\\b", "..", "tab\there"}) {
        settings_.fileName = name;
        CMovieSettingDialog dialog = open(CMovieSettingDialog::kExportModeText);
        std::string warning;
        EXPECT_FALSE(pressOk(dialog, &warning));
        EXPECT_EQ(warning, *name ? "ファイル名に使えない文字が含まれています。"
                                 : "ファイル名を指定してください。")
            << name;
    }
    settings_.fileName = "曲 1";
    CMovieSettingDialog dialog = open(CMovieSettingDialog::kExportModeText);
    EXPECT_TRUE(pressOk(dialog));
}

TEST_F(MovieSettingDialogTest, OnlyTheExportModeHasTheRoundsAndOkStoresThem) {
    rounds_ = test::exportRounds(2, 5.0, 1);
    const CMovieSettingDialog settingsMode = open();
    EXPECT_EQ(settingsMode.findChild<NumberEdit*>("loops"), nullptr);
    EXPECT_EQ(settingsMode.findChild<NumberEdit*>("fade"), nullptr);

    CMovieSettingDialog exportMode = openForExport();
    EXPECT_EQ(test::roundsShown(exportMode), "2/5");
    child<NumberEdit>(exportMode, "loops")->setText("99");
    child<NumberEdit>(exportMode, "fade")->setText("61");  // each range: the MP4 dialog's test
    child<QLineEdit>(exportMode, "fileName")->setText(QString(65, u'a'));
    std::string warning;
    EXPECT_FALSE(pressOk(exportMode, &warning));
    EXPECT_EQ(warning, "0 から 60 までの整数を入力してください。") << "before the file name";
    EXPECT_EQ(rounds_, test::exportRounds(2, 5.0, 1));
    child<NumberEdit>(exportMode, "fade")->setText("0");
    child<QLineEdit>(exportMode, "fileName")->setText("tune");
    ASSERT_TRUE(pressOk(exportMode));
    EXPECT_EQ(rounds_, test::exportRounds(99, 0.0, 1));
}

// Drives the pan dialog that "上段" opens: master to the far left, then OK.
bool panUpperLaneLeft(CMovieSettingDialog& dialog) {
    return test::driveModal<CWavAttrDialog>(
        [&dialog] { child<QPushButton>(dialog, "pan0")->click(); },
        [](CWavAttrDialog& pans) {
            child<QSlider>(pans, "master")->setValue(0);
            child<QPushButton>(pans, "ok")->click();
        });
}

TEST_F(MovieSettingDialogTest, PanChangesAreLostOnCancel) {
    const ProjectSettings before = settings_;
    CMovieSettingDialog dialog = open();
    ASSERT_TRUE(panUpperLaneLeft(dialog));
    child<QPushButton>(dialog, "cancel")->click();
    EXPECT_EQ(settings_, before);
}

TEST_F(MovieSettingDialogTest, PanChangesAreStoredOnOkAndShownWhenReopened) {
    ProjectSettings expected = settings_;
    for (InstrumentSound& sound : expected.lanes[0].instruments)
        sound.pan = 0;
    CMovieSettingDialog dialog = open();
    ASSERT_TRUE(panUpperLaneLeft(dialog));
    int reopenedPan = -1;
    test::driveModal<CWavAttrDialog>([&dialog] { child<QPushButton>(dialog, "pan0")->click(); },
                                     [&reopenedPan](CWavAttrDialog& pans) {
                                         reopenedPan =
                                             child<QSlider>(pans, "instrument14")->value();
                                         child<QPushButton>(pans, "cancel")->click();
                                     });
    EXPECT_EQ(reopenedPan, 0);
    ASSERT_TRUE(pressOk(dialog));
    EXPECT_EQ(settings_, expected);
}

}  // namespace
}  // namespace lantrel
