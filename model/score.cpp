#include "score.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <string>
#include <vector>

#include "base/input_file.h"

namespace lantrel {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The character at `position`, or NUL past the end, so that decoding can never run off
// the text even when it ends inside a cell.
char charAt(std::string_view text, std::size_t position) {
    return position < text.size() ? text[position] : '\0';
}

// A line feed survives joining only when the next line carries a key, i.e. an '=' appears
// before the next line feed. The end of the text counts like a line feed, so a last line
// without its own line feed keeps its key.
bool nextLineHasKey(std::string_view text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '=') return true;
        if (text[i] == '\n') return false;
    }
    return false;
}

// Drops spaces, tabs and carriage returns, and the line feeds before lines without a key,
// so that blank lines vanish and a wrapped SCORE= value continues on the next line.
std::string joinLines(std::string_view text) {
    std::string joined;
    joined.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r') continue;
        if (c == '\n' && !nextLineHasKey(text, i + 1)) continue;
        joined.push_back(c);
    }
    return joined;
}

// Optional sign, then digits up to the first non-digit; no digits give 0. Values beyond the
// 32-bit range saturate instead of overflowing.
std::int32_t parseDecimal(std::string_view text, std::size_t position) {
    bool negative = false;
    const char sign = charAt(text, position);
    if (sign == '+' || sign == '-') {
        negative = sign == '-';
        ++position;
    }
    long long value = 0;
    for (char c = charAt(text, position); c >= '0' && c <= '9'; c = charAt(text, ++position)) {
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<std::int32_t>(value);
}

bool parseBoolean(std::string_view text, std::size_t position) {
    switch (charAt(text, position)) {
        case 'T':
        case 't':
        case '1':
        case 'Y':
        case 'y':
            return true;
        default:
            return false;
    }
}

}  // namespace

bool Score::loadFile(const std::filesystem::path& path) {
    end = 1;
    if (!isRegularInputFile(path)) return false;
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size == 0 || size > kMaxFileBytes) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!file.read(text.data(), static_cast<std::streamsize>(size))) return false;
    return parseText(text);
}

bool Score::parseText(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    const std::string joined = joinLines(text);
    notes_.clear();
    std::size_t lineStart = 0;
    while (lineStart <= joined.size()) {
        readLine(joined, lineStart);
        const auto lineFeed = joined.find('\n', lineStart);
        if (lineFeed == std::string::npos) break;
        lineStart = lineFeed + 1;
    }
    return true;
}

void Score::readLine(std::string_view joined, std::size_t lineStart) {
    const std::string_view line = joined.substr(lineStart);
    auto valueAt = [&](std::string_view key) { return lineStart + key.size(); };
    if (line.starts_with("SCORE=")) {
        decodeCells(joined, valueAt("SCORE="));
    } else if (line.starts_with("TEMPO=")) {
        tempo = parseDecimal(joined, valueAt("TEMPO="));
    } else if (line.starts_with("LOOP=")) {
        loop = parseBoolean(joined, valueAt("LOOP="));
    } else if (line.starts_with("END=")) {
        end = parseDecimal(joined, valueAt("END="));
    } else if (line.starts_with("TIME44=")) {
        time44 = parseBoolean(joined, valueAt("TIME44="));
    }
}

// Each cell is (3 - n) zeros followed by its n notes, a note being a pitch digit and an
// instrument digit. Decoding deliberately continues across a line feed consumed inside a
// note, as the sequencer's own reader does.
void Score::decodeCells(std::string_view joined, std::size_t position) {
    for (int column = 0; column < kMaxDecodedColumns; ++column) {
        const char c = charAt(joined, position);
        if (static_cast<unsigned char>(c) >= 128 || hexValue(c) < 0) return;
        int noteCount = 3;
        if (c == '0') {
            if (charAt(joined, position + 1) != '0') {
                noteCount = 2;
                position += 1;
            } else if (charAt(joined, position + 2) != '0') {
                noteCount = 1;
                position += 2;
            } else {
                noteCount = 0;
                position += 3;
            }
        }
        auto nextDigit = [&] {
            const char digit = charAt(joined, position);
            if (digit != '\0') ++position;
            return hexValue(digit);
        };
        for (int slot = 0; slot < kSlotsPerCell; ++slot) {
            Note note = kNoNote;
            if (slot < noteCount) {
                note.pitch = nextDigit();
                note.instrument = nextDigit();
            }
            notes_.setNote(column, slot, note);
        }
    }
}

int Score::noteCount() const {
    int count = 0;
    const int columns = std::min(columnCount(), kMaxDecodedColumns);
    for (int column = 0; column < columns; ++column)
        for (int slot = 0; slot < kSlotsPerCell; ++slot)
            if (notes_.note(column, slot).holdsNote()) ++count;
    return count;
}

}  // namespace lantrel
