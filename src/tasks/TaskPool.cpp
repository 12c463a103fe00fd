#include "tasks/TaskPool.h"

#include "tasks/EventLoopWait.h"

#include <QEventLoop>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace pellorin::tasks {

struct TaskPool::Task {
    TaskControl control;
    std::thread thread;

    std::mutex mutex;
    std::condition_variable endedChanged;
    bool ended = false;
    std::vector<QEventLoop*> waitingLoops; // loops of WaitForTaskEnd to end when the task does

    void Run(const Routine& routine)
    {
        try {
            routine(control);
        } catch (...) {
            // A task that fails has simply ended; its row keeps what it had written.
        }
        std::lock_guard lock(mutex);
        ended = true;
        endedChanged.notify_all();
        for (QEventLoop* loop : waitingLoops)
            QMetaObject::invokeMethod(loop, "quit", Qt::QueuedConnection);
    }

    bool HasEnded()
    {
        std::lock_guard lock(mutex);
        return ended;
    }

    void Join()
    {
        if (thread.joinable())
            thread.join();
    }
};

TaskPool::TaskPool() = default;

TaskPool::~TaskPool()
{
    Stop();
    for (const TaskPointer& task : m_abandoned)
        task->Join();
}

void TaskPool::Create(int threadCount)
{
    Stop();
    m_threads.clear();
    m_lastIndex = std::max(threadCount, 1) - 1;
    m_halted = false;
    ForgetEndedAbandoned();
}

bool TaskPool::Submit(Routine routine)
{
    if (m_halted)
        return false;
    while (m_threads.size() > static_cast<std::size_t>(m_lastIndex)) {
        const TaskPointer oldest = m_threads.front();
        if (oldest) {
            WaitForTaskEnd(*oldest);
            // Handlers ran during the wait: the pool may have been stopped, held or made anew.
            if (m_halted)
                return false;
            oldest->Join();
        }
        if (!m_threads.empty() && m_threads.front() == oldest)
            m_threads.pop_front();
    }

    auto task = std::make_shared<Task>();
    try {
        task->thread = std::thread([task, routine = std::move(routine)] { task->Run(routine); });
    } catch (const std::system_error&) {
        m_threads.push_back(nullptr); // no thread: the task is lost, as if abandoned
        return false;
    }
    m_threads.push_back(std::move(task));
    return true;
}

void TaskPool::Stop()
{
    m_halted = true;
    for (TaskPointer& task : m_threads) {
        if (!task)
            continue;
        task->control.Abandon();
        m_abandoned.push_back(std::move(task));
        task = nullptr;
    }
}

void TaskPool::Pause()
{
    m_halted = true;
    for (const TaskPointer& task : m_threads) {
        if (task)
            task->control.Hold();
    }
}

void TaskPool::Resume()
{
    m_halted = false;
    for (const TaskPointer& task : m_threads) {
        if (task)
            task->control.Release();
    }
}

bool TaskPool::WaitUntilIdle()
{
    // Copied, because handlers that run during the waits may change the list.
    const std::deque<TaskPointer> tracked = m_threads;
    for (const TaskPointer& task : tracked) {
        if (!task)
            continue;
        WaitForTaskEnd(*task);
        if (m_halted)
            return false;
    }
    return true;
}

void TaskPool::WaitForTaskEnd(Task& task)
{
    if (!CanWaitInEventLoop()) {
        std::unique_lock lock(task.mutex);
        task.endedChanged.wait(lock, [&task] { return task.ended; });
        return;
    }
    QEventLoop loop;
    {
        std::lock_guard lock(task.mutex);
        if (task.ended)
            return;
        task.waitingLoops.push_back(&loop);
    }
    loop.exec();
    std::lock_guard lock(task.mutex);
    std::erase(task.waitingLoops, &loop);
}

void TaskPool::ForgetEndedAbandoned()
{
    std::erase_if(m_abandoned, [](const TaskPointer& task) {
        if (!task->HasEnded())
            return false;
        task->Join();
        return true;
    });
}

} // namespace pellorin::tasks
