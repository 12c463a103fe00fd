#pragma once

#include "text/GbkText.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin::lists {

class ResultsTable;
using text::Text;

// The CSV file of a report list, as GBK bytes with CR LF line breaks and no byte-order mark:
// a line naming the program and homePage, an empty line, the header line, one line per row.
//
// Single-site lists write columns 0 to 3 of every row (a missing column as an empty cell), and
// no line break after the last line. Multi-site lists write the header "序号,关键词," and one
// "site," per site of siteList, then every column of every row, each cell followed by a comma;
// every line ends with CR LF.
//
// A cell or site holding a comma, a double quote, CR or LF is written in double quotes with its
// double quotes doubled; every other one is written unchanged.
std::string ExportText(
    const ResultsTable& table, bool multiSite, const std::vector<Text>& siteList, std::string_view homePage);

// Writes bytes to a new file in path's folder and renames it over path, so that a failure leaves
// neither a damaged old file nor a partial new one. A symbolic link at path is written through.
// An existing file keeps its permissions; a new one gets 0644 less the umask.
// Returns std::nullopt on success, otherwise the system's reason (such as "Permission denied").
std::optional<std::string> WriteFileReplacing(const std::filesystem::path& path, std::string_view bytes);

} // namespace pellorin::lists
