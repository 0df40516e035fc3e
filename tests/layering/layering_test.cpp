// Keeps the layers of the program apart by reading every source file's includes: a layer may
// include only itself and the layers below it, the cores include no Qt at all, Qt Widgets
// stays in the window layer (app/), which nothing else includes, and libav in the encoders.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace lantrel {
namespace {

namespace fs = std::filesystem;

// Which layers each layer may include (itself included).
const std::map<std::string, std::set<std::string>> kAllowed = {
    {"base", {"base"}},
    {"resources", {"resources"}},
    {"model", {"model", "base"}},
    {"audio", {"audio", "model", "base"}},
    {"avi", {"avi", "base"}},
    {"encode", {"encode", "base"}},
    {"video", {"video", "avi", "encode", "audio", "model", "base", "resources"}},
    {"import", {"import", "audio", "model", "base"}},
    {"session", {"session", "video", "avi", "encode", "audio", "model", "base", "resources"}},
    {"cli",
     {"cli", "session", "import", "video", "avi", "encode", "audio", "model", "base", "resources"}},
    {"ui",
     {"ui", "cli", "session", "import", "video", "avi", "encode", "audio", "model", "base",
      "resources"}},
    {"tools", {"tools", "video", "avi", "encode", "audio", "model", "base", "resources"}},
};

// Layers that must not see Qt at all.
const std::set<std::string> kQtFree = {"base", "resources", "model",  "audio",
                                       "avi",  "encode",    "import", "session"};

// The layer a source file belongs to, by its folder and name; empty for files outside the
// layered folders.
std::string layerOf(const fs::path& relative) {
    const std::string folder = relative.begin()->string();
    const std::string name = relative.filename().string();
    if (folder == "app") return "ui";
    if (folder == "video" && name.starts_with("avi_")) return "avi";
    return kAllowed.contains(folder) ? folder : std::string();
}

struct Include {
    int line;
    std::string target;
    bool angled;
};

std::vector<Include> includesOf(const fs::path& file) {
    static const std::regex pattern(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Include> includes;
    std::ifstream in(file);
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        std::smatch match;
        if (std::regex_search(text, match, pattern))
            includes.push_back({line, match[2], match[1] == "<"});
    }
    return includes;
}

bool isSource(const fs::path& path) {
    const std::string extension = path.extension().string();
    return extension == ".h" || extension == ".cpp";
}

class LayeringCheck {
  public:
    LayeringCheck(fs::path root, fs::path widgetsHeaders)
        : root_(std::move(root)),
          widgets_(std::move(widgetsHeaders)),
          gui_(widgets_.parent_path() / "QtGui") {}

    // Every broken rule, one line each, for the files of the layered folders.
    std::vector<std::string> problems() {
        for (const char* folder : {"base", "resources", "model", "audio", "encode", "video",
                                   "import", "session", "cli", "app", "tools"}) {
            if (!fs::is_directory(root_ / folder)) continue;
            for (const auto& entry : fs::recursive_directory_iterator(root_ / folder))
                if (entry.is_regular_file() && isSource(entry.path())) check(entry.path());
        }
        return problems_;
    }

  private:
    void check(const fs::path& file) {
        const fs::path relative = fs::relative(file, root_);
        const std::string layer = layerOf(relative);
        if (layer.empty()) return;
        for (const Include& include : includesOf(file)) {
            const std::string where = relative.string() + ":" + std::to_string(include.line);
            if (include.angled) checkLibavInclude(layer, include.target, where);
            if (include.angled)
                checkSystemInclude(layer, include.target, where);
            else
                checkProjectInclude(layer, relative, include.target, where);
        }
    }

    void checkSystemInclude(const std::string& layer, const std::string& header,
                            const std::string& where) {
        const bool qt = header.starts_with("Q") || header.starts_with("qt");
        if (qt && kQtFree.contains(layer))
            problems_.push_back(where + ": <" + header + "> in the Qt-free layer " + layer);
        if (isWidgetsHeader(header) && layer != "ui")
            problems_.push_back(where + ": Qt Widgets header <" + header +
                                "> outside the window layer app/ (layer " + layer + ")");
    }

    // A header of the Qt Widgets module in any spelling: <QDialog>, <qdialog.h>,
    // <QtWidgets/QDialog>, <QtWidgets>. The installed module's folder is the list, so a class
    // added by a later Qt counts too; the few headers it still carries for Qt GUI's classes
    // (qaction.h, qshortcut.h) forward there and are Qt GUI's.
    bool isWidgetsHeader(const std::string& header) const {
        if (header == "QtWidgets" || header.starts_with("QtWidgets/")) return true;
        if (header.find('/') != std::string::npos) return false;
        return fs::exists(widgets_ / header) && !fs::exists(gui_ / header);
    }

    void checkProjectInclude(const std::string& layer, const fs::path& relative,
                             const std::string& header, const std::string& where) {
        // As the compiler finds it: beside the including file, else from the source root (so
        // "../app/x.h" is app/'s too).
        fs::path target = (relative.parent_path() / header).lexically_normal();
        if (!fs::exists(root_ / target)) target = fs::path(header).lexically_normal();
        if (!fs::exists(root_ / target)) return;  // generated or test-only headers
        const std::string targetLayer = layerOf(target);
        if (targetLayer.empty() || kAllowed.at(layer).contains(targetLayer)) return;
        if (targetLayer == "ui")
            problems_.push_back(where + ": \"" + header +
                                "\" is the window layer's (app/), which only app/ includes");
        else
            problems_.push_back(where + ": \"" + header + "\" (layer " + targetLayer +
                                ") is above the layer " + layer);
    }

    // Only the encoder module may bring libav's hundred-odd libraries into the program.
    void checkLibavInclude(const std::string& layer, const std::string& header,
                           const std::string& where) {
        const bool libav = header.starts_with("libav") || header.starts_with("libsw");
        if (libav && layer != "encode")
            problems_.push_back(where + ": libav header <" + header +
                                "> outside the encoders (layer " + layer + ")");
    }

    fs::path root_;
    fs::path widgets_;
    fs::path gui_;
    std::vector<std::string> problems_;
};

TEST(Layering, EveryIncludePointsDownwards) {
    LayeringCheck check(LANTREL_SOURCE_DIR, LANTREL_QT_WIDGETS_DIR);
    const auto problems = check.problems();
    std::string report;
    for (const std::string& problem : problems)
        report += problem + '\n';
    EXPECT_TRUE(problems.empty()) << report;
}

TEST(Layering, ADialogBelowTheWindowLayerIsCaught) {
    // A dialog left in audio/, with Qt Widgets in every spelling and the window layer's helpers.
    test::TempDir root;
    fs::create_directories(root / "app/dialogs");
    fs::create_directories(root / "audio");
    root.write("app/dialogs/dialog_hooks.h", "#include <QLineEdit>\n");
    root.write("app/window.cpp", "#include <QDialog>\n#include \"dialogs/dialog_hooks.h\"\n");
    root.write("audio/stray_dialog.cpp",
               "#include <QDialog>\n#include <qlineedit.h>\n#include <QtWidgets/QLabel>\n"
               "#include <qaction.h>\n#include \"app/dialogs/dialog_hooks.h\"\n"
               "#include \"../app/window.h\"\n");
    root.write("app/window.h", "");

    std::vector<std::string> lines;
    for (const std::string& problem : LayeringCheck(root.path(), LANTREL_QT_WIDGETS_DIR).problems())
        if (problem.find("window layer") != std::string::npos)
            lines.push_back(problem.substr(0, problem.find(": ")));
    std::ranges::sort(lines);
    const std::vector<std::string> expected = {
        "audio/stray_dialog.cpp:1", "audio/stray_dialog.cpp:2", "audio/stray_dialog.cpp:3",
        "audio/stray_dialog.cpp:5", "audio/stray_dialog.cpp:6"};
    EXPECT_EQ(lines, expected);
}

TEST(Layering, TheCheckKnowsQtWidgetsHeaders) {
    // Without the Qt Widgets folder the widget rule would pass everything silently.
    EXPECT_TRUE(fs::exists(fs::path(LANTREL_QT_WIDGETS_DIR) / "QWidget"));
    EXPECT_FALSE(fs::exists(fs::path(LANTREL_QT_WIDGETS_DIR) / "QImage"));
}

}  // namespace
}  // namespace lantrel
