#pragma once

#include <atomic>
#include <functional>
#include <mutex>

namespace pellorin::web {

// Lets another thread end the work of a task that is waiting: Cancel() wakes the wait that
// is registered at that moment (a request under way, a timed pause), so that it ends
// within milliseconds. One token serves a task's waits one after another; once cancelled
// it stays cancelled.
class CancelToken {
public:
    void Cancel();
    bool IsCancelled() const { return m_cancelled.load(std::memory_order_acquire); }

private:
    friend class CancelRegistration;

    std::atomic<bool> m_cancelled{false};
    std::mutex m_mutex; // the waker must not run after its wait has ended
    std::function<void()> m_wake;
};

// Registers a wait's waker with a token (which may be null) for the registration's lifetime.
class CancelRegistration {
public:
    CancelRegistration(CancelToken* token, std::function<void()> wake);
    ~CancelRegistration();
    CancelRegistration(const CancelRegistration&) = delete;
    CancelRegistration& operator=(const CancelRegistration&) = delete;

private:
    CancelToken* m_token;
};

} // namespace pellorin::web
