#include "recovery_copy.h"

#include <QCoreApplication>

#include <string>
#include <system_error>

#include "base/resource_folder.h"

namespace lantrel {

namespace {

std::filesystem::path defaultFolder() {
    const std::filesystem::path data = userDataHome();
    return data.empty() ? data : data / "Lantrel" / "recovery";
}

}  // namespace

RecoveryCopies::RecoveryCopies(std::filesystem::path folder)
    : folder_(folder.empty() ? defaultFolder() : std::move(folder)) {}

std::filesystem::path RecoveryCopies::placeFor(const std::filesystem::path& project) const {
    if (folder_.empty()) return {};
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error) return {};
    std::string stem = project.stem().string();
    // An untitled project's copy is named as the window's caption names the project.
    if (stem.empty()) stem = QCoreApplication::translate("RecoveryCopies", "無題").toStdString();
    return folder_ / (stem + ".vtm");
}

std::optional<std::filesystem::path> RecoveryCopies::newest() const {
    std::error_code error;
    std::optional<std::filesystem::path> found;
    std::filesystem::file_time_type foundTime;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        if (!entry.is_regular_file(error) || entry.path().extension() != ".vtm") continue;
        const auto time = entry.last_write_time(error);
        if (error) continue;
        if (!found || time > foundTime) found = entry.path(), foundTime = time;
    }
    return found;
}

}  // namespace lantrel
