#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "edit_history.h"
#include "project.h"
#include "project_file.h"

namespace lantrel {

class DocumentObserver;
class Score;
class ScoreFileChooser;

// A larger file is not taken for a project: the largest legitimate one holds three full lanes
// (75 MiB of notes) and short texts.
inline constexpr std::uintmax_t kMaxProjectFileBytes = 256u << 20;

// Outcome of saving or opening a project file.
struct DocumentFileResult {
    enum class Status { Ok, Busy, CannotRead, CannotWrite, Malformed };
    Status status = Status::Ok;
    std::string message;  // plain words for the user; empty on success
    ProjectDamage damage = ProjectDamage::None;  // what a Malformed file lacks
    bool ok() const { return status == Status::Ok; }
};

// The one document: the project, its edit history, and every operation through which the
// user changes the arrangement. All operations run on the user-interface thread; every
// change of a lane happens while the project lock is held, so the player and the export
// (which only query) never see a cell half moved. While `busy` (a movie export runs) every
// change (settings too), undo, redo, new document, save and open is refused.
class CVtqGuiDoc {
  public:
    explicit CVtqGuiDoc(const ApplicationSettings* application = nullptr);
    CVtqGuiDoc(const CVtqGuiDoc&) = delete;
    CVtqGuiDoc& operator=(const CVtqGuiDoc&) = delete;

    void setScoreFileChooser(ScoreFileChooser* chooser) { chooser_ = chooser; }
    void addObserver(DocumentObserver* observer);
    void removeObserver(DocumentObserver* observer);

    // Placing scores; each returns the number of columns placed, 0 for nothing.
    // Without a path the score-file chooser is asked, and the chosen file is placed as if it
    // came without a path (it does not name the output).
    int PlaceScoreFile(int lane, int column, std::optional<std::string> path = std::nullopt);
    // Text is missing when null. The paste command appends "\r\n" before calling.
    int PlaceScoreText(std::optional<std::string_view> text, int lane, int column);
    int PlaceScore(const Score& score, int lane, int column, std::optional<std::string> path);

    bool InsertCells(int lane, int column, int count);
    bool DeleteCells(int lane, int column, int count);
    bool ClearCells(int lane, int column, int count);

    void undo();
    void redo();
    bool canUndo() const { return !busy_ && history_.canUndo(); }
    bool canRedo() const { return !busy_ && history_.canRedo(); }

    // Locked queries, safe from any thread.
    int columnCount(int lane) const { return project_.columnCount(lane); }
    int firstColumn(int lane) const { return project_.firstColumn(lane); }
    int pitch(int lane, int column, int slot) const { return project_.pitch(lane, column, slot); }
    int instrument(int lane, int column, int slot) const {
        return project_.instrument(lane, column, slot);
    }
    bool fourFour() const { return project_.fourFour(); }
    ProjectSettings settings() const { return project_.settings(); }
    // Stores the settings a dialog edited and marks the document modified; refused while busy,
    // because the export's frames read the brightness and pitch factors as they go.
    bool setSettings(const ProjectSettings& settings);

    void setBusy(bool busy) { busy_ = busy; }
    bool busy() const { return busy_; }

    // Starts a new, empty project; refused while busy.
    bool newDocument();
    // Saves atomically: the file is written beside the target under a temporary name and
    // renamed over it, so a failed save never destroys the stored project.
    DocumentFileResult save(const std::filesystem::path& path);
    // Writes the project as it stands to `path`, atomically, without making it the document's
    // file or clearing the modified flag; allowed while busy, since it only reads.
    DocumentFileResult saveCopy(const std::filesystem::path& path) const;
    // Reads into a fresh project and takes it over only when the whole file was read, so a
    // malformed file leaves the open project exactly as it was.
    DocumentFileResult open(const std::filesystem::path& path);
    // The version of the file last opened (1 for saved or new projects).
    int fileVersion() const { return fileVersion_; }

    bool isModified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }
    const std::filesystem::path& path() const { return path_; }
    // The project stays as it is but belongs to no file: the next save asks where, and until
    // then it counts as modified. For a project taken from a copy that is not the user's file.
    void detachFromFile();
    bool settingsAdopted() const { return settingsAdopted_; }

    Project& project() { return project_; }
    const Project& project() const { return project_; }

  private:
    using LaneEdit = std::optional<EditRecord> (Lane::*)(int, int);
    bool applyCellEdit(LaneEdit edit, int lane, int column, int count);
    void notifyObservers(std::uint32_t hint);
    void forgetAdoption();

    const ApplicationSettings* application_;
    Project project_;
    EditHistory history_;
    std::vector<DocumentObserver*> observers_;
    ScoreFileChooser* chooser_ = nullptr;
    bool busy_ = false;
    bool settingsAdopted_ = false;
    std::string adoptedScorePath_;
    bool modified_ = false;
    std::filesystem::path path_;
    int fileVersion_ = 1;
};

}  // namespace lantrel
