#include "screen_font_check.h"

#include <algorithm>

#include "video/sprite_sheets.h"

namespace lantrel {

bool takeFontSubstituteOption(std::span<const std::string> args, std::vector<std::string>& rest) {
    rest.clear();
    std::ranges::copy_if(args, std::back_inserter(rest),
                         [](const std::string& arg) { return arg != kAllowFontSubstitute; });
    return rest.size() != args.size();
}

bool screenFontsReady(bool substituteAllowed, std::ostream& err) {
    if (substituteAllowed) return true;
    const std::string missing = missingScreenFonts();
    if (missing.empty()) return true;
    err << "lantrel: " << missing << "; install fonts-ipafont-gothic, or give "
        << kAllowFontSubstitute << " to draw with other fonts\n";
    return false;
}

}  // namespace lantrel
