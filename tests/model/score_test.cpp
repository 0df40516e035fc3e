#include "model/score.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace lantrel {
namespace {

Score parse(std::string_view text) {
    Score score;
    score.parseText(text);
    return score;
}

TEST(ScoreDefaults, AScoreWithoutKeysHasDefaultValuesAndNoColumns) {
    const Score score = parse("nothing here\n");
    EXPECT_EQ(score.tempo, 100);
    EXPECT_TRUE(score.time44);
    EXPECT_FALSE(score.loop);
    EXPECT_EQ(score.end, 1);
    EXPECT_EQ(score.columnCount(), 0);
    EXPECT_EQ(score.note(0, 0), kEmptyNote);
}

TEST(ScoreParsing, ReadsKeysAndCells) {
    const Score score = parse("SCORE=0051\nTEMPO=120\nEND=9\nTIME44=F\n");
    EXPECT_EQ(score.note(0, 0), (Note{1, 5}));
    EXPECT_EQ(score.note(0, 1), kNoNote);
    EXPECT_EQ(score.note(0, 2), kNoNote);
    for (int column = 1; column <= 7; ++column)
        EXPECT_EQ(score.note(column, 0), kEmptyNote);
    EXPECT_EQ(score.end, 9);
    EXPECT_EQ(score.columnCount(), 8);
    EXPECT_EQ(score.tempo, 120);
    EXPECT_FALSE(score.time44);
    EXPECT_EQ(score.noteCount(), 1);
}

TEST(ScoreParsing, CellPrefixTellsTheNumberOfNotes) {
    const Score score = parse(
        "SCORE=000005105123"
        "5123AD\n");
    EXPECT_EQ(score.note(0, 0), kNoNote);  // present cell without notes
    EXPECT_EQ(score.note(1, 0), (Note{1, 5}));
    EXPECT_EQ(score.note(1, 1), kNoNote);
    EXPECT_EQ(score.note(2, 0), (Note{1, 5}));
    EXPECT_EQ(score.note(2, 1), (Note{3, 2}));
    EXPECT_EQ(score.note(2, 2), kNoNote);
    EXPECT_EQ(score.note(3, 0), (Note{1, 5}));
    EXPECT_EQ(score.note(3, 1), (Note{3, 2}));
    EXPECT_EQ(score.note(3, 2), (Note{13, 10}));
    EXPECT_EQ(score.note(4, 0), kEmptyNote);
}

TEST(ScoreParsing, WhitespaceAndCarriageReturnsVanishAndKeylessLinesContinue) {
    const Score spaced = parse("SCORE=00 51\r\nEND=2\r\n");
    EXPECT_EQ(spaced.note(0, 0), (Note{1, 5}));
    EXPECT_EQ(spaced.end, 2);

    const Score wrapped = parse("SCORE=0051\n0061\n\n\nEND=3\n");
    EXPECT_EQ(wrapped.note(0, 0), (Note{1, 5}));
    EXPECT_EQ(wrapped.note(1, 0), (Note{1, 6}));
    EXPECT_EQ(wrapped.end, 3);
}

TEST(ScoreParsing, KeysAreCaseSensitiveAndMustStartTheLine) {
    const Score score = parse("score=0051\nX SCORE=0051\nXEND=5\n");
    EXPECT_EQ(score.note(0, 0), kEmptyNote);
    EXPECT_EQ(score.end, 1);
}

TEST(ScoreParsing, BooleansLookAtTheFirstCharacterOnly) {
    EXPECT_TRUE(parse("LOOP=yes\n").loop);
    EXPECT_TRUE(parse("LOOP=1\n").loop);
    EXPECT_TRUE(parse("LOOP=True\n").loop);
    EXPECT_FALSE(parse("LOOP=N\n").loop);
    EXPECT_FALSE(parse("LOOP=\n").loop);
    EXPECT_FALSE(parse("TIME44=0\n").time44);
}

TEST(ScoreParsing, DecimalsTakeASignAndStopAtTheFirstNonDigit) {
    EXPECT_EQ(parse("TEMPO=-40\n").tempo, -40);
    EXPECT_EQ(parse("TEMPO=+7x9\n").tempo, 7);
    EXPECT_EQ(parse("TEMPO=abc\n").tempo, 0);
    EXPECT_EQ(parse("END=99999999999999\n").end, 2147483647);
    EXPECT_EQ(parse("END=-99999999999999\n").end, -2147483647 - 1);
}

TEST(ScoreParsing, LaterLinesOverrideAndASecondScoreLineOverwritesFromColumnZero) {
    const Score score = parse("TEMPO=90\nSCORE=00510061\nTEMPO=95\nSCORE=0071\nEND=3\n");
    EXPECT_EQ(score.tempo, 95);
    EXPECT_EQ(score.note(0, 0), (Note{1, 7}));
    EXPECT_EQ(score.note(1, 0), (Note{1, 6}));
}

TEST(ScoreParsing, KeepsOnlyTheFirst960Cells) {
    std::string text = "SCORE=";
    for (int i = 0; i < 1000; ++i)
        text += "0051";
    text += "\nEND=1001\n";
    const Score score = parse(text);
    EXPECT_EQ(score.note(959, 0), (Note{1, 5}));
    EXPECT_EQ(score.note(960, 0), kEmptyNote);
    EXPECT_EQ(score.noteCount(), 960);
}

TEST(ScoreParsing, NonHexCharactersAfterThePrefixGiveMinusOne) {
    const Score score = parse("SCORE=0G151\nEND=2\n");
    EXPECT_EQ(score.note(0, 0), (Note{1, -1}));
    EXPECT_EQ(score.note(0, 1), (Note{1, 5}));
    EXPECT_EQ(score.note(0, 2), kNoNote);
    EXPECT_TRUE(score.note(0, 0).isEmpty());  // counts as an absent cell
}

TEST(ScoreParsing, DecodingStopsAtNonHexAndHighBytes) {
    const Score score = parse(
        "SCORE=0051\xA0"
        "0061\nEND=3\n");
    EXPECT_EQ(score.note(0, 0), (Note{1, 5}));
    EXPECT_EQ(score.note(1, 0), kEmptyNote);
}

TEST(ScoreParsing, NeverReadsPastTheEndOfTheText) {
    // The text ends inside a cell: the missing digits read as -1 and decoding stops.
    const Score score = parse(std::string_view("SCORE=05", 8));
    EXPECT_EQ(score.note(0, 0), (Note{-1, 5}));
    EXPECT_EQ(score.note(0, 1), (Note{-1, -1}));
    const Score atNul =
        parse(std::string_view("SCORE=5\0"
                               "123",
                               11));
    EXPECT_EQ(atNul.note(0, 0), (Note{-1, 5}));
}

TEST(ScoreParsing, ALastLineWithoutLineFeedKeepsItsKey) {
    EXPECT_EQ(parse("SCORE=0051\nEND=33").end, 33);
    EXPECT_EQ(parse("END=33").end, 33);
}

TEST(ScoreParsing, ANoteMayConsumeTheLineFeedWithoutLosingTheNextLine) {
    const Score score = parse("SCORE=05\nTEMPO=80\n");
    EXPECT_EQ(score.note(0, 0), (Note{-1, 5}));
    EXPECT_EQ(score.tempo, 80);
}

TEST(ScoreFile, LoadsAFileAndRefusesEmptyOrMissingOnes) {
    test::TempDir dir;
    Score score;
    EXPECT_TRUE(score.loadFile(dir.write("a.vtq", "SCORE=000\nEND=2\n")));
    EXPECT_EQ(score.note(0, 0), kNoNote);
    EXPECT_EQ(score.columnCount(), 1);

    Score empty;
    EXPECT_FALSE(empty.loadFile(dir.write("empty.vtq", "")));
    EXPECT_FALSE(empty.loadFile(dir / "missing.vtq"));
    EXPECT_FALSE(empty.loadFile(dir.path()));
}

TEST(ScoreFile, LoadingResetsEndAndANulByteEndsTheText) {
    test::TempDir dir;
    Score score;
    score.end = 50;
    EXPECT_TRUE(score.loadFile(dir.write("a.vtq", std::string("TEMPO=70\n\0END=9\n", 16))));
    EXPECT_EQ(score.end, 1);
    EXPECT_EQ(score.tempo, 70);
}

}  // namespace
}  // namespace lantrel
