#pragma once

// A client on plain sockets for loopback servers: it sends exactly the bytes it is given and reports exactly what
// comes back, resets included. Every read is bounded by a timeout, so a test never waits for ever.
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace pellorin::test {

struct RawResponse {
    std::string statusLine;
    std::vector<std::string> headerLines;
    std::string body;
    std::size_t headBytes = 0; // status line, header lines and the blank line

    int Status() const { return statusLine.size() >= 12 ? std::stoi(statusLine.substr(9, 3)) : 0; }

    // The value of the first header line with that name (exact name), or nothing.
    std::optional<std::string> Header(std::string_view name) const
    {
        for (const std::string& line : headerLines) {
            if (line.size() > name.size() && line.compare(0, name.size(), name) == 0 && line[name.size()] == ':')
                return line.substr(line.find_first_not_of(' ', name.size() + 1));
        }
        return std::nullopt;
    }
};

class RawHttpClient {
public:
    using Clock = std::chrono::steady_clock;

    // How the connection ended: an orderly close (error 0), an error such as ECONNRESET, or not within the time.
    struct End {
        std::string bytes; // what came before the end and was not read as a response
        int error = 0;
        bool timedOut = false;
    };
    struct Arrival {
        Clock::time_point time;
        std::size_t totalBytes; // received on this connection so far
    };

    explicit RawHttpClient(std::uint16_t port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_fd < 0)
            throw std::system_error(errno, std::generic_category(), "socket");
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0) {
            const int error = errno;
            ::close(m_fd);
            throw std::system_error(error, std::generic_category(), "connect 127.0.0.1");
        }
    }
    ~RawHttpClient() { ::close(m_fd); }
    RawHttpClient(const RawHttpClient&) = delete;
    RawHttpClient& operator=(const RawHttpClient&) = delete;

    void Send(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw std::system_error(errno, std::generic_category(), "send");
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    // One response, framed by its Content-Length (or by the close without one). Nothing when the connection ends or
    // the time runs out first.
    std::optional<RawResponse> ReadResponse(std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        const auto deadline = Clock::now() + timeout;
        std::size_t headEnd;
        while ((headEnd = m_buffer.find("\r\n\r\n")) == std::string::npos) {
            if (!Fill(deadline))
                return std::nullopt;
        }
        RawResponse response;
        response.headBytes = headEnd + 4;
        std::size_t at = m_buffer.find("\r\n");
        response.statusLine = m_buffer.substr(0, at);
        while (at < headEnd) {
            const std::size_t next = m_buffer.find("\r\n", at + 2);
            response.headerLines.push_back(m_buffer.substr(at + 2, next - at - 2));
            at = next;
        }
        m_buffer.erase(0, headEnd + 4);
        if (const auto length = response.Header("Content-Length")) {
            const std::size_t size = std::stoull(*length);
            while (m_buffer.size() < size) {
                if (!Fill(deadline))
                    return std::nullopt;
            }
            response.body = m_buffer.substr(0, size);
            m_buffer.erase(0, size);
        } else {
            while (Fill(deadline)) { }
            if (m_error != 0 || !m_closed)
                return std::nullopt;
            response.body = std::move(m_buffer);
            m_buffer.clear();
        }
        return response;
    }

    End ReadToEnd(std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        const auto deadline = Clock::now() + timeout;
        while (Fill(deadline)) { }
        End end{std::move(m_buffer), m_error, !m_closed && m_error == 0};
        m_buffer.clear();
        return end;
    }

    const std::vector<Arrival>& Arrivals() const { return m_arrivals; }

private:
    // Reads what arrives next; false at the end of the stream, on an error or when the deadline passes.
    bool Fill(Clock::time_point deadline)
    {
        if (m_closed || m_error != 0)
            return false;
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            pollfd fd{.fd = m_fd, .events = POLLIN, .revents = 0};
            const int ready = ::poll(&fd, 1, static_cast<int>(std::min<long long>(left, 60'000)));
            if (ready < 0 && errno != EINTR) {
                m_error = errno;
                return false;
            }
            if (ready <= 0)
                continue;
            char chunk[64 * 1024];
            const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (n > 0) {
                m_buffer.append(chunk, static_cast<std::size_t>(n));
                m_total += static_cast<std::size_t>(n);
                m_arrivals.push_back({Clock::now(), m_total});
                return true;
            }
            if (n == 0)
                m_closed = true;
            else if (errno != EINTR)
                m_error = errno;
            if (m_closed || m_error != 0)
                return false;
        }
    }

    int m_fd = -1;
    std::string m_buffer;
    std::size_t m_total = 0;
    std::vector<Arrival> m_arrivals;
    bool m_closed = false;
    int m_error = 0;
};

} // namespace pellorin::test
