// The MP4 export run end to end, with the program's own sprites and sounds: what ffprobe and
// ffmpeg read back from it, against the AVI and WAV exports of the same song.
#include "video/movie_export.h"

#include <gtest/gtest.h>

#include "encode/libav_log.h"
#include "encoded_media.h"
#include "export_job_fixture.h"
#include "video/frame_context.h"

namespace lantrel {
namespace {

// 24 columns at tempo 250 and 10 frames a second: Nv = trunc(10 * 24 / 250 * 60) = 57 song
// frames, 77 in all, 7.7 s; the sound is Na = ceil(24 * 60 * 44100 / 250) = 254016 samples
// and two seconds, 7.76 s: the video is cut to whole frames, the sound is not.
constexpr int kColumns = 24;
constexpr int kMovieFrames = 57 + 20;

class Mp4ExportTest : public test::ExportJobFixture {
  protected:
    Mp4ExportTest() {
        showOnlyLibavErrors();
        for (int column = 0; column < kColumns; ++column)
            for (int lane = 0; lane < 3; ++lane)
                project.lane(lane).putNote(
                    column, 0, Note{1 + (column + 5 * lane) % 15, 1 + (column * 3 + lane) % 13});
        job.resourceFolders = {LANTREL_RSRC_DIR};
        job.settings.tempo = 250;
        job.settings.emulateTempo = false;
        job.extras.mp4 = true;
    }
    // The WAV export of the same song, as the AVI export would write it.
    std::vector<std::int16_t> wavExport() {
        MovieExportJob sound = job;
        sound.extras = {};
        sound.settings.videoOn = false;
        sound.settings.fileName = "reference";
        EXPECT_EQ(ExportMovie(sound, error), kExportSuccess) << error;
        return test::wavSamples(out / "reference.wav");
    }
    QImage pictureAt(int position) {
        FrameContext context(job.resourceFolders);
        context.attach(project);
        QImage picture = makeScreenImage();
        RenderFrame(context.prepare(&picture, position));
        return picture;
    }
    std::filesystem::path movie() const { return out / "song.mp4"; }
};

TEST_F(Mp4ExportTest, OneFileHoldsTheAvisFramesAndTheWavsSoundInH264AndAac) {
    ASSERT_EQ(run(), kExportSuccess) << error;
    EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.mp4"}) << "no AVI or WAV on the way";
    test::expectMp4Streams(movie(), {1024, 768, 10, kMovieFrames});

    // The progress the window's box follows, exactly as the AVI video posts it.
    const auto progress = target.of(kMessageVideoProgress);
    MovieExportJob avi = job;
    avi.extras = {};
    avi.settings.audioOn = false;
    target.clear();
    ASSERT_EQ(ExportMovie(avi, error), kExportSuccess) << error;
    EXPECT_EQ(progress, target.of(kMessageVideoProgress));
    EXPECT_EQ(progress.size(), 6u + 1u);
}

TEST_F(Mp4ExportTest, MonoSoundAtTheLowerRateAndTheProjectsFrameRate) {
    job.settings.stereo = false;
    job.settings.sampleRate = 22050;
    job.settings.fps = 4;
    job.extras.mp4Options.scale = 1;
    ASSERT_EQ(run(), kExportSuccess) << error;
    // trunc(4 * 24 / 250 * 60) = 23 song frames
    test::expectMp4Streams(movie(), {512, 384, 4, 23 + 8, 22050, 1});
}

TEST_F(Mp4ExportTest, EachFrameIsTheScoreScreenAtItsPositionEnlarged) {
    for (const auto& [scale, padded] : {std::pair{2, false}, std::pair{3, true}}) {
        SCOPED_TRACE("scale " + std::to_string(scale) + (padded ? " on 16:9" : ""));
        job.extras.mp4Options.scale = scale;
        job.extras.mp4Options.pad16x9 = padded;
        ASSERT_EQ(run(), kExportSuccess) << error;
        const MovieGeometry geometry = movieGeometry(scale, padded);
        EXPECT_EQ(test::probe(movie(), "v:0")["width"], std::to_string(geometry.width));
        const std::string decoded = test::decodedVideo(movie(), "yuv420p");
        // Lead-in, song frames g = 0, 17, 42 and 56 at trunc(2 g 250 / 60 / 10), the end.
        const std::vector<std::pair<int, int>> frames = {{0, -1},  {9, -1},  {10, 0},  {27, 14},
                                                         {52, 35}, {66, 46}, {67, 47}, {76, 47}};
        for (const auto& [index, position] : frames) {
            const QImage picture = pictureAt(position);
            const double psnr = test::frameLumaPsnr(
                decoded, geometry, index, [&](int, int x, int y) { return picture.pixel(x, y); });
            EXPECT_GE(psnr, 40.0) << "frame " << index << " at position " << position;
        }
    }
}

TEST_F(Mp4ExportTest, TheSoundIsTheWavExportsFromTheFirstSampleOn) {
    const auto wav = wavExport();
    ASSERT_EQ(wav.size(), (254016u + 2 * 44100u) * 2);
    ASSERT_EQ(run(), kExportSuccess) << error;
    const auto decoded = test::decodedSound(movie());
    EXPECT_GE(decoded.size(), wav.size());
    EXPECT_LT(decoded.size(), wav.size() + 2 * 1024);  // the padding of the last AAC frame
    // Where the song starts, and in its middle: lined up at lag 0 within one AAC frame.
    for (const std::size_t second : {std::size_t{1}, std::size_t{3}}) {
        const auto window = [second](const std::vector<std::int16_t>& samples) {
            const auto from = samples.begin() + static_cast<std::ptrdiff_t>(second * 88200 - 4096);
            return std::vector<std::int16_t>(from, from + 88200);
        };
        const test::Alignment aligned = test::alignment(window(wav), window(decoded), 2 * 1024);
        EXPECT_EQ(aligned.lag, 0) << "second " << second;
        EXPECT_GT(aligned.correlation, 0.95) << "second " << second;
    }
}

TEST_F(Mp4ExportTest, FlacSoundAndStemsDecodeToTheWavExportsSamples) {
    const auto wav = wavExport();
    job.extras = {.mp4 = false, .stems = true, .flac = true};
    job.settings.videoOn = false;
    ASSERT_EQ(run(), kExportSuccess) << error;
    EXPECT_EQ(filesLeft(),
              (std::vector<std::string>{"reference.wav", "song.flac", "song_lower.flac",
                                        "song_middle.flac", "song_upper.flac"}));
    EXPECT_EQ(test::decodedSound(out / "song.flac"), wav);

    job.extras.flac = false;
    job.settings.audioOn = false;  // the stems alone
    ASSERT_EQ(run(), kExportSuccess) << error;
    for (const char* lane : {"upper", "middle", "lower"}) {
        const std::string name = std::string("song_") + lane;
        const auto stem = test::wavSamples(out / (name + ".wav"));
        EXPECT_EQ(stem.size(), wav.size()) << name;
        EXPECT_EQ(test::decodedSound(out / (name + ".flac")), stem) << name;
    }
}

TEST_F(Mp4ExportTest, StemsComeAfterTheMp4) {
    job.extras.stems = true;
    ASSERT_EQ(run(), kExportSuccess) << error;
    EXPECT_EQ(filesLeft(), (std::vector<std::string>{"song.mp4", "song_lower.wav",
                                                     "song_middle.wav", "song_upper.wav"}));
    EXPECT_EQ(target.of(kMessageAudioProgress).back().wParam, 254016u + 44100u);
}

TEST_F(Mp4ExportTest, ACancelOrAFullDiskLeavesTheOlderMovieAndNothingElse) {
    job.extras.mp4Options.scale = 1;
    ASSERT_EQ(run(), kExportSuccess) << error;
    const auto size = static_cast<rlim_t>(std::filesystem::file_size(movie()));
    const auto older = out.write("song.mp4", "an older movie");
    cancel.set();
    EXPECT_EQ(run(), kExportCancelled);
    EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.mp4"});
    EXPECT_EQ(target.messages().back().wParam, 99u);

    // Early, while the frames come, and late, while the index is moved to the front.
    for (const rlim_t limit : {rlim_t{40'000}, size - 16}) {
        const int status = test::exitStatusWithFileLimit(limit, [&] {
            const int result = run();
            return result == kExportFailure && error.find("File too large") != std::string::npos
                       ? 0
                       : 1;
        });
        EXPECT_EQ(status, 0) << "limit " << limit;
        EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.mp4"});
        EXPECT_TRUE(test::TempDir::read(older) == "an older movie");
    }
}

TEST_F(Mp4ExportTest, AnEncoderThatWillNotOpenIsNamedAndLeavesNoFile) {
    job.extras.mp4Options.preset = "bogus";
    EXPECT_EQ(run(), kExportFailure);
    EXPECT_EQ(error,
              "cannot open the H.264 encoder libx264 (preset \"bogus\", crf 18): Invalid argument");
    EXPECT_TRUE(filesLeft().empty());
    EXPECT_EQ(target.messages().back().message, kMessageExportEnded);
    EXPECT_EQ(target.messages().back().wParam, 1u);
}

TEST_F(Mp4ExportTest, ExtrasThatCannotBeWrittenAreRefusedBeforeAnyFile) {
    job.settings.fps = 120;  // a stored rate beyond what the MP4 takes
    EXPECT_EQ(run(), kExportFailure);
    EXPECT_NE(error.find("frame rate must be 1 to 60"), std::string::npos) << error;

    job.settings.fps = 10;
    job.extras = {.mp4 = false, .flac = true};
    job.settings.join = true;
    EXPECT_EQ(run(), kExportFailure);
    EXPECT_NE(error.find("FLAC sound cannot be joined"), std::string::npos) << error;
    EXPECT_TRUE(filesLeft().empty());
}

TEST(SoundPath, StemsAndFlacAreNamedAfterTheMovie) {
    ProjectSettings settings;
    settings.outputFolder = "/movies/";
    settings.fileName = "tune";
    EXPECT_EQ(moviePaths(settings).mp4, "/movies/tune.mp4");
    EXPECT_EQ(soundPath(settings, {}), "/movies/tune.wav");
    EXPECT_EQ(soundPath(settings, {.flac = true}), "/movies/tune.flac");
    EXPECT_EQ(soundPath(settings, {}, 0), "/movies/tune_upper.wav");
    EXPECT_EQ(soundPath(settings, {}, 1), "/movies/tune_middle.wav");
    EXPECT_EQ(soundPath(settings, {.flac = true}, 2), "/movies/tune_lower.flac");
}

}  // namespace
}  // namespace lantrel
