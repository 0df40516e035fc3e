#include "app/dialogs/number_edit.h"

#include <gtest/gtest.h>

#include <climits>

namespace lantrel {
namespace {

TEST(NumberEdit, ReadsIntegersAsTheDialogsDo) {
    EXPECT_EQ(NumberEdit::parseInteger(u"120"), 120);
    EXPECT_EQ(NumberEdit::parseInteger(u" \t+7 "), 7);
    EXPECT_EQ(NumberEdit::parseInteger(u"-3"), -3);
    EXPECT_EQ(NumberEdit::parseInteger(u"99999999999"), INT_MAX);
    EXPECT_EQ(NumberEdit::parseInteger(u"-99999999999"), INT_MIN);
    for (const char16_t* notANumber : {u"", u" ", u"abc", u"12x", u"1 2", u"-", u"１２", u"0x10"})
        EXPECT_EQ(NumberEdit::parseInteger(notANumber), std::nullopt)
            << QString::fromUtf16(notANumber).toStdString();
}

TEST(NumberEdit, ShowsAnyValueButItsUpDownStaysInTheRange) {
    NumberEdit tempo(100, 9999, 50);
    EXPECT_EQ(tempo.text(), "50");
    tempo.stepBy(1);
    EXPECT_EQ(tempo.text(), "101");

    tempo.setText("9998");
    tempo.stepBy(5);
    EXPECT_EQ(tempo.text(), "9999");
    tempo.setText("20000");
    tempo.stepDown();
    EXPECT_EQ(tempo.text(), "9998");
}

TEST(NumberEdit, TypingIsFreeAndTheUpDownStepsFromItsLastPositionOverText) {
    NumberEdit fps(1, 60, 10);
    fps.setText("abc");
    EXPECT_EQ(fps.text(), "abc");
    EXPECT_EQ(fps.number(), std::nullopt);
    fps.stepDown();
    EXPECT_EQ(fps.text(), "9");
    fps.setText("0");
    EXPECT_EQ(fps.number(), 0);
    fps.stepUp();
    EXPECT_EQ(fps.text(), "2");
}

}  // namespace
}  // namespace lantrel
