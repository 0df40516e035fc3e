#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/screen_size.h"

namespace lantrel {

// A RIFF four-character code as it reads from the file: the first character in the low byte.
using FourCc = std::uint32_t;

constexpr FourCc fourCc(const char (&text)[5]) {
    return static_cast<FourCc>(static_cast<unsigned char>(text[0])) |
           static_cast<FourCc>(static_cast<unsigned char>(text[1])) << 8 |
           static_cast<FourCc>(static_cast<unsigned char>(text[2])) << 16 |
           static_cast<FourCc>(static_cast<unsigned char>(text[3])) << 24;
}

std::string fourCcText(FourCc code);

// Chunks start on even offsets: an odd-sized body is followed by one pad byte.
constexpr std::uint64_t riffPadded(std::uint64_t size) {
    return size + (size & 1);
}

// The 56 bytes of an AVI stream header ('strh'), field for field.
struct AviStreamHeader {
    static constexpr std::size_t kSize = 56;

    FourCc type = 0;  // 'vids' or 'auds'
    FourCc handler = 0;
    std::uint32_t flags = 0;
    std::uint16_t priority = 0;
    std::uint16_t language = 0;
    std::uint32_t initialFrames = 0;
    std::uint32_t scale = 1;  // a sample lasts scale / rate seconds
    std::uint32_t rate = 1;
    std::uint32_t start = 0;
    std::uint32_t length = 0;  // in samples; the writer fills it in from what was written
    std::uint32_t suggestedBufferSize = 0;
    std::int32_t quality = -1;     // -1: the reader's default
    std::uint32_t sampleSize = 0;  // 0: each chunk is one sample (video); else bytes a sample
    std::array<std::int16_t, 4> frame{};  // left, top, right, bottom

    std::array<std::byte, kSize> encode() const;
    // Fields missing from a short header read as zero.
    static AviStreamHeader decode(std::span<const std::byte> bytes);

    friend bool operator==(const AviStreamHeader&, const AviStreamHeader&) = default;
};

// What a stream carries besides its samples: the header, the 'strf' format bytes as they
// stand (a BITMAPINFOHEADER for video, a WAVEFORMATEX for audio) and the 'strn' name.
struct AviStream {
    AviStreamHeader header;
    std::vector<std::byte> format;
    std::string name;
};

inline constexpr FourCc kStreamVideo = fourCc("vids");
inline constexpr FourCc kStreamAudio = fourCc("auds");

// The score screen's picture as a video frame: 24 bits, rows bottom-up, 1536 bytes a row.
inline constexpr std::uint32_t kScreenFrameBytes = kScreenWidth * kScreenHeight * 3;

// A 40-byte BITMAPINFOHEADER for an uncompressed bottom-up 24-bit picture.
std::vector<std::byte> bitmapInfoHeader(std::int32_t width, std::int32_t height);

// The exported score video: handler "VTQM", named "PELLUCID VTQ", one key frame every
// 1 / fps seconds, each frame a whole 512 x 384 picture.
AviStream scoreVideoStream(std::uint32_t fps);

// An audio stream carrying a WAV's PCM data unchanged. `waveFormat` is the WAV's 'fmt '
// chunk (16 bytes for PCM or more): one sample is one block of all channels, rate samples a
// second, and the reader is told to buffer one second.
AviStream pcmAudioStream(std::span<const std::byte> waveFormat);

}  // namespace lantrel
