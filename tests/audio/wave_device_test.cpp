#include "audio/wave_device.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/auto_reset_event.h"
#include "support/test_wave_device.h"

namespace lantrel {
namespace {

using test::TestWaveDevice;

// Tiny buffers keep the arithmetic visible: 100 frames a "second".
constexpr int kRate = 100;

void queueBlock(WaveDevice& device, std::int16_t value, std::int64_t tag) {
    const auto samples = device.samples(device.nextIndex());
    std::fill(samples.begin(), samples.end(), value);
    device.write(tag);
}

std::vector<std::int16_t> run(std::initializer_list<std::pair<std::int16_t, int>> parts) {
    std::vector<std::int16_t> values;
    for (const auto& [value, count] : parts)
        values.insert(values.end(), static_cast<std::size_t>(count), value);
    return values;
}

TEST(WaveDevice, PlaysQueuedBuffersInOrderAndSignalsEachOneFinished) {
    TestWaveDevice device;
    AutoResetEvent event;
    ASSERT_TRUE(device.open(kRate, 1, event));
    EXPECT_TRUE(event.poll()) << "opening signals";
    for (int index = 0; index < 3; ++index) {
        EXPECT_TRUE(device.isFree(device.nextIndex()));
        queueBlock(device, static_cast<std::int16_t>(index + 1), index * 1000);
    }
    EXPECT_EQ(device.queuedCount(), 3);
    EXPECT_EQ(device.playingTag(), 0);

    device.play(60);
    EXPECT_FALSE(event.poll()) << "a buffer half played is not finished";
    device.play(40);
    EXPECT_TRUE(event.poll());
    EXPECT_TRUE(device.isFree(0));
    EXPECT_FALSE(device.isFree(1));
    EXPECT_EQ(device.playingTag(), 1000);

    device.play(250);  // the rest of the queue, then silence
    EXPECT_TRUE(event.poll());
    EXPECT_EQ(device.queuedCount(), 0);
    EXPECT_EQ(device.playingTag(), std::nullopt);
    EXPECT_EQ(device.played(), run({{1, 100}, {2, 100}, {3, 100}, {0, 50}}));

    device.close();
    EXPECT_TRUE(event.poll()) << "closing signals";
    EXPECT_FALSE(device.isOpen());
    EXPECT_FALSE(device.isFree(0));
}

TEST(WaveDevice, WritingOverAQueuedBufferDoesNothing) {
    TestWaveDevice device;
    AutoResetEvent event;
    ASSERT_TRUE(device.open(kRate, 2, event));
    for (int index = 0; index < 3; ++index)
        queueBlock(device, 7, index);
    EXPECT_EQ(device.nextIndex(), 0);
    device.write(99);
    EXPECT_EQ(device.nextIndex(), 0);
    EXPECT_EQ(device.queuedCount(), 3);
    EXPECT_EQ(device.playingTag(), 0);
    EXPECT_EQ(device.samples(0).size(), 2u * kRate) << "stereo buffers hold two values a frame";

    device.play(kRate);
    queueBlock(device, 8, 3);  // reuses buffer 0, now at the back of the queue
    device.play(3 * kRate);
    EXPECT_EQ(device.played(), run({{7, 6 * kRate}, {8, 2 * kRate}}));
}

TEST(WaveDevice, ResetDropsTheQueueAndTheOutputGoesOnSilently) {
    TestWaveDevice device;
    AutoResetEvent event;
    ASSERT_TRUE(device.open(kRate, 1, event));
    event.reset();
    queueBlock(device, 5, 0);
    queueBlock(device, 6, 100);
    device.play(30);
    device.reset();
    EXPECT_TRUE(event.poll());
    EXPECT_EQ(device.queuedCount(), 0);
    EXPECT_TRUE(device.isFree(0) && device.isFree(1) && device.isFree(2));
    device.play(20);
    queueBlock(device, 9, 200);  // the queue starts afresh at the next index
    EXPECT_EQ(device.playingTag(), 200);
    device.play(kRate);
    EXPECT_EQ(device.played(), run({{5, 30}, {0, 20}, {9, kRate}}));
}

TEST(WaveDevice, AnOutputThatCannotOpenLeavesTheDeviceClosedWithAReason) {
    TestWaveDevice device;
    device.refuseToOpen(true);
    AutoResetEvent event;
    EXPECT_FALSE(device.open(kRate, 1, event));
    EXPECT_FALSE(event.poll());
    EXPECT_FALSE(device.isOpen());
    EXPECT_FALSE(device.isFree(0));
    EXPECT_NE(device.lastError().find("refuses"), std::string::npos);
    device.write(0);
    EXPECT_EQ(device.queuedCount(), 0);

    device.refuseToOpen(false);
    ASSERT_TRUE(device.open(kRate, 1, event));
    EXPECT_FALSE(device.open(kRate, 1, event)) << "an open device does not open again";
    EXPECT_TRUE(device.isOpen());
}

}  // namespace
}  // namespace lantrel
