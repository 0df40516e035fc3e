#pragma once

#include <cstdint>

namespace lantrel {

// The half-beat the preview shows while an export mixes its sound: `mixed` is the mixer
// sample the sound phase has reached and `total` the song's samples plus one second of
// `rate`, as the phase posts them. The song is the arrangement (`columns` columns) played
// `loops` times, and the preview runs through the arrangement once per round; the first
// second shows the start, and the ringing second after the last round (or a post that
// overshoots) stays on the last half-beat, so the position never leaves the arrangement.
int soundProgressHalfBeat(std::int64_t mixed, std::int64_t total, std::int64_t rate, int loops,
                          int columns);

}  // namespace lantrel
