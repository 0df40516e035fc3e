#include "libav_handles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
}

namespace lantrel::libav {

void CodecContextFree::operator()(AVCodecContext* context) const {
    avcodec_free_context(&context);
}

void FrameFree::operator()(AVFrame* frame) const {
    av_frame_free(&frame);
}

void PacketFree::operator()(AVPacket* packet) const {
    av_packet_free(&packet);
}

void OutputFormatFree::operator()(AVFormatContext* format) const {
    if (!(format->oformat->flags & AVFMT_NOFILE)) avio_closep(&format->pb);
    avformat_free_context(format);
}

Options::~Options() {
    av_dict_free(&dictionary_);
}

void Options::set(const char* key, const std::string& value) {
    av_dict_set(&dictionary_, key, value.c_str(), 0);
}

std::string Options::leftOver() const {
    std::string keys;
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(dictionary_, "", entry, AV_DICT_IGNORE_SUFFIX)))
        keys += (keys.empty() ? "" : ", ") + std::string(entry->key);
    return keys;
}

std::string errorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace lantrel::libav
