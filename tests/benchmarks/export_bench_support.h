#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/resource_folder.h"
#include "model/post_target.h"
#include "model/project.h"
#include "video/movie_export.h"

// What the AVI and the MP4 export benchmarks share: the song, the job and the peak memory of
// an export run in a child process (so that one run's heap does not count in the next).
namespace lantrel::bench {

// Two notes a column on every lane for `minutes` at tempo 120.
inline void arrange(Project& project, int minutes) {
    for (int lane = 0; lane < 3; ++lane)
        for (int column = 0; column < minutes * 120; ++column)
            for (int slot = 0; slot < 2; ++slot)
                project.lane(lane).putNote(
                    column, slot, Note{1 + (column + lane) % 15, 1 + (column * 3 + slot * 5) % 13});
}

// The usual resource folders, then the one the build wrote.
inline std::vector<std::filesystem::path> exportFolders() {
    auto folders = resourceFolders();
    folders.emplace_back(LANTREL_RSRC_DIR);
    return folders;
}

// The export of `project` at tempo 120 into `folder` as NAME, without the minimum duration
// the window's progress box keeps.
inline MovieExportJob exportJob(const Project& project, const std::filesystem::path& folder,
                                const std::string& name) {
    MovieExportJob job;
    job.project = &project;
    job.settings = project.settings();
    job.settings.tempo = 120;
    job.settings.outputFolder = folder.string();
    job.settings.fileName = name;
    job.resourceFolders = exportFolders();
    job.minimumDuration = std::chrono::milliseconds(0);
    return job;
}

// The middle of a few timings: single runs on a shared virtual machine scatter widely.
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct ChildRun {
    bool succeeded = false;
    double peakMegabytes = 0;
};

// Runs `exportSong` (a song of `minutes`, exported; true on success) in a child process.
inline ChildRun runInChild(int minutes, const std::function<bool(const Project&)>& exportSong) {
    const pid_t child = ::fork();
    if (child == 0) {
        Project project;
        arrange(project, minutes);
        ::_exit(exportSong(project) ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    return {WIFEXITED(status) && WEXITSTATUS(status) == 0,
            static_cast<double>(usage.ru_maxrss) / 1024.0};
}

}  // namespace lantrel::bench
