#include "video/movie_export.h"

#include <gtest/gtest.h>

#include <chrono>

#include "audio/wav_file_reader.h"
#include "export_job_fixture.h"
#include "model/auto_reset_event.h"
#include "model/post_target.h"
#include "model/project.h"
#include "support/recording_target.h"
#include "support/temp_dir.h"
#include "support/test_sounds.h"
#include "video/avi_reader.h"
#include "video/frame_context.h"

namespace lantrel {
namespace {

// A project of `columns` columns at tempo 100 (effective 99) and 10 frames a second, with
// sounds and (blank) sprites from folders the test makes.
class MovieExportTest : public test::ExportJobFixture {
  protected:
    MovieExportTest() {
        test::writeSoundFolder(sounds.path(), [](int) { return test::constantSamples(500, 2000); });
        job.resourceFolders = {sounds.path()};
        settings().tempo = 100;
        settings().sampleRate = 22050;
    }
    ProjectSettings& settings() { return job.settings; }
    void arrange(int columns) {
        for (int column = 0; column < columns; ++column)
            project.lane(column % 3).putNote(column, 0, Note{1, 9});
    }
    std::unique_ptr<AviReader> openVideo(const std::string& name) {
        std::string problem;
        return AviReader::open(out / name, problem);
    }

    test::TempDir sounds;
};

TEST_F(MovieExportTest, TheVideoHasALeadInTheSongAndAnEndSecond) {
    arrange(16);
    settings().audioOn = false;
    ASSERT_EQ(run(), kExportSuccess) << error;
    EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.avi"});
    const auto video = openVideo("song.avi");
    ASSERT_TRUE(video);
    EXPECT_EQ(video->length(0), 96 + 20);  // trunc(10 * 16 / 99 * 60) song frames

    // Song frame g shows half-beat trunc(2 g T / 60 / F); frame 0 is the lead-in at -1 and the
    // last frame the end picture at 2 L - 1.
    FrameContext context(job.resourceFolders);
    context.attach(project);
    auto expectFrame = [&](std::int64_t index, int position) {
        QImage picture = makeScreenImage();
        RenderFrame(context.prepare(&picture, position));
        std::vector<std::byte> frame(kScreenFrameBytes);
        ASSERT_TRUE(video->read(0, index, 1, frame));
        const auto* bottomRow = reinterpret_cast<const QRgb*>(picture.constScanLine(383));
        for (int x = 0; x < 512; x += 7) {
            ASSERT_EQ(static_cast<int>(frame[static_cast<std::size_t>(3 * x)]), qBlue(bottomRow[x]))
                << index << " x " << x;
            ASSERT_EQ(static_cast<int>(frame[static_cast<std::size_t>(3 * x + 2)]),
                      qRed(bottomRow[x]));
        }
        const auto* middleRow = reinterpret_cast<const QRgb*>(picture.constScanLine(200));
        for (int x = 0; x < 512; ++x)
            ASSERT_EQ(static_cast<int>(frame[static_cast<std::size_t>(183 * 1536 + 3 * x + 1)]),
                      qGreen(middleRow[x]))
                << index << " x " << x;
    };
    expectFrame(0, -1);
    expectFrame(9, -1);
    expectFrame(10, 0);
    expectFrame(10 + 37, 12);  // trunc(2 * 37 * 99 / 60 / 10)
    expectFrame(115, 31);

    const auto progress = target.of(kMessageVideoProgress);
    ASSERT_EQ(progress.size(), 10u + 1u);  // g = 0, 10, ... 90, then the end
    EXPECT_EQ(progress[3].wParam, 9u);     // position of g = 30
    EXPECT_EQ(progress[3].lParam, 30);
    EXPECT_EQ(progress.back().wParam, 32u);
    EXPECT_EQ(progress.back().lParam, 96);
    ASSERT_FALSE(target.messages().empty());
    EXPECT_EQ(target.messages().back().message, kMessageExportEnded);
    EXPECT_EQ(target.messages().back().wParam, 0u);
}

TEST_F(MovieExportTest, AnEmptyArrangementStillMakesAMovieOfOneColumn) {
    settings().join = true;
    ASSERT_EQ(run(), kExportSuccess) << error;
    EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.avi"});
    const auto movie = openVideo("song.avi");
    ASSERT_TRUE(movie);
    ASSERT_EQ(movie->streamCount(), 2);
    EXPECT_EQ(movie->length(0), 20 + 6);     // 2 F + trunc(F * 60 / T)
    EXPECT_EQ(movie->length(1), 2 * 22050);  // a second of silence and one rendered second
}

TEST_F(MovieExportTest, EachSettingLeavesItsOwnFiles) {
    arrange(6);
    settings().videoOn = false;
    ASSERT_EQ(run(), kExportSuccess);
    EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.wav"});
    std::filesystem::remove(out / "song.wav");

    settings().videoOn = true;
    ASSERT_EQ(run(), kExportSuccess);
    EXPECT_EQ(filesLeft(), (std::vector<std::string>{"song.avi", "song.wav"}));

    settings().join = true;
    ASSERT_EQ(run(), kExportSuccess);
    EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.avi"}) << "the join replaces the video";
    const auto joinProgress = target.of(kMessageJoinProgress);
    ASSERT_FALSE(joinProgress.empty());
    EXPECT_EQ(joinProgress.front().wParam, 0u);
    EXPECT_EQ(joinProgress.front().lParam, 0);
    const auto movie = openVideo("song.avi");
    ASSERT_TRUE(movie);
    WavFileReader never;
    EXPECT_EQ(movie->length(0), joinProgress.back().lParam) << "every video frame copied";
}

TEST_F(MovieExportTest, AJoinWithoutSoundFailsAndKeepsTheTemporaryVideo) {
    arrange(6);
    settings().audioOn = false;
    settings().join = true;
    EXPECT_EQ(run(), kExportFailure);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(filesLeft(), std::vector<std::string>{"song_tmp.avi"});
    EXPECT_EQ(target.messages().back().message, kMessageExportEnded);
    EXPECT_EQ(target.messages().back().wParam, 1u);

    // A WAV left from an earlier run is joined with it.
    settings().videoOn = false;
    test::writeWav(out / "song.wav", test::constantSamples(0, 22050 * 2 * 3), 2, 22050);
    EXPECT_EQ(run(), kExportSuccess) << error;
    EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.avi"});
}

TEST_F(MovieExportTest, ACancelDuringTheVideoLeavesNothingAndSkipsTheSound) {
    arrange(30);
    cancel.set();  // seen at song frame 0, the first poll
    EXPECT_EQ(run(), kExportCancelled);
    EXPECT_TRUE(filesLeft().empty());
    EXPECT_TRUE(target.of(kMessageAudioProgress).empty());
    EXPECT_EQ(target.messages().back().wParam, 99u);
}

TEST_F(MovieExportTest, ACancelSeenByTheJoinRemovesAllThreeFiles) {
    arrange(6);
    settings().join = true;
    settings().videoOn = false;
    test::writeWav(out / "song.wav", test::constantSamples(0, 2000), 2, 22050);
    {
        // A temporary video from an earlier run, so that the join has both files.
        MovieExportJob videoJob = job;
        videoJob.settings.videoOn = true;
        videoJob.settings.audioOn = false;
        videoJob.settings.join = false;
        ASSERT_EQ(writeExportVideo(videoJob, out / "song_tmp.avi", error), kExportSuccess);
    }
    settings().audioOn = false;
    cancel.set();
    EXPECT_EQ(run(), kExportCancelled);
    EXPECT_TRUE(filesLeft().empty());
}

TEST_F(MovieExportTest, AShortRunEndsNoSoonerThanASecond) {
    arrange(2);
    settings().videoOn = false;
    job.minimumDuration = std::chrono::milliseconds(1000);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(run(), kExportSuccess);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
}

TEST_F(MovieExportTest, AVideoThatCannotBeWrittenFails) {
    arrange(3);
    settings().outputFolder = (out / "missing").string();
    EXPECT_EQ(run(), kExportFailure);
    EXPECT_FALSE(error.empty());
}

TEST_F(MovieExportTest, AStoredFrameRateIsTakenAsItIs) {
    arrange(16);
    settings().audioOn = false;
    settings().fps = 120;
    ASSERT_EQ(run(), kExportSuccess) << error;
    const auto video = openVideo("song.avi");
    ASSERT_TRUE(video);
    EXPECT_EQ(video->stream(0).header.rate, 120u);
    EXPECT_EQ(video->length(0), 1163 + 240);  // trunc(120 * 16 / 99 * 60) song frames

    settings().fps = 0;  // would divide by zero: one frame a second
    ASSERT_EQ(run(), kExportSuccess) << error;
    EXPECT_EQ(openVideo("song.avi")->length(0), 9 + 2);
}

TEST_F(MovieExportTest, ANameThatReachesOutsideTheFolderIsRefusedBeforeAnythingIsWritten) {
    arrange(3);
    for (const std::string& name : {std::string("../song"), std::string("/tmp/song"),
                                    std::string("a\0b", 3), std::string()}) {
        settings().fileName = name;
        EXPECT_EQ(run(), kExportFailure);
        EXPECT_NE(error.find("cannot name an output file"), std::string::npos) << error;
        EXPECT_EQ(target.messages().back().message, kMessageExportEnded);
    }
    settings().fileName = "song";
    settings().outputFolder = out.path().string() + std::string("\0x", 2);
    EXPECT_EQ(run(), kExportFailure);
    EXPECT_NE(error.find("NUL"), std::string::npos) << error;
    EXPECT_TRUE(filesLeft().empty());
    EXPECT_FALSE(std::filesystem::exists(out.path().parent_path() / "song.avi"));
}

TEST_F(MovieExportTest, ACancelledOrFailedRunKeepsTheFilesOfAnEarlierOne) {
    arrange(30);
    const auto earlier = out.write("song.avi", "an earlier movie");
    out.write("song.wav", "an earlier sound");
    cancel.set();
    EXPECT_EQ(run(), kExportCancelled);
    EXPECT_EQ(filesLeft(), (std::vector<std::string>{"song.avi", "song.wav"}));
    EXPECT_EQ(test::TempDir::read(earlier), "an earlier movie");

    // A join that is cancelled takes its temporary video and sound with it, not the old movie.
    settings().join = true;
    settings().videoOn = false;
    settings().audioOn = false;
    test::writeWav(out / "song.wav", test::constantSamples(0, 2000), 2, 22050);
    {
        MovieExportJob videoJob = job;
        videoJob.settings.videoOn = true;
        videoJob.settings.join = false;
        ASSERT_EQ(writeExportVideo(videoJob, out / "song_tmp.avi", error), kExportSuccess);
    }
    cancel.set();
    EXPECT_EQ(run(), kExportCancelled);
    EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.avi"});
    EXPECT_EQ(test::TempDir::read(earlier), "an earlier movie");

    // A join that fails (here: no sound to join) leaves the old movie too.
    EXPECT_EQ(run(), kExportFailure);
    EXPECT_EQ(test::TempDir::read(earlier), "an earlier movie");
}

TEST(MoviePaths, OneTrailingSeparatorIsDroppedFromTheFolder) {
    ProjectSettings settings;
    settings.fileName = "tune";
    settings.outputFolder = "/movies/";
    EXPECT_EQ(moviePaths(settings).video, "/movies/tune.avi");
    EXPECT_EQ(moviePaths(settings).temporaryVideo, "/movies/tune_tmp.avi");
    EXPECT_EQ(moviePaths(settings).audio, "/movies/tune.wav");
    settings.outputFolder = "";
    EXPECT_EQ(moviePaths(settings).joined, "tune.avi");
}

}  // namespace
}  // namespace lantrel
