// The pool on the window thread of a QCoreApplication, as the program runs it.
#include "tasks/TaskPool.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <mutex>

namespace pellorin::tasks {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// What the tasks of a test did, in order.
class Journal {
public:
    void Add(std::string entry)
    {
        std::lock_guard lock(m_mutex);
        m_entries.push_back(std::move(entry));
    }
    std::vector<std::string> Entries() const
    {
        std::lock_guard lock(m_mutex);
        return m_entries;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_entries;
};

// A task that passes hold points until it is told to end (or is abandoned).
struct Gate {
    std::atomic<bool> open{false};
    TaskPool::Routine Task(Journal& journal, std::string name)
    {
        return [this, &journal, name](TaskControl& control) {
            journal.Add(name + " start");
            while (!open.load()) {
                if (!control.Delay(2ms)) {
                    journal.Add(name + " abandoned");
                    return;
                }
            }
            if (control.Write([&] { journal.Add(name + " end"); }))
                return;
            journal.Add(name + " abandoned");
        };
    }
};

TaskPool::Routine Quick(Journal& journal, std::string name)
{
    return [&journal, name](TaskControl& control) {
        control.Write([&] { journal.Add(name + " start"); });
        control.Delay(5ms);
        control.Write([&] { journal.Add(name + " end"); });
    };
}

TEST(TaskPool, OneThreadRunsTasksOneAfterAnother)
{
    Journal journal;
    TaskPool pool;
    pool.Create(1);
    for (const char* name : {"a", "b", "c"})
        EXPECT_TRUE(pool.Submit(Quick(journal, name)));
    EXPECT_TRUE(pool.WaitUntilIdle());
    EXPECT_EQ(
        journal.Entries(), (std::vector<std::string>{"a start", "a end", "b start", "b end", "c start", "c end"}));
}

TEST(TaskPool, ThreadCountBelowOneCountsAsOne)
{
    for (const int count : {0, -3}) {
        Journal journal;
        TaskPool pool;
        pool.Create(count);
        EXPECT_TRUE(pool.Submit(Quick(journal, "a")));
        EXPECT_TRUE(pool.Submit(Quick(journal, "b")));
        EXPECT_TRUE(pool.WaitUntilIdle());
        EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"a start", "a end", "b start", "b end"})) << count;
    }
}

TEST(TaskPool, FullPoolWaitsForTheOldestTaskEvenWhenOthersHaveEnded)
{
    Journal journal;
    Gate first;
    TaskPool pool;
    pool.Create(3);
    ASSERT_TRUE(pool.Submit(first.Task(journal, "first")));
    ASSERT_TRUE(pool.Submit(Quick(journal, "b")));
    ASSERT_TRUE(pool.Submit(Quick(journal, "c")));
    // The window's events go on while Submit waits: this opens the gate a while later.
    QTimer::singleShot(100ms, [&] { first.open = true; });
    ASSERT_TRUE(pool.Submit(Quick(journal, "d")));
    const auto entries = journal.Entries();
    const auto firstEnd = std::find(entries.begin(), entries.end(), "first end");
    const auto dStart = std::find(entries.begin(), entries.end(), "d start");
    ASSERT_NE(firstEnd, entries.end());
    EXPECT_TRUE(dStart == entries.end() || firstEnd < dStart);
    EXPECT_TRUE(pool.WaitUntilIdle());
}

TEST(TaskPool, NothingStartsWhileHeldOrStopped)
{
    Journal journal;
    TaskPool pool;
    pool.Create(2);
    pool.Pause();
    EXPECT_FALSE(pool.Submit(Quick(journal, "held")));
    pool.Stop();
    EXPECT_FALSE(pool.Submit(Quick(journal, "stopped")));
    pool.Resume(); // a stopped pool opens again
    EXPECT_TRUE(pool.Submit(Quick(journal, "resumed")));
    EXPECT_TRUE(pool.WaitUntilIdle());
    EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"resumed start", "resumed end"}));
}

TEST(TaskPool, HoldsAddUpPerTask)
{
    Journal journal;
    Gate gate;
    TaskPool pool;
    pool.Create(3);
    ASSERT_TRUE(pool.Submit(gate.Task(journal, "twice")));
    pool.Pause();
    pool.Pause();
    gate.open = true;
    pool.Resume();
    EXPECT_FALSE(pool.IsHalted());
    ASSERT_TRUE(pool.Submit(Quick(journal, "new")));
    // The new task runs; the one held twice stays frozen.
    QEventLoop loop;
    QTimer::singleShot(100ms, &loop, &QEventLoop::quit);
    loop.exec();
    auto entries = journal.Entries();
    EXPECT_NE(std::find(entries.begin(), entries.end(), "new end"), entries.end());
    EXPECT_EQ(std::find(entries.begin(), entries.end(), "twice end"), entries.end());
    pool.Resume();
    EXPECT_TRUE(pool.WaitUntilIdle());
    entries = journal.Entries();
    EXPECT_NE(std::find(entries.begin(), entries.end(), "twice end"), entries.end());
}

TEST(TaskPool, CreateAbandonsWhatAnEarlierRunLeft)
{
    Journal journal;
    Gate never;
    TaskPool pool;
    pool.Create(2);
    ASSERT_TRUE(pool.Submit(never.Task(journal, "old")));
    pool.Create(2);
    EXPECT_TRUE(pool.Submit(Quick(journal, "new")));
    EXPECT_TRUE(pool.WaitUntilIdle());
    QEventLoop loop;
    QTimer::singleShot(50ms, &loop, &QEventLoop::quit);
    loop.exec();
    const auto entries = journal.Entries();
    EXPECT_NE(std::find(entries.begin(), entries.end(), "old abandoned"), entries.end());
    EXPECT_EQ(std::find(entries.begin(), entries.end(), "old end"), entries.end());
}

TEST(TaskPool, StopDuringASubmitWaitEndsItWithoutStarting)
{
    Journal journal;
    Gate never;
    TaskPool pool;
    pool.Create(1);
    ASSERT_TRUE(pool.Submit(never.Task(journal, "old")));
    QTimer::singleShot(50ms, [&pool] { pool.Stop(); });
    const auto start = Clock::now();
    EXPECT_FALSE(pool.Submit(Quick(journal, "waiting")));
    EXPECT_LT(Clock::now() - start, 2s);
    const auto entries = journal.Entries();
    EXPECT_EQ(std::find(entries.begin(), entries.end(), "waiting start"), entries.end());
}

TEST(TaskPool, AbandonedTaskWritesNothingMore)
{
    std::atomic<int> writes{0};
    std::latch started(1);
    TaskPool pool;
    pool.Create(1);
    ASSERT_TRUE(pool.Submit([&](TaskControl& control) {
        started.count_down();
        while (control.Write([&] { ++writes; }))
            std::this_thread::yield();
    }));
    started.wait();
    pool.Stop();
    const int afterStop = writes.load();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(writes.load(), afterStop);
}

TEST(TaskPool, DestructionEndsHeldAndRunningTasks)
{
    Journal journal;
    Gate never;
    const auto start = Clock::now();
    {
        TaskPool pool;
        pool.Create(4);
        for (const char* name : {"a", "b", "c"})
            ASSERT_TRUE(pool.Submit(never.Task(journal, name)));
        pool.Pause();
    }
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(journal.Entries().size(), 6u); // each started and was abandoned
}

} // namespace
} // namespace pellorin::tasks
