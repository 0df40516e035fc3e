#include "app/dialogs/mp4_export_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

#include <tuple>

#include "app/user_settings.h"
#include "dialog_recorder.h"

namespace lantrel {
namespace {

using test::child;

class Mp4ExportDialogTest : public ::testing::Test {
  protected:
    Mp4ExportDialogTest() {
        settings_.outputFolder = output_.path().string();
        settings_.fileName = "tune";
    }

    bool pressOk(Mp4ExportDialog& dialog, std::string* warning = nullptr) {
        return test::pressOk(dialog, recorder_, warning);
    }
    std::string sizeShown(const Mp4ExportDialog& dialog) {
        return child<QLabel>(dialog, "size")->text().toStdString();
    }

    test::TempDir output_;
    ProjectSettings settings_;
    ExtraOutputs choices_;
    test::DialogRecorder recorder_;
};

TEST_F(Mp4ExportDialogTest, ShowsTheChoicesAndTheSizeOfTheMovieTheyMake) {
    choices_.mp4Options.crf = 23;
    choices_.stems = true;
    Mp4ExportDialog dialog(nullptr, settings_, choices_, recorder_.hooks());
    EXPECT_EQ(dialog.windowTitle().toStdString(), "MP4 で出力");
    EXPECT_EQ(child<QPushButton>(dialog, "ok")->text().toStdString(), "出力開始");
    EXPECT_EQ(child<QSpinBox>(dialog, "scale")->value(), 2);
    EXPECT_EQ(child<QSpinBox>(dialog, "crf")->value(), 23);
    EXPECT_TRUE(child<QCheckBox>(dialog, "stems")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(dialog, "pad16x9")->isChecked());
    EXPECT_EQ(child<QLineEdit>(dialog, "outputFolder")->text().toStdString(),
              settings_.outputFolder);
    EXPECT_EQ(child<QLineEdit>(dialog, "fileName")->text().toStdString(), "tune");
    EXPECT_EQ(sizeShown(dialog), "1024 × 768 ピクセル");

    child<QSpinBox>(dialog, "scale")->setValue(3);
    EXPECT_EQ(sizeShown(dialog), "1536 × 1152 ピクセル");
    child<QCheckBox>(dialog, "pad16x9")->setChecked(true);
    EXPECT_EQ(sizeShown(dialog), "2048 × 1152 ピクセル");
    child<QSpinBox>(dialog, "scale")->setValue(9);
    EXPECT_EQ(child<QSpinBox>(dialog, "scale")->value(), 5) << "1 to 5 only";
}

TEST_F(Mp4ExportDialogTest, OkTakesTheChoicesAndTheTargetCancelLeavesThem) {
    const test::TempDir elsewhere;
    {
        Mp4ExportDialog dialog(nullptr, settings_, choices_, recorder_.hooks());
        child<QSpinBox>(dialog, "scale")->setValue(4);
        child<QLineEdit>(dialog, "fileName")->setText("other");
        child<QPushButton>(dialog, "cancel")->click();
    }
    EXPECT_EQ(choices_.mp4Options.scale, 2);
    EXPECT_EQ(settings_.fileName, "tune");

    Mp4ExportDialog dialog(nullptr, settings_, choices_, recorder_.hooks());
    child<QSpinBox>(dialog, "scale")->setValue(1);
    child<QSpinBox>(dialog, "crf")->setValue(30);
    child<QCheckBox>(dialog, "pad16x9")->setChecked(true);
    child<QCheckBox>(dialog, "stems")->setChecked(true);
    recorder_.folderAnswer = QString::fromStdString(elsewhere.path().string());
    child<QPushButton>(dialog, "chooseFolder")->click();
    child<QLineEdit>(dialog, "fileName")->setText("take 2");
    ASSERT_TRUE(pressOk(dialog));
    EXPECT_TRUE(choices_.mp4);
    EXPECT_EQ(choices_.mp4Options.scale, 1);
    EXPECT_EQ(choices_.mp4Options.crf, 30);
    EXPECT_TRUE(choices_.mp4Options.pad16x9);
    EXPECT_TRUE(choices_.stems);
    EXPECT_EQ(settings_.outputFolder, elsewhere.path().string());
    EXPECT_EQ(settings_.fileName, "take 2");
}

TEST_F(Mp4ExportDialogTest, InsistsOnAnExistingFolderAndAUsableName) {
    const std::vector<std::pair<std::pair<std::string, std::string>, std::string>> cases = {
        {{"", "tune"}, "フォルダを選択してください。"},
        {{(output_ / "missing").string(), "tune"}, "フォルダにアクセスできません。"},
        {{output_.path().string(), ""}, "ファイル名を指定してください。"},
        {{output_.path().string(), "../tune"}, "ファイル名に使えない文字が含まれています。"},
    };
    for (const auto& [target, message] : cases) {
        settings_.outputFolder = target.first;
        settings_.fileName = target.second;
        Mp4ExportDialog dialog(nullptr, settings_, choices_, recorder_.hooks());
        std::string warning;
        EXPECT_FALSE(pressOk(dialog, &warning));
        EXPECT_EQ(warning, message);
        EXPECT_FALSE(choices_.mp4) << "nothing is taken from a refused dialog";
    }
}

TEST_F(Mp4ExportDialogTest, TheRoundsStartOnceUnfadedAndOkTakesThemLeavingTheColumns) {
    EXPECT_EQ(test::roundsShown(Mp4ExportDialog(nullptr, settings_, choices_)), "1/0");
    choices_.rounds = test::exportRounds(3, 7.0, 4, 9);
    Mp4ExportDialog dialog(nullptr, settings_, choices_, recorder_.hooks());
    EXPECT_EQ(test::roundsShown(dialog), "3/7");
    child<NumberEdit>(dialog, "loops")->setText(" 99");
    child<NumberEdit>(dialog, "fade")->setText("60");
    ASSERT_TRUE(pressOk(dialog));
    EXPECT_EQ(choices_.rounds, test::exportRounds(99, 60.0, 4, 9));
}

TEST_F(Mp4ExportDialogTest, RefusesRoundsOutOfRangeAndTakesNothing) {
    const std::tuple<const char*, QString, std::string> cases[] = {
        {"loops", "0", "1 から 99 までの整数を入力してください。"},
        {"loops", "twice", "整数を入力してください。"},
        {"fade", "61", "0 から 60 までの整数を入力してください。"},
        {"fade", "1.5", "整数を入力してください。"}};
    for (const auto& [name, text, message] : cases) {
        Mp4ExportDialog dialog(nullptr, settings_, choices_, recorder_.hooks());
        child<NumberEdit>(dialog, name)->setText(text);
        std::string warning;
        EXPECT_FALSE(pressOk(dialog, &warning)) << name;
        EXPECT_EQ(warning, message) << name;
        EXPECT_FALSE(choices_.mp4) << name;
    }
}

TEST(UserSettingsExport, TheMp4ChoicesAreKeptInTheirOwnSectionWithinTheirRanges) {
    const test::TempDir dir;
    QSettings store((dir / "settings.ini").c_str(), QSettings::IniFormat);
    UserSettings settings(store);
    ExtraOutputs fresh = settings.mp4Choices();
    EXPECT_TRUE(fresh.mp4);
    EXPECT_EQ(fresh.mp4Options.scale, 2);
    EXPECT_EQ(fresh.mp4Options.crf, 18);

    fresh.mp4Options.scale = 3;
    fresh.mp4Options.crf = 28;
    fresh.mp4Options.pad16x9 = true;
    fresh.stems = true;
    settings.saveMp4Choices(fresh);
    EXPECT_EQ(store.value("EXPORT/scale").toInt(), 3);
    EXPECT_EQ(store.value("EXPORT/crf").toInt(), 28);
    const ExtraOutputs again = UserSettings(store).mp4Choices();
    EXPECT_EQ(again.mp4Options.scale, 3);
    EXPECT_EQ(again.mp4Options.crf, 28);
    EXPECT_TRUE(again.mp4Options.pad16x9);
    EXPECT_TRUE(again.stems);

    store.setValue("EXPORT/scale", 9);
    store.setValue("EXPORT/crf", "best");
    EXPECT_EQ(settings.mp4Choices().mp4Options.scale, 2);
    EXPECT_EQ(settings.mp4Choices().mp4Options.crf, 18);
}

TEST(UserSettingsExport, OnePairOfRoundsServesBothExportsWithinTheirRanges) {
    const test::TempDir dir;
    QSettings store((dir / "settings.ini").c_str(), QSettings::IniFormat);
    UserSettings settings(store);
    EXPECT_EQ(settings.mp4Choices().rounds, ExportRounds{});
    ExtraOutputs choices = settings.mp4Choices();
    choices.rounds = test::exportRounds(99, 60.0, 3);
    settings.saveMp4Choices(choices);
    EXPECT_EQ(UserSettings(store).exportRounds(), test::exportRounds(99, 60.0))
        << "what the MP4 export took, the movie export shows; the columns are never kept";

    // A wrong value gives the default of its own field only.
    const std::tuple<const char*, QVariant, ExportRounds> wrong[] = {
        {"EXPORT/loops", 0, test::exportRounds(1, 5.0)},
        {"EXPORT/loops", "many", test::exportRounds(1, 5.0)},
        {"EXPORT/fade", 61, test::exportRounds(2, 0.0)}};
    for (const auto& [key, value, expected] : wrong) {
        settings.saveExportRounds(test::exportRounds(2, 5.0));
        store.setValue(key, value);
        EXPECT_EQ(settings.mp4Choices().rounds, expected)
            << key << " " << value.toString().toStdString();
    }
}

}  // namespace
}  // namespace lantrel
