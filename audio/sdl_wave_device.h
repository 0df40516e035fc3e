#pragma once

#include <cstdint>

#include "wave_device.h"

namespace lantrel {

struct SoundOutputModule;

// The sound card through SDL2's audio subsystem: the default output device, opened with the
// project's rate and channels and 16-bit samples, fed by SDL's audio callback from the queue.
// SDL_AUDIODRIVER chooses the driver; its `disk` driver plays at real-time pace into the file
// named by SDL_DISKAUDIOFILE, which is how playback is tested without a sound card. The
// program plays through one SDL output at a time: closing the last one shuts SDL down.
// SDL itself is in the sound output module, opened when the device first starts; a module
// that cannot be loaded fails the start with the reason, as a missing sound card does.
class SdlWaveDevice final : public WaveDevice {
  public:
    SdlWaveDevice() = default;
    ~SdlWaveDevice() override;

  protected:
    bool startOutput(int sampleRate, int channels, std::string& error) override;
    void stopOutput() override;

  private:
    static void callback(void* self, std::uint8_t* stream, int length);

    const SoundOutputModule* output_ = nullptr;
    std::uint32_t device_ = 0;
};

}  // namespace lantrel
