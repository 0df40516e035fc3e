// Writes the program's own resource folder: the 24 instrument sounds and the four sprite
// sheets, all made from the sources in this folder, so that Lantrel runs without anything
// taken from another program.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "audio/sample_set.h"
#include "base/resource_names.h"
#include "contact_sheet.h"
#include "default_sprites.h"
#include "image_file_writer.h"
#include "sound_bank.h"

namespace lantrel {
namespace {

struct Arguments {
    std::optional<std::filesystem::path> folder;
    std::optional<std::filesystem::path> contactSheet;
};

void printUsage(std::ostream& stream) {
    stream << "usage: make_rsrc [--contact-sheet OUT.png] [FOLDER]\n"
              "  FOLDER           write the 24 sounds and the 4 sprite bitmaps there\n"
              "  --contact-sheet  draw every icon, the runner and the clef, enlarged, as PNG\n";
}

std::optional<Arguments> parseArguments(int argc, char** argv) {
    Arguments parsed;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--contact-sheet" && i + 1 < argc) {
            parsed.contactSheet = argv[++i];
        } else if (!arg.starts_with("-") && !parsed.folder) {
            parsed.folder = arg;
        } else {
            return std::nullopt;
        }
    }
    if (!parsed.folder && !parsed.contactSheet) return std::nullopt;
    return parsed;
}

bool write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    if (writeFileBytes(path, bytes)) return true;
    std::cerr << "make_rsrc: cannot write " << path.string() << '\n';
    return false;
}

bool writeFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "make_rsrc: cannot create " << folder.string() << ": " << error.message()
                  << '\n';
        return false;
    }
    const SpriteSheet icons = buildIconSheet();
    const SpriteSheet runner = buildRunnerSheet();
    bool ok = write(folder / kIconsBitmap, encodeBmp24(icons.colour)) &&
              write(folder / kIconsMaskBitmap, encodeBmpMask(icons.mask)) &&
              write(folder / kRunnerBitmap, encodeBmp24(runner.colour)) &&
              write(folder / kRunnerMaskBitmap, encodeBmpMask(runner.mask));
    for (int index = 0; ok && index < kSoundCount; ++index)
        ok = write(folder / kSoundNames[static_cast<std::size_t>(index)].file,
                   encodeWav(renderSound(index)));
    return ok;
}

int run(int argc, char** argv) {
    const auto arguments = parseArguments(argc, argv);
    if (!arguments) {
        printUsage(std::cerr);
        return 2;
    }
    if (arguments->folder && !writeFolder(*arguments->folder)) return 1;
    if (arguments->contactSheet &&
        !write(*arguments->contactSheet,
               encodePng(drawContactSheet(buildIconSheet(), buildRunnerSheet()))))
        return 1;
    return 0;
}

}  // namespace
}  // namespace lantrel

int main(int argc, char** argv) {
    return lantrel::run(argc, argv);
}
