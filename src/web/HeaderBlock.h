#pragma once

#include "text/GbkText.h"

namespace pellorin::web {

using text::Text;

// The agent sent when the caller's header lines name none.
inline constexpr std::string_view kDefaultUserAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; Quib; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; "
    ".NET CLR 3.5.21022)";

// The value of the first "User-Agent:" line of a header block (name in any case), trimmed;
// the default agent when there is none.
Text UserAgentOf(std::string_view headers);

// Completes the caller's header lines (joined by CRLF) into the block that is sent: a
// Referer (the URL itself), Accept, Accept-Language and Content-Type line each when the
// block has none yet (names compared with case), then a Cookie line when there are cookies.
void CompleteHeaderBlock(Text& headers, std::string_view url, std::string_view cookies);

} // namespace pellorin::web
