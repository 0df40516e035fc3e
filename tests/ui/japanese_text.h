#pragma once

#include <QString>

namespace lantrel::test {

// Whether the text holds kana, kanji or a full-width form: what an English window must not show.
inline bool hasJapanese(const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        const bool kana = c >= 0x3000 && c <= 0x30FF;
        const bool kanji = c >= 0x3400 && c <= 0x9FFF;
        const bool fullWidth = c >= 0xFF00 && c <= 0xFFEF;
        if (kana || kanji || fullWidth) return true;
    }
    return false;
}

}  // namespace lantrel::test
