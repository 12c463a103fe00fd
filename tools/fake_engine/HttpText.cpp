#include "fake_engine/HttpText.h"

#include <algorithm>

namespace pellorin::fake {

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
        std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<std::string_view> HeaderValueIfNamed(std::string_view line, std::string_view name)
{
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || !EqualsIgnoringCase(TrimBlanks(line.substr(0, colon)), name))
        return std::nullopt;
    return TrimBlanks(line.substr(colon + 1));
}

bool HasToken(std::string_view list, std::string_view token)
{
    while (!list.empty()) {
        const auto comma = list.find(',');
        if (EqualsIgnoringCase(TrimBlanks(list.substr(0, comma)), token))
            return true;
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return false;
}

std::optional<std::string_view> QueryValue(std::string_view query, std::string_view name)
{
    while (!query.empty()) {
        const auto amp = query.find('&');
        const std::string_view field = query.substr(0, amp);
        if (field.size() > name.size() && field.starts_with(name) && field[name.size()] == '=')
            return field.substr(name.size() + 1);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    }
    return std::nullopt;
}

std::string_view ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 304:
        return "Not Modified";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 413:
        return "Content Too Large";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    default:
        return "Status";
    }
}

} // namespace pellorin::fake
