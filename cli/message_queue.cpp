#include "message_queue.h"

namespace lantrel {

void MessageQueue::post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    {
        std::lock_guard guard(mutex_);
        messages_.push_back({message, wParam, lParam});
    }
    arrived_.notify_one();
}

std::optional<PostedMessage> MessageQueue::take(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, timeout, [this] { return !messages_.empty(); }))
        return std::nullopt;
    const PostedMessage message = messages_.front();
    messages_.pop_front();
    return message;
}

}  // namespace lantrel
