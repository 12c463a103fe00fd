#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pellorin::regex {

// The engine runs on UTF-8, one code point for each character of a GBK text as the text
// routines step it (a lead byte and the byte behind it are one character). A character
// that code page 936 does not map, or that stands alone at the end, gets a private code
// point of its own (U+F0000 plus its bytes), so that it matches only itself and every
// text comes back byte for byte.
std::string GbkToEngineText(std::string_view gbk);
std::string EngineTextToGbk(std::string_view utf8);

// How many GBK bytes the character with this code point takes.
std::size_t GbkLengthOf(char32_t cp);

} // namespace pellorin::regex
