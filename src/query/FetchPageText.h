#pragma once

#include "web/WebAccess.h"

namespace pellorin::query {

using text::Text;

// WebAccess, then the body decoded from UTF-8 to a GBK text; empty when the request failed.
Text FetchPageText(web::WebRequest& request);

} // namespace pellorin::query
