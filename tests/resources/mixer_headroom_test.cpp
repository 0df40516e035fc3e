#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "audio/audio_writer.h"
#include "model/vtq_gui_doc.h"
#include "resources/resource_files.h"
#include "support/temp_dir.h"

namespace lantrel {
namespace {

class IgnoreProgress : public PostTarget {
  public:
    void post(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
};

struct Levels {
    std::int32_t lowest = 0;
    std::int32_t highest = 0;
    std::int64_t frames = 0;
};

// The export's sound file of a project, made with the built-in sounds, and its extremes.
Levels exportedLevels(const Project& project) {
    test::TempDir folder;
    const auto path = folder / "mix.wav";
    IgnoreProgress progress;
    std::string error;
    const int result = writeExportAudio(project, project.settings(), path, progress, error,
                                        {{test::builtRsrcFolder()}});
    EXPECT_EQ(result, kExportSuccess) << error;
    SampleSlot mix;
    EXPECT_TRUE(mix.load(path));
    Levels levels{0, 0, mix.frames()};
    for (std::int64_t frame = 0; frame < mix.frames(); ++frame) {
        for (int channel = 0; channel < mix.channels; ++channel) {
            const std::int32_t value = mix.channelValue(frame, channel);
            levels.lowest = std::min(levels.lowest, value);
            levels.highest = std::max(levels.highest, value);
        }
    }
    return levels;
}

// The worst case for headroom: the same note in every slot of all three lanes, so that nine
// copies of one sound peak at the same instant, at the default lane pans and volume 100.
TEST(MixerHeadroom, NineNotesOfAnyInstrumentTogetherStayBelowFullScale) {
    const char* hex = "0123456789ABCDEF";
    for (int instrument = 1; instrument <= 15; ++instrument) {
        SCOPED_TRACE(testing::Message() << "instrument " << instrument);
        const std::string note = std::string("9") + hex[instrument];
        const std::string score = "SCORE=" + note + note + note + "\nEND=2\n";
        CVtqGuiDoc document;
        for (int lane = 0; lane < kLaneCount; ++lane)
            ASSERT_EQ(document.PlaceScoreText(score, lane, 0), 1);
        const Levels levels = exportedLevels(document.project());
        EXPECT_LT(levels.highest, 32767);
        EXPECT_GT(levels.lowest, -32768);
        EXPECT_GT(levels.highest, 8000) << "the notes should be heard";
    }
}

TEST(DemoProject, PlaysForOverHalfAMinuteOnAllThreeLanesWithoutClipping) {
    CVtqGuiDoc document;
    ASSERT_TRUE(document.open(LANTREL_DEMO_PROJECT).ok());
    const Project& project = document.project();
    for (int lane = 0; lane < kLaneCount; ++lane)
        EXPECT_GT(project.columnCount(lane), 0);
    const ProjectSettings settings = project.settings();
    const double seconds = project.columnCount(-1) * 60.0 / effectiveTempo(settings);
    EXPECT_GE(seconds, 30.0);

    const Levels levels = exportedLevels(project);
    EXPECT_GE(levels.frames, static_cast<std::int64_t>(30.0 * settings.sampleRate));
    EXPECT_LT(levels.highest, 32767);
    EXPECT_GT(levels.lowest, -32768);
}

}  // namespace
}  // namespace lantrel
