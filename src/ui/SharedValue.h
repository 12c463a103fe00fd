#pragma once

#include <mutex>
#include <utility>

namespace pellorin::ui {

// A control's value mirrored for task threads: the window sets it on its own thread when the
// control changes, tasks read it at any time without touching the widget.
template<class T>
class SharedValue {
public:
    SharedValue() = default;
    explicit SharedValue(T value)
        : m_value(std::move(value))
    {
    }

    void Set(T value)
    {
        std::lock_guard lock(m_mutex);
        m_value = std::move(value);
    }

    T Get() const
    {
        std::lock_guard lock(m_mutex);
        return m_value;
    }

private:
    mutable std::mutex m_mutex;
    T m_value{};
};

} // namespace pellorin::ui
