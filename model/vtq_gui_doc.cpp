#include "vtq_gui_doc.h"

#include <algorithm>

#include "base/atomic_file.h"
#include "document_observer.h"
#include "project_file.h"
#include "score.h"
#include "score_file_chooser.h"

namespace lantrel {

namespace {

DocumentFileResult busyResult(const char* action) {
    return {DocumentFileResult::Status::Busy,
            std::string("cannot ") + action + " while a movie export is running"};
}

}  // namespace

CVtqGuiDoc::CVtqGuiDoc(const ApplicationSettings* application)
    : application_(application), project_(application) {}

void CVtqGuiDoc::addObserver(DocumentObserver* observer) {
    observers_.push_back(observer);
}

void CVtqGuiDoc::removeObserver(DocumentObserver* observer) {
    std::erase(observers_, observer);
}

// Called with the project lock released: an observer's reaction may wait for the player's
// worker, which takes that lock while it builds its timeline.
void CVtqGuiDoc::notifyObservers(std::uint32_t hint) {
    for (DocumentObserver* observer : observers_)
        observer->update(hint);
}

int CVtqGuiDoc::PlaceScoreFile(int lane, int column, std::optional<std::string> path) {
    if (busy_ || !isValidLane(lane)) return 0;
    std::string chosen;
    if (path) {
        chosen = *path;
    } else {
        auto answer = chooser_ ? chooser_->chooseScoreFile() : std::nullopt;
        if (!answer) return 0;
        chosen = std::move(*answer);
    }
    Score score;
    if (!score.loadFile(chosen)) return 0;
    return PlaceScore(score, lane, column, std::move(path));
}

int CVtqGuiDoc::PlaceScoreText(std::optional<std::string_view> text, int lane, int column) {
    if (!text || busy_) return 0;
    Score score;
    score.parseText(*text);
    return PlaceScore(score, lane, column, std::nullopt);
}

int CVtqGuiDoc::PlaceScore(const Score& score, int lane, int column,
                           std::optional<std::string> path) {
    if (busy_ || !isValidLane(lane)) return 0;
    {
        std::lock_guard guard(project_.lock());
        const int lengthBefore = project_.columnCount(-1);
        auto record = project_.lane(lane).overwriteScore(score, column);
        if (!record) return 0;
        history_.push(std::move(*record));
        // A project takes tempo and time signature from the first score placed into it, and
        // again whenever the arrangement has become empty.
        if (!settingsAdopted_ || lengthBefore <= 0) {
            project_.adoptScore(path.value_or(""), score);
            adoptedScorePath_ = path.value_or("");
            settingsAdopted_ = true;
        } else if (adoptedScorePath_.empty() && path) {
            project_.outputFromPath(*path);
        }
        modified_ = true;
    }
    notifyObservers(0);
    return score.end - 1;
}

bool CVtqGuiDoc::applyCellEdit(LaneEdit edit, int lane, int column, int count) {
    if (busy_ || !isValidLane(lane)) return false;
    {
        std::lock_guard guard(project_.lock());
        auto record = (project_.lane(lane).*edit)(column, count);
        if (!record) return false;
        history_.push(std::move(*record));
        modified_ = true;
    }
    notifyObservers(0);
    return true;
}

bool CVtqGuiDoc::InsertCells(int lane, int column, int count) {
    return applyCellEdit(&Lane::insertCells, lane, column, count);
}

bool CVtqGuiDoc::DeleteCells(int lane, int column, int count) {
    return applyCellEdit(&Lane::deleteCells, lane, column, count);
}

bool CVtqGuiDoc::ClearCells(int lane, int column, int count) {
    return applyCellEdit(&Lane::clearCells, lane, column, count);
}

// Undo leaves the modified flag alone: undoing back to the saved state needs no save.
void CVtqGuiDoc::undo() {
    if (busy_) return;
    int column = 0;
    {
        std::lock_guard guard(project_.lock());
        if (!history_.undo(column)) return;
    }
    notifyObservers(static_cast<std::uint32_t>(column) | DocumentObserver::kUndoHintFlag);
}

void CVtqGuiDoc::redo() {
    if (busy_) return;
    {
        std::lock_guard guard(project_.lock());
        if (!history_.redo()) return;
        modified_ = true;
    }
    notifyObservers(0);
}

bool CVtqGuiDoc::setSettings(const ProjectSettings& settings) {
    if (busy_) return false;
    project_.setSettings(settings);
    modified_ = true;
    return true;
}

void CVtqGuiDoc::forgetAdoption() {
    settingsAdopted_ = false;
    adoptedScorePath_.clear();
}

bool CVtqGuiDoc::newDocument() {
    if (busy_) return false;
    path_.clear();
    modified_ = false;
    fileVersion_ = kProjectFileVersion;
    forgetAdoption();
    std::lock_guard guard(project_.lock());
    history_.clear();
    project_.reset();
    return true;
}

DocumentFileResult CVtqGuiDoc::save(const std::filesystem::path& path) {
    if (busy_) return busyResult("save");
    DocumentFileResult result = saveCopy(path);
    if (!result.ok()) return result;
    path_ = path;
    modified_ = false;
    return result;
}

DocumentFileResult CVtqGuiDoc::saveCopy(const std::filesystem::path& path) const {
    std::string bytes;
    {
        std::lock_guard guard(project_.lock());
        bytes = writeProjectFile(project_);
    }
    std::string error;
    if (!writeFileAtomically(path, bytes, error))
        return {DocumentFileResult::Status::CannotWrite, error};
    return {};
}

void CVtqGuiDoc::detachFromFile() {
    path_.clear();
    modified_ = true;
}

DocumentFileResult CVtqGuiDoc::open(const std::filesystem::path& path) {
    if (busy_) return busyResult("open a project");
    std::string error;
    const auto bytes = readWholeFile(path, kMaxProjectFileBytes, error);
    if (!bytes) return {DocumentFileResult::Status::CannotRead, error};

    // The fresh project starts from a reset of the open one: the output folder, file name and
    // labels carry over until the file's own values replace them.
    Project fresh(application_);
    {
        std::lock_guard guard(project_.lock());
        fresh.settingsUnlocked() = project_.settingsUnlocked();
    }
    fresh.reset();
    const ProjectReadResult read = readProjectFile(*bytes, fresh);
    if (!read.ok)
        return {DocumentFileResult::Status::Malformed,
                path.string() + " is not a valid project file: " + read.error, read.damage};

    std::lock_guard guard(project_.lock());
    history_.clear();
    project_.takeContentsOf(fresh);
    forgetAdoption();
    settingsAdopted_ = true;
    path_ = path;
    modified_ = false;
    fileVersion_ = read.version;
    return {};
}

}  // namespace lantrel
