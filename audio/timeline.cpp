#include "timeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "model/export_rounds.h"
#include "model/project.h"
#include "model/project_settings.h"

namespace lantrel {

namespace {

// Keeps a malformed sound or pitch factor from producing an unbounded voice.
constexpr double kMaxVoiceLength = 1ll << 40;

std::int16_t clampSample(std::int32_t sum) {
    return static_cast<std::int16_t>(std::clamp(sum, -32768, 32767));
}

}  // namespace

std::int64_t Timeline::columnStart(std::int64_t column) const {
    return columnStartSample(column, sampleRate_, tempo_);
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
    const auto after =
        std::upper_bound(voices.begin(), voices.end(), column,
                         [](std::int64_t c, const Voice& v) { return c < v.column; });
    return after == voices.begin() ? nullptr : &*(after - 1);
}

const Timeline::Voice* Timeline::voiceAt(int track, int column) const {
    const Voice* voice = sounding(track, column);
    return voice && voice->column == column ? voice : nullptr;
}

std::int32_t Timeline::soundIndex(int lane, const SampleSet& set, const SampleSlot* slot) {
    const auto key = static_cast<std::size_t>(lane * kSoundCount + (slot - set.sounds.data()));
    if (soundOfSlot_[key] < 0) {
        soundOfSlot_[key] = static_cast<std::int32_t>(sounds_.size());
        Sound sound;
        sound.slot = slot;
        sound.frames = slot->frames();
        sounds_.push_back(sound);
        slot->gains(stereo_);  // the one-off cost of a short sound belongs to scheduling
    }
    return soundOfSlot_[key];
}

void Timeline::buildTimeline(const Project& project, const ProjectSettings& settings,
                             const std::array<SampleSet, 3>& sets, int onlyLane, int firstColumn,
                             int endColumn) {
    sampleRate_ = outputSampleRate(settings);
    tempo_ = effectiveTempo(settings);
    stereo_ = settings.stereo;
    // Every note is scheduled, so that the notes after the stretch cut its notes as in the
    // whole song; finishTimeline drops them.
    columns_ = project.columnCount(-1);
    endColumn_ = endColumn < 0 ? columns_ : std::min(endColumn, columns_);
    firstColumn_ = std::clamp(firstColumn, 0, endColumn_);
    origin_ = columnStart(firstColumn_);
    sounds_.clear();
    soundOfSlot_.fill(-1);
    for (auto& voices : tracks_)
        voices.clear();
    for (int lane = 0; lane < kLaneCount; ++lane) {
        auto& laneNotes = laneNotes_[static_cast<std::size_t>(lane)];
        laneNotes.assign(static_cast<std::size_t>(columns_), false);
        const bool sounds = onlyLane == kAllLanes || onlyLane == lane;
        const int laneColumns = sounds ? std::min(project.columnCount(lane), columns_) : 0;
        const LaneSound& laneSound = settings.lanes[static_cast<std::size_t>(lane)];
        for (int column = 0; column < laneColumns; ++column) {
            for (int slot = 0; slot < kSlotsPerCell; ++slot) {
                const int position = project.pitch(lane, column, slot);
                if (position <= 0) break;
                const int instrument = project.instrument(lane, column, slot);
                const auto source =
                    voiceSource(sets[static_cast<std::size_t>(lane)], instrument, position);
                if (!source) continue;  // silent, and no note for the cut search either
                Voice voice;
                voice.column = column;
                voice.sound = soundIndex(lane, sets[static_cast<std::size_t>(lane)], source->sound);
                voice.ratio =
                    source->ratio *
                    laneSound.instruments[static_cast<std::size_t>(instrument - 1)].pitchFactor;
                tracks_[static_cast<std::size_t>(lane * 3 + slot)].push_back(voice);
                laneNotes[static_cast<std::size_t>(column)] = true;
            }
        }
    }
    for (auto& voices : tracks_)
        voices.shrink_to_fit();
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
    std::int64_t lastEnd = origin_ - 1;
    for (int track = 0; track < kTrackCount; ++track) {
        finishTrack(track);
        auto& voices = tracks_[static_cast<std::size_t>(track)];
        std::erase_if(voices, [this](const Voice& voice) {
            return voice.column < firstColumn_ || voice.column >= endColumn_;
        });
        for (const Voice& voice : voices)
            lastEnd = std::max(lastEnd, voice.end);
    }
    columns_ = endColumn_;
    silenceFrom_ = lastEnd + 1 - origin_;
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

void Timeline::addSums(std::int32_t* sums, std::int64_t first, std::int64_t frameCount,
                       bool stereo, int lane) const {
    if (stereo)
        accumulate<true>(sums, first, frameCount, lane);
    else
        accumulate<false>(sums, first, frameCount, lane);
}

template <bool Stereo>
void Timeline::render(std::int16_t* out, std::int64_t first, std::int64_t frameCount) const {
    const auto values = static_cast<std::size_t>(frameCount * (Stereo ? 2 : 1));
    std::vector<std::int32_t> sums(values, 0);
    accumulate<Stereo>(sums.data(), first, frameCount, kAllLanes);
    for (std::size_t k = 0; k < values; ++k)
        out[k] = clampSample(sums[k]);
}

template <bool Stereo>
void Timeline::accumulate(std::int32_t* sums, std::int64_t first, std::int64_t frameCount,
                          int lane) const {
    constexpr int kChannels = Stereo ? 2 : 1;
    std::int64_t a = first + origin_;
    while (frameCount > 0) {
        std::int64_t m = frameCount;
        std::int64_t column = -1;
        if (columns_ > firstColumn_ && a >= origin_) {
            column = columnAt(a);
            const std::int64_t chunkEnd = columnStart(column + 1);
            column = std::min<std::int64_t>(column, columns_ - 1);
            // At least one frame, even where rounding puts a at the very start of the next column.
            m = std::clamp<std::int64_t>(chunkEnd - a, 1, frameCount);
        } else if (columns_ > firstColumn_) {
            m = std::min(origin_ - a, frameCount);  // nothing sounds before the song's start
        }
        if (column >= 0) renderChunk<Stereo>(sums, a, m, static_cast<int>(column), lane);
        sums += m * kChannels;
        a += m;
        frameCount -= m;
    }
}

// The active voices of a chunk: per track the voice of this column, or the track's previous
// voice while it still rings. Each adds its samples until its end; the sum is clamped.
template <bool Stereo>
void Timeline::renderChunk(std::int32_t* sums, std::int64_t a, std::int64_t m, int column,
                           int lane) const {
    const int firstTrack = lane == kAllLanes ? 0 : lane * 3;
    const int endTrack = lane == kAllLanes ? kTrackCount : firstTrack + 3;
    for (int track = firstTrack; track < endTrack; ++track) {
        const Voice* voice = sounding(track, column);
        if (!voice || voice->end < a) continue;
        addVoice<Stereo>(sums, a, m, {voice, &sounds_[static_cast<std::size_t>(voice->sound)]});
    }
}

namespace {

// What the inner loop needs of one voice. The loop only runs over samples whose frame lies
// inside the sound; the zero frame of padding after the last one is what an interpolation
// at the very end blends towards. A short sound's levels come from its table; a long one has
// none (it would cost several times the sound) and works them out as it plays.
struct VoiceMix {
    const std::int32_t* gains;  // the table, or null for a long sound
    const SampleSlot* sound;
    double panFactor;
    std::int64_t frames;
    double step;
    std::int64_t fadeStart;
    double fadeLength;
};

// Both sides of a stereo frame go through the same arithmetic, so they are worked as one
// pair of doubles; the conversions truncate toward zero exactly like the scalar casts.
using IntPair = std::int32_t __attribute__((vector_size(8)));
using DoublePair = double __attribute__((vector_size(16)));

template <int Channels>
auto loadGains(const std::int32_t* gain) {
    if constexpr (Channels == 2) {
        IntPair pair;
        std::memcpy(&pair, gain, sizeof pair);
        return __builtin_convertvector(pair, DoublePair);
    } else {
        return static_cast<double>(*gain);
    }
}

// The levels of one source frame: from the table, or worked out as the table would hold them.
template <int Channels, bool Live>
auto levelsAt(const VoiceMix& mix, std::int64_t frame) {
    if constexpr (!Live) {
        return loadGains<Channels>(mix.gains + frame * Channels);
    } else if constexpr (Channels == 2) {
        return DoublePair{static_cast<double>(mix.sound->gainAt(frame, 1, mix.panFactor)),
                          static_cast<double>(mix.sound->gainAt(frame, 2, mix.panFactor))};
    } else {
        return static_cast<double>(mix.sound->gainAt(frame, 0, mix.panFactor));
    }
}

template <int Channels, typename Value>
auto truncated(Value value) {
    if constexpr (Channels == 2)
        return __builtin_convertvector(__builtin_convertvector(value, IntPair), DoublePair);
    else
        return static_cast<double>(static_cast<std::int32_t>(value));
}

template <int Channels, typename Value>
void addTo(std::int32_t* sums, Value value) {
    if constexpr (Channels == 2) {
        IntPair pair;
        std::memcpy(&pair, sums, sizeof pair);
        pair += __builtin_convertvector(value, IntPair);
        std::memcpy(sums, &pair, sizeof pair);
    } else {
        *sums += static_cast<std::int32_t>(value);
    }
}

// Mixes samples r .. r + count - 1 of a voice, all of which lie before the end of its sound.
template <int Channels, bool Interpolate, bool Fade, bool Live>
void mixSpan(std::int32_t* sums, std::int64_t r, std::int64_t count, const VoiceMix& mix) {
    for (std::int64_t k = 0; k < count; ++k, ++r) {
        const double f = static_cast<double>(r) * mix.step;
        const auto whole = static_cast<std::int64_t>(f);  // r >= 0, so this is the floor
        auto v = levelsAt<Channels, Live>(mix, whole);
        if constexpr (Interpolate) {
            // The frame after the last one is the zero padding.
            const double fraction = f - static_cast<double>(whole);
            v = truncated<Channels>(v * (1.0 - fraction) +
                                    levelsAt<Channels, Live>(mix, whole + 1) * fraction);
        }
        if constexpr (Fade) v = v * (1.0 - static_cast<double>(r - mix.fadeStart) / mix.fadeLength);
        addTo<Channels>(sums + k * Channels, v);
    }
}

// The first voice-relative sample whose source frame lies past the sound's last frame: from
// there on the voice is silent. floor(r * step) never decreases as r grows, so a binary
// search finds it with the very multiplication the mixing uses.
std::int64_t firstSilentSample(const VoiceMix& mix, std::int64_t rFirst, std::int64_t rEnd) {
    std::int64_t low = rFirst;
    std::int64_t high = rEnd;
    while (low < high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (static_cast<std::int64_t>(static_cast<double>(middle) * mix.step) >= mix.frames)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

template <int Channels, bool Interpolate, bool Live>
void mixVoice(std::int32_t* sums, std::int64_t rFirst, std::int64_t rEnd, const VoiceMix& mix) {
    rEnd = firstSilentSample(mix, rFirst, rEnd);
    // Up to and including fadeStart the voice plays plainly; after it, it fades.
    const std::int64_t plainEnd = mix.fadeStart == -1 ? rEnd : std::min(rEnd, mix.fadeStart + 1);
    if (rFirst < plainEnd)
        mixSpan<Channels, Interpolate, false, Live>(sums, rFirst, plainEnd - rFirst, mix);
    const std::int64_t fadeFirst = std::max(rFirst, plainEnd);
    if (fadeFirst < rEnd)
        mixSpan<Channels, Interpolate, true, Live>(sums + (fadeFirst - rFirst) * Channels,
                                                   fadeFirst, rEnd - fadeFirst, mix);
}

template <int Channels, bool Live>
void mixVoiceAtItsStep(std::int32_t* sums, std::int64_t rFirst, std::int64_t rEnd,
                       const VoiceMix& mix) {
    if (mix.step < 1.0)
        mixVoice<Channels, true, Live>(sums, rFirst, rEnd, mix);
    else
        mixVoice<Channels, false, Live>(sums, rFirst, rEnd, mix);
}

}  // namespace

template <bool Stereo>
void Timeline::addVoice(std::int32_t* sums, std::int64_t a, std::int64_t m,
                        const Active& active) const {
    constexpr int kChannels = Stereo ? 2 : 1;
    const Voice& voice = *active.voice;
    const Sound& sound = *active.sound;
    const bool live = !sound.slot->hasGainTable();
    const VoiceMix mix{live ? nullptr : sound.slot->gains(Stereo).data(),
                       sound.slot,
                       live ? sound.slot->panFactor() : 1.0,
                       sound.frames,
                       sound.slot->samplesPerSec * voice.ratio / sampleRate_,
                       voice.fadeStart,
                       static_cast<double>(voice.fadeLength)};
    // A voice is silent before its start, after its (inclusive) end, and once it has faded out.
    const std::int64_t jFirst = std::max<std::int64_t>(0, voice.start - a);
    std::int64_t jEnd = std::min(m, voice.end - a + 1);
    if (voice.fadeStart != -1)
        jEnd = std::min(jEnd, voice.start + voice.fadeStart + voice.fadeLength - a + 1);
    if (jFirst >= jEnd) return;
    const std::int64_t rFirst = a + jFirst - voice.start;
    std::int32_t* first = sums + jFirst * kChannels;
    if (live)
        mixVoiceAtItsStep<kChannels, true>(first, rFirst, rFirst + jEnd - jFirst, mix);
    else
        mixVoiceAtItsStep<kChannels, false>(first, rFirst, rFirst + jEnd - jFirst, mix);
}

}  // namespace lantrel
