#include "render_command.h"

#include <QBuffer>
#include <QByteArray>

#include <ostream>
#include <string_view>
#include <vector>

#include "argument_parsing.h"
#include "base/atomic_file.h"
#include "base/resource_folder.h"
#include "command_line.h"
#include "model/vtq_gui_doc.h"
#include "screen_font_check.h"
#include "video/frame_context.h"

namespace lantrel {

int runRenderCommand(std::span<const std::string> given, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args;
    const bool substituteAllowed = takeFontSubstituteOption(given, args);
    if (args.size() != 3)
        return usageError(err, "render", "it takes a project, a position and a picture file");
    const int position = parseNumber<int>(args[1]).value_or(-2);
    if (position < -1)
        return usageError(err, "render", "the position must be a number of half-beats, -1 or more");
    if (!screenFontsReady(substituteAllowed, err)) return kExitFailure;
    CVtqGuiDoc document;
    if (const auto opened = document.open(args[0]); !opened.ok()) {
        err << "lantrel render: " << opened.message << '\n';
        return kExitFailure;
    }
    FrameContext context(resourceFolders());
    context.attach(document.project());
    QImage picture = makeScreenImage();
    RenderFrame(context.prepare(&picture, position));
    // Encoded in memory and written atomically: a full disk must fail the verb and leave an
    // existing picture as it was, not cut it short and report success.
    QByteArray png;
    QBuffer buffer(&png);
    std::string error;
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) {
        err << "lantrel render: the picture could not be encoded\n";
        return kExitFailure;
    }
    if (!writeFileAtomically(args[2], std::string_view(png.constData(), png.size()), error)) {
        err << "lantrel render: " << error << '\n';
        return kExitFailure;
    }
    out << "wrote " << args[2] << '\n';
    return kExitSuccess;
}

}  // namespace lantrel
