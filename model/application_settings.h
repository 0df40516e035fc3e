#pragma once

#include <string>

namespace lantrel {

// What a project reads from the application when it is reset: the default WAV folder of
// each lane. The window supplies the user's stored folders; without one they are empty.
class ApplicationSettings {
  public:
    virtual ~ApplicationSettings() = default;
    virtual std::string defaultWaveFolder(int lane) const = 0;
};

}  // namespace lantrel
