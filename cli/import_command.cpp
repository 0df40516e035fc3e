#include "import_command.h"

#include <ostream>

#include "base/resource_folder.h"
#include "command_line.h"
#include "import/resource_import.h"

namespace lantrel {

namespace {

void reportFile(const ImportedFile& file, std::ostream& out) {
    out << file.name << ": ";
    switch (file.outcome) {
        case ImportOutcome::Written:
            out << "written\n";
            break;
        case ImportOutcome::Copied:
            out << "copied\n";
            break;
        case ImportOutcome::Failed:
            out << "failed: " << file.reason << '\n';
            break;
        case ImportOutcome::NotReached:
            out << "not imported: the import was refused\n";
            break;
    }
}

// A copy in a folder that is read first would hide what was just imported.
void warnAboutHiddenFiles(const ImportReport& report, std::ostream& err) {
    for (const ImportedFile& file : report.files) {
        const auto used = resourceFile(file.name);
        if (used != report.folder / file.name)
            err << "lantrel import: note: " << used.string() << " is read instead of the imported "
                << file.name << '\n';
    }
}

}  // namespace

int runImportCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return usageError(err, "import", "no VeltoSeq.exe given");
    if (args.size() > 1) return usageError(err, "import", "one VeltoSeq.exe at a time");
    const ImportReport report = extractFrom(args[0]);
    out << "importing " << args[0] << " into " << report.folder.string() << '\n';
    for (const ImportedFile& file : report.files)
        reportFile(file, out);
    if (!report.succeeded()) {
        err << "lantrel import: " << report.failure() << '\n';
        return kExitFailure;
    }
    warnAboutHiddenFiles(report, err);
    return kExitSuccess;
}

}  // namespace lantrel
