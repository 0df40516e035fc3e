#pragma once

#include <QEvent>

#include <cstdint>

#include "model/post_target.h"

class QObject;

namespace lantrel {

// A worker's message on its way to the window, carrying the numbers the view understands.
class PostedEvent : public QEvent {
  public:
    PostedEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
        : QEvent(eventType()), message_(message), wParam_(wParam), lParam_(lParam) {}

    static QEvent::Type eventType();
    std::uint32_t message() const { return message_; }
    std::uintptr_t wParam() const { return wParam_; }
    std::intptr_t lParam() const { return lParam_; }

  private:
    std::uint32_t message_;
    std::uintptr_t wParam_;
    std::intptr_t lParam_;
};

// The window's PostTarget: each message becomes a posted Qt event for `receiver`, handled on
// its thread in the order posted. Safe from any thread; the receiver must outlive the posters
// (the view stops the player and awaits the export before it goes).
class EventPoster : public PostTarget {
  public:
    explicit EventPoster(QObject* receiver) : receiver_(receiver) {}
    void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

  private:
    QObject* receiver_;
};

}  // namespace lantrel
