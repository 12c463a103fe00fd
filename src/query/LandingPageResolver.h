#pragma once

#include "text/GbkText.h"

namespace pellorin::tasks {
class TaskControl;
}

namespace pellorin::query {

using text::Text;

// Requests a result's link once, without following a redirect, and returns the value of
// the answer's Location header as sent (absolute or relative); the empty text when there
// is none or the request fails. The link is used exactly as cut from the page.
Text LandingPageResolver(std::string_view link, tasks::TaskControl& control);

} // namespace pellorin::query
