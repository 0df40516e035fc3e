#pragma once

#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "model/note.h"

namespace lantrel {

// A whole argument as a number: "12" is 12, "12x", " 12" and "" are nothing.
template <typename Number>
std::optional<Number> parseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The lanes as the command line names them, in lane order.
inline constexpr std::array<std::string_view, kLaneCount> kLaneNames = {"upper", "middle", "lower"};

// "upper", "middle", "lower", or the lane's number.
inline std::optional<int> parseLane(std::string_view text) {
    for (int lane = 0; lane < kLaneCount; ++lane)
        if (text == kLaneNames[static_cast<std::size_t>(lane)] || text == std::to_string(lane))
            return lane;
    return std::nullopt;
}

}  // namespace lantrel
