#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pellorin::text {

// A text is a GBK byte string without NUL bytes; the empty text is a valid value.
using Text = std::string;

// A byte of 0x80 or more starts a two-byte character. Every text search steps over
// such a character as one unit, so nothing is ever found on its second byte.
constexpr bool IsLeadByte(char byte)
{
    return static_cast<unsigned char>(byte) >= 0x80;
}

// Length of the character that starts at pos: 2 for a lead byte with a byte behind it,
// otherwise 1 (a lead byte at the very end stands alone).
constexpr std::size_t CharLengthAt(std::string_view text, std::size_t pos)
{
    return IsLeadByte(text[pos]) && pos + 1 < text.size() ? 2 : 1;
}

} // namespace pellorin::text
