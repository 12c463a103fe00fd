#pragma once

#include "text/GbkText.h"

namespace pellorin::web {

using text::Text;

// Percent-encodes a text for a query string. With toUtf8 the GBK text is first made UTF-8;
// with keepLiteral the bytes "-", ".", 0-9, A-Z and a-z stay as they are. Every other byte
// becomes "%" and two uppercase hex digits; a space is "%20", never "+".
Text UrlEncodeUtf8(std::string_view text, bool keepLiteral = false, bool toUtf8 = false);

// The UTF-8 form of a GBK text.
std::string AnsiToUtf8(std::string_view text);

// The GBK text of UTF-8 bytes (a fetched page): what GBK cannot hold becomes "?", malformed
// UTF-8 is read leniently, and the text ends at the first NUL.
Text Utf8ToAnsi(std::string_view bytes);

} // namespace pellorin::web
