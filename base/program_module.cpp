#include "program_module.h"

#include <dlfcn.h>

#include <cstring>

#include "base/version.h"
#include "install_layout.h"

namespace lantrel {

namespace {

std::string describe(const ModuleHeader& header) {
    const std::string version = header.programVersion ? header.programVersion : "unknown";
    return "version " + version + ", interface " + std::to_string(header.interfaceVersion) +
           " of " + std::to_string(header.interfaceSize) + " bytes";
}

bool sameBuild(const ModuleHeader& found, const ModuleHeader& expected) {
    return found.interfaceVersion == expected.interfaceVersion &&
           found.interfaceSize == expected.interfaceSize && found.programVersion &&
           std::strcmp(found.programVersion, expected.programVersion) == 0;
}

}  // namespace

const char* programVersion() {
    return kVersion;
}

std::filesystem::path programModuleFolder() {
    return installedLibraryFolder();
}

const ModuleHeader* openModuleFile(const std::filesystem::path& file, const char* entry,
                                   const ModuleHeader& expected, std::string_view what,
                                   std::string& error) {
    const std::string prefix = "cannot load " + std::string(what) + ": ";
    // Binding every symbol now makes a module that lacks one fail here, with its name, rather
    // than in the middle of an export. RTLD_LOCAL keeps its libraries out of everyone else's
    // way; RTLD_NODELETE keeps it mapped, so dropping the handle costs nothing.
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* reason = ::dlerror();
        error = prefix + (reason ? reason : file.string() + " cannot be opened");
        return nullptr;
    }
    using Entry = const ModuleHeader* (*)();
    auto* function = reinterpret_cast<Entry>(::dlsym(handle, entry));
    const ModuleHeader* header = function ? function() : nullptr;
    ::dlclose(handle);
    if (!header) {
        error =
            prefix + file.string() + " is not a module of this program (it has no " + entry + ")";
        return nullptr;
    }
    if (!sameBuild(*header, expected)) {
        error = prefix + file.string() + " belongs to another build of the program (" +
                describe(*header) + "; this program: " + describe(expected) +
                "); install the program again";
        return nullptr;
    }
    return header;
}

}  // namespace lantrel
