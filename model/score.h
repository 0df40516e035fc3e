#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "note_store.h"

namespace lantrel {

// One song of the external step sequencer, parsed from its score text (.vtq).
// Only the first 960 columns of a SCORE= line are decoded; `end` fixes the length:
// the score occupies columns 0 .. end - 2.
class Score {
  public:
    static constexpr int kMaxDecodedColumns = 960;
    // Real score files are a few kilobytes; anything larger is not a score and is refused
    // rather than read into memory.
    static constexpr std::uintmax_t kMaxFileBytes = 16u << 20;

    // Reads and parses a score file. False for a file that is empty, missing, unreadable or
    // too large; nothing is parsed then.
    bool loadFile(const std::filesystem::path& path);
    // Parses score text up to its first NUL (or its end). Always succeeds.
    bool parseText(std::string_view text);

    Note note(int column, int slot) const { return notes_.note(column, slot); }
    int columnCount() const { return end > 1 ? end - 1 : 0; }
    // Slots that hold a note (pitch >= 1) within the score's columns.
    int noteCount() const;

    std::int32_t tempo = 100;
    bool loop = false;
    std::int32_t end = 1;
    bool time44 = true;

  private:
    void decodeCells(std::string_view joined, std::size_t position);
    void readLine(std::string_view joined, std::size_t lineStart);

    NoteStore notes_;
};

}  // namespace lantrel
