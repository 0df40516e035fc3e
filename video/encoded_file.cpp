#include "encoded_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lantrel {

namespace {

std::string withErrno(const std::string& what, int errorNumber) {
    return what + ": " + std::strerror(errorNumber);
}

// A replaced file keeps its permissions; a new one gets the usual 0666 less the umask instead
// of mkstemp's private 0600.
mode_t modeFor(const std::filesystem::path& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Flushes a closed file's data to the disk, so that the rename never shows an empty file
// after a crash.
int syncFile(const std::filesystem::path& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return errno;
    const int failure = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return failure;
}

}  // namespace

EncodedFile::EncodedFile() : packet_(av_packet_alloc()) {}

EncodedFile::~EncodedFile() {
    if (!finished_) discard();
}

bool EncodedFile::create(const std::filesystem::path& target, const char* format) {
    target_ = target;
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return fail(withErrno("cannot create a file in " + folder.string(), errno));
    temporary_ = name;
    const int modeFailure = ::fchmod(fd, modeFor(target)) == 0 ? 0 : errno;
    ::close(fd);
    if (modeFailure) return fail(withErrno("cannot set the mode of " + name, modeFailure));
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
    if (const int failure = syncFile(temporary_, O_RDONLY))
        return fail(withErrno("cannot write " + target_.string(), failure));
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        return fail(withErrno("cannot replace " + target_.string(), errno));
    finished_ = true;
    const std::filesystem::path folder = target_.has_parent_path() ? target_.parent_path() : ".";
    syncFile(folder, O_RDONLY | O_DIRECTORY);  // makes the rename itself durable
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
