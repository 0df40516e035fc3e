// Rounds, fade-outs and parts of the song, against the plain export of the same song: every
// output takes the same samples and the same pictures, only more of them or fewer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "encode/libav_log.h"
#include "encoded_media.h"
#include "export_job_fixture.h"
#include "support/test_sounds.h"
#include "video/avi_reader.h"
#include "video/frame_context.h"
#include "video/movie_export.h"

namespace lantrel {
namespace {

// 24 columns at tempo 240, 10 frames and 22050 samples a second: a column is 5512.5 samples,
// a round Na = 132300 samples and Nv = 60 frames exactly.
constexpr std::size_t kRate = 22050;
constexpr std::size_t kRound = 132300;
constexpr int kRoundFrames = 60;

// The notes of the middle and lower lanes sit on every fourth column, whose sounds (at most
// 18000 samples at any pitch) ring over the next columns but never reach the next note, and
// since no lane has a note an odd number of columns later, none is cut. The upper lane's one
// note, on the last column, rings on past the round's end.
class ExportRoundsTest : public test::ExportJobFixture {
  protected:
    ExportRoundsTest() {
        showOnlyLibavErrors();
        test::writeSoundFolder(
            sounds.path(),
            [](int index) {
                std::vector<std::int16_t> samples;
                for (int i = 0; i < 9000; ++i)
                    samples.push_back(static_cast<std::int16_t>((i * (index + 5)) % 3000 - 1500));
                return samples;
            },
            22050);
        job.resourceFolders = {sounds.path(), LANTREL_RSRC_DIR};
        for (auto& lane : job.settings.lanes)
            lane.waveFolder = sounds.path().string();
        job.settings.tempo = 240;
        job.settings.emulateTempo = false;
        job.settings.sampleRate = 22050;
        job.settings.fps = 10;
        for (int column = 0; column < 24; column += 4)
            for (int lane = 1; lane < 3; ++lane)
                project.lane(lane).putNote(column, 0, Note{1 + (column + lane) % 15, 5 + lane});
        project.lane(0).putNote(23, 0, Note{3, 7});
    }
    std::vector<std::int16_t> sound(const ExportRounds& rounds, const std::string& name = "song") {
        job.settings.videoOn = false;
        job.settings.fileName = name;
        job.extras.rounds = rounds;
        EXPECT_EQ(run(), kExportSuccess) << error;
        return test::wavSamples(out / (name + ".wav"));
    }
    std::unique_ptr<AviReader> video(const ExportRounds& rounds) {
        job.settings.audioOn = false;
        job.extras.rounds = rounds;
        EXPECT_EQ(run(), kExportSuccess) << error;
        std::string problem;
        return AviReader::open(out / "song.avi", problem);
    }
    static std::vector<std::byte> frame(AviReader& video, std::int64_t index) {
        std::vector<std::byte> bytes(kScreenFrameBytes);
        EXPECT_TRUE(video.read(0, index, 1, bytes)) << index;
        return bytes;
    }
    // The AVI's frame of the screen at `position`, as the export converts it.
    std::vector<std::byte> screenAt(int position) {
        FrameContext context(job.resourceFolders);
        context.attach(project);
        QImage picture = makeScreenImage();
        RenderFrame(context.prepare(&picture, position));
        std::vector<std::byte> bytes(kScreenFrameBytes);
        for (int y = 0; y < 384; ++y)
            for (int x = 0; x < 512; ++x) {
                const QRgb pixel = picture.pixel(x, y);
                std::byte* at = bytes.data() + ((383 - y) * 512 + x) * 3;
                at[0] = std::byte(qBlue(pixel));
                at[1] = std::byte(qGreen(pixel));
                at[2] = std::byte(qRed(pixel));
            }
        return bytes;
    }
    static std::vector<std::int16_t> stretch(const std::vector<std::int16_t>& samples,
                                             std::size_t firstFrame, std::size_t frames) {
        const auto from = samples.begin() + static_cast<std::ptrdiff_t>(2 * firstFrame);
        return {from, from + static_cast<std::ptrdiff_t>(2 * frames)};
    }

    test::TempDir sounds;
};

TEST_F(ExportRoundsTest, TheSecondRoundIsTheFirstWithItsRingingTailSummedIn) {
    const auto once = sound({});
    const auto twice = sound({.loops = 2}, "twice");
    ASSERT_EQ(once.size(), 2 * (kRound + 2 * kRate));
    ASSERT_EQ(twice.size(), once.size() + 2 * kRound);
    EXPECT_EQ(stretch(twice, 0, kRate + kRound), stretch(once, 0, kRate + kRound))
        << "the silence and the first round are the single export's";

    // Round two: the first round, with the decay the single export ends on added to its start.
    std::size_t ringing = 0;
    for (std::size_t i = 0; i < 2 * kRound; ++i) {
        int expected = once[2 * kRate + i];
        if (i < 2 * kRate) expected += once[2 * (kRate + kRound) + i];
        ASSERT_LT(std::abs(expected), 32767) << "the test's song must not clip";
        ASSERT_EQ(twice[2 * (kRate + kRound) + i], expected) << "frame " << i / 2;
        ringing += i < 2 * kRate && once[2 * (kRate + kRound) + i] != 0;
    }
    EXPECT_GT(ringing, 1000u) << "the last note must ring into the second round";
    EXPECT_EQ(stretch(twice, kRate + 2 * kRound, kRate), stretch(once, kRate + kRound, kRate))
        << "the decay of the last round";
}

TEST_F(ExportRoundsTest, TheFadeFallsLinearlyToSilenceAndTheStemsStillAddUp) {
    const auto plain = sound({.loops = 2}, "plain");
    job.extras.stems = true;
    const auto faded = sound({.loops = 2, .fadeSeconds = 2.0});
    ASSERT_EQ(faded.size(), plain.size());
    const std::size_t end = kRate + 2 * kRound;  // the last round's end
    const std::size_t fadeStart = end - 2 * kRate;
    EXPECT_EQ(stretch(faded, 0, fadeStart), stretch(plain, 0, fadeStart));
    for (std::size_t t = fadeStart; t < end; ++t)
        for (std::size_t c = 0; c < 2; ++c) {
            const double level = static_cast<double>(end - t) / (2 * kRate);
            ASSERT_NEAR(faded[2 * t + c], plain[2 * t + c] * level, 3.0) << "frame " << t;
        }
    EXPECT_EQ(stretch(faded, end, kRate), std::vector<std::int16_t>(2 * kRate, 0))
        << "the decay after a fade is silent, and keeps its length";

    const auto upper = test::wavSamples(out / "song_upper.wav");
    const auto middle = test::wavSamples(out / "song_middle.wav");
    const auto lower = test::wavSamples(out / "song_lower.wav");
    ASSERT_EQ(upper.size(), faded.size());
    for (std::size_t i = 0; i < faded.size(); ++i)
        ASSERT_EQ(upper[i] + middle[i] + lower[i], faded[i]) << "sample " << i;
}

TEST_F(ExportRoundsTest, ThePictureRunsOnThroughEveryRound) {
    const auto movie = video({.loops = 3});
    ASSERT_TRUE(movie);
    ASSERT_EQ(movie->length(0), 3 * kRoundFrames + 20);
    for (const int g : {0, 7, 59})
        for (const int round : {1, 2})
            EXPECT_EQ(frame(*movie, 10 + round * kRoundFrames + g), frame(*movie, 10 + g))
                << "frame " << g << " of round " << round;
    EXPECT_EQ(frame(*movie, 3 * kRoundFrames + 19), screenAt(47)) << "the end picture";
}

TEST_F(ExportRoundsTest, APartStartsWithItsColumnInPictureAndSound) {
    const ExportRounds part{.fromColumn = 4, .toColumn = 11};
    const auto movie = video(part);
    ASSERT_TRUE(movie);
    ASSERT_EQ(movie->length(0), 20 + 20);  // 8 columns: 2 s
    EXPECT_EQ(frame(*movie, 0), screenAt(8)) << "as 'lantrel render' draws column 4";
    EXPECT_EQ(frame(*movie, 10), screenAt(8));
    EXPECT_EQ(frame(*movie, 10 + 5), screenAt(8 + 4));  // 8 + trunc(2 * 5 * 240 / 60 / 10)
    EXPECT_EQ(frame(*movie, 39), screenAt(23));

    job.settings.audioOn = true;
    const auto whole = sound({}, "whole");
    const auto some = sound(part);
    const std::size_t first = 22050;  // ceil(4 * 5512.5)
    const std::size_t length = 66150 - first;
    ASSERT_EQ(some.size(), 2 * (length + 2 * kRate));
    EXPECT_EQ(stretch(some, kRate, length), stretch(whole, kRate + first, length));
}

TEST_F(ExportRoundsTest, TheMp4AndTheFlacTakeTheRoundsToo) {
    const auto wav = sound({.loops = 2, .fadeSeconds = 1.5}, "reference");
    job.settings.videoOn = true;
    job.settings.fileName = "song";
    job.extras.mp4 = true;
    job.extras.stems = true;
    job.extras.flac = true;
    job.extras.mp4Options.scale = 1;
    ASSERT_EQ(run(), kExportSuccess) << error;
    test::expectMp4Streams(out / "song.mp4", {512, 384, 10, 2 * kRoundFrames + 20, 22050, 2});
    const auto upper = test::decodedSound(out / "song_upper.flac");
    EXPECT_EQ(upper.size(), wav.size());
}

TEST(VideoTimingRounds, EachRoundStartsAtTheFrameNearestItsSound) {
    // Tempo 250: a column is 0.24 s, so 24 columns are 57.6 frames; the rounds start at frames
    // 0, 58, 115, 173 and the picture never drifts more than half a frame from the sound.
    Project project;
    for (int column = 0; column < 24; ++column)
        project.lane(0).putNote(column, 0, Note{1, 1});
    ProjectSettings settings;
    settings.tempo = 250;
    settings.emulateTempo = false;
    settings.fps = 10;
    const VideoTiming timing = videoTiming(project, settings, {.loops = 4});
    EXPECT_EQ(timing.songFrames, 57);
    EXPECT_EQ(timing.roundStartFrame(1), 58);
    EXPECT_EQ(timing.roundStartFrame(3), 173);
    EXPECT_EQ(timing.allSongFrames(), 173 + 57);
    EXPECT_EQ(timing.positionOfFrame(57), 47) << "the round's last half-beat, held";
    EXPECT_EQ(timing.positionOfFrame(58), 0);
    EXPECT_EQ(timing.positionOfFrame(173 + 56), timing.framePosition(56));
    EXPECT_EQ(timing.movieFrames(), 173 + 57 + 20);

    const VideoTiming plain = videoTiming(project, settings);
    EXPECT_EQ(plain.movieFrames(), 57 + 20);
    EXPECT_EQ(plain.leadInPosition(), -1);
    EXPECT_EQ(plain.endPosition(), 47);
}

}  // namespace
}  // namespace lantrel
