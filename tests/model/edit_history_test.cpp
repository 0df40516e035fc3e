#include "model/edit_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <random>
#include <string>

#include "model/lane.h"
#include "model/score.h"

namespace lantrel {
namespace {

Score scoreWithCells(int cells) {
    std::string text = "SCORE=";
    for (int i = 0; i < cells; ++i)
        text += "0051";
    Score score;
    score.parseText(text + "\nEND=" + std::to_string(cells + 1) + "\n");
    return score;
}

Lane laneWithCells(int first, int last) {
    Lane lane;
    for (int column = first; column <= last; ++column)
        lane.putNote(column, 0, Note{column % 15 + 1, 3});
    return lane;
}

TEST(EditHistoryStack, ANewEditDropsTheUndoneRecords) {
    Lane lane;
    EditHistory history;
    for (int i = 0; i < 3; ++i)
        history.push(*lane.overwriteScore(scoreWithCells(2), i * 10));
    int column = -1;
    ASSERT_TRUE(history.undo(column));
    EXPECT_EQ(column, 20);
    ASSERT_TRUE(history.undo(column));
    EXPECT_EQ(column, 10);
    history.push(*lane.overwriteScore(scoreWithCells(2), 40));
    EXPECT_EQ(history.size(), 2);
    EXPECT_FALSE(history.canRedo());
    ASSERT_TRUE(history.undo(column));
    EXPECT_EQ(column, 40);
    ASSERT_TRUE(history.undo(column));
    EXPECT_EQ(column, 0);
    EXPECT_FALSE(history.canUndo());
    EXPECT_EQ(lane.columnCount(), 0);
}

TEST(EditHistoryStack, UndoAndRedoOnAnEmptyHistoryDoNothing) {
    EditHistory history;
    int column = 77;
    EXPECT_FALSE(history.undo(column));
    EXPECT_EQ(column, 77);
    EXPECT_FALSE(history.redo());

    Lane lane;
    history.push(*lane.insertCells(0, 1));
    EXPECT_FALSE(history.redo()) << "nothing follows the current record";
    history.clear();
    EXPECT_FALSE(history.canUndo());
}

TEST(EditHistoryTakeBack, UndoOfDeleteShiftsRightAndWritesTheSavedCellsBack) {
    Lane lane = laneWithCells(0, 12);
    const Lane before = lane;
    EditHistory history;
    history.push(*lane.deleteCells(2, 5));
    EXPECT_EQ(lane.lastUsedColumn(), 7);
    int column = 0;
    ASSERT_TRUE(history.undo(column));
    for (int c = 0; c <= 12; ++c)
        EXPECT_EQ(lane.note(c, 0), before.note(c, 0)) << c;
    EXPECT_EQ(lane.lastUsedColumn(), 12);
}

TEST(EditHistoryTakeBack, UndoOfInsertRestoresTheBounds) {
    Lane lane = laneWithCells(3, 6);
    EditHistory history;
    history.push(*lane.insertCells(0, 8));
    // The inserted empty cells do not narrow the bounds: 3 stays the first bound.
    EXPECT_EQ(lane.firstUsedColumn(), 3);
    EXPECT_EQ(lane.lastUsedColumn(), 14);
    EXPECT_FALSE(lane.isPresent(3));
    int column = 0;
    ASSERT_TRUE(history.undo(column));
    EXPECT_EQ(lane.firstUsedColumn(), 3);
    EXPECT_EQ(lane.lastUsedColumn(), 6);
    EXPECT_TRUE(lane.isPresent(3));
    EXPECT_FALSE(lane.isPresent(11));
}

TEST(EditHistoryTakeBack, RedoOfClearRecomputesTheBoundsAgain) {
    Lane lane = laneWithCells(5, 20);
    EditHistory history;
    history.push(*lane.clearCells(0, 10));
    int column = 0;
    ASSERT_TRUE(history.undo(column));
    EXPECT_EQ(lane.firstUsedColumn(), 5);
    ASSERT_TRUE(history.redo());
    EXPECT_EQ(lane.firstUsedColumn(), 10);
    EXPECT_EQ(lane.lastUsedColumn(), 20);
    EXPECT_FALSE(lane.isPresent(5));
}

// A deliberately plain model of a lane: whole cells in a vector, edits as vector operations,
// bounds by the documented rules. Random edit sequences must agree with it, and undo and
// redo must land exactly on the states it went through.
class ReferenceLane {
  public:
    using Cell = std::array<Note, kSlotsPerCell>;
    static constexpr Cell kAbsent{kEmptyNote, kEmptyNote, kEmptyNote};

    Cell cell(int column) const {
        return column < static_cast<int>(cells_.size()) ? cells_[static_cast<std::size_t>(column)]
                                                        : kAbsent;
    }
    int first() const { return first_; }
    int last() const { return last_; }

    void overwrite(const Score& score, int column) {
        for (int k = 0; k < score.end - 1; ++k)
            write(column + k, {score.note(k, 0), score.note(k, 1), score.note(k, 2)});
    }
    void insert(int column, int count) {
        if (last_ < column) return;
        grow(last_ + 1);
        cells_.insert(cells_.begin() + column, static_cast<std::size_t>(count), kAbsent);
        for (int c = column + count; c <= last_ + count; ++c)
            extendBounds(c);
    }
    void erase(int column, int count) {
        if (last_ < column || count == 0) return;
        grow(column + count);
        cells_.erase(cells_.begin() + column, cells_.begin() + column + count);
        for (int c = column; c <= last_; ++c)
            extendBounds(c);
        last_ = std::max(last_ - count, column - 1);
        recomputeLast();
        recomputeFirst();
    }
    void clear(int column, int count) {
        if (last_ < column) return;
        for (int c = column; c < column + count; ++c)
            if (c < static_cast<int>(cells_.size())) cells_[static_cast<std::size_t>(c)] = kAbsent;
        if (column <= last_ && last_ < column + count) {
            last_ = column - 1;
            recomputeLast();
        }
        if (column <= first_ && first_ < column + count) {
            first_ = column + count;
            recomputeFirst();
        }
    }

  private:
    bool present(int column) const { return !cell(column)[0].isEmpty(); }
    void grow(int columns) {
        if (static_cast<int>(cells_.size()) < columns)
            cells_.resize(static_cast<std::size_t>(columns), kAbsent);
    }
    void write(int column, const Cell& value) {
        grow(column + 1);
        cells_[static_cast<std::size_t>(column)] = value;
        extendBounds(column);
    }
    void extendBounds(int column) {
        const Cell value = cell(column);
        if (std::any_of(value.begin(), value.end(), [](Note n) { return !n.isEmpty(); })) {
            first_ = std::min(first_, column);
            last_ = std::max(last_, column);
        }
    }
    void recomputeLast() {
        int c = last_;
        while (c >= 0 && c >= first_ && !present(c))
            --c;
        last_ = c < first_ ? -1 : c;
    }
    void recomputeFirst() {
        int c = first_;
        while (c <= last_ && !present(c))
            ++c;
        first_ = c > last_ ? INT_MAX : c;
    }

    std::vector<Cell> cells_;
    int first_ = INT_MAX;
    int last_ = -1;
};

using ReferenceState = std::array<ReferenceLane, kLaneCount>;
constexpr int kCheckedColumns = 160;

void expectSame(const std::array<Lane, kLaneCount>& lanes, const ReferenceState& reference,
                const std::string& step) {
    for (int index = 0; index < kLaneCount; ++index) {
        const Lane& lane = lanes[static_cast<std::size_t>(index)];
        const ReferenceLane& expected = reference[static_cast<std::size_t>(index)];
        ASSERT_EQ(lane.firstUsedColumn(), expected.first()) << step << " lane " << index;
        ASSERT_EQ(lane.lastUsedColumn(), expected.last()) << step << " lane " << index;
        for (int column = 0; column < kCheckedColumns; ++column)
            for (int slot = 0; slot < kSlotsPerCell; ++slot)
                ASSERT_EQ(lane.note(column, slot),
                          expected.cell(column)[static_cast<std::size_t>(slot)])
                    << step << " lane " << index << " column " << column << " slot " << slot;
    }
}

Score randomScore(std::mt19937& random) {
    static const char* const kCells[] = {"000", "0051", "0032", "05123", "5123AD", "00D1"};
    const int columns = std::uniform_int_distribution(1, 12)(random);
    std::string text = "SCORE=";
    for (int c = 0; c < columns; ++c)
        text += kCells[std::uniform_int_distribution(0, 5)(random)];
    // END may be shorter or longer than the data: longer means trailing empty columns.
    const int end = std::uniform_int_distribution(2, columns + 5)(random);
    Score score;
    score.parseText(text + "\nEND=" + std::to_string(end) + "\n");
    return score;
}

TEST(EditHistoryRandom, LongEditSequencesMatchAReferenceModelThroughUndoAndRedo) {
    std::mt19937 random(20261208);
    for (int run = 0; run < 20; ++run) {
        std::array<Lane, kLaneCount> lanes;
        EditHistory history;
        std::vector<ReferenceState> states(1);
        std::size_t current = 0;
        for (int step = 0; step < 150; ++step) {
            const std::string name = "run " + std::to_string(run) + " step " + std::to_string(step);
            const int action = std::uniform_int_distribution(0, 9)(random);
            if (action <= 1) {
                int column = 0;
                EXPECT_EQ(history.undo(column), current > 0);
                if (current > 0) --current;
            } else if (action == 2) {
                EXPECT_EQ(history.redo(), current + 1 < states.size());
                if (current + 1 < states.size()) ++current;
            } else {
                const int index = std::uniform_int_distribution(0, kLaneCount - 1)(random);
                const int column = std::uniform_int_distribution(0, 40)(random);
                const int count = std::uniform_int_distribution(0, 10)(random);
                Lane& lane = lanes[static_cast<std::size_t>(index)];
                ReferenceState next = states[current];
                ReferenceLane& expected = next[static_cast<std::size_t>(index)];
                std::optional<EditRecord> record;
                if (action <= 5) {
                    const Score score = randomScore(random);
                    record = lane.overwriteScore(score, column);
                    expected.overwrite(score, column);
                } else if (action == 6) {
                    record = lane.insertCells(column, count);
                    expected.insert(column, count);
                } else if (action == 7) {
                    record = lane.deleteCells(column, count);
                    expected.erase(column, count);
                } else {
                    record = lane.clearCells(column, count);
                    expected.clear(column, count);
                }
                ASSERT_TRUE(record) << name;
                history.push(std::move(*record));
                states.resize(current + 1);
                states.push_back(next);
                ++current;
            }
            expectSame(lanes, states[current], name);
            if (HasFatalFailure()) return;
        }
    }
}

}  // namespace
}  // namespace lantrel
