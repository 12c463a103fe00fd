#pragma once

#include "text/GbkText.h"

#include <chrono>
#include <optional>

namespace pellorin::web {

using text::Text;
class CancelToken;

// A byte array: may hold NUL bytes (bodies).
using ByteArray = std::string;

// One HTTP or HTTPS request. The fields carry the request's arguments; those marked in/out
// or out are filled in by WebAccess.
struct WebRequest {
    Text url;                  // in: http or https URL; without a scheme, http
    int method = 0;            // in: 1 is POST, anything else GET; not 0: a body is sent
    Text postText;             // in: the body as text, when postBytes is empty
    Text cookies;              // in/out: sent in a Cookie line; comes back merged with newCookies
    Text newCookies;           // out: the cookies the response set
    Text headers;              // in/out: extra header lines joined by CRLF; comes back as the block sent
    Text location;             // out: the redirect target, else the raw response headers
    bool noRedirect = false;   // in: true: a redirect answer is returned, not followed
    ByteArray postBytes;       // in/out: the body as bytes; takes postText when empty
    std::optional<Text> proxy; // in: "host:port" of an HTTP proxy for http URLs; empty or absent: direct
    Text rawHeaders;           // out: status line and header lines of the final response, joined by CRLF

    // How the request is carried out, not what it asks.
    CancelToken* cancel = nullptr; // another thread may end the request through it
    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds timeout{30'000}; // the whole request
    std::string caFile;                        // extra trusted certificates (PEM); empty: the system's
};

// The largest body a request takes; a larger answer is a failed request. Result pages are
// well below a megabyte.
inline constexpr std::size_t kMaxBodyBytes = 64u << 20;

// Carries out the request on the calling thread and returns the response body: empty when
// the request failed, was cancelled or had no body. Any number of threads may call it.
ByteArray WebAccess(WebRequest& request);

// Sets up the HTTP client for the whole program. Call once from main() before any thread
// starts; WebAccess calls it too, for callers that did not.
void InitializeWebAccess();

} // namespace pellorin::web
