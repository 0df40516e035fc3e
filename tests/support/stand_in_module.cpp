// A module that stands in for one of the program's in the loader's tests: it answers its entry
// point with the header it was built with, and nothing else.
#include "base/program_module.h"

namespace {

struct StandInInterface {
    lantrel::ModuleHeader header;
    int (*answer)();
};

int answer() {
    return 42;
}

const StandInInterface& standIn() {
    static const StandInInterface module{
        {STAND_IN_INTERFACE_VERSION, sizeof(StandInInterface), lantrel::programVersion()}, answer};
    return module;
}

}  // namespace

LANTREL_MODULE_ENTRY const lantrel::ModuleHeader* STAND_IN_ENTRY() {
    return &standIn().header;
}
