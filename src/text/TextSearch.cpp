#include "text/TextSearch.h"

#include "text/GbkCodec.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pellorin::text {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

constexpr bool IsAsciiLetter(unsigned char byte)
{
    return (byte | 0x20) >= 'a' && (byte | 0x20) <= 'z';
}

constexpr unsigned char AsciiLower(unsigned char byte)
{
    return byte >= 'A' && byte <= 'Z' ? byte | 0x20 : byte;
}

// How often a byte stands in a result page, roughly: the searcher looks for the rarest
// byte of the needle first, so that it stops at few false candidates.
int Commonness(unsigned char byte)
{
    if (byte == ' ' || byte >= 0x80)
        return 4;
    if (IsAsciiLetter(byte) || byte == '"' || byte == '=' || byte == '<' || byte == '>' || byte == '/')
        return 3;
    if (byte == '\n' || byte == '\r' || byte == '\t' || byte == '.' || byte == '-' || byte == '_' || byte == ':')
        return 2;
    return 1;
}

// Tells whether positions are character boundaries, given a position known to be one.
// Positions asked must not decrease, which keeps the total work linear.
class BoundaryTracker {
public:
    BoundaryTracker(const unsigned char* text, std::size_t knownBoundary)
        : m_text(text)
        , m_known(knownBoundary)
    {
    }

    void AddKnown(std::size_t boundary) { m_known = std::max(m_known, boundary); }

    bool IsBoundary(std::size_t pos)
    {
        // A byte below 0x80 always ends a character (it is never a lead byte), so the
        // position behind it is a boundary; from there, lead bytes pair up.
        std::size_t run = pos;
        while (run > m_known && m_text[run - 1] >= 0x80)
            --run;
        const bool boundary = (pos - run) % 2 == 0;
        m_known = boundary ? pos : pos - 1;
        return boundary;
    }

private:
    const unsigned char* m_text;
    std::size_t m_known;
};

// Finds a needle at character boundaries, byte for byte except at the positions marked
// to fold, where ASCII letters match in either case.
class LiteralSearcher {
public:
    LiteralSearcher(std::string_view text, std::string_view needle, std::vector<bool> foldAt)
        : m_text(reinterpret_cast<const unsigned char*>(text.data()))
        , m_size(text.size())
        , m_needle(needle.begin(), needle.end())
        , m_foldAt(std::move(foldAt))
        , m_boundaries(m_text, 0)
    {
        for (std::size_t i = 0; i < m_needle.size(); ++i) {
            if (m_foldAt[i]) {
                m_needle[i] = AsciiLower(m_needle[i]);
                m_folds = true;
            }
        }
        ChooseAnchor();
    }

    // The first match at or after from, which must be a character boundary.
    std::size_t Next(std::size_t from)
    {
        m_boundaries.AddKnown(from);
        for (std::size_t candidate = from;; ++candidate) {
            candidate = NextCandidate(candidate);
            if (candidate == kNone)
                return kNone;
            if (m_boundaries.IsBoundary(candidate))
                return candidate;
        }
    }

private:
    void ChooseAnchor()
    {
        if (!m_folds)
            return;
        int best = 5;
        for (std::size_t i = 0; i < m_needle.size(); ++i) {
            const int commonness = m_foldAt[i] ? 5 : Commonness(m_needle[i]);
            if (commonness < best) {
                best = commonness;
                m_anchor = i;
            }
        }
    }

    // The first place at or after from where the bytes match, boundary or not.
    std::size_t NextCandidate(std::size_t from)
    {
        const std::size_t length = m_needle.size();
        if (from > m_size || m_size - from < length)
            return kNone;
        if (!m_folds) {
            const void* found = memmem(m_text + from, m_size - from, m_needle.data(), length);
            return found ? static_cast<std::size_t>(static_cast<const unsigned char*>(found) - m_text) : kNone;
        }
        for (std::size_t candidate = from; m_size - candidate >= length; ++candidate) {
            candidate = NextAnchor(candidate + m_anchor);
            if (candidate == kNone)
                return kNone;
            candidate -= m_anchor;
            if (m_size - candidate < length)
                return kNone;
            if (MatchesAt(candidate))
                return candidate;
        }
        return kNone;
    }

    // The next position at or after from that holds the anchor byte (in either case
    // when it folds). Both cases are remembered, so a rare case is not searched again.
    std::size_t NextAnchor(std::size_t from)
    {
        const unsigned char lower = m_needle[m_anchor];
        if (!m_foldAt[m_anchor]) {
            const void* found = std::memchr(m_text + from, lower, m_size - from);
            return found ? static_cast<std::size_t>(static_cast<const unsigned char*>(found) - m_text) : kNone;
        }
        const unsigned char upper = lower & ~0x20;
        auto refresh = [&](std::size_t& cached, unsigned char byte) {
            if (cached == kUnset || (cached != kNone && cached < from)) {
                const void* found = std::memchr(m_text + from, byte, m_size - from);
                cached = found ? static_cast<std::size_t>(static_cast<const unsigned char*>(found) - m_text) : kNone;
            }
        };
        refresh(m_nextLower, lower);
        refresh(m_nextUpper, upper);
        return std::min(m_nextLower, m_nextUpper);
    }

    bool MatchesAt(std::size_t pos) const
    {
        for (std::size_t i = 0; i < m_needle.size(); ++i) {
            const unsigned char byte = m_foldAt[i] ? AsciiLower(m_text[pos + i]) : m_text[pos + i];
            if (byte != m_needle[i])
                return false;
        }
        return true;
    }

    static constexpr std::size_t kUnset = kNone - 1;

    const unsigned char* m_text;
    std::size_t m_size;
    std::vector<unsigned char> m_needle;
    std::vector<bool> m_foldAt;
    bool m_folds = false;
    std::size_t m_anchor = 0;
    std::size_t m_nextLower = kUnset;
    std::size_t m_nextUpper = kUnset;
    BoundaryTracker m_boundaries;
};

// The units of a literal as the regular-expression engine sees them: a lead byte with the
// byte behind it is one character, a lone lead byte at the end is one of its own.
struct LiteralUnits {
    std::vector<bool> foldAt;      // ASCII letters that stand as characters of their own
    bool hasCasedPair = false;     // a two-byte character with another case (Α, α)
    bool endsWithLoneLead = false; // matches only at the very end of a text
};

LiteralUnits ReadLiteral(std::string_view literal, bool caseSensitive)
{
    const GbkCodec& codec = GbkCodec::Instance();
    LiteralUnits units;
    units.foldAt.assign(literal.size(), false);
    for (std::size_t pos = 0; pos < literal.size();) {
        const std::size_t length = CharLengthAt(literal, pos);
        const auto lead = static_cast<unsigned char>(literal[pos]);
        if (length == 2) {
            const auto code = static_cast<std::uint16_t>((lead << 8) | static_cast<unsigned char>(literal[pos + 1]));
            if (!caseSensitive && codec.DecodePair(lead, literal[pos + 1]) != 0 && codec.HasCaseVariants(code))
                units.hasCasedPair = true;
        } else if (IsLeadByte(literal[pos])) {
            units.endsWithLoneLead = true;
        } else if (!caseSensitive && IsAsciiLetter(lead)) {
            units.foldAt[pos] = true;
        }
        pos += length;
    }
    return units;
}

// Compares the characters of the literal with those of the text at pos, letters in either
// case; the slow path for literals holding GBK letters with case.
bool CaselessUnitsMatch(std::string_view text, std::size_t pos, std::string_view literal)
{
    const GbkCodec& codec = GbkCodec::Instance();
    std::size_t at = 0;
    while (at < literal.size()) {
        if (pos >= text.size())
            return false;
        const std::size_t length = CharLengthAt(literal, at);
        if (CharLengthAt(text, pos) != length)
            return false;
        const auto a = static_cast<unsigned char>(literal[at]);
        const auto b = static_cast<unsigned char>(text[pos]);
        if (length == 1) {
            if (AsciiLower(a) != AsciiLower(b))
                return false;
        } else {
            const auto a2 = static_cast<unsigned char>(literal[at + 1]);
            const auto b2 = static_cast<unsigned char>(text[pos + 1]);
            const bool bothDecode = codec.DecodePair(a, a2) != 0 && codec.DecodePair(b, b2) != 0;
            const auto codeA = static_cast<std::uint16_t>((a << 8) | a2);
            const auto codeB = static_cast<std::uint16_t>((b << 8) | b2);
            if (codeA != codeB && !(bothDecode && codec.CaselessKey(codeA) == codec.CaselessKey(codeB)))
                return false;
        }
        at += length;
        pos += length;
    }
    return true;
}

long long CountCaselessUnits(std::string_view text, std::string_view literal)
{
    long long count = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        if (CaselessUnitsMatch(text, pos, literal)) {
            ++count;
            pos += literal.size();
        } else {
            pos += CharLengthAt(text, pos);
        }
    }
    return count;
}

long long CountCharacters(std::string_view text)
{
    long long count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos))
        ++count;
    return count;
}

} // namespace

long long FindText(std::string_view text, std::string_view needle, long long start, bool caseSensitive)
{
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start - 1);
    if (from >= text.size())
        return kNotFound;
    if (needle.empty())
        return 1;

    std::vector<bool> foldAt(needle.size(), false);
    if (!caseSensitive) {
        for (std::size_t i = 0; i < needle.size(); ++i)
            foldAt[i] = IsAsciiLetter(static_cast<unsigned char>(needle[i]));
    }
    LiteralSearcher searcher(text, needle, std::move(foldAt));
    const std::size_t found = searcher.Next(from);
    return found == kNone ? kNotFound : static_cast<long long>(found) + 1;
}

std::string_view TextBetweenView(
    std::string_view text, std::string_view left, std::string_view right, long long start, bool caseSensitive)
{
    const Text leftMarker = ExpandQuoteNotation(left);
    const Text rightMarker = ExpandQuoteNotation(right);

    long long p = FindText(text, leftMarker, start <= 1 ? 1 : start, caseSensitive);
    if (p != kNotFound)
        p += static_cast<long long>(leftMarker.size());
    const long long q = FindText(text, rightMarker, p, caseSensitive);
    if (p == kNotFound || q == kNotFound || q - p <= 0)
        return {};
    return text.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(q - p));
}

Text TextBetween(
    std::string_view text, std::string_view left, std::string_view right, long long start, bool caseSensitive)
{
    return Text(TextBetweenView(text, left, right, start, caseSensitive));
}

long long CountLiteral(std::string_view text, std::string_view literal, bool caseSensitive)
{
    if (literal.empty()) // the engine's empty pattern matches before every character and at the end
        return CountCharacters(text) + 1;

    LiteralUnits units = ReadLiteral(literal, caseSensitive);
    if (units.hasCasedPair)
        return CountCaselessUnits(text, literal);

    LiteralSearcher searcher(text, literal, std::move(units.foldAt));
    long long count = 0;
    for (std::size_t pos = searcher.Next(0); pos != kNone;) {
        if (units.endsWithLoneLead && pos + literal.size() != text.size()) {
            // Only the last character of a text can be a lone lead byte.
            pos = searcher.Next(pos + CharLengthAt(text, pos));
            continue;
        }
        ++count;
        pos = searcher.Next(pos + literal.size());
    }
    return count;
}

Text ExpandQuoteNotation(std::string_view marker)
{
    static constexpr std::string_view kQuoteNotation = "#\xD2\xFD\xBA\xC5"; // "#引号" in GBK
    Text expanded;
    expanded.reserve(marker.size());
    for (std::size_t pos = 0; pos < marker.size();) {
        if (marker.substr(pos, kQuoteNotation.size()) == kQuoteNotation) {
            expanded.push_back('"');
            pos += kQuoteNotation.size();
        } else {
            expanded.push_back(marker[pos++]);
        }
    }
    return expanded;
}

} // namespace pellorin::text
