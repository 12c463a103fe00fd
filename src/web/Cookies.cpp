#include "web/Cookies.h"

#include "text/TextSearch.h"
#include "text/Trim.h"

namespace pellorin::web {

std::vector<Text> SplitKeepingEmpty(std::string_view text, std::string_view separator)
{
    std::vector<Text> pieces;
    std::size_t begin = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, begin)) {
        pieces.emplace_back(text.substr(begin, at - begin));
        begin = at + separator.size();
    }
    if (begin < text.size())
        pieces.emplace_back(text.substr(begin));
    return pieces;
}

Text HeaderValue(std::string_view line)
{
    const std::size_t colon = line.find(':');
    return colon == std::string_view::npos ? Text() : text::TrimSpaces(line.substr(colon + 1));
}

Text CookieName(std::string_view entry)
{
    return text::TrimSpaces(entry.substr(0, entry.find('=')));
}

bool HasCookieName(const std::vector<Text>& entries, std::string_view name)
{
    for (const Text& entry : entries) {
        if (CookieName(entry) == name)
            return true;
    }
    return false;
}

Text MergeCookies(Text& cookies, Text& newCookies)
{
    static constexpr std::string_view kDeleted = "=deleted";
    cookies = text::RemoveAllSpaces(cookies);
    newCookies = text::RemoveAllSpaces(newCookies);

    std::vector<Text> merged = SplitKeepingEmpty(newCookies, ";");
    for (const Text& entry : SplitKeepingEmpty(cookies, ";")) {
        if (!HasCookieName(merged, CookieName(entry)))
            merged.push_back(entry);
    }

    Text result;
    for (const Text& entry : merged) {
        if (std::string_view(entry).ends_with(kDeleted))
            continue;
        result += entry;
        result += "; ";
    }
    if (!result.empty())
        result.resize(result.size() - 2);
    cookies = result;
    return result;
}

void ReadResponseHeaders(std::string_view rawHeaders, Text& location, Text& newCookies, Text& cookies)
{
    newCookies.clear();
    for (const Text& line : SplitKeepingEmpty(rawHeaders, "\r\n")) {
        if (text::FindText(line, "Location:", 0, /*caseSensitive=*/true) != text::kNotFound)
            location = HeaderValue(line);
        if (text::FindText(line, "Set-Cookie", 0, /*caseSensitive=*/true) != text::kNotFound) {
            newCookies += text::TrimSpaces(text::TextBetween(line, "Set-Cookie:", ";"));
            newCookies += "; ";
        }
    }
    if (!newCookies.empty())
        newCookies.resize(newCookies.size() - 2);
    if (location.empty())
        location = Text(rawHeaders);
    MergeCookies(cookies, newCookies);
}

} // namespace pellorin::web
