#include "tasks/TaskControl.h"

namespace pellorin::tasks {

void TaskControl::Hold()
{
    std::lock_guard lock(m_mutex);
    ++m_holds;
}

void TaskControl::Release()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_holds > 0)
            --m_holds;
    }
    m_changed.notify_all();
}

void TaskControl::Abandon()
{
    {
        std::lock_guard lock(m_mutex);
        m_abandoned = true;
    }
    m_changed.notify_all();
    m_cancel.Cancel();
}

bool TaskControl::IsAbandoned() const
{
    std::lock_guard lock(m_mutex);
    return m_abandoned;
}

bool TaskControl::WaitWhileHeld(std::unique_lock<std::mutex>& lock)
{
    m_changed.wait(lock, [this] { return m_abandoned || m_holds == 0; });
    return !m_abandoned;
}

bool TaskControl::Checkpoint()
{
    std::unique_lock lock(m_mutex);
    return WaitWhileHeld(lock);
}

bool TaskControl::Delay(std::chrono::milliseconds amount)
{
    std::unique_lock lock(m_mutex);
    if (amount.count() > 0)
        m_changed.wait_for(lock, amount, [this] { return m_abandoned; });
    return WaitWhileHeld(lock);
}

bool TaskControl::Write(const std::function<void()>& write)
{
    std::unique_lock lock(m_mutex);
    if (!WaitWhileHeld(lock))
        return false;
    write();
    return true;
}

} // namespace pellorin::tasks
