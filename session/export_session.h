#pragma once

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "model/auto_reset_event.h"
#include "model/project_settings.h"
#include "video/movie_export.h"

namespace lantrel {

class CVtqGuiDoc;
class PostTarget;

// A movie export run as the window and the export verb drive it: the document is busy (every
// edit refused) from start() until finish(), the cancel event is reset for each run, and the
// worker thread posts its progress and, last, kMessageExportEnded to the receiver. The receiver
// calls finish() when that message arrives. Belongs to one controlling thread.
class ExportSession {
  public:
    // Sprites and missing sounds come from `resourceFolders` (empty: the program's folders).
    explicit ExportSession(CVtqGuiDoc& document,
                           std::vector<std::filesystem::path> resourceFolders = {});
    // A run still going is cancelled and awaited, as when the window closes during an export.
    ~ExportSession();
    ExportSession(const ExportSession&) = delete;
    ExportSession& operator=(const ExportSession&) = delete;

    // Starts a run on a snapshot of `settings`, writing `extras` too (the MP4 in place of the
    // AVI and WAV, stems, FLAC). False when a run is still going or the worker thread cannot
    // be created (the document is then not left busy).
    bool start(const ProjectSettings& settings, PostTarget& receiver,
               const ExtraOutputs& extras = {});
    // Asks the run to stop; it ends at its next poll of the cancel event.
    void cancel() { cancel_.set(); }
    bool running() const { return worker_.joinable(); }
    // Waits for the worker, clears the busy state and gives the run's result (kExportSuccess,
    // kExportFailure or kExportCancelled); error() then says why a run failed.
    int finish();
    const std::string& error() const { return error_; }

  private:
    CVtqGuiDoc& document_;
    std::vector<std::filesystem::path> folders_;
    AutoResetEvent cancel_;
    std::thread worker_;
    int result_ = 0;
    std::string error_;
};

}  // namespace lantrel
