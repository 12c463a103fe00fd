#pragma once

#include "tasks/TaskControl.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace pellorin::tasks {

// Runs every task on a new thread of its own, at most the thread count at once. When that
// many are tracked, Submit waits, on the window thread and handling its events meanwhile,
// for the oldest task to end (not for whichever ends first). Tasks are held and abandoned
// cooperatively through their TaskControl. All members are called on the window thread;
// they may nest, since Submit's wait runs other handlers (a stop click runs Stop inside it).
class TaskPool {
public:
    using Routine = std::function<void(TaskControl&)>;
    static constexpr int kDefaultThreadCount = 10;

    TaskPool();
    // Abandons every task and waits until their threads have ended.
    ~TaskPool();
    TaskPool(const TaskPool&) = delete;
    TaskPool& operator=(const TaskPool&) = delete;

    // Abandons what an earlier run left and opens the pool for threadCount tasks at once
    // (below 1 counts as 1).
    void Create(int threadCount = kDefaultThreadCount);
    // Starts the routine on a new thread; false when nothing was started (held or stopped).
    bool Submit(Routine routine);
    // Abandons every tracked task; Submit starts nothing until Create or Resume.
    void Stop();
    // Holds every tracked task; holds add up. Submit starts nothing until Resume.
    void Pause();
    // Releases one hold of every tracked task and opens the pool.
    void Resume();

    bool IsHalted() const { return m_halted; }
    // Waits, handling events, until every tracked task has ended; false when the pool was
    // stopped or held meanwhile.
    bool WaitUntilIdle();

private:
    struct Task;
    using TaskPointer = std::shared_ptr<Task>;

    // Waits for the task's end, handling the window's events meanwhile.
    static void WaitForTaskEnd(Task& task);
    void ForgetEndedAbandoned();

    int m_lastIndex = 0;               // thread count - 1
    std::deque<TaskPointer> m_threads; // oldest first; null for an abandoned task
    bool m_halted = false;
    std::vector<TaskPointer> m_abandoned; // still to be joined
};

} // namespace pellorin::tasks
