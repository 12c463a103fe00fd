#pragma once

#include <string>
#include <string_view>

namespace pellorin::text::utf8 {

inline constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at p and moves p behind it. Malformed input never fails: each
// maximal ill-formed subpart becomes one U+FFFD, the way browsers and Windows read it.
// p must be below end.
inline char32_t DecodeNext(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char lead = *p++;
    if (lead < 0x80)
        return lead;

    int trailCount;
    char32_t cp;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the first trail byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailCount = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailCount = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        else if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailCount = 3;
        cp = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return kReplacement;
    }

    for (int i = 0; i < trailCount; ++i) {
        if (p == end || *p < low || *p > high)
            return kReplacement;
        cp = (cp << 6) | (*p++ & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return cp;
}

// How many ill-formed sequences the bytes hold (an encoded U+FFFD itself is well formed).
inline std::size_t CountIllFormed(std::string_view bytes)
{
    std::size_t count = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const auto* start = p;
        if (DecodeNext(p, end) == kReplacement &&
            std::string_view(reinterpret_cast<const char*>(start), static_cast<std::size_t>(p - start)) !=
                "\xEF\xBF\xBD")
            ++count;
    }
    return count;
}

inline void Append(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace pellorin::text::utf8
