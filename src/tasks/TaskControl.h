#pragma once

#include "web/CancelToken.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace pellorin::tasks {

// The hold and the abandon of one task, shared by the pool (which holds, releases and
// abandons) and the task (which passes hold points, waits and writes through it).
// A held task makes no progress past its next hold point and writes nothing until it is
// released; once Abandon() has returned, the task writes nothing more, and a request or a
// wait under way ends at once.
class TaskControl {
public:
    // Holds add up: a task held twice needs two releases.
    void Hold();
    void Release();
    void Abandon();

    bool IsAbandoned() const;

    // A hold point: waits while the task is held. False when the task is abandoned and
    // must end.
    bool Checkpoint();

    // Waits for the given time, sleeping (ResponsiveDelay on a task thread), then passes a
    // hold point. Ends early, with false, when the task is abandoned.
    bool Delay(std::chrono::milliseconds amount);

    // Passes a hold point and writes, all while the pool cannot hold or abandon the task.
    // False, without writing, when the task is abandoned. write must not wait for the
    // pool's thread.
    bool Write(const std::function<void()>& write);

    // Requests of the task pass this token, so that abandoning the task cancels them.
    web::CancelToken* CancelToken() { return &m_cancel; }

private:
    // Waits while held; true when the task may go on. m_mutex must be locked.
    bool WaitWhileHeld(std::unique_lock<std::mutex>& lock);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_holds = 0;
    bool m_abandoned = false;
    web::CancelToken m_cancel;
};

} // namespace pellorin::tasks
