#include "fake_engine/FakeEngine.h"

#include "fake_engine/Channel.h"
#include "fake_engine/HttpText.h"
#include "fake_engine/ResultPage.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <list>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace pellorin::fake {

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kMaxHeadBytes = 64 * 1024;
constexpr std::size_t kMaxBodyBytes = 64 * 1024 * 1024;
constexpr std::size_t kSendPieceBytes = 64 * 1024;

constexpr std::string_view kHtmlType = "text/html;charset=utf-8";
constexpr std::string_view kFillerLine = "<!-- fake-engine filler 0123456789 abcdefghijklmnopqrstuvwxyz -->\n";
// Ill-formed UTF-8 of several kinds: stray bytes, overlong form, truncated sequence, surrogate, beyond U+10FFFF.
constexpr std::array<std::string_view, 6> kMalformedUtf8 = {
    "\xFF", "\xC0\xAF", "\xE4\xB8", "\xED\xA0\x80", "\x80\x80", "\xF4\x90\x80\x80"};

bool HasHeader(const std::vector<std::pair<std::string, std::string>>& headers, std::string_view name)
{
    return std::any_of(
        headers.begin(), headers.end(), [&](const auto& h) { return EqualsIgnoringCase(h.first, name); });
}

std::string MixInMalformedUtf8(std::string_view page)
{
    // Into the abstracts, so that the markup the rank query cuts at stays intact.
    constexpr std::string_view kMarker = "<div class=\"c-abstract\">";
    std::string out;
    out.reserve(page.size() + 64);
    std::size_t copied = 0, count = 0;
    for (auto pos = page.find(kMarker); pos != std::string_view::npos; pos = page.find(kMarker, copied)) {
        const std::size_t end = pos + kMarker.size();
        out.append(page.substr(copied, end - copied));
        out.append(kMalformedUtf8[count++ % kMalformedUtf8.size()]);
        copied = end;
    }
    out.append(page.substr(copied));
    if (count == 0) {
        for (const std::string_view bytes : kMalformedUtf8)
            out.append(bytes);
    }
    return out;
}

// The request line and header lines of a request head (the text before its blank line). Method, target and version
// stay empty when the request line is not "METHOD TARGET VERSION".
RecordedRequest ParseHead(std::string_view head)
{
    RecordedRequest request;
    auto at = head.find("\r\n");
    request.requestLine = head.substr(0, at);
    while (at != std::string_view::npos) {
        const auto next = head.find("\r\n", at + 2);
        request.headerLines.emplace_back(head.substr(at + 2, next == std::string_view::npos ? next : next - at - 2));
        at = next;
    }
    const std::string_view line = request.requestLine;
    const auto space1 = line.find(' ');
    const auto space2 = space1 == std::string_view::npos ? space1 : line.find(' ', space1 + 1);
    if (space1 > 0 && space2 != std::string_view::npos && space2 > space1 + 1 && space2 + 1 < line.size() &&
        line.find(' ', space2 + 1) == std::string_view::npos) {
        request.method = line.substr(0, space1);
        request.target = line.substr(space1 + 1, space2 - space1 - 1);
        request.version = line.substr(space2 + 1);
    }
    return request;
}

// The status to refuse a request with, or 0 with the length of its body. Bodies come by Content-Length only.
int BodyLength(const RecordedRequest& request, std::size_t& length)
{
    length = 0;
    if (request.method.empty())
        return 400;
    if (request.HeaderCount("Transfer-Encoding") > 0)
        return 501;
    const std::string text = request.Header("Content-Length");
    if (text.empty())
        return 0;
    if (text.size() > 10 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 400;
    length = std::stoull(text);
    return length > kMaxBodyBytes ? 413 : 0;
}

// A response body: bytes held in memory, or filler made on the fly piece by piece.
class BodySource {
public:
    explicit BodySource(std::string text)
        : m_text(std::move(text))
        , m_size(m_text.size())
    {
    }
    explicit BodySource(std::size_t fillerBytes)
        : m_size(fillerBytes)
        , m_filler(true)
    {
    }

    std::size_t Size() const { return m_size; }

    void AppendTo(std::string& out, std::size_t offset, std::size_t count) const
    {
        if (!m_filler) {
            out.append(m_text, offset, count);
            return;
        }
        while (count > 0) {
            const std::size_t at = offset % kFillerLine.size();
            const std::size_t n = std::min(count, kFillerLine.size() - at);
            out.append(kFillerLine.substr(at, n));
            offset += n;
            count -= n;
        }
    }

private:
    std::string m_text;
    std::size_t m_size = 0;
    bool m_filler = false;
};

struct Answer {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers; // beyond Server, Content-Type, Content-Length
    std::string body;
    Behaviour behaviour; // its timing and faults; status, headers and body are already applied above
};

} // namespace

std::string RecordedRequest::Header(std::string_view name) const
{
    for (const std::string& line : headerLines) {
        if (const auto value = HeaderValueIfNamed(line, name))
            return std::string(*value);
    }
    return {};
}

std::size_t RecordedRequest::HeaderCount(std::string_view name) const
{
    return static_cast<std::size_t>(std::count_if(headerLines.begin(), headerLines.end(),
        [&](const std::string& line) { return HeaderValueIfNamed(line, name); }));
}

class FakeEngine::Server {
public:
    Server(FakeEngine& engine, std::uint16_t port);
    ~Server();

    void Start();
    void Stop();
    std::uint16_t Port() const { return m_port; }

    void SetPage(std::string rawWd, std::string body)
    {
        const std::lock_guard lock(m_mutex);
        m_pages[std::move(rawWd)] = std::move(body);
    }
    void SetKeywordBehaviour(std::string rawWd, Behaviour behaviour)
    {
        const std::lock_guard lock(m_mutex);
        m_keywordBehaviours[std::move(rawWd)] = std::move(behaviour);
    }
    void SetPathBehaviour(std::string target, Behaviour behaviour)
    {
        const std::lock_guard lock(m_mutex);
        m_pathBehaviours[std::move(target)] = std::move(behaviour);
    }
    void SetLink(std::string id, std::string landingUrl)
    {
        const std::lock_guard lock(m_mutex);
        m_links[std::move(id)] = std::move(landingUrl);
    }
    void SetGenerateUnknown(bool generate)
    {
        const std::lock_guard lock(m_mutex);
        m_generateUnknown = generate;
    }

    std::vector<RecordedRequest> Requests() const
    {
        const std::lock_guard lock(m_mutex);
        return m_requests;
    }
    void ClearRequests()
    {
        const std::lock_guard lock(m_mutex);
        m_requests.clear();
        m_requestIds.clear();
    }
    bool WaitFor(std::size_t count, std::chrono::milliseconds timeout, bool ended) const
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] {
            if (!ended)
                return m_requests.size() >= count;
            return static_cast<std::size_t>(std::count_if(m_requests.begin(), m_requests.end(),
                       [](const RecordedRequest& r) { return r.ended != Clock::time_point(); })) >= count;
        });
    }

private:
    struct Connection {
        std::thread thread;
        std::atomic<bool> finished{false};
    };

    void AcceptLoop();
    void Serve(int fd, std::size_t connection);
    // Reads up to the blank line that ends a request head; false when the connection should end.
    bool ReadHead(Channel& channel, std::string& buffer, Clock::time_point& arrived, std::size_t& headEnd);
    // Answers one request; false when the connection ends with it.
    bool Handle(Channel& channel, RecordedRequest request);
    Answer Route(const RecordedRequest& request);
    // False when the answer could not be sent whole. connectionValue: "" or the value of a Connection line to send.
    bool Respond(Channel& channel, const RecordedRequest& request, const Answer& answer,
        std::string_view connectionValue, std::uint64_t id);
    bool SendError(Channel& channel, int status);
    std::uint64_t Record(RecordedRequest request);
    void MarkEnded(std::uint64_t id);

    FakeEngine& m_engine; // demo pages register their links through it
    int m_listenFd = -1;
    int m_stopFd = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::thread m_acceptThread;
    std::list<std::unique_ptr<Connection>> m_connections; // the accept thread's, then Stop's

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::map<std::string, std::string> m_pages;
    std::map<std::string, Behaviour> m_keywordBehaviours;
    std::map<std::string, Behaviour> m_pathBehaviours;
    std::map<std::string, std::string> m_links;
    bool m_generateUnknown = false;
    std::vector<RecordedRequest> m_requests;
    std::vector<std::uint64_t> m_requestIds; // ascending, one per recorded request
    std::uint64_t m_nextRequestId = 1;
};

FakeEngine::Server::Server(FakeEngine& engine, std::uint16_t port)
    : m_engine(engine)
{
    const auto fail = [this](const char* what) {
        const int error = errno;
        if (m_listenFd >= 0)
            ::close(m_listenFd);
        throw std::system_error(error, std::generic_category(), what);
    };
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listenFd < 0)
        fail("fake-engine: socket");
    const int on = 1;
    ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0)
        fail("fake-engine: bind 127.0.0.1");
    if (::listen(m_listenFd, SOMAXCONN) < 0)
        fail("fake-engine: listen");
    socklen_t length = sizeof address;
    if (::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length) < 0)
        fail("fake-engine: getsockname");
    m_port = ntohs(address.sin_port);
    m_stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_stopFd < 0)
        fail("fake-engine: eventfd");
}

FakeEngine::Server::~Server()
{
    Stop();
    ::close(m_listenFd);
    ::close(m_stopFd);
}

void FakeEngine::Server::Start()
{
    m_acceptThread = std::thread([this] { AcceptLoop(); });
}

void FakeEngine::Server::Stop()
{
    if (m_stopping.exchange(true))
        return;
    // The event stays readable from now on, so every poll() of every thread returns at once.
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_stopFd, &one, sizeof one);
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    for (const auto& connection : m_connections)
        connection->thread.join();
    m_connections.clear();
}

void FakeEngine::Server::AcceptLoop()
{
    std::size_t accepted = 0;
    for (;;) {
        std::array<pollfd, 2> fds = {pollfd{.fd = m_stopFd, .events = POLLIN, .revents = 0},
            pollfd{.fd = m_listenFd, .events = POLLIN, .revents = 0}};
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR)
            return;
        if (fds[0].revents != 0)
            return;
        if ((fds[1].revents & POLLIN) == 0)
            continue;
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // Out of resources: the pending connection stays readable, so wait a little instead of spinning.
                std::array<pollfd, 1> stop = {pollfd{.fd = m_stopFd, .events = POLLIN, .revents = 0}};
                ::poll(stop.data(), stop.size(), 50);
            }
            continue;
        }
        // Drips of a few bytes must leave at once, not wait for the previous piece's ACK.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);

        m_connections.remove_if([](const std::unique_ptr<Connection>& c) {
            if (!c->finished.load())
                return false;
            c->thread.join();
            return true;
        });
        auto connection = std::make_unique<Connection>();
        Connection* raw = connection.get();
        raw->thread = std::thread([this, fd, raw, number = ++accepted] {
            Serve(fd, number);
            raw->finished.store(true);
        });
        m_connections.push_back(std::move(connection));
    }
}

bool FakeEngine::Server::ReadHead(
    Channel& channel, std::string& buffer, Clock::time_point& arrived, std::size_t& headEnd)
{
    arrived = {};
    for (;;) {
        // Empty lines before a request line are allowed between requests.
        std::size_t skip = 0;
        while (buffer.compare(skip, 2, "\r\n") == 0)
            skip += 2;
        buffer.erase(0, skip);
        if (!buffer.empty() && arrived == Clock::time_point())
            arrived = Clock::now();
        headEnd = buffer.find("\r\n\r\n");
        if (headEnd != std::string::npos)
            return true;
        if (buffer.size() > kMaxHeadBytes) {
            SendError(channel, 431);
            return false;
        }
        if (!channel.Receive(buffer))
            return false;
    }
}

void FakeEngine::Server::Serve(int fd, std::size_t connection)
{
    Channel channel(fd, m_stopFd, m_stopping);
    std::string buffer;
    for (;;) {
        Clock::time_point arrived;
        std::size_t headEnd = 0;
        if (!ReadHead(channel, buffer, arrived, headEnd))
            return;
        RecordedRequest request = ParseHead(std::string_view(buffer).substr(0, headEnd));
        buffer.erase(0, headEnd + 4);
        request.connection = connection;
        request.arrived = arrived;

        std::size_t length = 0;
        if (const int refusal = BodyLength(request, length); refusal != 0) {
            MarkEnded(Record(std::move(request)));
            SendError(channel, refusal);
            return;
        }
        if (buffer.size() < length && EqualsIgnoringCase(request.Header("Expect"), "100-continue") &&
            !channel.Send("HTTP/1.1 100 Continue\r\n\r\n"))
            return;
        while (buffer.size() < length) {
            if (!channel.Receive(buffer))
                return;
        }
        request.body = buffer.substr(0, length);
        buffer.erase(0, length);

        if (!Handle(channel, std::move(request)))
            return;
    }
}

bool FakeEngine::Server::Handle(Channel& channel, RecordedRequest request)
{
    const Answer answer = Route(request);
    const bool http10 = request.version == "HTTP/1.0";
    const std::string connectionValue = request.Header("Connection");
    const bool clientCloses = http10 ? !HasToken(connectionValue, "keep-alive") : HasToken(connectionValue, "close");
    const std::uint64_t id = Record(request);

    const Behaviour& behaviour = answer.behaviour;
    // A Content-Length of the caller's may not match the body, so nothing can follow it on this connection.
    const bool close = clientCloses || behaviour.closeAfter || HasHeader(answer.headers, "Content-Length") ||
        std::any_of(answer.headers.begin(), answer.headers.end(),
            [](const auto& h) { return EqualsIgnoringCase(h.first, "Connection") && HasToken(h.second, "close"); });

    if (behaviour.delay > 0ms && !channel.Pause(behaviour.delay)) {
        MarkEnded(id);
        return false;
    }
    if (behaviour.hang) {
        channel.WaitForStopOrHangup();
        MarkEnded(id);
        return false;
    }
    if (behaviour.reset) {
        MarkEnded(id);
        channel.Reset();
        return false;
    }
    const bool sent = Respond(channel, request, answer, close ? "close" : http10 ? "keep-alive" : "", id);
    MarkEnded(id);
    if (sent && close)
        channel.CloseGracefully();
    return sent && !close;
}

Answer FakeEngine::Server::Route(const RecordedRequest& request)
{
    std::string_view target = request.target;
    // A request through a proxy names the whole URL ("GET http://host/s?wd=..."); it is routed by its path.
    if (target.starts_with("http://")) {
        const auto slash = target.find('/', 7);
        target = slash == std::string_view::npos ? std::string_view("/") : target.substr(slash);
    }
    const auto question = target.find('?');
    const std::string_view path = target.substr(0, question);
    const std::string_view query =
        question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
    const std::string rawWd(path == "/s" ? QueryValue(query, "wd").value_or("") : "");

    Answer answer;
    std::optional<Behaviour> behaviour;
    bool demoPage = false;
    {
        const std::lock_guard lock(m_mutex);
        if (const auto it = m_pathBehaviours.find(request.target); it != m_pathBehaviours.end())
            behaviour = it->second;
        if (path == "/s") {
            if (const auto it = m_keywordBehaviours.find(rawWd); !behaviour && it != m_keywordBehaviours.end())
                behaviour = it->second;
            if (const auto it = m_pages.find(rawWd); it != m_pages.end())
                answer.body = it->second;
            else
                demoPage = m_generateUnknown;
        } else if (path == "/link") {
            const auto id = QueryValue(query, "url");
            const auto it = id ? m_links.find(std::string(*id)) : m_links.end();
            if (it != m_links.end()) {
                answer.status = 302;
                answer.headers.emplace_back("Location", it->second);
            } else {
                answer.status = 404;
            }
        } else {
            answer.status = 404;
        }
    }
    if (answer.status == 404)
        answer.body = "<html><body><h1>404 Not Found</h1></body></html>\n";

    if (behaviour) {
        answer.status = behaviour->status;
        answer.headers = behaviour->headers;
        if (behaviour->body)
            answer.body = *behaviour->body;
        answer.behaviour = std::move(*behaviour);
    }
    // Malformed UTF-8 goes into a page, so an empty answer becomes the demo page first. The demo page registers its
    // links, which takes the lock: built outside it.
    if (answer.body.empty() && !answer.behaviour.body && (demoPage || answer.behaviour.malformedUtf8))
        answer.body = BuildDemoPage(m_engine, rawWd);
    if (answer.behaviour.malformedUtf8)
        answer.body = MixInMalformedUtf8(answer.body);
    return answer;
}

bool FakeEngine::Server::Respond(Channel& channel, const RecordedRequest& request, const Answer& answer,
    std::string_view connectionValue, std::uint64_t id)
{
    const Behaviour& behaviour = answer.behaviour;
    const BodySource body =
        behaviour.generatedBodyBytes > 0 ? BodySource(behaviour.generatedBodyBytes) : BodySource(answer.body);
    std::string head = "HTTP/1.1 " + std::to_string(answer.status) + " " + std::string(ReasonPhrase(answer.status)) +
        "\r\nServer: fake-engine\r\n";
    if (!HasHeader(answer.headers, "Content-Type"))
        head += "Content-Type: " + std::string(kHtmlType) + "\r\n";
    if (!HasHeader(answer.headers, "Content-Length"))
        head += "Content-Length: " + std::to_string(body.Size()) + "\r\n";
    if (!connectionValue.empty() && !HasHeader(answer.headers, "Connection"))
        head += "Connection: " + std::string(connectionValue) + "\r\n";
    for (const auto& [name, value] : answer.headers)
        head += name + ": " + value + "\r\n";
    head += "\r\n";

    const std::size_t total = request.method == "HEAD" ? 0 : body.Size();
    const bool drip = behaviour.dripChunkBytes > 0;
    const std::size_t piece = drip ? behaviour.dripChunkBytes : kSendPieceBytes;
    if (total == 0 || drip) {
        // A drip shows the head at once and then the body bit by bit.
        if (total == 0)
            MarkEnded(id);
        if (!channel.Send(head))
            return false;
        head.clear();
    }
    std::string out = std::move(head);
    for (std::size_t offset = 0; offset < total;) {
        const std::size_t count = std::min(piece, total - offset);
        if (drip && offset > 0 && !channel.Pause(behaviour.dripInterval))
            return false;
        body.AppendTo(out, offset, count);
        offset += count;
        if (offset == total)
            MarkEnded(id); // before the last bytes leave, so a client that has them all sees the time
        if (!channel.Send(out))
            return false;
        out.clear();
    }
    return true;
}

bool FakeEngine::Server::SendError(Channel& channel, int status)
{
    const std::string text = std::to_string(status) + " " + std::string(ReasonPhrase(status)) + "\n";
    const bool sent = channel.Send("HTTP/1.1 " + std::to_string(status) + " " + std::string(ReasonPhrase(status)) +
        "\r\nServer: fake-engine\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(text.size()) +
        "\r\nConnection: close\r\n\r\n" + text);
    if (sent)
        channel.CloseGracefully();
    return sent;
}

std::uint64_t FakeEngine::Server::Record(RecordedRequest request)
{
    const std::lock_guard lock(m_mutex);
    const std::uint64_t id = m_nextRequestId++;
    m_requests.push_back(std::move(request));
    m_requestIds.push_back(id);
    m_changed.notify_all();
    return id;
}

void FakeEngine::Server::MarkEnded(std::uint64_t id)
{
    const std::lock_guard lock(m_mutex);
    const auto it = std::lower_bound(m_requestIds.begin(), m_requestIds.end(), id);
    if (it == m_requestIds.end() || *it != id) // cleared meanwhile
        return;
    RecordedRequest& request = m_requests[static_cast<std::size_t>(it - m_requestIds.begin())];
    if (request.ended == Clock::time_point()) {
        request.ended = Clock::now();
        m_changed.notify_all();
    }
}

FakeEngine::FakeEngine()
    : FakeEngine(0)
{
}

FakeEngine::FakeEngine(std::uint16_t port)
    : m_server(std::make_unique<Server>(*this, port))
{
    // Started only now: connection threads reach the server through m_server when they build demo pages.
    m_server->Start();
}

FakeEngine::~FakeEngine()
{
    // Every thread ends before m_server goes away, for the same reason.
    m_server->Stop();
}

std::uint16_t FakeEngine::Port() const
{
    return m_server->Port();
}

std::string FakeEngine::BaseUrl() const
{
    return "http://127.0.0.1:" + std::to_string(Port());
}

void FakeEngine::SetPage(std::string rawWd, std::string body)
{
    m_server->SetPage(std::move(rawWd), std::move(body));
}

void FakeEngine::SetKeywordBehaviour(std::string rawWd, Behaviour behaviour)
{
    m_server->SetKeywordBehaviour(std::move(rawWd), std::move(behaviour));
}

void FakeEngine::SetPathBehaviour(std::string target, Behaviour behaviour)
{
    m_server->SetPathBehaviour(std::move(target), std::move(behaviour));
}

void FakeEngine::SetLink(std::string id, std::string landingUrl)
{
    m_server->SetLink(std::move(id), std::move(landingUrl));
}

void FakeEngine::SetGenerateUnknown(bool generate)
{
    m_server->SetGenerateUnknown(generate);
}

std::vector<RecordedRequest> FakeEngine::Requests() const
{
    return m_server->Requests();
}

void FakeEngine::ClearRequests()
{
    m_server->ClearRequests();
}

bool FakeEngine::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const
{
    return m_server->WaitFor(count, timeout, /*ended=*/false);
}

bool FakeEngine::WaitForEnded(std::size_t count, std::chrono::milliseconds timeout) const
{
    return m_server->WaitFor(count, timeout, /*ended=*/true);
}

} // namespace pellorin::fake
