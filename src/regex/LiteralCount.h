#pragma once

#include "text/GbkText.h"

namespace pellorin::regex {

// The literal with every metacharacter of the pattern language escaped by a backslash,
// character by character (a GBK second byte is never escaped).
text::Text EscapeLiteral(std::string_view literal);

// Counts a literal by running it, escaped, through a RegexObject. text::CountLiteral counts
// directly and must always agree with this.
long long CountLiteralByRegex(std::string_view text, std::string_view literal, bool caseSensitive);

} // namespace pellorin::regex
