#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace pellorin::fake {

class FakeEngine;

// The raw wd value of a UTF-8 keyword, encoded exactly as the program encodes search keywords (through GBK, so a
// character GBK cannot hold becomes "?", then percent-encoded UTF-8 with uppercase hex).
std::string RawWdOf(std::string_view keywordUtf8);

// Serves every DIR/<name>.html as the page of the keyword <name> (a UTF-8 file name). Returns how many pages it set;
// throws std::filesystem::filesystem_error when the folder cannot be read.
std::size_t LoadKeywordPages(FakeEngine& engine, const std::filesystem::path& folder);

} // namespace pellorin::fake
