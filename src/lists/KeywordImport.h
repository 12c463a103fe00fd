#pragma once

#include "text/GbkText.h"

#include <vector>

namespace pellorin::lists {

class ResultsTable;
using text::Text;

// Removes the lines that are empty or hold only white space between two lines with text
// (and one CR LF at each end of the whole text), so that the keyword box's blank lines give
// no rows. Lines are separated by CR LF.
Text RemoveBlankLines(std::string_view text);

// The keywords of the keyword box's text (lines separated by CR LF): blank lines removed,
// spaces at the very beginning and end of the whole text removed, the rest cut at every
// CR LF on character boundaries. A trailing CR LF adds no empty keyword.
std::vector<Text> KeywordPieces(std::string_view keywordText);

// Rebuilds the rows of a report list from the keyword box's text: row r holds r + 1 and
// keyword r + 1; its other cells are empty.
void ImportKeywords(ResultsTable& table, std::string_view keywordText);

} // namespace pellorin::lists
