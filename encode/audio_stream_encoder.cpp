#include "audio_stream_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
}

#include <algorithm>
#include <cstring>

namespace lantrel {

namespace {

// For encoders that take frames of any size.
constexpr int kVariableFrameSize = 4096;

// 16-bit integers where the encoder takes them, so that a lossless one keeps every bit;
// otherwise planar floats, the native AAC encoder's only format.
AVSampleFormat sampleFormatFor(const AVCodec& codec) {
    bool planarFloat = false;
    for (const AVSampleFormat* format = codec.sample_fmts; format && *format != AV_SAMPLE_FMT_NONE;
         ++format) {
        if (*format == AV_SAMPLE_FMT_S16) return AV_SAMPLE_FMT_S16;
        planarFloat = planarFloat || *format == AV_SAMPLE_FMT_FLTP;
    }
    return planarFloat ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_NONE;
}

std::string describe(const AudioEncoding& encoding) {
    return std::string("the ") + encoding.encoder + " encoder (" +
           std::to_string(encoding.sampleRate) + " Hz, " + std::to_string(encoding.channels) +
           (encoding.channels == 1 ? " channel)" : " channels)");
}

}  // namespace

bool AudioStreamEncoder::open(EncodedFile& file, const AudioEncoding& encoding) {
    file_ = &file;
    channels_ = encoding.channels;
    const AVCodec* codec = avcodec_find_encoder_by_name(encoding.encoder);
    if (!codec) return file.fail("libavcodec has no " + std::string(encoding.encoder) + " encoder");
    const AVSampleFormat format = sampleFormatFor(*codec);
    if (format == AV_SAMPLE_FMT_NONE)
        return file.fail(describe(encoding) + " takes neither 16-bit nor float samples");
    encoder_.reset(avcodec_alloc_context3(codec));
    if (!encoder_) return file.fail("out of memory");
    encoder_->sample_fmt = format;
    encoder_->sample_rate = encoding.sampleRate;
    av_channel_layout_default(&encoder_->ch_layout, encoding.channels);
    encoder_->bit_rate = encoding.bitRate;
    encoder_->time_base = {1, encoding.sampleRate};
    if (file.wantsGlobalHeader()) encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int status = avcodec_open2(encoder_.get(), codec, nullptr);
    if (status < 0)
        return file.fail("cannot open " + describe(encoding) + ": " + libav::errorText(status));
    frameSize_ = encoder_->frame_size > 0 ? encoder_->frame_size : kVariableFrameSize;
    stream_ = file.addStream(*encoder_);
    return stream_ >= 0 && allocateFrame();
}

bool AudioStreamEncoder::allocateFrame() {
    frame_.reset(av_frame_alloc());
    int status =
        frame_ ? av_channel_layout_copy(&frame_->ch_layout, &encoder_->ch_layout) : AVERROR(ENOMEM);
    if (status >= 0) {
        frame_->format = encoder_->sample_fmt;
        frame_->sample_rate = encoder_->sample_rate;
        frame_->nb_samples = frameSize_;
        status = av_frame_get_buffer(frame_.get(), 0);
    }
    return status >= 0 || file_->fail("cannot make a sound frame: " + libav::errorText(status));
}

bool AudioStreamEncoder::add(std::span<const std::int16_t> interleaved) {
    if (file_->failed()) return false;
    const auto channels = static_cast<std::size_t>(channels_);
    if (interleaved.size() % channels != 0)
        return file_->fail("sound must come in whole sample frames");
    for (std::size_t done = 0; done < interleaved.size();) {
        // The encoder may still hold on to the frame it was given last.
        if (filled_ == 0 && av_frame_make_writable(frame_.get()) < 0)
            return file_->fail("out of memory");
        const int count = static_cast<int>(
            std::min<std::size_t>(frameSize_ - filled_, (interleaved.size() - done) / channels));
        store(interleaved.data() + done, count);
        done += static_cast<std::size_t>(count) * channels;
        if (filled_ == frameSize_ && !sendFrame()) return false;
    }
    return true;
}

void AudioStreamEncoder::store(const std::int16_t* interleaved, int count) {
    if (frame_->format == AV_SAMPLE_FMT_S16) {
        std::memcpy(frame_->data[0] + filled_ * channels_ * 2, interleaved,
                    static_cast<std::size_t>(count * channels_) * 2);
    } else {
        for (int channel = 0; channel < channels_; ++channel) {
            float* out = reinterpret_cast<float*>(frame_->extended_data[channel]) + filled_;
            for (int i = 0; i < count; ++i)
                out[i] = static_cast<float>(interleaved[i * channels_ + channel]) / 32768.0f;
        }
    }
    filled_ += count;
    samples_ += count;
}

bool AudioStreamEncoder::sendFrame() {
    frame_->nb_samples = filled_;
    frame_->pts = samples_ - filled_;
    filled_ = 0;
    return file_->encode(*encoder_, stream_, frame_.get());
}

bool AudioStreamEncoder::finish() {
    if (file_->failed()) return false;
    if (filled_ > 0 && !sendFrame()) return false;
    return file_->encode(*encoder_, stream_, nullptr);
}

}  // namespace lantrel
