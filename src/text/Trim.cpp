#include "text/Trim.h"

namespace pellorin::text {

namespace {

// Length of the blank character at pos (1 for a space, 2 for a full-width space), or 0.
std::size_t BlankLengthAt(std::string_view text, std::size_t pos)
{
    if (text[pos] == ' ')
        return 1;
    if (text.substr(pos, 2) == "\xA1\xA1")
        return 2;
    return 0;
}

} // namespace

Text TrimSpaces(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t blank = BlankLengthAt(text, begin);
        if (blank == 0)
            break;
        begin += blank;
    }
    // The end is found stepping forward, because "A1 A1" at the end may be the second
    // byte of one character followed by a lone lead byte.
    std::size_t end = begin;
    for (std::size_t pos = begin; pos < text.size();) {
        std::size_t length = CharLengthAt(text, pos);
        if (BlankLengthAt(text, pos) != length)
            end = pos + length;
        pos += length;
    }
    return Text(text.substr(begin, end - begin));
}

Text RemoveAllSpaces(std::string_view text)
{
    Text kept;
    kept.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = CharLengthAt(text, pos);
        if (BlankLengthAt(text, pos) != length)
            kept.append(text.substr(pos, length));
        pos += length;
    }
    return kept;
}

} // namespace pellorin::text
