#include "audio/timeline.h"

#include <gtest/gtest.h>

#include <random>

#include "model/project.h"
#include "support/temp_dir.h"
#include "support/test_sounds.h"

namespace lantrel {
namespace {

// Instrument 3 has a single sound ("sound3.wav", set index 4); at position 9 it plays at its
// recorded pitch, so a note (3, 9) plays that file sample for sample.
constexpr Note kPlain{3, 9};
constexpr int kPlainSound = 4;
constexpr int kRate = 44100;

class TimelineTest : public ::testing::Test {
  protected:
    TimelineTest() {
        settings.tempo = 100;
        settings.emulateTempo = false;
        settings.sampleRate = kRate;
        useSound(test::constantSamples(1000, 2 * kRate));
    }

    // Gives every lane the same sound for instrument 3 (the other sounds are short clicks).
    void useSound(const std::vector<std::int16_t>& samples, int sampleRate = kRate) {
        test::writeSoundFolder(
            folder.path(),
            [&](int index) { return index == kPlainSound ? samples : test::constantSamples(1, 4); },
            sampleRate);
        for (auto& set : sets)
            set = loadSampleSet(folder.path().string(), folder.path());
    }
    void place(int lane, int column, int slot, Note note = kPlain) {
        project.lane(lane).putNote(column, slot, note);
        for (int s = 0; s < kSlotsPerCell; ++s)
            if (project.lane(lane).note(column, s).isEmpty())
                project.lane(lane).putNote(column, s, kNoNote);
    }
    const Timeline& build() {
        timeline.buildTimeline(project, settings, sets);
        timeline.finishTimeline();
        return timeline;
    }
    std::vector<std::int16_t> mono(std::int64_t first, std::int64_t count) {
        std::vector<std::int16_t> out(static_cast<std::size_t>(count));
        timeline.renderMono(out.data(), first, count);
        return out;
    }
    std::vector<std::int16_t> stereo(std::int64_t first, std::int64_t count) {
        std::vector<std::int16_t> out(static_cast<std::size_t>(count * 2));
        timeline.renderStereo(out.data(), first, count);
        return out;
    }

    test::TempDir folder;
    Project project;
    ProjectSettings settings;
    std::array<SampleSet, 3> sets;
    Timeline timeline;
};

TEST_F(TimelineTest, ColumnsStartOnTheCeilingOfTheirExactSample) {
    place(0, 5, 0);
    build();
    EXPECT_EQ(timeline.columnStart(1), 26460);
    EXPECT_EQ(timeline.songLength(), 6 * 26460);
    settings.emulateTempo = true;  // tempo 100 becomes 99
    build();
    EXPECT_EQ(timeline.tempo(), 99);
    EXPECT_EQ(timeline.columnStart(1), 26728);
    EXPECT_EQ(timeline.columnAt(26727), 0);
    EXPECT_EQ(timeline.columnAt(26728), 1);
}

TEST_F(TimelineTest, ANoteCutByTheNextNoteOfItsTrackFadesOverAFortiethOfItsLength) {
    place(0, 0, 0);
    place(0, 1, 0);
    build();
    const Timeline::Voice& first = *timeline.voiceAt(0, 0);
    EXPECT_EQ(first.start, 0);
    EXPECT_EQ(first.end, 26460);
    EXPECT_EQ(first.fadeLength, 1102);  // min(26460 / 24, 44100 / 24)
    EXPECT_EQ(first.fadeStart, 26460 - 1102);
    const Timeline::Voice& second = *timeline.voiceAt(0, 1);
    EXPECT_EQ(second.previousNote, 0);
    EXPECT_EQ(second.end, 26460 + 2 * kRate) << "the last note rings its whole sound";
    EXPECT_EQ(second.fadeStart, -1);

    EXPECT_EQ(mono(100, 1)[0], 1000);
    EXPECT_EQ(mono(25358 + 551, 1)[0], 500);  // halfway through the fade
    EXPECT_EQ(mono(26459, 1)[0], 0);
    EXPECT_EQ(mono(26460, 1)[0], 1000) << "the new note replaces the old one at its start";
}

TEST_F(TimelineTest, TheCutSearchLooksAtEverySecondColumnOnly) {
    place(0, 0, 0);
    place(0, 0, 1);  // the slot-1 voice under test
    place(0, 2, 0);  // two columns later, in another slot of the same lane: not seen
    place(1, 9, 0);  // another lane makes the song long; it never cuts lane 0
    build();
    EXPECT_EQ(timeline.voiceAt(1, 0)->end, 2 * kRate);
    EXPECT_EQ(timeline.voiceAt(1, 0)->fadeStart, -1);

    place(0, 3, 0);  // three columns later: found at c + 3
    build();
    EXPECT_EQ(timeline.voiceAt(1, 0)->end, timeline.columnStart(3));
    EXPECT_NE(timeline.voiceAt(1, 0)->fadeStart, -1);
}

TEST_F(TimelineTest, ASoundEndingBeforeTheCutStillFades) {
    useSound(test::constantSamples(1000, 1000));
    place(0, 0, 0);
    place(0, 1, 0);
    build();
    const Timeline::Voice& voice = *timeline.voiceAt(0, 0);
    EXPECT_EQ(voice.end, 1000);
    EXPECT_EQ(voice.fadeLength, 41);
    EXPECT_EQ(voice.fadeStart, 959);
}

TEST_F(TimelineTest, TheLastNoteRingsPastTheSongEnd) {
    place(0, 0, 0);
    build();
    EXPECT_EQ(timeline.songLength(), 26460);
    EXPECT_EQ(mono(60000, 1)[0], 1000);
    EXPECT_EQ(mono(2 * kRate, 2), (std::vector<std::int16_t>{1000 * 0, 0}))
        << "frame 88200 is past the sound's last frame";
}

TEST_F(TimelineTest, SumsAreClampedNotWrapped) {
    useSound(test::constantSamples(30000, 100));
    for (int lane = 0; lane < 3; ++lane)
        for (int slot = 0; slot < 3; ++slot)
            place(lane, 0, slot);
    build();
    EXPECT_EQ(mono(10, 1)[0], 32767);
    useSound(test::constantSamples(-30000, 100));
    build();
    EXPECT_EQ(mono(10, 1)[0], -32768);
    const auto both = stereo(10, 1);
    EXPECT_EQ(both[0], -32768);
    EXPECT_EQ(both[1], -32768);
}

TEST_F(TimelineTest, AnEmptyArrangementRendersSilence) {
    build();
    EXPECT_EQ(timeline.songLength(), 0);
    EXPECT_EQ(stereo(-100, 300), std::vector<std::int16_t>(600, 0));
    EXPECT_EQ(mono(5'000'000, 10), std::vector<std::int16_t>(10, 0));
}

TEST_F(TimelineTest, StereoPanWeightsTheSidesUnevenlyAtTheCentre) {
    place(0, 0, 0);
    build();
    EXPECT_EQ(stereo(5, 1), (std::vector<std::int16_t>{892, 907}));  // 63/127 and 64/127 of 1.8
    applyLaneSound(sets[0], 3, 0, 100);
    build();
    EXPECT_EQ(stereo(5, 1), (std::vector<std::int16_t>{1272, 0}));  // 1.8 * 0.7071 on the left
    applyLaneSound(sets[0], 3, 64, 50);
    build();
    EXPECT_EQ(stereo(5, 1), (std::vector<std::int16_t>{446, 453}));
    EXPECT_EQ(mono(5, 1)[0], 500);
}

TEST_F(TimelineTest, StretchedSoundsInterpolateAndFastOnesTakeTheEarlierFrame) {
    std::vector<std::int16_t> ramp;
    for (int i = 0; i < 1000; ++i)
        ramp.push_back(static_cast<std::int16_t>(i * 10));
    useSound(ramp, 22050);  // half the output rate: each frame spans two samples
    place(0, 0, 0);
    build();
    EXPECT_EQ(mono(0, 4), (std::vector<std::int16_t>{0, 5, 10, 15}));

    settings.lanes[0].instruments[2].pitchFactor = 4.0;  // now twice as fast as the output
    build();
    EXPECT_EQ(mono(0, 3), (std::vector<std::int16_t>{0, 20, 40}));
    EXPECT_EQ(timeline.voiceAt(0, 0)->end, 500);
}

TEST_F(TimelineTest, NotesThatCannotSoundNeitherPlayNorCut) {
    place(0, 0, 0);
    place(0, 1, 0, Note{3, 14});  // position 14 does not exist
    place(0, 1, 1, Note{16, 9});  // nor does instrument 16
    place(1, 3, 0);
    build();
    EXPECT_EQ(timeline.voiceAt(0, 1), nullptr);
    EXPECT_EQ(timeline.voiceAt(0, 0)->fadeStart, -1);

    // Reading stops at the first empty slot of a column.
    project.lane(2).putNote(0, 0, kNoNote);
    project.lane(2).putNote(0, 1, kPlain);
    build();
    EXPECT_TRUE(timeline.track(7).empty());
}

TEST_F(TimelineTest, RenderingInPiecesMatchesRenderingAtOnce) {
    std::mt19937 random(7);
    std::vector<std::int16_t> noise;
    for (int i = 0; i < 30000; ++i)
        noise.push_back(static_cast<std::int16_t>(random() % 20000 - 10000));
    useSound(noise);
    for (int column = 0; column < 12; ++column)
        place(column % 3, column, static_cast<int>(random() % 3),
              Note{3, static_cast<std::int32_t>(1 + random() % 13)});
    settings.tempo = 333;
    build();
    const std::int64_t length = timeline.songLength() + kRate;
    const auto whole = stereo(0, length);
    std::vector<std::int16_t> pieces;
    for (std::int64_t first = 0; first < length;) {
        const std::int64_t count = std::min<std::int64_t>(1 + random() % 9000, length - first);
        const auto piece = stereo(first, count);
        pieces.insert(pieces.end(), piece.begin(), piece.end());
        first += count;
    }
    EXPECT_EQ(pieces, whole);
}

TEST_F(TimelineTest, ALongSoundIsMixedWithoutATableExactlyAsWithOne) {
    std::mt19937 random(11);
    std::vector<std::int16_t> noise;
    for (int i = 0; i < 40000; ++i)
        noise.push_back(static_cast<std::int16_t>(random() % 30000 - 15000));
    useSound(noise);
    // Stretched (low positions) and sped up (high ones), cut and faded, across the lanes'
    // different pans, mono and stereo.
    for (int column = 0; column < 14; ++column)
        place(column % 3, column, static_cast<int>(random() % 3),
              Note{3, static_cast<std::int32_t>(1 + column % 13)});
    settings.tempo = 250;
    settings.lanes[1].instruments[2].pan = 5;
    settings.lanes[2].instruments[2].pan = 120;
    for (std::size_t lane = 0; lane < 3; ++lane)
        applyLaneSound(sets[lane], 3, settings.lanes[lane].instruments[2].pan, 90);
    for (const bool inStereo : {true, false}) {
        settings.stereo = inStereo;
        build();
        const std::int64_t length = timeline.songLength() + kRate;
        const auto withTables = inStereo ? stereo(0, length) : mono(0, length);
        for (auto& set : sets)
            for (SampleSlot& sound : set.sounds)
                sound.setGainTableLimit(0);
        build();
        EXPECT_EQ(inStereo ? stereo(0, length) : mono(0, length), withTables) << inStereo;
        for (const auto& set : sets)
            EXPECT_EQ(set.sounds[kPlainSound].memoryBytes(),
                      set.sounds[kPlainSound].data.capacity())
                << "no table beside the samples";
        for (auto& set : sets)
            for (SampleSlot& sound : set.sounds)
                sound.setGainTableLimit(SampleSlot::kMaxGainTableFrames);
    }
}

}  // namespace
}  // namespace lantrel
