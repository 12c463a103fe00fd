#include "regex/RegexObject.h"

#include "regex/RegexText.h"
#include "text/TextSearch.h"
#include "text/Utf8.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace pellorin::regex {

namespace {

constexpr std::size_t kUnset = PCRE2_UNSET;

struct CompileContextDeleter {
    void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};
struct CodeDeleter {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

std::size_t NextCharacter(std::string_view utf8, std::size_t pos)
{
    ++pos;
    while (pos < utf8.size() && (static_cast<unsigned char>(utf8[pos]) & 0xC0) == 0x80)
        ++pos;
    return pos;
}

} // namespace

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;

bool RegexObject::Search(std::string_view pattern, std::string_view subject, bool caseSensitive, bool multiline,
    bool global, bool quoteNotation)
{
    m_hasEngine = true;
    m_hasMatches = false;
    m_matches.clear();
    m_caseSensitive = caseSensitive;
    m_pattern = quoteNotation ? text::ExpandQuoteNotation(pattern) : Text(pattern);
    m_subject = Text(subject);
    m_engineSubject = GbkToEngineText(m_subject);
    m_cursorEngine = m_cursorGbk = 0;

    const std::unique_ptr<pcre2_compile_context, CompileContextDeleter> context(pcre2_compile_context_create(nullptr));
    if (!context)
        return false;
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);

    // ALT_BSUX reads \xhh and \uhhhh the way script engines do.
    uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX;
    if (!caseSensitive)
        options |= PCRE2_CASELESS;
    options |= multiline ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;

    const std::string enginePattern = GbkToEngineText(m_pattern);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    const std::unique_ptr<pcre2_code, CodeDeleter> code(
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(enginePattern.data()), enginePattern.size(), options, &errorCode,
            &errorOffset, context.get()));
    if (!code)
        return false;
    const std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
        pcre2_match_data_create_from_pattern(code.get(), nullptr));
    if (!data)
        return false;

    const auto* engineSubject = reinterpret_cast<PCRE2_SPTR>(m_engineSubject.data());
    const std::size_t length = m_engineSubject.size();
    std::vector<Match> matches;
    uint32_t matchOptions = 0; // the first match checks the subject's UTF-8 once
    for (std::size_t start = 0; start <= length;) {
        const int rc = pcre2_match(code.get(), engineSubject, length, start, matchOptions, data.get(), nullptr);
        if (rc == PCRE2_ERROR_NOMATCH)
            break;
        if (rc < 0)
            return false; // a limit was hit: no collection, as when the engine fails
        matchOptions = PCRE2_NO_UTF_CHECK;

        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
        const uint32_t pairs = pcre2_get_ovector_count(data.get());
        Match match{{ovector[0], ovector[1]}, {}};
        for (uint32_t group = 1; group < pairs; ++group) {
            const std::size_t begin = group < static_cast<uint32_t>(rc) ? ovector[2 * group] : kUnset;
            match.groups.push_back({begin, begin == kUnset ? kUnset : ovector[2 * group + 1]});
        }
        matches.push_back(std::move(match));
        if (!global)
            break;
        // As script engines do: behind an empty match the search moves on by one character.
        start = ovector[1] > ovector[0] ? ovector[1] : NextCharacter(m_engineSubject, ovector[1]);
    }
    m_matches = std::move(matches);
    m_hasMatches = true;
    return true;
}

Text RegexObject::GetPattern() const
{
    return m_hasEngine ? m_pattern : Text();
}

long long RegexObject::MatchCount() const
{
    return static_cast<long long>(m_matches.size());
}

long long RegexObject::SubMatchCount() const
{
    return m_matches.empty() ? 0 : static_cast<long long>(m_matches.front().groups.size());
}

const RegexObject::Match* RegexObject::MatchAt(long long matchNumber) const
{
    if (matchNumber < 1 || matchNumber > MatchCount())
        return nullptr;
    return &m_matches[static_cast<std::size_t>(matchNumber - 1)];
}

long long RegexObject::GbkOffsetOf(std::size_t engineOffset) const
{
    if (engineOffset < m_cursorEngine)
        m_cursorEngine = m_cursorGbk = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(m_engineSubject.data()) + m_cursorEngine;
    const auto* target = reinterpret_cast<const unsigned char*>(m_engineSubject.data()) + engineOffset;
    const auto* end = reinterpret_cast<const unsigned char*>(m_engineSubject.data()) + m_engineSubject.size();
    while (p < target)
        m_cursorGbk += GbkLengthOf(text::utf8::DecodeNext(p, end));
    m_cursorEngine = engineOffset;
    return static_cast<long long>(m_cursorGbk);
}

Text RegexObject::MatchText(long long matchNumber, long long* offset) const
{
    const Match* match = MatchAt(matchNumber);
    if (!match) {
        if (offset)
            *offset = -1;
        return {};
    }
    if (offset)
        *offset = GbkOffsetOf(match->whole.begin);
    const std::string_view engineSubject = m_engineSubject;
    return EngineTextToGbk(engineSubject.substr(match->whole.begin, match->whole.end - match->whole.begin));
}

Text RegexObject::SubMatchText(long long matchNumber, long long groupNumber, long long* offset) const
{
    const Match* match = MatchAt(matchNumber);
    if (!match || groupNumber < 1 || groupNumber > static_cast<long long>(match->groups.size())) {
        if (offset)
            *offset = -1;
        return {};
    }
    const Span& group = match->groups[static_cast<std::size_t>(groupNumber - 1)];
    const std::string_view engineSubject = m_engineSubject;
    const Text groupText =
        group.begin == kUnset ? Text() : EngineTextToGbk(engineSubject.substr(group.begin, group.end - group.begin));
    if (offset) {
        const long long matchOffset = GbkOffsetOf(match->whole.begin);
        const long long found = text::FindText(m_subject, groupText, matchOffset + 1, m_caseSensitive);
        *offset = found == text::kNotFound ? -1 : found - 1;
    }
    return groupText;
}

Text RegexObject::ReplaceMatches(std::string_view replacement) const
{
    if (!m_hasMatches)
        return {};
    const std::string engineReplacement = GbkToEngineText(replacement);
    const std::string_view subject = m_engineSubject;
    std::string out;
    out.reserve(subject.size());
    std::size_t copied = 0;
    for (const Match& match : m_matches) {
        out.append(subject.substr(copied, match.whole.begin - copied));
        AppendReplacement(out, engineReplacement, match);
        copied = match.whole.end;
    }
    out.append(subject.substr(copied));
    return EngineTextToGbk(out);
}

void RegexObject::AppendReplacement(std::string& out, std::string_view replacement, const Match& match) const
{
    const std::string_view subject = m_engineSubject;
    auto appendSpan = [&](const Span& span) {
        if (span.begin != kUnset)
            out.append(subject.substr(span.begin, span.end - span.begin));
    };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const std::size_t groupCount = match.groups.size();

    for (std::size_t i = 0; i < replacement.size(); ++i) {
        const char c = replacement[i];
        if (c != '$' || i + 1 == replacement.size()) {
            out.push_back(c);
            continue;
        }
        const char next = replacement[i + 1];
        if (next == '$') {
            out.push_back('$');
            ++i;
        } else if (next == '&') {
            appendSpan(match.whole);
            ++i;
        } else if (next == '`') {
            out.append(subject.substr(0, match.whole.begin));
            ++i;
        } else if (next == '\'') {
            out.append(subject.substr(match.whole.end));
            ++i;
        } else if (isDigit(next)) {
            // $nn names a group when there are that many, else $n does; otherwise the text stays.
            std::size_t number = static_cast<std::size_t>(next - '0');
            std::size_t used = 1;
            if (i + 2 < replacement.size() && isDigit(replacement[i + 2])) {
                const std::size_t twoDigits = number * 10 + static_cast<std::size_t>(replacement[i + 2] - '0');
                if (twoDigits >= 1 && twoDigits <= groupCount) {
                    number = twoDigits;
                    used = 2;
                }
            }
            if (number >= 1 && number <= groupCount) {
                appendSpan(match.groups[number - 1]);
                i += used;
            } else {
                out.push_back(c);
            }
        } else {
            out.push_back(c);
        }
    }
}

} // namespace pellorin::regex
