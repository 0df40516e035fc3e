#include "sdl_wave_device.h"

#include "sound_output_module.h"

namespace lantrel {

SdlWaveDevice::~SdlWaveDevice() {
    close();
}

bool SdlWaveDevice::startOutput(int sampleRate, int channels, std::string& error) {
    output_ = soundOutputModule(error);
    if (!output_) return false;
    device_ = output_->open(sampleRate, channels, &SdlWaveDevice::callback, this, error);
    return device_ != 0;
}

void SdlWaveDevice::stopOutput() {
    output_->close(device_);
    device_ = 0;
}

void SdlWaveDevice::callback(void* self, std::uint8_t* stream, int length) {
    static_cast<SdlWaveDevice*>(self)->fill({stream, static_cast<std::size_t>(length)});
}

}  // namespace lantrel
