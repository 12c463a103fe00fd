#pragma once

#include "text/GbkText.h"

#include <vector>

namespace pellorin::web {

using text::Text;

// Pieces of a text cut at a separator: empty pieces between two separators are kept, an
// empty piece behind the last one is dropped.
std::vector<Text> SplitKeepingEmpty(std::string_view text, std::string_view separator);

// The text after the first ":" of a header line, trimmed; empty without a ":".
Text HeaderValue(std::string_view line);

// The name of a cookie entry ("name=value"): the text before its first "=", trimmed.
Text CookieName(std::string_view entry);

// True when an entry of the list has this name, byte for byte.
bool HasCookieName(const std::vector<Text>& entries, std::string_view name);

// Merges the cookies a response set into the caller's cookie text: the new ones first, in
// their order, then the old entries whose names they do not set; entries whose value is
// "deleted" go. Spaces are removed from both texts, entries are joined by "; ".
Text MergeCookies(Text& cookies, Text& newCookies);

// Reads the raw response headers (lines joined by CRLF): the last "Location:" line gives
// location (which falls back to the whole raw text when it is still empty), the
// "Set-Cookie" lines give newCookies, and cookies takes the merge of both.
void ReadResponseHeaders(std::string_view rawHeaders, Text& location, Text& newCookies, Text& cookies);

} // namespace pellorin::web
