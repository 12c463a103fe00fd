#include "web/CancelToken.h"

namespace pellorin::web {

void CancelToken::Cancel()
{
    std::lock_guard lock(m_mutex);
    m_cancelled.store(true, std::memory_order_release);
    if (m_wake)
        m_wake();
}

CancelRegistration::CancelRegistration(CancelToken* token, std::function<void()> wake)
    : m_token(token)
{
    if (!m_token)
        return;
    std::lock_guard lock(m_token->m_mutex);
    m_token->m_wake = std::move(wake);
}

CancelRegistration::~CancelRegistration()
{
    if (!m_token)
        return;
    std::lock_guard lock(m_token->m_mutex);
    m_token->m_wake = nullptr;
}

} // namespace pellorin::web
