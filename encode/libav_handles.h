#pragma once

#include <memory>
#include <string>

// Owning handles for the libav objects the encoders use, so that every early return and every
// failure frees them. The libav types are only declared here: code that uses the encoders
// needs no libav headers.
struct AVCodecContext;
struct AVDictionary;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

namespace lantrel::libav {

struct CodecContextFree {
    void operator()(AVCodecContext* context) const;
};
struct FrameFree {
    void operator()(AVFrame* frame) const;
};
struct PacketFree {
    void operator()(AVPacket* packet) const;
};
// Closes the file the muxer writes to, then frees the muxer.
struct OutputFormatFree {
    void operator()(AVFormatContext* format) const;
};

using CodecContext = std::unique_ptr<AVCodecContext, CodecContextFree>;
using Frame = std::unique_ptr<AVFrame, FrameFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;
using OutputFormat = std::unique_ptr<AVFormatContext, OutputFormatFree>;

// Options handed to libav by address: libav takes out the entries it knows, so what is left
// afterwards was not understood.
class Options {
  public:
    Options() = default;
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;
    ~Options();

    void set(const char* key, const std::string& value);
    AVDictionary** address() { return &dictionary_; }
    // The keys libav left, comma-separated; empty when it took them all.
    std::string leftOver() const;

  private:
    AVDictionary* dictionary_ = nullptr;
};

// libav's words for an AVERROR code, e.g. "No space left on device".
std::string errorText(int code);

}  // namespace lantrel::libav
