#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "libav_handles.h"

struct AVStream;

namespace lantrel {

// A file of encoded streams written by libavformat under a temporary name in its target's
// folder, and renamed over the target only when it is complete. Whatever goes wrong (the
// encoder, a full disk, the caller giving up) removes the temporary file, and a file already
// at the target stays as it was.
//
// Use: create, open each encoder and addStream it, begin, encode frames, finish. The first
// failure is kept in error() and every later call returns false.
class EncodedFile {
  public:
    EncodedFile();
    ~EncodedFile();
    EncodedFile(const EncodedFile&) = delete;
    EncodedFile& operator=(const EncodedFile&) = delete;

    // Creates ".NAME.XXXXXX" beside `target` and libavformat's muxer `format` ("mp4", "flac")
    // writing into it.
    bool create(const std::filesystem::path& target, const char* format);
    // Whether encoders must put their set-up data in the container (AV_CODEC_FLAG_GLOBAL_HEADER).
    bool wantsGlobalHeader() const;
    // The container's title tag; before begin().
    void setTitle(const std::string& title);
    // A stream for what the opened `encoder` makes; its index, or -1.
    int addStream(const AVCodecContext& encoder);
    // Writes the container's header; the muxer takes the options it knows, and any it leaves
    // is a failure.
    bool begin(libav::Options& options);
    // Sends `frame` to the encoder (null: the stream's end, flushing it) and writes every
    // packet the encoder gives back. Packets that come without a duration get `frameDuration`
    // (in the encoder's time base): an encoder that delays frames does not say how long each
    // one lasts, and the muxer would otherwise cut the last one short.
    bool encode(AVCodecContext& encoder, int stream, const AVFrame* frame,
                std::int64_t frameDuration = 0);
    // Writes the container's end, puts the file on the disk and renames it over the target.
    bool finish();
    void abandon();

    // Records the first failure, removes the temporary file; returns false.
    bool fail(const std::string& message);
    bool failed() const { return failed_; }
    const std::string& error() const { return error_; }
    const std::filesystem::path& target() const { return target_; }
    const std::filesystem::path& temporaryPath() const { return temporary_; }

  private:
    bool failWith(const std::string& what, int code);
    bool writePacket(const AVCodecContext& encoder, int stream, std::int64_t frameDuration);
    bool closeOutput();
    void discard();

    libav::OutputFormat format_;
    libav::Packet packet_;
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    bool failed_ = false;
    bool finished_ = false;
    std::string error_;
};

}  // namespace lantrel
