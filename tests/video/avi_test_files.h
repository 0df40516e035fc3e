#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/byte_order.h"
#include "support/command_output.h"
#include "video/avi_stream.h"
#include "video/avi_writer.h"

// Known contents for AVI files written by the tests, and the outside tools that read them.
namespace lantrel::test {

// ffprobe's "key=value" lines for one stream ("v:0", "a:0"); tags come as "TAG:name".
inline std::map<std::string, std::string> probeStream(const std::filesystem::path& file,
                                                      const std::string& stream) {
    const std::string out =
        commandOutput("ffprobe -v error -count_frames -select_streams " + stream +
                      " -show_entries stream=codec_type,codec_name,pix_fmt,width,height,nb_frames,"
                      "nb_read_frames,sample_rate,channels:stream_tags=title -of default=nw=1 " +
                      quoted(file) + " 2>&1");
    std::map<std::string, std::string> fields;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (const auto equals = line.find('='); equals != std::string::npos)
            fields[line.substr(0, equals)] = line.substr(equals + 1);
    return fields;
}

// The bytes of all packets of one stream, as ffmpeg demuxes them.
inline std::string demuxedBytes(const std::filesystem::path& file, const std::string& stream,
                                const std::string& format) {
    return commandOutput("ffmpeg -v error -i " + quoted(file) + " -map 0:" + stream +
                         " -c copy -f " + format + " - 2>/dev/null");
}

// What a full decode of the file complains about: empty for a clean file.
inline std::string decodeErrors(const std::filesystem::path& file) {
    return commandOutput("ffmpeg -v error -i " + quoted(file) + " -f null - 2>&1");
}

// The top-level RIFF chunks of a file as (form type, total size with the 8-byte header),
// walked here without the reader so that the check does not trust the code it checks.
inline std::vector<std::pair<std::string, std::uint64_t>> riffSegments(
    const std::filesystem::path& path) {
    std::vector<std::pair<std::string, std::uint64_t>> segments;
    std::ifstream in(path, std::ios::binary);
    char header[12];
    while (in.read(header, sizeof header)) {
        std::uint32_t size = 0;
        std::memcpy(&size, header + 4, 4);
        if (std::string(header, 4) != "RIFF") break;
        segments.emplace_back(std::string(header + 8, 4), std::uint64_t{size} + 8);
        in.seekg(static_cast<std::streamoff>(size) - 4 + (size & 1), std::ios::cur);
    }
    return segments;
}

// A picture whose every byte depends on its index, so that swapped, lost or shifted frames
// show.
inline std::vector<std::byte> paintedFrame(int index, std::size_t bytes = kScreenFrameBytes) {
    std::vector<std::byte> frame(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
        frame[i] = static_cast<std::byte>((i + static_cast<std::size_t>(index) * 37) % 251);
    return frame;
}

// A WAV 'fmt ' chunk body for integer PCM.
inline std::vector<std::byte> pcmFormat(int channels, int rate, int bits) {
    const int blockAlign = channels * bits / 8;
    std::vector<std::byte> format;
    le::put(format, 1, 2);  // PCM
    le::put(format, static_cast<std::uint32_t>(channels), 2);
    le::put(format, static_cast<std::uint32_t>(rate), 4);
    le::put(format, static_cast<std::uint32_t>(rate * blockAlign), 4);
    le::put(format, static_cast<std::uint32_t>(blockAlign), 2);
    le::put(format, static_cast<std::uint32_t>(bits), 2);
    return format;
}

// Stereo 16-bit samples [first, first + count) of a pattern that never repeats within a test.
inline std::vector<std::byte> stereoPcm(std::int64_t first, std::int64_t count) {
    std::vector<std::byte> bytes;
    for (std::int64_t s = first; s < first + count; ++s) {
        le::put(bytes, static_cast<std::uint32_t>(s * 7 % 65536), 2);
        le::put(bytes, static_cast<std::uint32_t>((s * 13 + 1000) % 65536), 2);
    }
    return bytes;
}

// A video of `frames` painted frames and, when `rate` is nonzero, a stereo 16-bit audio
// stream of the same length, laid out one second of each at a time as the exporter joins
// them. Returns the writer's error, empty on success.
inline std::string writeMovie(const std::filesystem::path& path, int frames, std::uint32_t fps,
                              int rate, AviWriterOptions options = {}) {
    AviWriter writer(options);
    if (!writer.create(path)) return writer.error();
    const int video = writer.addStream(scoreVideoStream(fps));
    const int audio = rate != 0 ? writer.addStream(pcmAudioStream(pcmFormat(2, rate, 16))) : -1;
    const std::int64_t samples = std::int64_t{frames} * rate / fps;
    std::int64_t sample = 0;
    for (int frame = 0; frame < frames || sample < samples;) {
        for (int end = frame + static_cast<int>(fps); frame < std::min(end, frames); ++frame)
            if (!writer.write(video, paintedFrame(frame))) return writer.error();
        const std::int64_t count = std::min<std::int64_t>(rate, samples - sample);
        if (count > 0 && !writer.write(audio, stereoPcm(sample, count))) return writer.error();
        sample += std::max<std::int64_t>(count, 0);
    }
    if (!writer.close()) return writer.error();
    return {};
}

// A movie of a few KB: 8 x 8 frames and 8-bit mono sound in chunks of uneven size, spread
// over several small segments. Small enough to open thousands of times, or to seed a fuzzer.
inline std::string writeTinyMovie(const std::filesystem::path& path, int frames,
                                  std::uint64_t segmentLimit) {
    AviWriterOptions options;
    options.segmentLimit = segmentLimit;
    options.superIndexEntries = 4;
    AviWriter writer(options);
    AviStream video = scoreVideoStream(4);
    video.format = bitmapInfoHeader(8, 8);
    video.header.frame = {0, 0, 8, 8};
    if (!writer.create(path) || writer.addStream(video) != 0 ||
        writer.addStream(pcmAudioStream(pcmFormat(1, 8000, 8))) != 1)
        return writer.error();
    for (int frame = 0; frame < frames; ++frame)
        if (!writer.write(0, paintedFrame(frame, 8 * 8 * 3)) ||
            !writer.write(
                1, paintedFrame(1000 + frame, 21 + 10 * static_cast<std::size_t>(frame % 3))))
            return writer.error();
    if (!writer.close()) return writer.error();
    return {};
}

}  // namespace lantrel::test
