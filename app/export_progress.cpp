#include "export_progress.h"

#include <algorithm>

namespace lantrel {

int soundProgressHalfBeat(std::int64_t mixed, std::int64_t total, std::int64_t rate, int loops,
                          int columns) {
    const std::int64_t halfBeats = 2 * static_cast<std::int64_t>(std::max(columns, 0));
    const std::int64_t song = total - rate;
    if (halfBeats == 0 || song <= 0 || mixed <= rate) return 0;
    if (mixed >= song) return static_cast<int>(halfBeats - 1);
    // In units of 1/loops sample a round is exactly `song` long, so a round starts at 0 even
    // when the song's samples do not divide: `into` is how far the current round has gone.
    const std::int64_t into = mixed * std::max(loops, 1) % song;
    const auto halfBeat = static_cast<std::int64_t>(static_cast<long double>(into) *
                                                    static_cast<long double>(halfBeats) /
                                                    static_cast<long double>(song));
    return static_cast<int>(std::clamp<std::int64_t>(halfBeat, 0, halfBeats - 1));
}

}  // namespace lantrel
