#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>

namespace pellorin::fake {

// One accepted socket of the engine. Every blocking step waits in poll() on the socket and on the engine's stop
// event together, so stopping the engine ends each of them at once; none of them sleeps or spins.
class Channel {
public:
    // Takes the socket (non-blocking) and closes it at the end; stopFd and stopping belong to the engine.
    Channel(int fd, int stopFd, const std::atomic<bool>& stopping);
    ~Channel();
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    // Appends what arrives next; false at the end of the stream, on failure and when the engine stops.
    bool Receive(std::string& buffer);
    // False when the bytes cannot all be sent or the engine stops first.
    bool Send(std::string_view bytes);
    // False when the engine stops during the pause.
    bool Pause(std::chrono::milliseconds duration);
    // Returns when the engine stops or the client shuts its side of the connection.
    void WaitForStopOrHangup();
    // Closes with an RST instead of a FIN.
    void Reset();
    // Sends a FIN and reads what the client still sends for a moment: closing a socket with unread bytes would send
    // an RST, which can destroy the response on its way.
    void CloseGracefully();

private:
    enum class Wake { Socket, Stop, Timeout };
    // fd -1 waits for the stop event or the deadline only; no deadline waits without a time limit.
    Wake Wait(int fd, short events, std::chrono::steady_clock::time_point deadline);

    int m_fd;
    int m_stopFd;
    const std::atomic<bool>& m_stopping;
};

} // namespace pellorin::fake
