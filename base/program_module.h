#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <type_traits>

namespace lantrel {

// What every module's entry point answers first. The loader compares it with its own before it
// touches anything else of the module, so that a module left from another build (an older
// installation, a stale build folder) is refused with a sentence rather than called blindly.
// Its layout never changes, so that any build can read any other's.
struct ModuleHeader {
    std::uint32_t interfaceVersion;  // raised with every change to that module's interface
    std::uint32_t interfaceSize;     // sizeof the interface struct as the module was built
    const char* programVersion;      // programVersion() of the build the module belongs to
};

// The version of this build of the program.
const char* programVersion();

// Where the program's modules are: the executable's folder (/proc/self/exe) and the path from
// the installation's bin folder to LIBDIR/lantrel, fixed when the build is configured. The
// build tree keeps the same layout beside build/app, so a built and an installed program find
// their modules alike.
std::filesystem::path programModuleFolder();

// Opens the module `file` (once per process: the dynamic linker keeps it, and it is never
// unloaded, since what it hands out may live until the program ends), calls its entry point
// `entry` and checks the header it answers against `expected`. Null with `error` saying why,
// naming the module as `what` ("the encoder module"): the file is missing or cannot be loaded
// (with dlerror's text), it has no such entry point, or it belongs to another build.
const ModuleHeader* openModuleFile(const std::filesystem::path& file, const char* entry,
                                   const ModuleHeader& expected, std::string_view what,
                                   std::string& error);

// The interface `Interface` (a struct that begins with its ModuleHeader) of the module
// `fileName` in the program's module folder, as openModuleFile gives it.
template <class Interface>
const Interface* openProgramModule(std::string_view fileName, const char* entry,
                                   std::uint32_t interfaceVersion, std::string_view what,
                                   std::string& error) {
    static_assert(std::is_standard_layout_v<Interface> && offsetof(Interface, header) == 0);
    const ModuleHeader expected{interfaceVersion, sizeof(Interface), programVersion()};
    const ModuleHeader* header =
        openModuleFile(programModuleFolder() / fileName, entry, expected, what, error);
    return reinterpret_cast<const Interface*>(header);
}

}  // namespace lantrel

// Marks a module's entry point, the one symbol a module exports.
#define LANTREL_MODULE_ENTRY extern "C" __attribute__((visibility("default")))
