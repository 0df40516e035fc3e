#include "avi_stream.h"

#include <algorithm>

#include "base/byte_order.h"

namespace lantrel {

std::string fourCcText(FourCc code) {
    std::string text;
    for (int i = 0; i < 4; ++i)
        text += static_cast<char>(code >> (8 * i) & 0xFF);
    return text;
}

std::array<std::byte, AviStreamHeader::kSize> AviStreamHeader::encode() const {
    std::vector<std::byte> out;
    out.reserve(kSize);
    le::put32(out, type);
    le::put32(out, handler);
    le::put32(out, flags);
    le::put16(out, priority);
    le::put16(out, language);
    le::put32(out, initialFrames);
    le::put32(out, scale);
    le::put32(out, rate);
    le::put32(out, start);
    le::put32(out, length);
    le::put32(out, suggestedBufferSize);
    le::put32(out, static_cast<std::uint32_t>(quality));
    le::put32(out, sampleSize);
    for (const std::int16_t edge : frame)
        le::put16(out, static_cast<std::uint16_t>(edge));
    std::array<std::byte, kSize> bytes{};
    std::copy(out.begin(), out.end(), bytes.begin());
    return bytes;
}

AviStreamHeader AviStreamHeader::decode(std::span<const std::byte> bytes) {
    std::array<std::byte, kSize> whole{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), kSize), whole.begin());
    const std::span<const std::byte> in(whole);
    AviStreamHeader header;
    header.type = le::get32(in, 0);
    header.handler = le::get32(in, 4);
    header.flags = le::get32(in, 8);
    header.priority = le::get16(in, 12);
    header.language = le::get16(in, 14);
    header.initialFrames = le::get32(in, 16);
    header.scale = le::get32(in, 20);
    header.rate = le::get32(in, 24);
    header.start = le::get32(in, 28);
    header.length = le::get32(in, 32);
    header.suggestedBufferSize = le::get32(in, 36);
    header.quality = static_cast<std::int32_t>(le::get32(in, 40));
    header.sampleSize = le::get32(in, 44);
    for (std::size_t i = 0; i < header.frame.size(); ++i)
        header.frame[i] = static_cast<std::int16_t>(le::get16(in, 48 + 2 * i));
    return header;
}

std::vector<std::byte> bitmapInfoHeader(std::int32_t width, std::int32_t height) {
    constexpr std::uint32_t kPixelsPerMetre = 2834;  // 72 dots per inch
    const auto rowBytes = static_cast<std::uint32_t>(width) * 3;
    std::vector<std::byte> out;
    le::put32(out, 40);
    le::put32(out, static_cast<std::uint32_t>(width));
    le::put32(out, static_cast<std::uint32_t>(height));  // positive: bottom row first
    le::put16(out, 1);                                   // planes
    le::put16(out, 24);                                  // bits a pixel
    le::put32(out, 0);                                   // BI_RGB, uncompressed
    le::put32(out, rowBytes * static_cast<std::uint32_t>(height));
    le::put32(out, kPixelsPerMetre);
    le::put32(out, kPixelsPerMetre);
    le::put32(out, 0);  // colours used
    le::put32(out, 0);  // colours important
    return out;
}

AviStream scoreVideoStream(std::uint32_t fps) {
    AviStream stream;
    stream.header.type = kStreamVideo;
    stream.header.handler = fourCc("VTQM");
    stream.header.scale = 1;
    stream.header.rate = fps;
    stream.header.quality = -1;
    stream.header.frame = {0, 0, kScreenWidth, kScreenHeight};
    stream.format = bitmapInfoHeader(kScreenWidth, kScreenHeight);
    stream.name = "PELLUCID VTQ";
    return stream;
}

AviStream pcmAudioStream(std::span<const std::byte> waveFormat) {
    AviStream stream;
    stream.format.assign(waveFormat.begin(), waveFormat.end());
    std::array<std::byte, 16> fields{};
    std::copy_n(waveFormat.begin(), std::min(waveFormat.size(), fields.size()), fields.begin());
    stream.header.type = kStreamAudio;
    stream.header.scale = 1;
    stream.header.rate = le::get32(fields, 4);                 // samples a second
    stream.header.suggestedBufferSize = le::get32(fields, 8);  // bytes a second
    stream.header.sampleSize = le::get16(fields, 12);          // block align
    stream.header.quality = -1;
    return stream;
}

}  // namespace lantrel
