// Feeds arbitrary bytes to the project-file reader. Whatever it accepts must write back
// and read again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "model/project.h"
#include "model/project_file.h"

namespace {

std::span<const std::uint8_t> asBytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lantrel::Project project;
    if (!lantrel::readProjectFile({data, size}, project).ok) return 0;
    const std::string written = lantrel::writeProjectFile(project);
    lantrel::Project again;
    if (!lantrel::readProjectFile(asBytes(written), again).ok) std::abort();
    if (lantrel::writeProjectFile(again) != written) std::abort();
    return 0;
}
