#pragma once

#include "text/GbkText.h"

#include <memory>
#include <vector>

namespace pellorin::regex {

using text::Text;

// One pattern run over one GBK subject, keeping the matches for the accessors. The engine
// (PCRE2) works on characters: "." is one character, a GBK character included; offsets
// come back in GBK bytes. Patterns follow the usual syntax (\s is [ \f\n\r\t\v], "."
// matches anything but a line feed); a replacement may use $1..$99, $&, $`, $' and $$.
// Nothing throws: a failed step leaves empty values.
class RegexObject {
public:
    RegexObject();
    ~RegexObject();
    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

    // Runs pattern over subject. With global, all non-overlapping matches from left to
    // right, else the first; with multiline, "^" and "$" also match at line feeds. With
    // quoteNotation, "#引号" in the pattern stands for '"'. True when the pattern ran,
    // also without a match; false for a malformed pattern.
    bool Search(std::string_view pattern, std::string_view subject, bool caseSensitive = false, bool multiline = true,
        bool global = true, bool quoteNotation = false);

    Text GetPattern() const;
    // The stored subject with the matches of the last Search replaced.
    Text ReplaceMatches(std::string_view replacement) const;
    long long MatchCount() const;
    // Match matchNumber (1-based); with offset, also its 0-based byte offset in the subject.
    Text MatchText(long long matchNumber, long long* offset = nullptr) const;
    // Group groupNumber (1-based) of match matchNumber; the empty text for a group that took
    // no part. The offset is that of the first occurrence of the group's text at or after
    // the start of its match.
    Text SubMatchText(long long matchNumber, long long groupNumber, long long* offset = nullptr) const;
    // The number of groups of the first match.
    long long SubMatchCount() const;

private:
    struct Span {
        std::size_t begin;
        std::size_t end;
    };
    struct Match {
        Span whole;
        std::vector<Span> groups; // begin == kUnset for a group that took no part
    };

    const Match* MatchAt(long long matchNumber) const;
    long long GbkOffsetOf(std::size_t engineOffset) const;
    void AppendReplacement(std::string& out, std::string_view replacement, const Match& match) const;

    bool m_hasEngine = false;
    bool m_hasMatches = false;
    bool m_caseSensitive = false;
    Text m_pattern;
    Text m_subject;
    std::string m_engineSubject;
    std::vector<Match> m_matches;

    // Offsets are asked for mostly in increasing order: remember how far the last one got.
    mutable std::size_t m_cursorEngine = 0;
    mutable std::size_t m_cursorGbk = 0;
};

} // namespace pellorin::regex
