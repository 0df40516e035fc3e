#include "sdl_wave_device.h"

#include <SDL.h>

namespace lantrel {

namespace {

// SDL keeps hints and tables until SDL_Quit; once no part of it is in use, let it all go, so
// that every play leaves nothing behind.
void releaseAudio() {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    if (SDL_WasInit(0) == 0) SDL_Quit();
}

}  // namespace

SdlWaveDevice::~SdlWaveDevice() {
    close();
}

int SdlWaveDevice::callbackFrames(int sampleRate) {
    int frames = 64;
    while (frames * 2 <= sampleRate / 80)
        frames *= 2;
    return frames;
}

bool SdlWaveDevice::startOutput(int sampleRate, int channels, std::string& error) {
    // The command line catches Ctrl+C itself; SDL must not turn it into a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no sound output: ") + SDL_GetError();
        releaseAudio();
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = sampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(channels);
    wanted.samples = static_cast<Uint16>(callbackFrames(sampleRate));
    wanted.callback = &SdlWaveDevice::callback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts if the card wants another format, so the buffers keep ours.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device_ == 0) {
        error = std::string("cannot open the sound output: ") + SDL_GetError();
        releaseAudio();
        return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void SdlWaveDevice::stopOutput() {
    // Waits for SDL's audio thread, so no callback runs after this.
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    releaseAudio();
}

void SdlWaveDevice::callback(void* self, std::uint8_t* stream, int length) {
    static_cast<SdlWaveDevice*>(self)->fill({stream, static_cast<std::size_t>(length)});
}

}  // namespace lantrel
