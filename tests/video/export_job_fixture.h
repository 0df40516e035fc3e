#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "model/auto_reset_event.h"
#include "model/project.h"
#include "support/recording_target.h"
#include "support/temp_dir.h"
#include "video/movie_export.h"

namespace lantrel::test {

// An export run of `project` into a folder of the test's own as "song", recording what it
// posts, with no minimum duration; the test arranges the song and sets the rest.
class ExportJobFixture : public ::testing::Test {
  protected:
    ExportJobFixture() {
        job.project = &project;
        job.cancel = &cancel;
        job.target = &target;
        job.minimumDuration = std::chrono::milliseconds(0);
        job.settings.outputFolder = out.path().string();
        job.settings.fileName = "song";
    }
    int run() {
        target.clear();
        return ExportMovie(job, error);
    }
    std::vector<std::string> filesLeft() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(out.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir out;
    Project project;
    AutoResetEvent cancel;
    RecordingTarget target;
    MovieExportJob job;
    std::string error;
};

}  // namespace lantrel::test
