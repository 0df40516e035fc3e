#pragma once

#include <array>
#include <string_view>

namespace lantrel {

// Every file that an import writes into the resource folder, in the order it writes them: the
// four sprite bitmaps taken from the sequencer's executable, then its 24 sounds. Start-up
// checks for exactly these names.
inline constexpr std::size_t kImportFileCount = 28;
extern const std::array<std::string_view, kImportFileCount> kImportList;

// True for names whose last three characters are "wav" in any case: the sounds of the list.
bool isSoundFileName(std::string_view name);

}  // namespace lantrel
