#include "web/HeaderBlock.h"

#include "text/TextSearch.h"
#include "text/Trim.h"

namespace pellorin::web {

namespace {

bool Contains(std::string_view block, std::string_view name)
{
    return text::FindText(block, name, 0, /*caseSensitive=*/true) != text::kNotFound;
}

} // namespace

Text UserAgentOf(std::string_view headers)
{
    static constexpr std::string_view kName = "User-Agent:";
    const long long at = text::FindText(headers, kName, 0, /*caseSensitive=*/false);
    if (at == text::kNotFound)
        return Text(kDefaultUserAgent);
    const long long valueAt = at + static_cast<long long>(kName.size());
    const long long lineEnd = text::FindText(headers, "\r\n", valueAt, /*caseSensitive=*/true);
    const std::size_t begin = static_cast<std::size_t>(valueAt - 1);
    const std::size_t end = lineEnd == text::kNotFound ? headers.size() : static_cast<std::size_t>(lineEnd - 1);
    return text::TrimSpaces(headers.substr(begin, end - begin));
}

void CompleteHeaderBlock(Text& headers, std::string_view url, std::string_view cookies)
{
    if (!Contains(headers, "Referer:")) {
        headers += headers.empty() ? "Referer: " : "\r\nReferer: ";
        headers += url;
    }
    if (!Contains(headers, "Accept:"))
        headers += "\r\nAccept: */*";
    if (!Contains(headers, "Accept-Language:"))
        headers += "\r\nAccept-Language: zh-cn";
    if (!Contains(headers, "Content-Type:"))
        headers += "\r\nContent-Type: application/x-www-form-urlencoded";
    if (!cookies.empty()) {
        headers += "\r\nCookie: ";
        headers += cookies;
    }
}

} // namespace pellorin::web
