// Feeds arbitrary bytes to the score parser: it must never crash, read past the text or
// decode more than 960 columns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/score.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lantrel::Score score;
    score.parseText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!score.note(lantrel::Score::kMaxDecodedColumns, 0).isEmpty()) std::abort();
    (void)score.noteCount();
    return 0;
}
