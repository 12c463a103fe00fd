#include "web/Url.h"

#include "text/TextSearch.h"

#include <algorithm>

namespace pellorin::web {

namespace {

Text AsciiLowered(std::string_view text)
{
    Text lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c | 0x20);
    }
    return lowered;
}

// The value of the leading decimal digits; none gives 0.
int LeadingNumber(std::string_view text)
{
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        value = std::min(value * 10 + (c - '0'), 1'000'000'000LL);
    }
    return static_cast<int>(value);
}

} // namespace

bool IsHttpsUrl(std::string_view url)
{
    return AsciiLowered(url.substr(0, 5)) == "https";
}

Text UrlHost(std::string_view url, bool keepPort)
{
    Text lowered = AsciiLowered(url);
    if (lowered.empty() || lowered.back() != '/')
        lowered.push_back('/');

    Text host;
    if (lowered.starts_with("https://")) {
        host = text::TextBetween(lowered, "https://", "/");
    } else {
        if (text::FindText(lowered, "http://", 0, /*caseSensitive=*/true) == text::kNotFound)
            lowered.insert(0, "http://");
        host = text::TextBetween(lowered, "http://", "/");
    }
    if (!keepPort)
        host = host.substr(0, host.find(':'));
    return host;
}

int UrlPort(std::string_view url)
{
    const Text host = UrlHost(url, /*keepPort=*/true);
    const std::size_t colon = host.rfind(':');
    if (colon != Text::npos)
        return LeadingNumber(std::string_view(host).substr(colon + 1));
    return IsHttpsUrl(url) ? 443 : 80;
}

Text UrlPath(std::string_view url)
{
    const long long hostAt = text::FindText(url, UrlHost(url), 0, /*caseSensitive=*/false);
    const long long slash = text::FindText(url, "/", hostAt, /*caseSensitive=*/true);
    if (slash == text::kNotFound)
        return "/";
    return Text(url.substr(static_cast<std::size_t>(slash - 1)));
}

} // namespace pellorin::web
