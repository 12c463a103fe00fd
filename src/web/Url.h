#pragma once

#include "text/GbkText.h"

namespace pellorin::web {

using text::Text;

// True when the first five characters of the URL are "https", in any case.
bool IsHttpsUrl(std::string_view url);

// The host of a URL, lowered, with its port when keepPort. A URL without a scheme is an
// http URL.
Text UrlHost(std::string_view url, bool keepPort = false);

// The port of a URL: the one it names, else 443 for https and 80 for http.
int UrlPort(std::string_view url);

// The path and query of a URL, starting with "/".
Text UrlPath(std::string_view url);

} // namespace pellorin::web
