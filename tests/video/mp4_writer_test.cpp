#include "encode/mp4_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <functional>
#include <sstream>

#include "encode/libav_log.h"
#include "encoded_media.h"
#include "model/project.h"
#include "support/temp_dir.h"
#include "video/frame_context.h"
#include "video/screen_image.h"

namespace lantrel {
namespace {

using test::Alignment;
using test::alignment;
using test::lumaPsnr;
using test::TestScreen;

std::vector<std::int16_t> soundFor(const Mp4Options& options, int frames) {
    return test::toneBursts(std::int64_t{frames} * options.sampleRate / options.fps,
                            options.channels, options.sampleRate);
}

class Mp4WriterTest : public ::testing::Test {
  protected:
    Mp4WriterTest() { showOnlyLibavErrors(); }  // x264's statistics would bury the output

    // Writes `frames` pictures of the test screen and their sound, the sound for each frame
    // after it in blocks of `block` sample frames (0: one block a frame). Returns the error.
    std::string write(const Mp4Options& options, int frames, std::size_t block = 0) {
        std::string error;
        auto writer = Mp4Writer::create(target(), options, error);
        if (!writer) return error;
        TestScreen screen;
        const auto sound = soundFor(options, frames);
        const auto channels = static_cast<std::size_t>(options.channels);
        std::size_t sent = 0;
        for (int f = 0; f < frames; ++f) {
            screen.draw(f);
            if (!writer->addFrame(screen.view())) return writer->error();
            const std::size_t end =
                static_cast<std::size_t>(std::int64_t{f + 1} * options.sampleRate / options.fps) *
                channels;
            while (sent < end) {
                const std::size_t count =
                    block == 0 ? end - sent : std::min(block * channels, end - sent);
                if (!writer->addAudio(std::span(sound).subspan(sent, count)))
                    return writer->error();
                sent += count;
            }
        }
        return writer->finish() ? std::string() : writer->error();
    }
    std::filesystem::path target() const { return out / "song.mp4"; }
    std::vector<std::string> filesLeft() const { return test::folderEntries(out.path()); }

    test::TempDir out;
};

class Mp4FormatTest : public Mp4WriterTest,
                      public ::testing::WithParamInterface<std::pair<int, bool>> {
  protected:
    Mp4Options options() const {
        Mp4Options options;
        options.scale = GetParam().first;
        options.pad16x9 = GetParam().second;
        options.fps = 8;
        return options;
    }
};

TEST_P(Mp4FormatTest, WritesHighProfileH264AndAacWithTheFrameSizeTagsAndTiming) {
    constexpr int kFrames = 20;
    ASSERT_EQ(write(options(), kFrames), "");
    EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.mp4"});
    const MovieGeometry geometry = movieGeometry(options().scale, options().pad16x9);

    test::expectMp4Streams(target(), {geometry.width, geometry.height, 8, kFrames});
    auto video = test::probe(target(), "v:0");
    EXPECT_EQ(video["nb_frames"], std::to_string(kFrames));
    EXPECT_EQ(video["color_space"], "bt709");
    EXPECT_EQ(video["color_primaries"], "bt709");
    EXPECT_EQ(video["color_transfer"], "bt709");
    EXPECT_EQ(video["color_range"], "tv");

    // The index comes before the samples, so that the movie plays while it downloads.
    const auto boxes = test::topLevelBoxes(target());
    const auto at = [&](const std::string& type) {
        return std::find(boxes.begin(), boxes.end(), type) - boxes.begin();
    };
    EXPECT_LT(at("moov"), at("mdat"));
    EXPECT_LT(at("mdat"), static_cast<std::ptrdiff_t>(boxes.size()));
}

TEST_P(Mp4FormatTest, DecodesToTheEnlargedPicturesInTheirOwnColours) {
    constexpr int kFrames = 12;
    ASSERT_EQ(write(options(), kFrames), "");
    const MovieGeometry geometry = movieGeometry(options().scale, options().pad16x9);
    std::vector<TestScreen> screens(kFrames);
    for (int f = 0; f < kFrames; ++f)
        screens[static_cast<std::size_t>(f)].draw(f);
    const double psnr = lumaPsnr(
        test::decodedVideo(target(), "yuv420p"), geometry, kFrames,
        [&](int f, int x, int y) { return screens[static_cast<std::size_t>(f)].at(x, y); });
    EXPECT_GE(psnr, 40.0);

    // A player that follows the tags shows the sprite colours: ffmpeg's own conversion back
    // to RGB, at the middle of the flat cells.
    const std::string rgb = test::decodedVideo(target(), "rgb24");
    ASSERT_GE(rgb.size(), static_cast<std::size_t>(geometry.width * geometry.height * 3));
    double worst = 0;
    for (int y = 8; y < test::kScreenHeight; y += 16)
        for (int x = 8; x < test::kScreenWidth; x += 16) {
            if (y >= 96 && y < 128) continue;  // the moving block
            const std::uint32_t colour = screens[0].at(x, y);
            const int outX = geometry.pictureX + x * geometry.scale;
            const auto* pixel = reinterpret_cast<const unsigned char*>(rgb.data()) +
                                (y * geometry.scale * geometry.width + outX) * 3;
            for (int channel = 0; channel < 3; ++channel) {
                const int expected = static_cast<int>((colour >> (16 - 8 * channel)) & 0xFF);
                worst = std::max(worst, std::abs(static_cast<double>(pixel[channel] - expected)));
            }
        }
    EXPECT_LE(worst, 6.0);
}

INSTANTIATE_TEST_SUITE_P(Scales, Mp4FormatTest,
                         ::testing::Values(std::pair{1, false}, std::pair{2, false},
                                           std::pair{3, false}, std::pair{2, true}),
                         [](const ::testing::TestParamInfo<std::pair<int, bool>>& scale) {
                             return "Scale" + std::to_string(scale.param.first) +
                                    (scale.param.second ? "Padded" : "");
                         });

TEST_F(Mp4WriterTest, TheFirstSampleSoundsAtTimeZeroInStereoAndMono) {
    for (const auto& [rate, channels] : {std::pair{44100, 2}, std::pair{22050, 1}}) {
        SCOPED_TRACE(std::to_string(rate) + " Hz, " + std::to_string(channels) + " channels");
        Mp4Options options;
        options.scale = 1;
        options.sampleRate = rate;
        options.channels = channels;
        constexpr int kFrames = 15;
        ASSERT_EQ(write(options, kFrames), "");
        auto audio = test::probe(target(), "a:0");
        EXPECT_EQ(audio["sample_rate"], std::to_string(rate));
        EXPECT_EQ(audio["channels"], std::to_string(channels));
        EXPECT_EQ(audio["start_time"], "0.000000");
        const double bitRate = channels == 2 ? 192000 : 128000;
        EXPECT_GT(std::stod(audio["bit_rate"]), bitRate * 0.65);
        EXPECT_LT(std::stod(audio["bit_rate"]), bitRate * 1.15);

        // ffmpeg follows the edit list that hides the encoder's priming samples; it leaves
        // the padding of the last frame (at most one frame of 1024 samples).
        const auto source = soundFor(options, kFrames);
        const auto decoded = test::decodedSound(target());
        EXPECT_GE(decoded.size(), source.size());
        EXPECT_LT(decoded.size(), source.size() + 1024 * std::size_t(channels));
        const Alignment aligned = alignment(source, decoded, 1024 * channels);
        EXPECT_EQ(aligned.lag, 0);
        EXPECT_GT(aligned.correlation, 0.95);
    }
}

TEST_F(Mp4WriterTest, KeyframesComeAtLeastEveryTwoSecondsAndTheTitleIsTagged) {
    Mp4Options options;
    options.scale = 1;
    options.fps = 10;
    options.title = "歌 song";
    // x264 alone would put its second keyframe 250 frames (25 seconds) after the first.
    ASSERT_EQ(write(options, 90), "");
    const std::string frames = test::commandOutput(
        "ffprobe -v error -select_streams v:0 -show_entries frame=pict_type -of csv=p=0 " +
        test::quoted(target()));
    // One line a frame, its picture type first; the first frame adds a line of its side data.
    std::vector<int> keyframes;
    int index = 0;
    std::istringstream lines(frames);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line.find_first_of("IPB") != 0 || (line.size() > 1 && line[1] != ','))
            continue;
        if (line[0] == 'I') keyframes.push_back(index);
        ++index;
    }
    EXPECT_EQ(index, 90);
    ASSERT_FALSE(keyframes.empty());
    EXPECT_EQ(keyframes.front(), 0);
    keyframes.push_back(index);
    for (std::size_t k = 1; k < keyframes.size(); ++k)
        EXPECT_LE(keyframes[k] - keyframes[k - 1], 2 * options.fps) << "after frame " << keyframes[k - 1];
    EXPECT_EQ(test::commandOutput("ffprobe -v error -show_entries format_tags=title -of "
                                  "default=nw=1:nk=1 " + test::quoted(target())),
              "歌 song\n");
}

TEST_F(Mp4WriterTest, SoundComesOutTheSameInBlocksOfAnySize) {
    Mp4Options options;
    options.scale = 1;
    ASSERT_EQ(write(options, 10), "");
    const auto whole = test::decodedSound(target());
    ASSERT_FALSE(whole.empty());
    for (const std::size_t block : {std::size_t{1}, std::size_t{1023}, std::size_t{3000}}) {
        ASSERT_EQ(write(options, 10, block), "");
        EXPECT_EQ(test::decodedSound(target()), whole) << "blocks of " << block;
    }
}

TEST_F(Mp4WriterTest, RefusesOptionsOutsideTheirRanges) {
    const std::vector<std::pair<std::function<void(Mp4Options&)>, std::string>> cases = {
        {[](Mp4Options& o) { o.scale = 0; }, "scale"},
        {[](Mp4Options& o) { o.scale = 6; }, "scale"},
        {[](Mp4Options& o) { o.crf = 52; }, "crf"},
        {[](Mp4Options& o) { o.fps = 0; }, "frame rate"},
        {[](Mp4Options& o) { o.channels = 3; }, "channels"},
        {[](Mp4Options& o) { o.sampleRate = 0; }, "sample rate"},
        {[](Mp4Options& o) { o.sampleRate = 12345; }, "aac encoder (12345 Hz"},
    };
    for (const auto& [change, words] : cases) {
        Mp4Options options;
        change(options);
        std::string error;
        EXPECT_EQ(Mp4Writer::create(target(), options, error), nullptr);
        EXPECT_NE(error.find(words), std::string::npos) << error;
        EXPECT_TRUE(filesLeft().empty());
    }
}

TEST_F(Mp4WriterTest, SaysWhyTheVideoEncoderCannotBeOpened) {
    Mp4Options options;
    options.preset = "bogus";
    std::string error;
    EXPECT_EQ(Mp4Writer::create(target(), options, error), nullptr);
    EXPECT_EQ(error,
              "cannot open the H.264 encoder libx264 (preset \"bogus\", crf 18): Invalid argument");
    EXPECT_TRUE(filesLeft().empty());
}

TEST_F(Mp4WriterTest, CannotCreateAMovieInAMissingFolder) {
    std::string error;
    EXPECT_EQ(Mp4Writer::create(out / "missing" / "song.mp4", {}, error), nullptr);
    EXPECT_EQ(error, "cannot create a file in " + (out / "missing").string() +
                         ": No such file or directory");
}

TEST_F(Mp4WriterTest, WritesUnderATemporaryNameAndReplacesTheTargetAtTheEnd) {
    out.write("song.mp4", "an older movie");
    ::chmod(target().c_str(), 0640);
    std::string error;
    auto writer = Mp4Writer::create(target(), {}, error);
    ASSERT_TRUE(writer) << error;
    TestScreen screen;
    screen.draw(0);
    ASSERT_TRUE(writer->addFrame(screen.view()));
    const auto during = filesLeft();
    ASSERT_EQ(during.size(), 2u);
    EXPECT_EQ(during[0].rfind(".song.mp4.", 0), 0u) << during[0];
    EXPECT_EQ(test::TempDir::read(target()), "an older movie");

    ASSERT_TRUE(writer->finish()) << writer->error();
    EXPECT_TRUE(writer->finish());  // once finished, it stays finished
    EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.mp4"});
    EXPECT_EQ(test::probe(target(), "v:0")["nb_read_frames"], "1");
    struct stat status {};
    ASSERT_EQ(::stat(target().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    EXPECT_FALSE(writer->addFrame(screen.view()));
}

TEST_F(Mp4WriterTest, AbandonedOrUnfinishedMoviesLeaveNoFileAndTheOldOneIntact) {
    out.write("song.mp4", "an older movie");
    TestScreen screen;
    screen.draw(0);
    std::string error;
    {
        auto writer = Mp4Writer::create(target(), {}, error);
        ASSERT_TRUE(writer) << error;
        ASSERT_TRUE(writer->addFrame(screen.view()));
        writer->abandon();
        EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.mp4"});
        EXPECT_FALSE(writer->addFrame(screen.view()));
        EXPECT_FALSE(writer->finish());
    }
    {
        auto writer = Mp4Writer::create(target(), {}, error);
        ASSERT_TRUE(writer) << error;
        ASSERT_TRUE(writer->addFrame(screen.view()));
    }
    EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.mp4"});
    EXPECT_EQ(test::TempDir::read(target()), "an older movie");
}

TEST_F(Mp4WriterTest, AFullDiskFailsWithTheReasonAndLeavesNoFile) {
    Mp4Options options;
    options.scale = 1;
    ASSERT_EQ(write(options, 20), "");
    const auto size = static_cast<rlim_t>(std::filesystem::file_size(target()));
    out.write("song.mp4", "an older movie");

    // Early, while frames are coming, and late, while the index is moved to the front.
    for (const rlim_t limit : {rlim_t{20000}, size - 16}) {
        const int status = test::exitStatusWithFileLimit(limit, [&] {
            const std::string error = write(options, 20);
            return error == "cannot write " + target().string() + ": File too large" ? 0 : 1;
        });
        EXPECT_EQ(status, 0) << "limit " << limit;
        EXPECT_EQ(filesLeft(), std::vector<std::string>{"song.mp4"});
        EXPECT_EQ(test::TempDir::read(target()), "an older movie");
    }
}

TEST_F(Mp4WriterTest, RefusesPicturesOfAnotherSizeOrFormat) {
    std::string error;
    auto writer = Mp4Writer::create(target(), {}, error);
    ASSERT_TRUE(writer) << error;
    const QImage wrongFormat(512, 384, QImage::Format_RGB888);
    EXPECT_FALSE(writer->addFrame(screenPictureOf(wrongFormat)));
    EXPECT_EQ(writer->error(), "a movie frame must be a 512 x 384 picture");
    EXPECT_TRUE(filesLeft().empty());
    EXPECT_FALSE(writer->addAudio(std::vector<std::int16_t>(2048)));
    EXPECT_FALSE(writer->finish());
}

TEST_F(Mp4WriterTest, EncodesTheScoreScreenAsRenderFrameDrawsIt) {
    const test::TempDir sprites;
    const std::vector<std::filesystem::path> spriteFolders = {sprites.path()};
    Project project;
    for (int column = 0; column < 12; ++column)
        project.lane(column % 3).putNote(column, 0, Note{1 + column % 15, 1 + column % 13});
    FrameContext context(spriteFolders);
    context.attach(project);
    std::vector<QImage> pictures;
    std::string error;
    auto writer = Mp4Writer::create(target(), {}, error);
    ASSERT_TRUE(writer) << error;
    for (int position = -1; position < 11; ++position) {
        pictures.push_back(makeScreenImage());
        RenderFrame(context.prepare(&pictures.back(), position));
        ASSERT_TRUE(writer->addFrame(screenPictureOf(pictures.back()))) << writer->error();
    }
    ASSERT_TRUE(writer->finish()) << writer->error();
    const auto frames = static_cast<int>(pictures.size());
    const double psnr = lumaPsnr(
        test::decodedVideo(target(), "yuv420p"), writer->geometry(), frames,
        [&](int f, int x, int y) { return pictures[static_cast<std::size_t>(f)].pixel(x, y); });
    EXPECT_GE(psnr, 40.0);
}

}  // namespace
}  // namespace lantrel
