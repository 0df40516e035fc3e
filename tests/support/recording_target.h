#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "model/post_target.h"

namespace lantrel::test {

// Keeps every posted message, for checking from the test's thread.
class RecordingTarget final : public PostTarget {
  public:
    struct Message {
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
        friend bool operator==(const Message&, const Message&) = default;
    };

    void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        {
            std::lock_guard lock(mutex_);
            messages_.push_back({message, wParam, lParam});
        }
        posted_.notify_all();
    }
    std::vector<Message> messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    // The messages of one number, in the order they were posted.
    std::vector<Message> of(std::uint32_t number) const {
        std::vector<Message> found;
        for (const Message& message : messages())
            if (message.message == number) found.push_back(message);
        return found;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        messages_.clear();
    }
    bool waitForCount(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return posted_.wait_for(lock, timeout, [&] { return messages_.size() >= count; });
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::vector<Message> messages_;
};

}  // namespace lantrel::test
