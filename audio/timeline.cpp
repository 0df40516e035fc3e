#include "timeline.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/project.h"
#include "model/project_settings.h"

namespace lantrel {

namespace {

// Keeps a malformed sound or pitch factor from producing an unbounded voice.
constexpr double kMaxVoiceLength = 1ll << 40;

std::int32_t stereoGain(const SampleSlot& sound, std::int64_t frame, int side, double panFactor) {
    const int channel = sound.channels >= 2 ? side : 0;
    const int weight = side == 0 ? 127 - sound.pan : sound.pan;
    double o = static_cast<double>(sound.channelValue(frame, channel)) * weight / 127.0 * 1.8;
    if (sound.pan != 64) o *= panFactor;
    return static_cast<std::int32_t>(sound.volume / 100.0 * o);
}

std::int32_t monoGain(const SampleSlot& sound, std::int64_t frame) {
    std::int64_t sum = 0;
    for (int channel = 0; channel < sound.channels; ++channel) sum += sound.channelValue(frame, channel);
    const double o = static_cast<double>(sum) / sound.channels;
    return static_cast<std::int32_t>(sound.volume / 100.0 * o);
}

std::int16_t clampSample(std::int32_t sum) {
    return static_cast<std::int16_t>(std::clamp(sum, -32768, 32767));
}

}  // namespace

std::int64_t Timeline::columnStart(std::int64_t column) const {
    return static_cast<std::int64_t>(
        std::ceil(static_cast<double>(column) * 60.0 * sampleRate_ / tempo_));
}

std::int64_t Timeline::columnAt(std::int64_t sample) const {
    return static_cast<std::int64_t>(
        std::floor(static_cast<double>(sample) * tempo_ / sampleRate_ / 60.0));
}

const SampleSlot* Timeline::soundOf(const Voice& voice) const {
    return sounds_[static_cast<std::size_t>(voice.sound)].slot;
}

const Timeline::Voice* Timeline::sounding(int track, std::int64_t column) const {
    const auto& voices = tracks_[static_cast<std::size_t>(track)];
    const auto after = std::upper_bound(voices.begin(), voices.end(), column,
                                        [](std::int64_t c, const Voice& v) { return c < v.column; });
    return after == voices.begin() ? nullptr : &*(after - 1);
}

const Timeline::Voice* Timeline::voiceAt(int track, int column) const {
    const Voice* voice = sounding(track, column);
    return voice && voice->column == column ? voice : nullptr;
}

std::int32_t Timeline::soundIndex(const SampleSlot* slot) {
    for (std::size_t i = 0; i < sounds_.size(); ++i)
        if (sounds_[i].slot == slot) return static_cast<std::int32_t>(i);
    Sound sound;
    sound.slot = slot;
    sound.frames = slot->frames();
    const auto frames = static_cast<std::size_t>(sound.frames);
    sound.mono.resize(frames);
    sound.stereo.resize(frames * 2);
    // sin(atan(64 / |pan - 64|)) narrows both sides of an off-centre sound.
    const double panFactor = slot->pan == 64 ? 1.0 : std::sin(std::atan(64.0 / std::abs(slot->pan - 64)));
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const auto f = static_cast<std::int64_t>(frame);
        sound.mono[frame] = monoGain(*slot, f);
        sound.stereo[2 * frame] = stereoGain(*slot, f, 0, panFactor);
        sound.stereo[2 * frame + 1] = stereoGain(*slot, f, 1, panFactor);
    }
    sounds_.push_back(std::move(sound));
    return static_cast<std::int32_t>(sounds_.size() - 1);
}

void Timeline::buildTimeline(const Project& project, const ProjectSettings& settings,
                             const std::array<SampleSet, 3>& sets) {
    sampleRate_ = outputSampleRate(settings);
    tempo_ = effectiveTempo(settings);
    columns_ = project.columnCount(-1);
    sounds_.clear();
    for (auto& voices : tracks_) voices.clear();
    for (int lane = 0; lane < kLaneCount; ++lane) {
        auto& laneNotes = laneNotes_[static_cast<std::size_t>(lane)];
        laneNotes.assign(static_cast<std::size_t>(columns_), false);
        const int laneColumns = std::min(project.columnCount(lane), columns_);
        const LaneSound& laneSound = settings.lanes[static_cast<std::size_t>(lane)];
        for (int column = 0; column < laneColumns; ++column) {
            for (int slot = 0; slot < kSlotsPerCell; ++slot) {
                const int position = project.pitch(lane, column, slot);
                if (position <= 0) break;
                const int instrument = project.instrument(lane, column, slot);
                const auto source = voiceSource(sets[static_cast<std::size_t>(lane)], instrument, position);
                if (!source) continue;  // silent, and no note for the cut search either
                Voice voice;
                voice.column = column;
                voice.sound = soundIndex(source->sound);
                voice.ratio = source->ratio *
                              laneSound.instruments[static_cast<std::size_t>(instrument - 1)].pitchFactor;
                tracks_[static_cast<std::size_t>(lane * 3 + slot)].push_back(voice);
                laneNotes[static_cast<std::size_t>(column)] = true;
            }
        }
    }
}

std::int64_t Timeline::voiceLength(const Voice& voice) const {
    const SampleSlot& sound = *soundOf(voice);
    if (sound.samplesPerSec <= 0 || !(voice.ratio > 0)) return 0;
    const double length = std::floor(static_cast<double>(sound.frames()) * sampleRate_ /
                                     sound.samplesPerSec / voice.ratio);
    return static_cast<std::int64_t>(std::min(length, kMaxVoiceLength));
}

bool Timeline::laneHasNote(int lane, int column) const {
    return laneNotes_[static_cast<std::size_t>(lane)][static_cast<std::size_t>(column)];
}

void Timeline::finishTimeline() {
    for (int track = 0; track < kTrackCount; ++track) finishTrack(track);
}

void Timeline::finishTrack(int track) {
    auto& voices = tracks_[static_cast<std::size_t>(track)];
    int previous = -1;
    for (Voice& voice : voices) {
        voice.previousNote = previous;
        voice.start = columnStart(voice.column);
        voice.fadeStart = voice.fadeLength = -1;
        previous = voice.column;
    }
    int limit = columns_;
    for (auto voice = voices.rbegin(); voice != voices.rend(); ++voice) {
        computeEnd(track / 3, *voice, limit);
        limit = voice->column;
    }
}

// The cut search deliberately looks at every second column only (c + 1, c + 3, ...), as the
// sequencer's own player does: a note two columns later in another slot does not cut.
void Timeline::computeEnd(int lane, Voice& voice, int limit) {
    for (int i = voice.column + 1; i < limit; i += 2) {
        if (laneHasNote(lane, i)) {
            limit = i;
            break;
        }
    }
    const std::int64_t length = voiceLength(voice);
    if (limit >= columns_) {
        voice.end = voice.start + length;
        return;
    }
    voice.end = std::min(columnStart(limit), voice.start + length);
    const std::int64_t duration = voice.end - voice.start;
    voice.fadeLength = std::min<std::int64_t>(duration / 24, sampleRate_ / 24);
    voice.fadeStart = duration - voice.fadeLength;
}

void Timeline::renderMono(std::int16_t* out, std::int64_t first, std::int64_t frameCount) const {
    render<false>(out, first, frameCount);
}

void Timeline::renderStereo(std::int16_t* out, std::int64_t first, std::int64_t frameCount) const {
    render<true>(out, first, frameCount);
}

template <bool Stereo>
void Timeline::render(std::int16_t* out, std::int64_t first, std::int64_t frameCount) const {
    constexpr int kChannels = Stereo ? 2 : 1;
    std::vector<std::int32_t> sums;
    std::int64_t a = first;
    while (frameCount > 0) {
        std::int64_t m = frameCount;
        std::int64_t column = -1;
        if (columns_ > 0 && a >= 0) {
            column = columnAt(a);
            const std::int64_t chunkEnd = columnStart(column + 1);
            column = std::min<std::int64_t>(column, columns_ - 1);
            // At least one frame, even where rounding puts a at the very start of the next column.
            m = std::clamp<std::int64_t>(chunkEnd - a, 1, frameCount);
        } else if (columns_ > 0) {
            m = std::min(-a, frameCount);  // nothing sounds before sample 0
        }
        sums.assign(static_cast<std::size_t>(m * kChannels), 0);
        if (column >= 0) renderChunk<Stereo>(sums.data(), a, m, static_cast<int>(column));
        for (std::int64_t k = 0; k < m * kChannels; ++k) out[k] = clampSample(sums[static_cast<std::size_t>(k)]);
        out += m * kChannels;
        a += m;
        frameCount -= m;
    }
}

// The active voices of a chunk: per track the voice of this column, or the track's previous
// voice while it still rings. Each adds its samples until its end; the sum is clamped.
template <bool Stereo>
void Timeline::renderChunk(std::int32_t* sums, std::int64_t a, std::int64_t m, int column) const {
    for (int track = 0; track < kTrackCount; ++track) {
        const Voice* voice = sounding(track, column);
        if (!voice || voice->end < a) continue;
        addVoice<Stereo>(sums, a, m, {voice, &sounds_[static_cast<std::size_t>(voice->sound)]});
    }
}

template <bool Stereo>
void Timeline::addVoice(std::int32_t* sums, std::int64_t a, std::int64_t m, const Active& active) const {
    const Voice& voice = *active.voice;
    const Sound& sound = *active.sound;
    const std::int32_t* gains = Stereo ? sound.stereo.data() : sound.mono.data();
    constexpr int kChannels = Stereo ? 2 : 1;
    const double step = sound.slot->samplesPerSec * voice.ratio / sampleRate_;
    const bool interpolate = step < 1.0;
    const bool fades = voice.fadeStart != -1;
    const auto gain = [&](std::int64_t frame, int channel) {
        return static_cast<std::uint64_t>(frame) < static_cast<std::uint64_t>(sound.frames)
                   ? gains[frame * kChannels + channel]
                   : 0;
    };
    // A voice is silent before its start and after its (inclusive) end.
    const std::int64_t jFirst = std::max<std::int64_t>(0, voice.start - a);
    std::int64_t jLast = std::min(m, voice.end - a + 1);
    if (fades) jLast = std::min(jLast, voice.fadeStart + voice.fadeLength + voice.start - a + 1);
    for (std::int64_t j = jFirst; j < jLast; ++j) {
        const std::int64_t r = a + j - voice.start;
        const double f = static_cast<double>(r) * step;
        const auto frame = static_cast<std::int64_t>(f);
        const double fraction = f - static_cast<double>(frame);
        const double fade = fades && r > voice.fadeStart
                                ? 1.0 - static_cast<double>(r - voice.fadeStart) / static_cast<double>(voice.fadeLength)
                                : 1.0;
        for (int channel = 0; channel < kChannels; ++channel) {
            std::int32_t v = gain(frame, channel);
            if (interpolate) {
                const std::int32_t u = gain(frame + 1, channel);
                v = static_cast<std::int32_t>(v * (1.0 - fraction) + u * fraction);
            }
            if (fade != 1.0) v = static_cast<std::int32_t>(v * fade);
            sums[j * kChannels + channel] += v;
        }
    }
}

}  // namespace lantrel
