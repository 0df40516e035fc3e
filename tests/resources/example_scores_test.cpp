#include <gtest/gtest.h>

#include <filesystem>

#include "model/score.h"

namespace lantrel {
namespace {

// Our example scores are meant to be combined on the lanes of one project: they use the
// staff's thirteen white keys and the fifteen instruments only, hold notes in every score,
// and share one tempo so that whichever is placed first sets the right one.
TEST(ExampleScores, AreWellFormedScoresSharingOneTempo) {
    int scores = 0;
    for (const auto& entry : std::filesystem::directory_iterator(LANTREL_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".vtq") continue;
        ++scores;
        SCOPED_TRACE(entry.path().filename().string());
        Score score;
        ASSERT_TRUE(score.loadFile(entry.path()));
        EXPECT_GE(score.end, 2);
        EXPECT_EQ(score.tempo, 240);
        EXPECT_GT(score.noteCount(), 0);
        for (int column = 0; column < score.columnCount(); ++column) {
            EXPECT_TRUE(score.note(column, 0).pitch >= 0) << "column " << column << " is absent";
            for (int slot = 0; slot < 3; ++slot) {
                const Note note = score.note(column, slot);
                if (!note.holdsNote()) continue;
                EXPECT_LE(note.pitch, 13) << "column " << column;
                EXPECT_GE(note.instrument, 1) << "column " << column;
                EXPECT_LE(note.instrument, 15) << "column " << column;
            }
        }
    }
    EXPECT_GE(scores, 4);
}

}  // namespace
}  // namespace lantrel
