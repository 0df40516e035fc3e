#include "sound_output_module.h"

#include <SDL.h>
#include <alsa/asoundlib.h>

#include <string_view>

namespace lantrel {

namespace {

// ALSA writes lines of its own to standard error when it cannot open a device (eight of them on
// a machine without a sound card) before SDL hands the failure back, and the user then gets
// the reason once more in Lantrel's own line. While SDL plays through ALSA they are dropped.
void dropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void quietAlsaWhenSdlUsesIt() {
    const char* driver = SDL_GetCurrentAudioDriver();
    if (driver && std::string_view(driver) == "alsa") snd_lib_error_set_handler(dropAlsaMessage);
}

// SDL keeps hints and tables until SDL_Quit; once no part of it is in use, let it all go, so
// that every play leaves nothing behind (ALSA's own messages included).
void releaseAudio() {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    if (SDL_WasInit(0) == 0) SDL_Quit();
    snd_lib_error_set_handler(nullptr);
}

// Frames SDL asks for per callback at a rate: about 12 ms, so that closing the output, which
// waits for the callback thread, stays quick.
int callbackFrames(int sampleRate) {
    int frames = 64;
    while (frames * 2 <= sampleRate / 80)
        frames *= 2;
    return frames;
}

std::uint32_t openOutput(int sampleRate, int channels,
                         void (*pull)(void* context, std::uint8_t* stream, int length),
                         void* context, std::string& error) {
    // The command line catches Ctrl+C itself; SDL must not turn it into a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no sound output: ") + SDL_GetError();
        releaseAudio();
        return 0;
    }
    quietAlsaWhenSdlUsesIt();
    SDL_AudioSpec wanted{};
    wanted.freq = sampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(channels);
    wanted.samples = static_cast<Uint16>(callbackFrames(sampleRate));
    wanted.callback = pull;
    wanted.userdata = context;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts if the card wants another format, so the buffers keep ours.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
        error = std::string("cannot open the sound output: ") + SDL_GetError();
        releaseAudio();
        return 0;
    }
    SDL_PauseAudioDevice(device, 0);
    return device;
}

void closeOutput(std::uint32_t device) {
    // Waits for SDL's audio thread, so no callback runs after this.
    SDL_CloseAudioDevice(device);
    releaseAudio();
}

const SoundOutputModule& output() {
    static const SoundOutputModule module{
        {kSoundOutputInterfaceVersion, sizeof(SoundOutputModule), programVersion()},
        openOutput,
        closeOutput};
    return module;
}

}  // namespace

const SoundOutputModule* soundOutputModule(std::string&) {
    return &output();
}

}  // namespace lantrel

LANTREL_MODULE_ENTRY const lantrel::ModuleHeader* lantrel_sound_output_module() {
    return &lantrel::output().header;
}
