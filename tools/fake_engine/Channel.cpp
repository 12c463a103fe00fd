#include "fake_engine/Channel.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pellorin::fake {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kDrainAfterClose = 500ms;
constexpr Clock::time_point kNoDeadline = Clock::time_point::max();

bool WouldBlock()
{
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

} // namespace

Channel::Channel(int fd, int stopFd, const std::atomic<bool>& stopping)
    : m_fd(fd)
    , m_stopFd(stopFd)
    , m_stopping(stopping)
{
}

Channel::~Channel()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool Channel::Receive(std::string& buffer)
{
    for (;;) {
        if (Wait(m_fd, POLLIN, kNoDeadline) != Wake::Socket)
            return false;
        char chunk[16 * 1024];
        const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
        if (n > 0) {
            buffer.append(chunk, static_cast<std::size_t>(n));
            return true;
        }
        if (n == 0 || !WouldBlock())
            return false;
    }
}

bool Channel::Send(std::string_view bytes)
{
    while (!bytes.empty()) {
        // A fast client never fills the socket buffer, so the stop event alone would not end a long send.
        if (m_stopping.load())
            return false;
        const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0)
            bytes.remove_prefix(static_cast<std::size_t>(n));
        else if (n == 0 || !WouldBlock())
            return false;
        else if (errno != EINTR && Wait(m_fd, POLLOUT, kNoDeadline) != Wake::Socket)
            return false;
    }
    return true;
}

bool Channel::Pause(std::chrono::milliseconds duration)
{
    return Wait(-1, 0, Clock::now() + duration) == Wake::Timeout;
}

void Channel::WaitForStopOrHangup()
{
    Wait(m_fd, POLLRDHUP, kNoDeadline);
}

void Channel::Reset()
{
    // SO_LINGER with a zero time makes close() abort the connection.
    const linger abort{.l_onoff = 1, .l_linger = 0};
    ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    ::close(m_fd);
    m_fd = -1;
}

void Channel::CloseGracefully()
{
    ::shutdown(m_fd, SHUT_WR);
    const auto deadline = Clock::now() + kDrainAfterClose;
    char sink[16 * 1024];
    while (Wait(m_fd, POLLIN, deadline) == Wake::Socket) {
        const ssize_t n = ::recv(m_fd, sink, sizeof sink, 0);
        if (n == 0 || (n < 0 && !WouldBlock()))
            break;
    }
}

Channel::Wake Channel::Wait(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        std::array<pollfd, 2> fds = {
            pollfd{.fd = m_stopFd, .events = POLLIN, .revents = 0}, pollfd{.fd = fd, .events = events, .revents = 0}};
        int timeout = -1;
        if (deadline != kNoDeadline) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            timeout = static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
        }
        const int ready = ::poll(fds.data(), fds.size(), timeout);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || fds[0].revents != 0)
            return Wake::Stop;
        if (ready > 0)
            return Wake::Socket;
        if (Clock::now() >= deadline)
            return Wake::Timeout;
    }
}

} // namespace pellorin::fake
