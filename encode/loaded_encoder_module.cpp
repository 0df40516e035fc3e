#include "encoder_module.h"

namespace lantrel {

const EncoderModule* encoderModule(std::string& error) {
    return openProgramModule<EncoderModule>(kEncoderModuleFile, kEncoderModuleEntry,
                                            kEncoderInterfaceVersion, "the encoder module", error);
}

}  // namespace lantrel
