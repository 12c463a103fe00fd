#include "tasks/ResponsiveDelay.h"

#include "tasks/EventLoopWait.h"

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <thread>

namespace pellorin::tasks {

namespace {

double MillisecondsPer(DelayUnit unit)
{
    switch (unit) {
    case DelayUnit::Second:
        return 1000.0;
    case DelayUnit::Minute:
        return 60000.0;
    case DelayUnit::Hour:
        return 3600000.0;
    case DelayUnit::Millisecond:
        break;
    }
    return 1.0;
}

} // namespace

bool ResponsiveDelay(long long amount, DelayUnit unit)
{
    using Clock = std::chrono::steady_clock;
    const auto milliseconds = static_cast<long long>(static_cast<double>(amount) * MillisecondsPer(unit));
    if (milliseconds <= 0)
        return true;
    const auto due = Clock::now() + std::chrono::milliseconds(milliseconds);

    if (!CanWaitInEventLoop()) {
        std::this_thread::sleep_until(due);
        return true;
    }

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    // A timer may fire a little early: wait again for what is left.
    for (auto left = due - Clock::now(); left > Clock::duration::zero(); left = due - Clock::now()) {
        timer.start(static_cast<int>(std::ceil(std::chrono::duration<double, std::milli>(left).count())));
        loop.exec();
    }
    return true;
}

} // namespace pellorin::tasks
