#include "regex/LiteralCount.h"

#include "regex/RegexObject.h"

namespace pellorin::regex {

text::Text EscapeLiteral(std::string_view literal)
{
    // Backslash first in the list of the escaped, so that no added backslash is doubled;
    // "}" needs none.
    static constexpr std::string_view kMetacharacters = "\\(){[]?.|+*^$";
    text::Text escaped;
    escaped.reserve(literal.size() * 2);
    for (std::size_t pos = 0; pos < literal.size();) {
        const std::size_t length = text::CharLengthAt(literal, pos);
        if (length == 1 && kMetacharacters.find(literal[pos]) != std::string_view::npos)
            escaped.push_back('\\');
        escaped.append(literal.substr(pos, length));
        pos += length;
    }
    return escaped;
}

long long CountLiteralByRegex(std::string_view text, std::string_view literal, bool caseSensitive)
{
    RegexObject regex;
    if (!regex.Search(EscapeLiteral(literal), text, caseSensitive, /*multiline=*/true, /*global=*/true))
        return 0;
    return regex.MatchCount();
}

} // namespace pellorin::regex
