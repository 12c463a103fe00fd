#include "lists/KeywordImport.h"

#include "lists/ResultsTable.h"
#include "regex/RegexObject.h"
#include "text/TextSearch.h"

#include <string>

namespace pellorin::lists {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// Only the space character, as the keyword box's own trimming does: tabs, line breaks and
// full-width spaces stay.
std::string_view TrimOuterSpaces(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

Text RemoveBlankLines(std::string_view text)
{
    if (text.starts_with(kLineBreak))
        text.remove_prefix(kLineBreak.size());
    if (text.ends_with(kLineBreak))
        text.remove_suffix(kLineBreak.size());
    regex::RegexObject regex;
    regex.Search("\\n\\s*\\r", text);
    return regex.ReplaceMatches("");
}

std::vector<Text> KeywordPieces(std::string_view keywordText)
{
    const Text cleaned = RemoveBlankLines(keywordText);
    const std::string_view rest = TrimOuterSpaces(cleaned);

    std::vector<Text> pieces;
    long long begin = 1;
    for (long long at = text::FindText(rest, kLineBreak, begin, true); at != text::kNotFound;
         at = text::FindText(rest, kLineBreak, begin, true)) {
        pieces.emplace_back(rest.substr(static_cast<std::size_t>(begin - 1), static_cast<std::size_t>(at - begin)));
        begin = at + static_cast<long long>(kLineBreak.size());
    }
    if (begin <= static_cast<long long>(rest.size()))
        pieces.emplace_back(rest.substr(static_cast<std::size_t>(begin - 1)));
    return pieces;
}

void ImportKeywords(ResultsTable& table, std::string_view keywordText)
{
    table.Clear();
    std::vector<Text> pieces = KeywordPieces(keywordText);
    table.ReserveRows(static_cast<int>(pieces.size()));
    for (std::size_t i = 0; i < pieces.size(); ++i)
        table.AppendRow({std::to_string(i + 1), std::move(pieces[i])});
}

} // namespace pellorin::lists
