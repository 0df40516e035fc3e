#include "model/lane.h"

#include <gtest/gtest.h>

#include <string>

#include "model/score.h"

namespace lantrel {
namespace {

constexpr Note kPiano{1, 5};

// A lane whose columns first..last each hold one note.
Lane laneWithCells(int first, int last) {
    Lane lane;
    for (int column = first; column <= last; ++column) {
        lane.putNote(column, 0, Note{column % 15 + 1, 5});
        lane.putNote(column, 1, kNoNote);
        lane.putNote(column, 2, kNoNote);
    }
    return lane;
}

Score scoreFrom(const std::string& text) {
    Score score;
    score.parseText(text);
    return score;
}

TEST(LaneQueries, ANewLaneIsEmpty) {
    const Lane lane;
    EXPECT_EQ(lane.columnCount(), 0);
    EXPECT_EQ(lane.firstUsedColumn(), Lane::kEmptyFirst);
    EXPECT_EQ(lane.lastUsedColumn(), -1);
    EXPECT_EQ(lane.note(123, 2), kEmptyNote);
    EXPECT_EQ(lane.blockCount(), 0);
}

TEST(LaneStorage, GrowsByWholeBlocksOnWritesOnly) {
    Lane lane;
    lane.putNote(960, 0, kPiano);
    EXPECT_EQ(lane.blockCount(), 2);
    EXPECT_EQ(lane.note(5000, 0), kEmptyNote);
    EXPECT_EQ(lane.blockCount(), 2) << "a read past the end must not allocate";
    lane.putNote(9000, 0, kEmptyNote);
    EXPECT_EQ(lane.blockCount(), 2) << "writing an empty note past the end must not allocate";
    lane.putNote(kMaxColumns, 0, kPiano);
    EXPECT_EQ(lane.note(kMaxColumns, 0), kEmptyNote) << "columns past the cap are ignored";
    EXPECT_EQ(lane.lastUsedColumn(), 960);
    lane.putNote(100 * 960, 0, kPiano);
    EXPECT_EQ(lane.allocatedBlockCount(), 2) << "only blocks 1 and 100 hold notes";
    EXPECT_EQ(lane.note(50 * 960, 0), kEmptyNote);
}

TEST(LaneOverwrite, CopiesTheScoreIncludingItsEmptyColumns) {
    Lane lane;
    const Score score = scoreFrom("SCORE=000051000\nEND=9\n");  // cells at 0..2, 3..7 empty
    const auto record = lane.overwriteScore(score, 4);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->kind, EditRecord::Kind::Overwrite);
    EXPECT_EQ(record->column, 4);
    EXPECT_EQ(record->count, 8);
    EXPECT_EQ(record->newNotes.size(), 24u);
    EXPECT_EQ(record->oldNotes, std::vector<Note>(24, kEmptyNote));
    EXPECT_EQ(lane.firstUsedColumn(), 4);
    EXPECT_EQ(lane.lastUsedColumn(), 6);
    EXPECT_EQ(lane.columnCount(), 7);
    EXPECT_EQ(lane.note(5, 0), kPiano);
}

TEST(LaneOverwrite, EmptyScoreColumnsEraseCellsButNeverNarrowTheBounds) {
    Lane lane = laneWithCells(0, 9);
    const auto record = lane.overwriteScore(scoreFrom("SCORE=0051\nEND=6\n"), 5);
    ASSERT_TRUE(record);
    EXPECT_TRUE(lane.isPresent(5));
    for (int column = 6; column <= 9; ++column)
        EXPECT_FALSE(lane.isPresent(column));
    EXPECT_EQ(lane.lastUsedColumn(), 9) << "trailing empty cells still count";
}

TEST(LaneOverwrite, RefusesScoresWithoutColumnsOrPastTheCap) {
    Lane lane;
    EXPECT_FALSE(lane.overwriteScore(scoreFrom("SCORE=0051\n"), 0));
    EXPECT_FALSE(lane.overwriteScore(scoreFrom("SCORE=0051\nEND=3\n"), kMaxColumns - 1));
    EXPECT_FALSE(lane.overwriteScore(scoreFrom("SCORE=0051\nEND=3\n"), -1));
    EXPECT_FALSE(lane.overwriteScore(scoreFrom("SCORE=0051\nEND=2000000000\n"), 0));
    EXPECT_TRUE(lane.overwriteScore(scoreFrom("SCORE=0051\nEND=3\n"), kMaxColumns - 2));
    EXPECT_EQ(lane.lastUsedColumn(), kMaxColumns - 2);
}

TEST(LaneCellEdits, InsertShiftsLaterCellsRight) {
    Lane lane = laneWithCells(0, 9);
    const Note wasAt3 = lane.note(3, 0);
    const auto record = lane.insertCells(3, 1);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->newNotes, std::vector<Note>(3, kEmptyNote));
    EXPECT_FALSE(lane.isPresent(3));
    EXPECT_EQ(lane.note(4, 0), wasAt3);
    EXPECT_EQ(lane.columnCount(), 11);
}

TEST(LaneCellEdits, DeleteShiftsLeftAndRecomputesBothBounds) {
    Lane lane = laneWithCells(10, 20);
    const Note wasAt10 = lane.note(10, 0);
    ASSERT_TRUE(lane.deleteCells(0, 1));
    EXPECT_EQ(lane.note(9, 0), wasAt10);
    EXPECT_EQ(lane.firstUsedColumn(), 9);
    EXPECT_EQ(lane.lastUsedColumn(), 19);
    EXPECT_FALSE(lane.isPresent(20));
}

TEST(LaneCellEdits, ClearEmptiesWithoutShifting) {
    Lane partly = laneWithCells(5, 20);
    ASSERT_TRUE(partly.clearCells(0, 10));
    EXPECT_EQ(partly.firstUsedColumn(), 10);
    EXPECT_EQ(partly.lastUsedColumn(), 20);
    EXPECT_TRUE(partly.isPresent(10));

    Lane wholly = laneWithCells(5, 20);
    ASSERT_TRUE(wholly.clearCells(0, 30));
    EXPECT_EQ(wholly.firstUsedColumn(), Lane::kEmptyFirst);
    EXPECT_EQ(wholly.lastUsedColumn(), -1);

    Lane tail = laneWithCells(5, 20);
    ASSERT_TRUE(tail.clearCells(15, 10));
    EXPECT_EQ(tail.firstUsedColumn(), 5);
    EXPECT_EQ(tail.lastUsedColumn(), 14);
}

TEST(LaneCellEdits, ZeroCountEditsChangeNothing) {
    Lane lane = laneWithCells(0, 9);
    for (auto edit : {&Lane::insertCells, &Lane::deleteCells, &Lane::clearCells}) {
        ASSERT_TRUE((lane.*edit)(4, 0));
        EXPECT_EQ(lane.lastUsedColumn(), 9);
        for (int column = 0; column <= 9; ++column)
            EXPECT_TRUE(lane.isPresent(column)) << column;
    }
}

TEST(LaneCellEdits, EditsBeyondTheLastColumnChangeNothingButStillRecord) {
    Lane lane = laneWithCells(0, 4);
    for (auto edit : {&Lane::insertCells, &Lane::deleteCells, &Lane::clearCells}) {
        const auto record = (lane.*edit)(10, 3);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->savedFirst, 0);
        EXPECT_EQ(record->savedLast, 4);
        EXPECT_EQ(lane.firstUsedColumn(), 0);
        EXPECT_EQ(lane.lastUsedColumn(), 4);
    }
    EXPECT_EQ(lane.blockCount(), 1);
}

TEST(LaneCellEdits, RefusesNegativeArgumentsAndGrowthPastTheCap) {
    Lane lane = laneWithCells(0, 4);
    EXPECT_FALSE(lane.insertCells(-1, 1));
    EXPECT_FALSE(lane.deleteCells(0, -1));
    EXPECT_FALSE(lane.clearCells(kMaxColumns, 1));
    EXPECT_FALSE(lane.insertCells(0, kMaxColumns - 4)) << "would push column 4 past the cap";
    EXPECT_TRUE(lane.insertCells(0, kMaxColumns - 5));
    EXPECT_EQ(lane.lastUsedColumn(), kMaxColumns - 1);
    // A huge delete is bounded by the cap, so it cannot demand unbounded memory either.
    EXPECT_FALSE(lane.deleteCells(1, 2'000'000'000));
}

TEST(LaneCellEdits, ClearingAroundWideBoundsCanLeaveOnlyTheFirstBound) {
    // An overwrite with an empty first column leaves firstUsedColumn below the present cells;
    // clearing the tail then empties the lane but keeps that first bound, as stored files show.
    Lane lane = laneWithCells(2, 10);
    ASSERT_TRUE(lane.overwriteScore(scoreFrom("SCORE=\nEND=5\n"), 2));  // 2..5 emptied
    ASSERT_TRUE(lane.clearCells(5, 10));
    EXPECT_EQ(lane.columnCount(), 0);
    EXPECT_EQ(lane.firstUsedColumn(), 2);
    EXPECT_EQ(lane.lastUsedColumn(), -1);
}

}  // namespace
}  // namespace lantrel
