#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace lantrel {

// The files of the resource folder: the four sprite bitmaps taken from the sequencer's
// executable and its 24 sounds. This is the one list of them: the start-up check looks for
// exactly these, the import writes them in this order, the sprite sheets and sample sets read
// them, and the build's resource generator writes them.
inline constexpr std::string_view kIconsBitmap = "icons.bmp";
inline constexpr std::string_view kIconsMaskBitmap = "icons_mask.bmp";
inline constexpr std::string_view kRunnerBitmap = "running.bmp";
inline constexpr std::string_view kRunnerMaskBitmap = "running_mask.bmp";

inline constexpr std::size_t kSpriteBitmapCount = 4;
inline constexpr std::array<std::string_view, kSpriteBitmapCount> kSpriteBitmapNames = {
    kIconsBitmap, kIconsMaskBitmap, kRunnerBitmap, kRunnerMaskBitmap};

// Sounds 1..15 and 21..29, in numeric order. The sequencer spells its last two in capitals, and
// the names are kept exactly as it spells them (the sound reader retries in either case).
inline constexpr std::size_t kSoundFileCount = 24;
inline constexpr std::array<std::string_view, kSoundFileCount> kSoundFileNames = {
    "sound1.wav",  "sound2.wav",  "sound3.wav",  "sound4.wav",  "sound5.wav",  "sound6.wav",
    "sound7.wav",  "sound8.wav",  "sound9.wav",  "sound10.wav", "sound11.wav", "sound12.wav",
    "sound13.wav", "sound14.wav", "sound15.wav", "sound21.wav", "sound22.wav", "sound23.wav",
    "sound24.wav", "sound25.wav", "sound26.wav", "sound27.wav", "SOUND28.WAV", "SOUND29.WAV",
};

// The file name of sound `number` (1..15 or 21..29).
constexpr std::string_view soundFileName(int number) {
    const int index = number <= 15 ? number - 1 : number - 6;
    return kSoundFileNames.at(static_cast<std::size_t>(index));
}

inline constexpr std::size_t kResourceFileCount = kSpriteBitmapCount + kSoundFileCount;

// Every file of the folder: the bitmaps, then the sounds.
inline constexpr std::array<std::string_view, kResourceFileCount> kResourceNames = [] {
    std::array<std::string_view, kResourceFileCount> names{};
    std::size_t next = 0;
    for (const std::string_view name : kSpriteBitmapNames)
        names[next++] = name;
    for (const std::string_view name : kSoundFileNames)
        names[next++] = name;
    return names;
}();

// True for names whose last three characters are "wav" in any case: the sounds of the list.
bool isSoundFileName(std::string_view name);

}  // namespace lantrel
