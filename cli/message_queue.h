#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "model/post_target.h"

namespace lantrel {

struct PostedMessage {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

// A PostTarget for the command line: workers post from their threads, the main thread takes
// the messages in order and draws progress from them.
class MessageQueue : public PostTarget {
  public:
    void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    // The oldest message, waiting up to `timeout` for one to arrive.
    std::optional<PostedMessage> take(std::chrono::milliseconds timeout);

  private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<PostedMessage> messages_;
};

}  // namespace lantrel
