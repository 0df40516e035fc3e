#include "model/auto_reset_event.h"

#include <gtest/gtest.h>

#include <thread>

namespace lantrel {
namespace {

using namespace std::chrono_literals;

TEST(AutoResetEvent, ASignalWakesOneWaitAndThenClears) {
    AutoResetEvent event;
    EXPECT_FALSE(event.poll());
    EXPECT_FALSE(event.wait(1ms));
    event.set();
    event.set();
    EXPECT_TRUE(event.wait(0ms));
    EXPECT_FALSE(event.poll()) << "two sets before a wait are one signal";
    event.set();
    event.reset();
    EXPECT_FALSE(event.poll());
}

TEST(AutoResetEvent, WakesAWaiterOnAnotherThread) {
    AutoResetEvent event;
    std::thread setter([&] {
        std::this_thread::sleep_for(5ms);
        event.set();
    });
    EXPECT_TRUE(event.wait(10s));
    setter.join();
}

}  // namespace
}  // namespace lantrel
