#pragma once

#include <cstdint>

namespace lantrel {

// Message numbers, kept from the window messages the view has always understood.
inline constexpr std::uint32_t kMessagePlayPosition = 0x400;  // wParam: half-beat; lParam: ms
inline constexpr std::uint32_t kMessageRefresh = 0x40A;
inline constexpr std::uint32_t kMessageVideoProgress = 1124;  // 0x464
inline constexpr std::uint32_t kMessageAudioProgress = 1125;  // 0x465
inline constexpr std::uint32_t kMessageJoinProgress = 1126;   // 0x466
inline constexpr std::uint32_t kMessageExportEnded = 1133;    // 0x46D; wParam: result

// Results of an export run and of its writers.
enum ExportResult : int { kExportSuccess = 0, kExportFailure = 1, kExportCancelled = 99 };

// Where worker threads send their news (play position, export progress and end), using the
// window message numbers the view understands. post() is thread-safe and never blocks;
// messages are delivered later, in order, on the receiver's thread.
class PostTarget {
  public:
    virtual ~PostTarget() = default;
    virtual void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace lantrel
