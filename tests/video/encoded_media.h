#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "encode/movie_sink.h"
#include "encode/screen_converter.h"
#include "support/command_output.h"

// Pictures and sounds for the encoder tests, and ffprobe and ffmpeg reading back what the
// encoders wrote.
namespace lantrel::test {

inline constexpr int kScreenWidth = ScreenPicture::kWidth;
inline constexpr int kScreenHeight = ScreenPicture::kHeight;

constexpr std::uint32_t rgb(int r, int g, int b) {
    return 0xFF000000u | static_cast<std::uint32_t>(r << 16 | g << 8 | b);
}

// Colours of the program's own sprites.
inline constexpr std::array<std::uint32_t, 9> kSpriteColours = {
    rgb(0, 0, 0),      rgb(255, 255, 255), rgb(215, 215, 215), rgb(225, 45, 45),  rgb(45, 105, 215),
    rgb(250, 210, 60), rgb(70, 175, 80),   rgb(150, 85, 205),  rgb(250, 205, 165)};

// A score-screen-like picture in memory: flat cells of sprite colours with one-pixel black
// outlines, and a block that moves four pixels a frame, so that every frame differs and
// every edge is sharp.
class TestScreen {
  public:
    TestScreen() : pixels_(static_cast<std::size_t>(kScreenWidth * kScreenHeight)) {}

    void draw(int frame) {
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x)
                set(x, y, cellColour(x, y, frame));
        const int left = (frame * 4) % (kScreenWidth - 24);
        for (int y = 100; y < 124; ++y)
            for (int x = left; x < left + 24; ++x)
                set(x, y, kSpriteColours[3]);
    }
    // Every pixel its own colour from a fixed pseudo-random sequence.
    void drawNoise(std::uint32_t seed) {
        for (auto& pixel : pixels_) {
            seed = seed * 1664525u + 1013904223u;
            pixel = 0xFF000000u | (seed >> 8);
        }
    }
    void fill(std::uint32_t colour) { std::fill(pixels_.begin(), pixels_.end(), colour); }
    void set(int x, int y, std::uint32_t colour) {
        pixels_[static_cast<std::size_t>(y * kScreenWidth + x)] = colour;
    }
    std::uint32_t at(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y * kScreenWidth + x)];
    }
    ScreenPicture view() const {
        return {reinterpret_cast<const std::byte*>(pixels_.data()), kScreenWidth * 4};
    }

  private:
    static std::uint32_t cellColour(int x, int y, int frame) {
        if (x % 32 == 0 || y % 32 == 0) return kSpriteColours[0];
        const int cell = x / 16 + y / 16 * 3 + frame / 5;
        return kSpriteColours[1 + static_cast<std::size_t>(cell) % (kSpriteColours.size() - 1)];
    }
    std::vector<std::uint32_t> pixels_;
};

// BT.709 limited-range luma, computed in floating point as a reference.
inline double referenceLuma(std::uint32_t pixel) {
    const double r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return 16.0 + 219.0 * (0.2126 * r + 0.7152 * g + 0.0722 * b) / 255.0;
}
inline double referenceCb(double r, double g, double b) {
    return 128.0 + 224.0 * (-0.2126 * r - 0.7152 * g + 0.9278 * b) / 1.8556 / 255.0;
}
inline double referenceCr(double r, double g, double b) {
    return 128.0 + 224.0 * (0.7874 * r - 0.7152 * g - 0.0722 * b) / 1.5748 / 255.0;
}

// Source pixel of a frame: (frame, x, y) on the 512 x 384 screen.
using SourcePixel = std::function<std::uint32_t(int, int, int)>;

// The squared luma errors of one decoded yuv420p frame against `source`'s frame `f` enlarged
// by nearest neighbour and converted in floating point; the canvas around the picture should
// be black.
inline double lumaSquares(const unsigned char* luma, const MovieGeometry& geometry, int f,
                          const SourcePixel& source) {
    double squares = 0;
    for (int y = 0; y < geometry.height; ++y)
        for (int x = 0; x < geometry.width; ++x) {
            const int px = x - geometry.pictureX;
            const bool inside = px >= 0 && px < geometry.pictureWidth();
            const double expected =
                inside ? referenceLuma(source(f, px / geometry.scale, y / geometry.scale)) : 16.0;
            const double error = luma[y * geometry.width + x] - expected;
            squares += error * error;
        }
    return squares;
}

inline double psnrOf(double squares, double pixels) {
    return 10 * std::log10(255.0 * 255.0 * pixels / std::max(squares, 1e-9));
}

// Luma PSNR of all `frames` decoded yuv420p frames (0 when there are not exactly so many).
inline double lumaPsnr(const std::string& decoded, const MovieGeometry& geometry, int frames,
                       const SourcePixel& source) {
    const auto frameBytes = static_cast<std::size_t>(geometry.width * geometry.height * 3 / 2);
    if (decoded.size() != frameBytes * static_cast<std::size_t>(frames)) return 0;
    double squares = 0;
    for (int f = 0; f < frames; ++f)
        squares +=
            lumaSquares(reinterpret_cast<const unsigned char*>(decoded.data()) + f * frameBytes,
                        geometry, f, source);
    return psnrOf(squares, static_cast<double>(frames) * geometry.width * geometry.height);
}

// Luma PSNR of decoded frame `index` alone against the picture of `source`'s frame `index`.
inline double frameLumaPsnr(const std::string& decoded, const MovieGeometry& geometry, int index,
                            const SourcePixel& source) {
    const auto frameBytes = static_cast<std::size_t>(geometry.width * geometry.height * 3 / 2);
    if (decoded.size() < frameBytes * static_cast<std::size_t>(index + 1)) return 0;
    return psnrOf(lumaSquares(reinterpret_cast<const unsigned char*>(decoded.data()) +
                                  static_cast<std::size_t>(index) * frameBytes,
                              geometry, index, source),
                  static_cast<double>(geometry.width) * geometry.height);
}

// The lag (within ±range) at which `decoded` lines up best with `source`, and how well.
struct Alignment {
    int lag = 0;
    double correlation = 0;
};
inline Alignment alignment(const std::vector<std::int16_t>& source,
                           const std::vector<std::int16_t>& decoded, int range) {
    Alignment best{0, -2};
    const auto from = static_cast<std::ptrdiff_t>(range);
    const auto to = static_cast<std::ptrdiff_t>(std::min(source.size(), decoded.size())) - range;
    for (int lag = -range; lag <= range; ++lag) {
        double product = 0, sourceEnergy = 0, decodedEnergy = 0;
        for (std::ptrdiff_t i = from; i < to; ++i) {
            const double a = source[static_cast<std::size_t>(i)];
            const double b = decoded[static_cast<std::size_t>(i + lag)];
            product += a * b;
            sourceEnergy += a * a;
            decodedEnergy += b * b;
        }
        const double correlation = product / std::sqrt(sourceEnergy * decodedEnergy + 1e-9);
        if (correlation > best.correlation) best = {lag, correlation};
    }
    return best;
}

// Stereo or mono sound of `frames` sample frames: 50 ms bursts of tones whose pitch and
// loudness change from burst to burst, so that the sound lines up with a copy of itself at
// one lag only.
inline std::vector<std::int16_t> toneBursts(std::int64_t frames, int channels, int rate) {
    constexpr double kPi = 3.14159265358979323846;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames * channels));
    const std::int64_t burst = rate / 20;
    for (std::int64_t i = 0; i < frames; ++i) {
        const std::int64_t index = i / burst;
        for (int channel = 0; channel < channels; ++channel) {
            const double pitch = 220.0 * static_cast<double>(1 + (index * 7 + channel * 3) % 5);
            const double loudness = 3000.0 + 2000.0 * static_cast<double>((index * 5) % 4);
            samples[static_cast<std::size_t>(i * channels + channel)] = static_cast<std::int16_t>(
                loudness * std::sin(2 * kPi * pitch * static_cast<double>(i) / rate));
        }
    }
    return samples;
}

// ffprobe's key=value lines for one stream ("v:0", "a:0").
inline std::map<std::string, std::string> probe(const std::filesystem::path& file,
                                                const std::string& stream) {
    const std::string out = commandOutput(
        "ffprobe -v error -count_frames -select_streams " + stream +
        " -show_entries stream=codec_name,profile,pix_fmt,width,height,r_frame_rate,"
        "color_space,color_range,color_primaries,color_transfer,nb_frames,nb_read_frames,"
        "sample_rate,channels,sample_fmt,bits_per_raw_sample,start_time,duration,bit_rate"
        " -of default=nw=1 " +
        quoted(file) + " 2>&1");
    std::map<std::string, std::string> fields;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (const auto equals = line.find('='); equals != std::string::npos)
            fields[line.substr(0, equals)] = line.substr(equals + 1);
    return fields;
}

// What ffprobe should read in an MP4 of ours: `frames` H.264 frames (High profile, 4:2:0) of
// width x height at `fps`, and AAC-LC at `rate` Hz in `channels`, both from time 0, the sound
// lasting as long as the picture within one frame.
struct Mp4Streams {
    int width = 1024;
    int height = 768;
    int fps = 10;
    std::int64_t frames = 0;
    int rate = 44100;
    int channels = 2;
};
inline void expectMp4Streams(const std::filesystem::path& file, const Mp4Streams& expected) {
    auto video = probe(file, "v:0");
    EXPECT_EQ(video["codec_name"], "h264");
    EXPECT_EQ(video["profile"], "High");
    EXPECT_EQ(video["pix_fmt"], "yuv420p");
    EXPECT_EQ(video["width"], std::to_string(expected.width));
    EXPECT_EQ(video["height"], std::to_string(expected.height));
    EXPECT_EQ(video["r_frame_rate"], std::to_string(expected.fps) + "/1");
    EXPECT_EQ(video["nb_read_frames"], std::to_string(expected.frames));
    EXPECT_EQ(video["start_time"], "0.000000");
    auto audio = probe(file, "a:0");
    EXPECT_EQ(audio["codec_name"], "aac");
    EXPECT_EQ(audio["profile"], "LC");
    EXPECT_EQ(audio["sample_rate"], std::to_string(expected.rate));
    EXPECT_EQ(audio["channels"], std::to_string(expected.channels));
    EXPECT_EQ(audio["start_time"], "0.000000");
    const double seconds = static_cast<double>(expected.frames) / expected.fps;
    EXPECT_NEAR(std::stod(video["duration"]), seconds, 1e-6);
    EXPECT_NEAR(std::stod(audio["duration"]), seconds, 1.0 / expected.fps);
}

// The decoded video as raw frames in `pixelFormat` (yuv420p, rgb24), converted by ffmpeg
// with the matrix the file is tagged with.
inline std::string decodedVideo(const std::filesystem::path& file, const std::string& pixelFormat) {
    return commandOutput("ffmpeg -v error -i " + quoted(file) + " -map 0:v -f rawvideo -pix_fmt " +
                         pixelFormat + " - 2>/dev/null");
}

// The decoded sound as 16-bit samples at the file's own rate and channels.
inline std::vector<std::int16_t> decodedSound(const std::filesystem::path& file) {
    const std::string bytes = commandOutput("ffmpeg -v error -i " + quoted(file) +
                                            " -map 0:a -f s16le -acodec pcm_s16le - 2>/dev/null");
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// The samples of a WAV file that the export wrote (after its 44-byte header).
inline std::vector<std::int16_t> wavSamples(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() < 44) return {};
    std::vector<std::int16_t> samples((bytes.size() - 44) / 2);
    std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    return samples;
}

// The four-character types of a file's top-level boxes, in order.
inline std::vector<std::string> topLevelBoxes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> boxes;
    unsigned char header[16];
    while (in.read(reinterpret_cast<char*>(header), 8)) {
        std::uint64_t size = 0;
        for (int k = 0; k < 4; ++k)
            size = size << 8 | header[k];
        boxes.emplace_back(reinterpret_cast<const char*>(header + 4), 4);
        std::uint64_t headerSize = 8;
        if (size == 1 && in.read(reinterpret_cast<char*>(header + 8), 8)) {  // a 64-bit size
            size = 0;
            for (int k = 8; k < 16; ++k)
                size = size << 8 | header[k];
            headerSize = 16;
        }
        if (size < headerSize) break;
        in.seekg(static_cast<std::streamoff>(size - headerSize), std::ios::cur);
    }
    return boxes;
}

// Runs `work` in a child process whose files may grow to `bytes` at most (a disk that fills
// up) and returns its exit status; -1 when it did not exit normally.
inline int exitStatusWithFileLimit(rlim_t bytes, const std::function<int()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        const rlimit limit{bytes, bytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(work());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace lantrel::test
