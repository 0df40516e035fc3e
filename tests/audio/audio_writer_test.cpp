#include "audio/audio_writer.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "audio/timeline.h"
#include "model/project.h"
#include "support/command_output.h"
#include "support/recording_target.h"
#include "support/temp_dir.h"
#include "support/test_sounds.h"

namespace lantrel {
namespace {

using Posted = test::RecordingTarget::Message;
using test::commandOutput;

class AudioWriterTest : public ::testing::Test {
  protected:
    AudioWriterTest() {
        test::writeSoundFolder(sounds.path(), [](int index) {
            std::vector<std::int16_t> samples;
            for (int i = 0; i < 3000; ++i)
                samples.push_back(static_cast<std::int16_t>((i * (index + 3)) % 4000 - 2000));
            return samples;
        });
        settings.tempo = 240;
        settings.sampleRate = 22050;
        for (auto& lane : settings.lanes)
            lane.waveFolder = sounds.path().string();
        options.resourceFolders = {sounds.path()};
        for (int column = 0; column < 9; ++column)
            project.lane(column % 3).putNote(column, 0, Note{1 + column, 1 + column});
    }
    int write(std::string& error) {
        return writeExportAudio(project, settings, out / "song.wav", target, error, options);
    }
    // The mixer as the writer should have set it up; the sets must outlive it.
    Timeline timeline() {
        for (std::size_t lane = 0; lane < 3; ++lane) {
            sets[lane] = loadSampleSet(sounds.path().string(), sounds.path());
            for (int instrument = 1; instrument <= 15; ++instrument)
                applyLaneSound(
                    sets[lane], instrument,
                    settings.lanes[lane].instruments[static_cast<std::size_t>(instrument - 1)].pan,
                    100);
        }
        Timeline mixer;
        mixer.buildTimeline(project, settings, sets);
        mixer.finishTimeline();
        return mixer;
    }

    test::TempDir sounds;
    test::TempDir out;
    Project project;
    ProjectSettings settings;
    AudioWriterOptions options;
    test::RecordingTarget target;
    std::array<SampleSet, 3> sets;
};

TEST_F(AudioWriterTest, WritesASecondOfSilenceTheSongAndItsDecay) {
    std::string error;
    ASSERT_EQ(write(error), kExportSuccess) << error;
    const std::int64_t rate = 22050;
    const std::int64_t song = timeline().songLength();  // ceil(9 * 60 * 22050 / 240)
    EXPECT_EQ(song, 49613);
    const std::string bytes = test::TempDir::read(out / "song.wav");
    ASSERT_EQ(bytes.size(), 44u + static_cast<std::size_t>(song + 2 * rate) * 4);
    EXPECT_EQ(bytes.substr(44, static_cast<std::size_t>(rate) * 4),
              std::string(static_cast<std::size_t>(rate) * 4, '\0'));

    std::vector<std::int16_t> expected(static_cast<std::size_t>(song + rate) * 2);
    timeline().renderStereo(expected.data(), 0, song + rate);
    const std::string rendered = bytes.substr(44 + static_cast<std::size_t>(rate) * 4);
    ASSERT_EQ(rendered.size(), expected.size() * 2);
    EXPECT_EQ(std::memcmp(rendered.data(), expected.data(), rendered.size()), 0);
}

TEST_F(AudioWriterTest, SoxReadsTheDeclaredFormatAndLength) {
    std::string error;
    settings.stereo = false;
    settings.sampleRate = 44100;
    ASSERT_EQ(write(error), kExportSuccess) << error;
    const std::string path = (out / "song.wav").string();
    auto soxInfo = [&](const char* option) {
        return commandOutput(std::string("sox --i ") + option + " '" + path + "' 2>&1");
    };
    EXPECT_EQ(soxInfo("-c"), "1\n");
    EXPECT_EQ(soxInfo("-r"), "44100\n");
    EXPECT_EQ(soxInfo("-b"), "16\n");
    EXPECT_EQ(soxInfo("-s"), std::to_string(timeline().songLength() + 2 * 44100) + "\n");
}

TEST_F(AudioWriterTest, PostsProgressBeforeEachBlockAndAtTheEnd) {
    std::string error;
    ASSERT_EQ(write(error), kExportSuccess);
    const auto total = static_cast<std::intptr_t>(timeline().songLength() + 22050);
    std::vector<Posted> expected = {{1125, 0, total}};
    for (std::intptr_t p = 0; p < total; p += 22050)
        expected.push_back({1125, static_cast<std::uintptr_t>(p), total});
    expected.push_back({1125, static_cast<std::uintptr_t>(total), total});
    EXPECT_EQ(target.messages(), expected);
}

TEST_F(AudioWriterTest, AnEmptyArrangementGivesSilenceAndOneRenderedSecond) {
    Project empty;
    std::string error;
    ASSERT_EQ(writeExportAudio(empty, settings, out / "empty.wav", target, error, options),
              kExportSuccess);
    EXPECT_EQ(test::TempDir::read(out / "empty.wav").size(), 44u + 2 * 22050 * 4);
}

TEST_F(AudioWriterTest, AFileThatCannotBeCreatedFails) {
    std::string error;
    EXPECT_EQ(
        writeExportAudio(project, settings, out / "missing" / "song.wav", target, error, options),
        kExportFailure);
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
}

TEST_F(AudioWriterTest, AFullDiskFailsAndRemovesThePartialFile) {
    // A file size limit stands in for a full disk: writes past it fail with EFBIG.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100'000, 100'000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        const int result = write(error);
        const bool removed = !std::filesystem::exists(out / "song.wav");
        ::_exit(result == kExportFailure && removed &&
                        error.find("cannot write") != std::string::npos
                    ? 0
                    : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

std::vector<std::int16_t> samplesOf(const std::filesystem::path& wav) {
    const std::string bytes = test::TempDir::read(wav);
    std::vector<std::int16_t> samples(bytes.size() > 44 ? (bytes.size() - 44) / 2 : 0);
    std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    return samples;
}

TEST_F(AudioWriterTest, TheThreeStemsAddUpToTheMixSampleForSample) {
    // Two notes a column on every lane, so that the lanes overlap and ring into each other;
    // the lanes end at different columns, and each stem still lasts as long as the mix.
    for (int lane = 0; lane < 3; ++lane)
        for (int column = 0; column < 12 - 3 * lane; ++column)
            for (int slot = 0; slot < 2; ++slot)
                project.lane(lane).putNote(column, slot, Note{1 + (column + lane) % 15, 3 + slot});
    std::string error;
    ASSERT_EQ(write(error), kExportSuccess) << error;
    const auto mix = samplesOf(out / "song.wav");
    std::vector<std::int32_t> sum(mix.size(), 0);
    for (int lane = 0; lane < 3; ++lane) {
        options.lane = lane;
        const auto path = out / ("lane" + std::to_string(lane) + ".wav");
        ASSERT_EQ(writeExportAudio(project, settings, path, target, error, options), kExportSuccess)
            << error;
        const auto stem = samplesOf(path);
        ASSERT_EQ(stem.size(), mix.size()) << "every stem is as long as the mix";
        EXPECT_NE(stem, mix);
        for (std::size_t i = 0; i < stem.size(); ++i)
            sum[i] += stem[i];
    }
    const auto [lowest, highest] = std::minmax_element(sum.begin(), sum.end());
    ASSERT_GT(*lowest, -32768) << "nothing clips";
    ASSERT_LT(*highest, 32767);
    EXPECT_TRUE(std::equal(mix.begin(), mix.end(), sum.begin()));
}

// Keeps what the writer hands over, failing from the `failAt`th block on.
class RecordingSink final : public SoundSink {
  public:
    explicit RecordingSink(std::vector<std::int16_t>& samples, int failAt)
        : samples_(samples), failAt_(failAt) {}
    bool addAudio(std::span<const std::int16_t> interleaved) override {
        if (++blocks_ >= failAt_) return fail();
        samples_.insert(samples_.end(), interleaved.begin(), interleaved.end());
        return true;
    }
    bool finish() override { return blocks_ < failAt_; }
    void abandon() override {}
    const std::string& error() const override { return error_; }

  private:
    bool fail() {
        error_ = "the sink is full";
        return false;
    }
    std::vector<std::int16_t>& samples_;
    int failAt_;
    int blocks_ = 0;
    std::string error_;
};

TEST_F(AudioWriterTest, AnotherWriterGetsTheWavsSamplesAndItsFailureEndsTheRun) {
    std::string error;
    ASSERT_EQ(write(error), kExportSuccess) << error;
    std::vector<std::int16_t> given;
    SoundFormat format;
    int failAt = 1000;
    options.openFile = [&](const std::filesystem::path&, const SoundFormat& asked, std::string&) {
        format = asked;
        return std::make_unique<RecordingSink>(given, failAt);
    };
    ASSERT_EQ(write(error), kExportSuccess) << error;
    EXPECT_EQ(given, samplesOf(out / "song.wav"));
    EXPECT_EQ(format.sampleRate, 22050);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.frames, timeline().songLength() + 2 * 22050);

    failAt = 2;  // the first block after the silence
    target.clear();
    EXPECT_EQ(write(error), kExportFailure);
    EXPECT_EQ(error, "the sink is full");
    EXPECT_EQ(target.messages().size(), 1u) << "no progress after the failure";

    options.openFile = [](const std::filesystem::path&, const SoundFormat&, std::string& why) {
        why = "no such encoder";
        return std::unique_ptr<SoundSink>();
    };
    EXPECT_EQ(write(error), kExportFailure);
    EXPECT_EQ(error, "no such encoder");
}

}  // namespace
}  // namespace lantrel
