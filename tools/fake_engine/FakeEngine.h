#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pellorin::fake {

using Clock = std::chrono::steady_clock;

// One request as it reached the engine, byte for byte, so that tests can check what a client sends.
struct RecordedRequest {
    std::size_t connection = 0;           // 1-based number of the connection it came on, in accept order
    std::string requestLine;              // "GET /s?wd=%E4%B8%AD&rn=100 HTTP/1.1" exactly as received
    std::string method, target, version;  // split from the request line
    std::vector<std::string> headerLines; // every header line in arrival order, exactly as received, without CRLF
    std::string body;                     // read by Content-Length
    Clock::time_point arrived;            // first byte of the request
    Clock::time_point ended;              // end of the response, reset or hang; the epoch while still going on

    // The value of the first line with that name (ASCII case ignored), spaces and tabs trimmed; "" if none.
    std::string Header(std::string_view name) const;
    std::size_t HeaderCount(std::string_view name) const;
};

// What to answer instead of the normal answer of a request.
struct Behaviour {
    int status = 200;
    // Extra response header lines, in order; repeated names allowed. A Content-Type, Content-Length or Connection
    // line given here replaces the engine's own (a Content-Length that lies is the caller's choice; the engine then
    // closes the connection after the response).
    std::vector<std::pair<std::string, std::string>> headers{};
    std::optional<std::string> body{};         // replaces the normal body when set
    std::chrono::milliseconds delay{0};        // wait before the response starts
    bool hang = false;                         // read the request, never answer; ends when the engine stops or
                                               // the client goes away
    bool reset = false;                        // read the request, then close with an RST, no response bytes
    std::size_t dripChunkBytes = 0;            // >0: send the body in chunks of this size ...
    std::chrono::milliseconds dripInterval{0}; // ... with this pause between them
    std::size_t generatedBodyBytes = 0;        // >0: a body of this many filler bytes, made on the fly
    bool malformedUtf8 = false;                // invalid UTF-8 sequences mixed into the text of a result page
    bool closeAfter = false;                   // send "Connection: close" and close after the response
};

// A loopback HTTP/1.1 server that plays the search engine for tests, benchmarks and demos. It listens on 127.0.0.1
// only and serves from construction to destruction; the destructor ends every wait at once and joins every thread.
//
// Routing, first match wins:
//   a target with a path behaviour -> that behaviour;
//   /s?...wd=RAW...               -> the keyword behaviour, else the page of RAW, else an empty 200 page (or a
//                                    generated page with SetGenerateUnknown). RAW stays percent-encoded, so a
//                                    keyword sent in another encoding finds no page;
//   /link?url=ID                  -> 302 to the landing page of ID, 404 when unknown;
//   anything else                 -> 404.
class FakeEngine {
public:
    FakeEngine();                            // ephemeral port
    explicit FakeEngine(std::uint16_t port); // 0 for an ephemeral port; throws std::system_error when taken
    ~FakeEngine();

    FakeEngine(const FakeEngine&) = delete;
    FakeEngine& operator=(const FakeEngine&) = delete;

    std::uint16_t Port() const;
    std::string BaseUrl() const; // "http://127.0.0.1:PORT"

    void SetPage(std::string rawWd, std::string body);
    void SetKeywordBehaviour(std::string rawWd, Behaviour behaviour);
    void SetPathBehaviour(std::string target, Behaviour behaviour); // target: path and query, exactly as sent
    void SetLink(std::string id, std::string landingUrl);
    void SetGenerateUnknown(bool generate);

    std::vector<RecordedRequest> Requests() const;
    void ClearRequests();
    // Wait until at least count requests have arrived (since the last ClearRequests), or until they have all
    // ended; false when the timeout passes first.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
    bool WaitForEnded(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    class Server;
    std::unique_ptr<Server> m_server;
};

} // namespace pellorin::fake
