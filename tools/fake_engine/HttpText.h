#pragma once

#include <optional>
#include <string_view>

namespace pellorin::fake {

// The small pieces of HTTP/1.1 text the engine reads and writes. Header names compare without ASCII case; values
// are trimmed of spaces and tabs.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
std::string_view TrimBlanks(std::string_view text);

// The value of a header line ("Name: value") with that name, or nothing when the line has another name.
std::optional<std::string_view> HeaderValueIfNamed(std::string_view line, std::string_view name);

// Whether a comma-separated header value holds the token, as "Connection: keep-alive, close" holds close.
bool HasToken(std::string_view list, std::string_view token);

// The raw value of a query parameter: the text after "name=" up to the next "&", not percent-decoded.
std::optional<std::string_view> QueryValue(std::string_view query, std::string_view name);

std::string_view ReasonPhrase(int status);

} // namespace pellorin::fake
