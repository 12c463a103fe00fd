#pragma once

#include "text/GbkText.h"

namespace pellorin::text {

// Positions are 1-based byte positions; kNotFound stands for a text that is not there.
inline constexpr long long kNotFound = -1;

// Position of the first occurrence of needle that begins on a character boundary at or
// after start (1 or less: the beginning). Without caseSensitive, ASCII A-Z equal a-z.
// An empty needle is found at position 1 whenever a byte remains from start on.
long long FindText(std::string_view text, std::string_view needle, long long start = 0, bool caseSensitive = false);

// The text strictly between the first left marker at or after start and the first right
// marker behind it; empty when either is missing. "#引号" in a marker stands for '"'.
Text TextBetween(std::string_view text, std::string_view left, std::string_view right, long long start = 0,
    bool caseSensitive = false);

// The same cut as TextBetween, as a view into text.
std::string_view TextBetweenView(std::string_view text, std::string_view left, std::string_view right,
    long long start = 0, bool caseSensitive = false);

// Non-overlapping occurrences of literal, counted left to right at character boundaries.
// Without caseSensitive, letters equal in either case, ASCII and GBK's own (Α and α)
// alike, as the regular-expression engine compares them.
long long CountLiteral(std::string_view text, std::string_view literal, bool caseSensitive = false);

// Every "#引号" replaced by a double quote.
Text ExpandQuoteNotation(std::string_view marker);

} // namespace pellorin::text
