#include "model/vtq_gui_doc.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <thread>

#include "model/document_observer.h"
#include "model/project_file.h"
#include "model/score.h"
#include "model/score_file_chooser.h"
#include "support/temp_dir.h"

namespace lantrel {
namespace {

class RecordingObserver : public DocumentObserver {
  public:
    void update(std::uint32_t hint) override { hints.push_back(hint); }
    std::vector<std::uint32_t> hints;
};

class FixedChooser : public ScoreFileChooser {
  public:
    std::optional<std::string> chooseScoreFile() override { return answer; }
    std::optional<std::string> answer;
};

class DocumentTest : public ::testing::Test {
  protected:
    DocumentTest() {
        document.addObserver(&observer);
        document.setScoreFileChooser(&chooser);
    }

    std::string writeScore(const std::string& name, int tempo, bool time44, int end = 9) {
        return dir
            .write(name, "SCORE=0051\nTEMPO=" + std::to_string(tempo) + "\nTIME44=" +
                             (time44 ? "T" : "F") + "\nEND=" + std::to_string(end) + "\n")
            .string();
    }

    test::TempDir dir;
    CVtqGuiDoc document;
    RecordingObserver observer;
    FixedChooser chooser;
};

TEST_F(DocumentTest, TheFirstPlacedScoreSetsTempoAndTimeSignatureOnlyOnce) {
    EXPECT_EQ(document.PlaceScoreFile(0, 0, writeScore("a.vtq", 120, false)), 8);
    EXPECT_TRUE(document.isModified());
    EXPECT_EQ(document.settings().tempo, 120);
    EXPECT_FALSE(document.fourFour());
    EXPECT_EQ(observer.hints, std::vector<std::uint32_t>{0});

    EXPECT_EQ(document.PlaceScoreFile(1, 0, writeScore("b.vtq", 150, true)), 8);
    EXPECT_EQ(document.settings().tempo, 120);
    EXPECT_FALSE(document.fourFour());
}

TEST_F(DocumentTest, APlacedPathNamesTheOutputButAChosenFileDoesNot) {
    const std::string path = writeScore("dropped.vtq", 120, true);
    document.PlaceScoreFile(0, 0, path);
    EXPECT_EQ(document.settings().outputFolder, dir.path().string());
    EXPECT_EQ(document.settings().fileName, "dropped");

    CVtqGuiDoc other;
    FixedChooser chosen;
    chosen.answer = path;
    other.setScoreFileChooser(&chosen);
    EXPECT_EQ(other.PlaceScoreFile(0, 0), 8);
    EXPECT_EQ(other.settings().outputFolder, "");
    EXPECT_EQ(other.settings().fileName, "");
    // Without an adopted path, each later placement with a path names the output.
    other.PlaceScoreFile(1, 0, path);
    EXPECT_EQ(other.settings().fileName, "dropped");
}

TEST_F(DocumentTest, ACancelledChooserOrAnUnusableScorePlacesNothing) {
    EXPECT_EQ(document.PlaceScoreFile(0, 0), 0);
    EXPECT_EQ(document.PlaceScoreFile(0, 0, dir.write("empty.vtq", "").string()), 0);
    EXPECT_EQ(document.PlaceScoreFile(0, 0, writeScore("noend.vtq", 120, true, 1)), 0);
    EXPECT_EQ(document.PlaceScoreFile(3, 0, writeScore("a.vtq", 120, true)), 0);
    EXPECT_EQ(document.PlaceScoreText(std::nullopt, 0, 0), 0);
    EXPECT_FALSE(document.isModified());
    EXPECT_TRUE(observer.hints.empty());
    EXPECT_FALSE(document.canUndo());
}

TEST_F(DocumentTest, AnEmptiedArrangementAdoptsTheNextScoresTempo) {
    document.PlaceScoreFile(0, 0, writeScore("a.vtq", 120, true));
    ASSERT_TRUE(document.DeleteCells(0, 0, document.columnCount(0)));
    EXPECT_EQ(document.columnCount(-1), 0);
    document.PlaceScoreFile(0, 0, writeScore("b.vtq", 90, false));
    EXPECT_EQ(document.settings().tempo, 90);
    EXPECT_FALSE(document.fourFour());
}

TEST_F(DocumentTest, PastedTextPlacesWithoutAPath) {
    EXPECT_EQ(document.PlaceScoreText("SCORE=00510061\r\nTEMPO=140\r\nEND=3\r\n", 2, 5), 2);
    EXPECT_EQ(document.pitch(2, 6, 0), 6);
    EXPECT_EQ(document.settings().tempo, 140);
    EXPECT_EQ(document.settings().fileName, "");
}

TEST_F(DocumentTest, NewDocumentKeepsTheOutputNameUntilAPathReplacesIt) {
    document.PlaceScoreFile(0, 0, writeScore("first.vtq", 120, true));
    ASSERT_TRUE(document.newDocument());
    EXPECT_EQ(document.settings().fileName, "first");
    EXPECT_EQ(document.settings().tempo, 100);
    EXPECT_EQ(document.columnCount(-1), 0);
    EXPECT_FALSE(document.canUndo());
    EXPECT_FALSE(document.isModified());
    document.PlaceScoreFile(0, 0, writeScore("second.vtq", 120, true));
    EXPECT_EQ(document.settings().fileName, "second");
}

TEST_F(DocumentTest, UndoLeavesTheModifiedFlagAndRedoSetsIt) {
    document.PlaceScoreFile(0, 37, writeScore("a.vtq", 120, true));
    ASSERT_TRUE(document.save(dir / "p.vtm").ok());
    EXPECT_FALSE(document.isModified());
    observer.hints.clear();
    ASSERT_TRUE(document.canUndo());
    document.undo();
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(observer.hints, std::vector<std::uint32_t>{37u | 0x80000000u});
    EXPECT_EQ(document.columnCount(0), 0);
    document.redo();
    EXPECT_TRUE(document.isModified());
    EXPECT_EQ(document.pitch(0, 37, 0), 5);
}

TEST_F(DocumentTest, WhileBusyNothingChanges) {
    document.PlaceScoreFile(0, 0, writeScore("a.vtq", 120, true));
    document.setModified(false);
    document.setBusy(true);
    EXPECT_FALSE(document.DeleteCells(0, 0, 1));
    EXPECT_FALSE(document.InsertCells(0, 0, 1));
    EXPECT_FALSE(document.ClearCells(0, 0, 1));
    EXPECT_EQ(document.PlaceScoreFile(0, 0, writeScore("b.vtq", 120, true)), 0);
    EXPECT_EQ(document.PlaceScoreText("SCORE=0051\nEND=2\n", 0, 0), 0);
    EXPECT_FALSE(document.canUndo());
    document.undo();
    EXPECT_EQ(document.columnCount(0), 1);
    EXPECT_FALSE(document.newDocument());
    EXPECT_EQ(document.save(dir / "p.vtm").status, DocumentFileResult::Status::Busy);
    EXPECT_FALSE(std::filesystem::exists(dir / "p.vtm"));
    EXPECT_EQ(document.open(dir / "p.vtm").status, DocumentFileResult::Status::Busy);
    ProjectSettings settings = document.settings();
    settings.brightness = 10;
    EXPECT_FALSE(document.setSettings(settings));
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(document.settings().tempo, 120) << "queries still work";
    EXPECT_EQ(document.settings().brightness, 255);
}

// The window's reaction to a change stops the player, whose worker needs the project lock; so
// the document must have let the lock go before it tells anyone.
TEST_F(DocumentTest, ObserversAreToldWithTheProjectLockReleased) {
    class LockProbe : public DocumentObserver {
      public:
        explicit LockProbe(const Project& project) : project_(project) {}
        void update(std::uint32_t) override {
            std::thread([this] {
                if (project_.lock().try_lock()) {
                    project_.lock().unlock();
                    ++free;
                }
            }).join();
            ++calls;
        }
        int calls = 0;
        int free = 0;

      private:
        const Project& project_;
    } probe(document.project());
    document.addObserver(&probe);
    document.PlaceScoreFile(0, 0, writeScore("a.vtq", 120, true, 5));
    document.InsertCells(0, 1, 2);
    document.DeleteCells(0, 0, 1);
    document.ClearCells(0, 0, 2);
    document.undo();
    document.redo();
    EXPECT_EQ(probe.calls, 6);
    EXPECT_EQ(probe.free, 6);
}

TEST_F(DocumentTest, CellEditsWithABadLaneRecordNothing) {
    EXPECT_FALSE(document.InsertCells(3, 0, 1));
    EXPECT_FALSE(document.DeleteCells(-1, 0, 1));
    EXPECT_FALSE(document.canUndo());
    EXPECT_FALSE(document.isModified());
}

TEST_F(DocumentTest, OpeningKeepsTheFilesTempoUntilTheArrangementIsEmpty) {
    document.PlaceScoreFile(0, 0, writeScore("a.vtq", 120, true));
    ASSERT_TRUE(document.save(dir / "full.vtm").ok());
    ASSERT_TRUE(document.newDocument());
    ASSERT_TRUE(document.save(dir / "empty.vtm").ok());

    ASSERT_TRUE(document.open(dir / "full.vtm").ok());
    EXPECT_TRUE(document.settingsAdopted());
    document.PlaceScoreFile(1, 0, writeScore("b.vtq", 160, true));
    EXPECT_EQ(document.settings().tempo, 120);

    ASSERT_TRUE(document.open(dir / "empty.vtm").ok());
    document.PlaceScoreFile(1, 0, writeScore("c.vtq", 170, true));
    EXPECT_EQ(document.settings().tempo, 170);
}

TEST_F(DocumentTest, AMalformedFileLeavesTheOpenProjectAsItWas) {
    document.PlaceScoreFile(0, 3, writeScore("a.vtq", 120, true));
    const std::string good = writeProjectFile(document.project());
    const auto truncated = dir.write("bad.vtm", good.substr(0, good.size() - 5));
    const DocumentFileResult result = document.open(truncated);
    EXPECT_EQ(result.status, DocumentFileResult::Status::Malformed);
    EXPECT_NE(result.message.find("truncated"), std::string::npos) << result.message;
    EXPECT_EQ(writeProjectFile(document.project()), good);
    EXPECT_TRUE(document.canUndo()) << "the history survives a failed open";
    EXPECT_EQ(document.open(dir / "missing.vtm").status, DocumentFileResult::Status::CannotRead);
}

TEST_F(DocumentTest, SaveReplacesTheFileAtomicallyAndFailuresKeepTheOldOne) {
    const auto target = dir / "song.vtm";
    document.PlaceScoreFile(0, 0, writeScore("a.vtq", 120, true));
    ASSERT_TRUE(document.save(target).ok());
    const std::string first = test::TempDir::read(target);
    document.PlaceScoreFile(1, 0, writeScore("b.vtq", 120, true));
    ASSERT_TRUE(document.save(target).ok());
    EXPECT_NE(test::TempDir::read(target), first);
    EXPECT_EQ(document.path(), target);

    const DocumentFileResult failed = document.save(dir / "no" / "such" / "folder.vtm");
    EXPECT_EQ(failed.status, DocumentFileResult::Status::CannotWrite);
    EXPECT_FALSE(failed.message.empty());
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(".song.vtm")) << "temporary left";
        ++files;
    }
    EXPECT_EQ(files, 3u);  // a.vtq, b.vtq, song.vtm
}

TEST_F(DocumentTest, AReadOnlyFolderMakesSaveFailWithoutTouchingTheFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    const auto target = dir / "kept.vtm";
    ASSERT_TRUE(document.save(target).ok());
    const std::string before = test::TempDir::read(target);
    ::chmod(dir.path().c_str(), 0555);
    document.PlaceScoreFile(0, 0, writeScore("a.vtq", 120, true));
    EXPECT_FALSE(document.save(target).ok());
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(test::TempDir::read(target), before);
}

TEST_F(DocumentTest, QueriesFromAnotherThreadSeeWholeEditsOnly) {
    std::atomic<bool> done = false;
    std::thread reader([&] {
        while (!done) {
            std::lock_guard guard(document.project().lock());
            // Mid-shift a moved cell would exist twice; a whole edit always leaves five.
            int present = 0;
            for (int column = 0; column < document.columnCount(0); ++column)
                if (document.pitch(0, column, 0) != -1) ++present;
            ASSERT_TRUE(present == 0 || present == 5) << present;
        }
    });
    document.PlaceScoreText("SCORE=00510051005100510051\nEND=6\n", 0, 0);
    for (int i = 0; i < 200; ++i) {
        document.InsertCells(0, 2, 1);
        document.DeleteCells(0, 2, 1);
    }
    done = true;
    reader.join();
}

}  // namespace
}  // namespace lantrel
