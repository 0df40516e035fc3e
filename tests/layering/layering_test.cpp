// Keeps the layers of the program apart by reading every source file's includes: a layer may
// include only itself and the layers below it, the cores include no Qt at all, Qt Widgets
// stays in the user interface, and libav in the encoders.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

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
    if (name.find("_dialog.") != std::string::npos || folder == "app") return "ui";
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
        : root_(std::move(root)), widgets_(std::move(widgetsHeaders)) {}

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
        const bool widgets = header.starts_with("QtWidgets/") ||
                             (header.starts_with("Q") && fs::exists(widgets_ / header));
        if (widgets && layer != "ui")
            problems_.push_back(where + ": Qt Widgets header <" + header +
                                "> outside the user "
                                "interface (layer " +
                                layer + ")");
    }

    void checkProjectInclude(const std::string& layer, const fs::path& relative,
                             const std::string& header, const std::string& where) {
        // "x.h" is a file of the same folder; "folder/x.h" one of another.
        const fs::path target = header.find('/') == std::string::npos
                                    ? relative.parent_path() / header
                                    : fs::path(header);
        if (!fs::exists(root_ / target)) return;  // generated or test-only headers
        const std::string targetLayer = layerOf(target);
        if (targetLayer.empty() || kAllowed.at(layer).contains(targetLayer)) return;
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

TEST(Layering, TheCheckKnowsQtWidgetsHeaders) {
    // Without the Qt Widgets folder the widget rule would pass everything silently.
    EXPECT_TRUE(fs::exists(fs::path(LANTREL_QT_WIDGETS_DIR) / "QWidget"));
    EXPECT_FALSE(fs::exists(fs::path(LANTREL_QT_WIDGETS_DIR) / "QImage"));
}

}  // namespace
}  // namespace lantrel
