#pragma once

#include "text/GbkText.h"

namespace pellorin::text {

// Removes spaces (0x20) and GBK full-width spaces (A1 A1) at both ends; tabs, CR and LF stay.
Text TrimSpaces(std::string_view text);

// Removes every space and every GBK full-width space wherever it stands.
Text RemoveAllSpaces(std::string_view text);

} // namespace pellorin::text
