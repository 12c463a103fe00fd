#include "tasks/ResponsiveDelay.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <thread>

namespace pellorin::tasks {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(ResponsiveDelay, ZeroOrLessReturnsAtOnce)
{
    const auto start = Clock::now();
    EXPECT_TRUE(ResponsiveDelay(0));
    EXPECT_TRUE(ResponsiveDelay(-100, DelayUnit::Hour));
    EXPECT_LT(Clock::now() - start, 10ms);
}

TEST(ResponsiveDelay, HandlesEventsWhileWaitingAndNeverReturnsEarly)
{
    bool handled = false;
    Clock::time_point handledAt;
    QTimer::singleShot(100ms, [&] {
        handled = true;
        handledAt = Clock::now();
    });
    const auto start = Clock::now();
    EXPECT_TRUE(ResponsiveDelay(300));
    const auto end = Clock::now();
    EXPECT_TRUE(handled);
    EXPECT_LT(handledAt, end);
    EXPECT_GE(end - start, 300ms);
}

TEST(ResponsiveDelay, UnitsScaleTheAmount)
{
    const auto start = Clock::now();
    EXPECT_TRUE(ResponsiveDelay(1, DelayUnit::Second));
    EXPECT_GE(Clock::now() - start, 1s);
}

TEST(ResponsiveDelay, NestedWaitEndsBeforeTheOuterOne)
{
    std::vector<std::string> order;
    Clock::time_point innerEnd;
    // A handler that runs during the outer wait makes a longer wait of its own.
    QTimer::singleShot(50ms, [&] {
        order.push_back("inner start");
        ResponsiveDelay(300);
        innerEnd = Clock::now();
        order.push_back("inner end");
    });
    const auto start = Clock::now();
    ResponsiveDelay(100);
    order.push_back("outer end");
    EXPECT_EQ(order, (std::vector<std::string>{"inner start", "inner end", "outer end"}));
    EXPECT_GE(innerEnd - start, 350ms);
}

TEST(ResponsiveDelay, SleepsOffTheWindowThread)
{
    std::thread other([] {
        const auto start = Clock::now();
        EXPECT_TRUE(ResponsiveDelay(50));
        EXPECT_GE(Clock::now() - start, 50ms);
    });
    other.join();
}

} // namespace
} // namespace pellorin::tasks
