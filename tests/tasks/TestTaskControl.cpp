#include "tasks/TaskControl.h"

#include <gtest/gtest.h>

#include <future>

namespace pellorin::tasks {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(TaskControl, DelayWaitsItsTimeAndEndsEarlyWhenAbandoned)
{
    TaskControl control;
    auto start = Clock::now();
    EXPECT_TRUE(control.Delay(0ms));
    EXPECT_TRUE(control.Delay(-5ms));
    EXPECT_TRUE(control.Delay(50ms));
    EXPECT_GE(Clock::now() - start, 50ms);

    auto delayed = std::async(std::launch::async, [&control] { return control.Delay(10min); });
    std::this_thread::sleep_for(20ms);
    start = Clock::now();
    control.Abandon();
    ASSERT_EQ(delayed.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(delayed.get());
    EXPECT_LT(Clock::now() - start, 100ms);
    EXPECT_FALSE(control.Delay(0ms));
    EXPECT_TRUE(control.CancelToken()->IsCancelled());
}

TEST(TaskControl, HoldsAddUpAndStopWrites)
{
    TaskControl control;
    control.Hold();
    control.Hold();
    std::atomic<int> written{0};
    auto writer = std::async(std::launch::async, [&] { return control.Write([&] { ++written; }); });
    EXPECT_EQ(writer.wait_for(50ms), std::future_status::timeout);
    control.Release();
    EXPECT_EQ(writer.wait_for(50ms), std::future_status::timeout);
    EXPECT_EQ(written.load(), 0);
    control.Release();
    ASSERT_EQ(writer.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(writer.get());
    EXPECT_EQ(written.load(), 1);
    control.Release(); // more releases than holds change nothing
    EXPECT_TRUE(control.Checkpoint());
}

TEST(TaskControl, AbandonWhileHeldEndsTheTaskWithoutWriting)
{
    TaskControl control;
    control.Hold();
    std::atomic<int> written{0};
    auto writer = std::async(std::launch::async, [&] { return control.Write([&] { ++written; }); });
    auto delayed = std::async(std::launch::async, [&] { return control.Delay(1ms); });
    EXPECT_EQ(delayed.wait_for(50ms), std::future_status::timeout); // due, but held
    control.Abandon();
    EXPECT_FALSE(writer.get());
    EXPECT_FALSE(delayed.get());
    EXPECT_EQ(written.load(), 0);
    EXPECT_FALSE(control.Write([&] { ++written; }));
    EXPECT_EQ(written.load(), 0);
}

} // namespace
} // namespace pellorin::tasks
