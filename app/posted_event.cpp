#include "posted_event.h"

#include <QCoreApplication>

namespace lantrel {

QEvent::Type PostedEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void EventPoster::post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    QCoreApplication::postEvent(receiver_, new PostedEvent(message, wParam, lParam));
}

}  // namespace lantrel
