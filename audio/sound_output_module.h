#pragma once

#include <cstdint>
#include <string>

#include "base/program_module.h"

namespace lantrel {

// SDL2's sound output as SdlWaveDevice reaches it. SDL and the fifty-odd libraries Debian's
// build of it pulls in are loaded (the module sound.so) only when something plays, so that
// the window and the other verbs start without them.
struct SoundOutputModule {
    ModuleHeader header;
    // Opens the default output at `sampleRate` with `channels` of 16-bit samples and starts
    // it; SDL's audio thread then calls `pull(context, stream, length)` for `length` bytes at
    // a time. Answers the device, or 0 with `error` saying why.
    std::uint32_t (*open)(int sampleRate, int channels,
                          void (*pull)(void* context, std::uint8_t* stream, int length),
                          void* context, std::string& error);
    // Stops the device and waits for SDL's audio thread: no pull runs after it.
    void (*close)(std::uint32_t device);
};

// Raised with every change to SoundOutputModule.
inline constexpr std::uint32_t kSoundOutputInterfaceVersion = 1;
inline constexpr const char* kSoundOutputModuleFile = "sound.so";
inline constexpr const char* kSoundOutputModuleEntry = "lantrel_sound_output_module";

// The sound output, or null with `error` saying why. As with the encoders, the program's
// build (loaded_sound_output_module.cpp) opens the module on first use, and the build compiled
// with SDL (sound_output_module.cpp) is what the module answers and what the tests link.
const SoundOutputModule* soundOutputModule(std::string& error);

}  // namespace lantrel
