#include "export_session.h"

#include <system_error>

#include "base/resource_folder.h"
#include "model/post_target.h"
#include "model/vtq_gui_doc.h"

namespace lantrel {

ExportSession::ExportSession(CVtqGuiDoc& document,
                             std::vector<std::filesystem::path> resourceFolders)
    : document_(document),
      folders_(resourceFolders.empty() ? lantrel::resourceFolders() : std::move(resourceFolders)) {}

ExportSession::~ExportSession() {
    if (!running()) return;
    cancel();
    finish();
}

bool ExportSession::start(const ProjectSettings& settings, PostTarget& receiver,
                          const ExtraOutputs& extras) {
    if (running()) return false;
    MovieExportJob job;
    job.project = &document_.project();
    job.settings = settings;
    job.resourceFolders = folders_;
    job.cancel = &cancel_;
    job.target = &receiver;
    job.extras = extras;
    document_.setBusy(true);
    cancel_.reset();
    error_.clear();
    result_ = kExportFailure;
    try {
        worker_ = std::thread([this, job = std::move(job)] { result_ = ExportMovie(job, error_); });
    } catch (const std::system_error&) {
        document_.setBusy(false);
        return false;
    }
    return true;
}

int ExportSession::finish() {
    if (worker_.joinable()) worker_.join();
    document_.setBusy(false);
    return result_;
}

}  // namespace lantrel
