#include "encoder_module.h"

#include "flac_writer.h"
#include "libav_log.h"
#include "mp4_writer.h"

namespace lantrel {

namespace {

// libav prints its encoders' statistics unless told otherwise; each writer tells it before it
// opens an encoder, so that whoever loads the module need not know.
std::unique_ptr<MovieSink> openMp4(const std::filesystem::path& path, const Mp4Options& options,
                                   std::string& error) {
    showOnlyLibavErrors();
    return Mp4Writer::create(path, options, error);
}

std::unique_ptr<SoundSink> openFlac(const std::filesystem::path& path, const SoundFormat& format,
                                    std::string& error) {
    showOnlyLibavErrors();
    return FlacWriter::create(path, {format.sampleRate, format.channels}, error);
}

const EncoderModule& encoders() {
    static const EncoderModule module{
        {kEncoderInterfaceVersion, sizeof(EncoderModule), programVersion()}, openMp4, openFlac};
    return module;
}

}  // namespace

const EncoderModule* encoderModule(std::string&) {
    return &encoders();
}

}  // namespace lantrel

LANTREL_MODULE_ENTRY const lantrel::ModuleHeader* lantrel_encoder_module() {
    return &lantrel::encoders().header;
}
