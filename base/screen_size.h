#pragma once

namespace lantrel {

// The score screen's picture in pixels. The renderer draws it at this size, the movie stores
// it at this size, and the window shows it at this size at most (never enlarged).
inline constexpr int kScreenWidth = 512;
inline constexpr int kScreenHeight = 384;

}  // namespace lantrel
