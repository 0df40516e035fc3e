#include "encoded_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <unistd.h>

#include "base/atomic_file.h"

namespace lantrel {

EncodedFile::EncodedFile() : packet_(av_packet_alloc()) {}

EncodedFile::~EncodedFile() {
    if (!finished_) discard();
}

bool EncodedFile::create(const std::filesystem::path& target, const char* format) {
    target_ = target;
    std::string problem;
    const TemporaryFile file = createTemporaryBeside(target, problem);
    if (file.descriptor < 0) return fail(problem);
    ::close(file.descriptor);  // libavformat opens the file again by its name
    temporary_ = file.path;
    const std::string name = temporary_.string();
    if (!packet_) return fail("out of memory");

    // The "file:" prefix keeps libavformat from reading a protocol into a name with a colon.
    const std::string url = "file:" + name;
    AVFormatContext* context = nullptr;
    const int status = avformat_alloc_output_context2(&context, nullptr, format, url.c_str());
    if (status < 0) return failWith("libavformat cannot write " + std::string(format), status);
    format_.reset(context);
    const int opened = avio_open(&context->pb, url.c_str(), AVIO_FLAG_WRITE);
    if (opened < 0) return failWith("cannot create " + name, opened);
    return true;
}

bool EncodedFile::wantsGlobalHeader() const {
    return format_ && (format_->oformat->flags & AVFMT_GLOBALHEADER);
}

void EncodedFile::setTitle(const std::string& title) {
    if (format_ && !title.empty()) av_dict_set(&format_->metadata, "title", title.c_str(), 0);
}

int EncodedFile::addStream(const AVCodecContext& encoder) {
    if (failed_) return -1;
    AVStream* stream = avformat_new_stream(format_.get(), nullptr);
    const int status =
        stream ? avcodec_parameters_from_context(stream->codecpar, &encoder) : AVERROR(ENOMEM);
    if (status < 0) {
        failWith("cannot add a stream to " + target_.string(), status);
        return -1;
    }
    stream->time_base = encoder.time_base;  // a hint: the muxer picks its own in begin()
    return stream->index;
}

bool EncodedFile::begin(libav::Options& options) {
    if (failed_) return false;
    const int status = avformat_write_header(format_.get(), options.address());
    if (status < 0) return failWith("cannot write " + target_.string(), status);
    if (const std::string unknown = options.leftOver(); !unknown.empty())
        return fail(std::string("the ") + format_->oformat->name + " writer has no option " +
                    unknown);
    return true;
}

bool EncodedFile::encode(AVCodecContext& encoder, int stream, const AVFrame* frame,
                         std::int64_t frameDuration) {
    if (failed_) return false;
    const std::string encoderName = std::string("the ") + encoder.codec->name + " encoder";
    int status = avcodec_send_frame(&encoder, frame);
    if (status < 0) return failWith(encoderName + " failed", status);
    while ((status = avcodec_receive_packet(&encoder, packet_.get())) >= 0)
        if (!writePacket(encoder, stream, frameDuration)) return false;
    if (status != AVERROR(EAGAIN) && status != AVERROR_EOF)
        return failWith(encoderName + " failed", status);
    return true;
}

bool EncodedFile::writePacket(const AVCodecContext& encoder, int stream,
                              std::int64_t frameDuration) {
    packet_->stream_index = stream;
    if (packet_->duration == 0) packet_->duration = frameDuration;
    av_packet_rescale_ts(packet_.get(), encoder.time_base, format_->streams[stream]->time_base);
    // The muxer takes the packet's data and leaves the packet empty for the next one.
    const int status = av_interleaved_write_frame(format_.get(), packet_.get());
    if (status < 0) return failWith("cannot write " + target_.string(), status);
    return true;
}

bool EncodedFile::finish() {
    if (failed_) return false;
    if (finished_) return true;
    const int status = av_write_trailer(format_.get());
    if (status < 0) return failWith("cannot write " + target_.string(), status);
    if (!closeOutput()) return false;
    std::string problem;
    const bool committed = commitClosedTemporary(temporary_, target_, problem);
    temporary_.clear();  // renamed, or already removed
    if (!committed) return fail(problem);
    finished_ = true;
    return true;
}

// avio_closep() drops the error of its last flush, so the flush is checked first.
bool EncodedFile::closeOutput() {
    AVIOContext* output = format_->pb;
    avio_flush(output);
    if (output->error < 0) return failWith("cannot write " + target_.string(), output->error);
    const int status = avio_closep(&format_->pb);
    if (status < 0) return failWith("cannot write " + target_.string(), status);
    format_.reset();
    return true;
}

void EncodedFile::abandon() {
    if (finished_) return;
    if (!failed_) {
        failed_ = true;
        error_ = "abandoned";
    }
    discard();
}

bool EncodedFile::fail(const std::string& message) {
    if (!failed_) {
        failed_ = true;
        error_ = message;
    }
    discard();
    return false;
}

bool EncodedFile::failWith(const std::string& what, int code) {
    return fail(what + ": " + libav::errorText(code));
}

void EncodedFile::discard() {
    format_.reset();
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

}  // namespace lantrel
