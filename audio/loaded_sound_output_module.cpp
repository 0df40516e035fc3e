#include "sound_output_module.h"

namespace lantrel {

const SoundOutputModule* soundOutputModule(std::string& error) {
    return openProgramModule<SoundOutputModule>(kSoundOutputModuleFile, kSoundOutputModuleEntry,
                                                kSoundOutputInterfaceVersion,
                                                "the sound output module", error);
}

}  // namespace lantrel
