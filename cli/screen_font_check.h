#pragma once

#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace lantrel {

// The option that lets a drawing verb use other fonts than the IPA ones.
inline constexpr const char* kAllowFontSubstitute = "--allow-font-substitute";

// Takes `kAllowFontSubstitute` out of `args`, wherever it stands; whether it was there.
bool takeFontSubstituteOption(std::span<const std::string> args, std::vector<std::string>& rest);

// A movie or a picture must look the same wherever it is made, so the drawing verbs refuse to
// draw with substitute fonts unless told they may. False after saying so on `err`.
bool screenFontsReady(bool substituteAllowed, std::ostream& err);

}  // namespace lantrel
