#pragma once

#include <cstdint>

namespace lantrel {

// Where worker threads send their news (play position, export progress and end), using the
// window message numbers the view understands. post() is thread-safe and never blocks;
// messages are delivered later, in order, on the receiver's thread.
class PostTarget {
  public:
    virtual ~PostTarget() = default;
    virtual void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace lantrel
