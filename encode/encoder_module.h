#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "base/program_module.h"
#include "base/sound_sink.h"
#include "movie_sink.h"
#include "mp4_options.h"

namespace lantrel {

// The encoders on libav (the MP4 and FLAC writers) as the export run reaches them. Everything
// of libav lives behind this: the program loads it (the module encoder.so) only when a run
// writes an MP4 or a FLAC file, so that starting the program, and every other verb, costs
// nothing of libav's hundred-odd libraries.
struct EncoderModule {
    ModuleHeader header;
    // The MP4 writer, or null with `error` saying why (see Mp4Writer::create).
    std::unique_ptr<MovieSink> (*openMp4)(const std::filesystem::path& path,
                                          const Mp4Options& options, std::string& error);
    // The FLAC writer for 16-bit sound of `format`'s rate and channels, or null with `error`.
    std::unique_ptr<SoundSink> (*openFlac)(const std::filesystem::path& path,
                                           const SoundFormat& format, std::string& error);
};

// Raised with every change to EncoderModule or to the types it passes.
inline constexpr std::uint32_t kEncoderInterfaceVersion = 1;
inline constexpr const char* kEncoderModuleFile = "encoder.so";
inline constexpr const char* kEncoderModuleEntry = "lantrel_encoder_module";

// The encoders, or null with `error` saying why. Two builds of it exist: the program's
// (loaded_encoder_module.cpp) opens the module on first use; the one compiled with the
// encoders themselves (encoder_module.cpp) is what the module answers, and what the tests link.
const EncoderModule* encoderModule(std::string& error);

}  // namespace lantrel
