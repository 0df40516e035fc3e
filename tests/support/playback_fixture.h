#pragma once

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "audio/sample_set.h"
#include "audio/sample_slot.h"
#include "audio/timeline.h"
#include "audio/wav_format.h"
#include "base/byte_order.h"
#include "model/post_target.h"
#include "model/project.h"
#include "support/recording_target.h"

namespace lantrel::test {

// Writes the 24 sounds of a sample set into `folder`: short mono 16-bit WAVs, each a decaying
// tone of its own pitch with a little noise, so that every sound and every stretch of one is
// told apart from the others. Returns the folder.
inline std::filesystem::path writeToneSounds(const std::filesystem::path& folder,
                                             int sampleRate = 22050, double seconds = 0.4) {
    std::filesystem::create_directories(folder);
    const auto frames = static_cast<std::uint32_t>(sampleRate * seconds);
    std::uint32_t noise = 12345;
    for (int index = 0; index < kSoundCount; ++index) {
        std::vector<std::uint8_t> bytes = makeWavHeader(false, sampleRate, frames);
        const double frequency = 180.0 + 47.0 * index;
        for (std::uint32_t frame = 0; frame < frames; ++frame) {
            noise = noise * 1664525u + 1013904223u;
            const double t = static_cast<double>(frame) / sampleRate;
            const double tone = std::sin(2.0 * 3.141592653589793 * frequency * t);
            const double hiss = (static_cast<double>(noise >> 16) / 65535.0 - 0.5) * 0.1;
            const auto value =
                static_cast<std::int16_t>(12000.0 * std::exp(-3.0 * t) * (tone + hiss));
            le::put16(bytes, static_cast<std::uint16_t>(value));
        }
        const std::string_view name = kSoundNames[static_cast<std::size_t>(index)].file;
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    return folder;
}

// Tempo 120 without emulation: one column is half a second, so five columns make the
// 2.5-second song. Every lane sounds from `folder`; the upper lane has a note in every column
// (column 0 included, so the song starts with sound), the others thinner and in more slots.
inline void arrangeSong(Project& project, const std::filesystem::path& folder, int columns,
                        bool stereo = true, int sampleRate = 44100) {
    std::lock_guard lock(project.lock());
    ProjectSettings& settings = project.settingsUnlocked();
    settings.tempo = 120;
    settings.emulateTempo = false;
    settings.stereo = stereo;
    settings.sampleRate = sampleRate;
    for (LaneSound& lane : settings.lanes)
        lane.waveFolder = folder.string();
    for (int column = 0; column < columns; ++column) {
        project.lane(0).putNote(column, 0, Note{1 + column % 15, 1 + column % 13});
        if (column % 2 == 0) {
            project.lane(1).putNote(column, 0, Note{1 + (column + 4) % 15, 1 + (column + 6) % 13});
            project.lane(1).putNote(column, 1, Note{1 + (column + 9) % 15, 1 + (column + 2) % 13});
        }
        if (column % 3 == 1)
            project.lane(2).putNote(column, 0, Note{1 + (column + 7) % 15, 1 + (column + 3) % 13});
    }
}

// The lanes' sets as playback loads them, and the mixer's rendering of whole blocks.
class ExpectedSound {
  public:
    ExpectedSound(const Project& project, const std::filesystem::path& builtIn)
        : settings_(project.settings()) {
        for (std::size_t lane = 0; lane < sets_.size(); ++lane) {
            const LaneSound& sound = settings_.lanes[lane];
            sets_[lane] = loadSampleSet(sound.waveFolder, builtIn);
            for (int instrument = 1; instrument <= kInstrumentCount; ++instrument) {
                const auto& attributes =
                    sound.instruments[static_cast<std::size_t>(instrument - 1)];
                applyLaneSound(sets_[lane], instrument, attributes.pan, attributes.volume);
            }
        }
        timeline_.buildTimeline(project, settings_, sets_);
        timeline_.finishTimeline();
    }

    int rate() const { return timeline_.sampleRate(); }
    int channels() const { return settings_.stereo ? 2 : 1; }

    // One second of sound per block, starting at the given samples, one after the other.
    std::vector<std::int16_t> blocks(const std::vector<std::int64_t>& starts) const {
        const auto values = static_cast<std::size_t>(rate() * channels());
        std::vector<std::int16_t> out(values * starts.size());
        for (std::size_t block = 0; block < starts.size(); ++block) {
            if (channels() == 2)
                timeline_.renderStereo(out.data() + block * values, starts[block], rate());
            else
                timeline_.renderMono(out.data() + block * values, starts[block], rate());
        }
        return out;
    }

  private:
    ProjectSettings settings_;
    std::array<SampleSet, kLaneCount> sets_;
    Timeline timeline_;
};

inline std::size_t firstSoundingFrame(const std::vector<std::int16_t>& values, int channels) {
    for (std::size_t k = 0; k < values.size(); ++k)
        if (values[k] != 0) return k / static_cast<std::size_t>(channels);
    return values.size();
}

// The capture is silence while the first block is being rendered, then the expected blocks
// without a gap, a repeat or a reordering, up to where playback was stopped.
inline void expectBlocksInOrder(const std::vector<std::int16_t>& captured,
                                const std::vector<std::int16_t>& expected, int channels, int rate,
                                double atLeastSeconds) {
    const auto ch = static_cast<std::size_t>(channels);
    const std::size_t expectedLead = firstSoundingFrame(expected, channels);
    const std::size_t capturedLead = firstSoundingFrame(captured, channels);
    ASSERT_LT(capturedLead, captured.size() / ch) << "nothing but silence was played";
    ASSERT_GE(capturedLead, expectedLead);
    const std::size_t silence = (capturedLead - expectedLead) * ch;
    const std::size_t compared = captured.size() - silence;
    ASSERT_GE(compared, static_cast<std::size_t>(atLeastSeconds * rate) * ch)
        << "played too little";
    ASSERT_LE(compared, expected.size());
    for (std::size_t k = 0; k < compared; ++k) {
        if (captured[silence + k] != expected[k]) {
            const std::size_t frame = k / ch;
            FAIL() << "differs in block " << frame / static_cast<std::size_t>(rate) << " at frame "
                   << frame % static_cast<std::size_t>(rate) << " (after " << silence / ch
                   << " frames of leading silence)";
        }
    }
}

}  // namespace lantrel::test
