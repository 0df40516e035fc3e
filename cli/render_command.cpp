#include "render_command.h"

#include <ostream>

#include "argument_parsing.h"
#include "base/resource_folder.h"
#include "command_line.h"
#include "model/vtq_gui_doc.h"
#include "video/frame_context.h"

namespace lantrel {

int runRenderCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto parsed = args.size() == 3 ? parseNumber<int>(args[1]) : std::nullopt;
    const int position = parsed.value_or(-2);
    if (position < -1) {
        err << "usage: lantrel render PROJECT.vtm POSITION OUT.png   (POSITION: half-beats, -1 or "
               "more)\n";
        return kExitUsage;
    }
    CVtqGuiDoc document;
    if (const auto opened = document.open(args[0]); !opened.ok()) {
        err << "lantrel render: " << opened.message << '\n';
        return kExitFailure;
    }
    FrameContext context(resourceFolders());
    context.attach(document.project());
    QImage picture = makeScreenImage();
    RenderFrame(context.prepare(&picture, position));
    if (!picture.save(QString::fromStdString(args[2]), "PNG")) {
        err << "lantrel render: cannot write " << args[2] << '\n';
        return kExitFailure;
    }
    out << "wrote " << args[2] << '\n';
    return kExitSuccess;
}

}  // namespace lantrel
