#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace pellorin::text {

// Code page 936 as Windows maps it: ASCII, 0x80 for the euro sign, 0xFF for U+F8F5, and
// every two-byte code with a lead byte 81-FE and a trail byte 40-7E or 80-FE, including
// the user-defined areas (mapped to the private use area). The tables are built once,
// on first use, from the system's ICU data behind Qt's "GBK" converter.
class GbkCodec {
public:
    static const GbkCodec& Instance();

    // The code point of a one-byte code (ASCII, 0x80, 0xFF), or 0 for a lead byte.
    char16_t DecodeSingle(unsigned char byte) const { return m_byteToUnicode[byte]; }

    // The code point of a two-byte code, or 0 when the two bytes are not a code of the page.
    char16_t DecodePair(unsigned char lead, unsigned char trail) const
    {
        return lead >= 0x81 ? m_pairToUnicode[((lead - 0x80u) << 8) | trail] : 0;
    }

    // The GBK code of a code point: below 0x100 for one byte, 0x8140 and above for two
    // bytes (lead byte high). 0 when GBK cannot hold the code point, and for U+0000.
    std::uint16_t Encode(char32_t cp) const { return cp < 0x10000 ? m_unicodeToGbk[cp] : 0; }

    // The precomposed character for a base followed by a non-spacing mark, when GBK holds
    // one (e + U+0301 gives é), else 0. Marks that compose with nothing answer false.
    bool IsComposingMark(char32_t cp) const;
    char32_t Compose(char32_t base, char32_t mark) const;

    // Case-insensitive key of a two-byte code: codes of the same letter in either case
    // share it (Α and α); any other code is its own key.
    std::uint16_t CaselessKey(std::uint16_t pairCode) const { return m_caselessKey[pairCode & 0x7FFF]; }
    bool HasCaseVariants(std::uint16_t pairCode) const
    {
        const unsigned index = pairCode & 0x7FFF;
        return (m_casedBits[index / 64] >> (index % 64)) & 1;
    }

    GbkCodec(const GbkCodec&) = delete;
    GbkCodec& operator=(const GbkCodec&) = delete;

private:
    GbkCodec();
    void BuildPairTables();
    void BuildCompositions();

    std::array<char16_t, 0x100> m_byteToUnicode{};
    std::array<char16_t, 0x8000> m_pairToUnicode{};
    std::array<std::uint16_t, 0x10000> m_unicodeToGbk{};
    std::array<std::uint16_t, 0x8000> m_caselessKey{};
    std::array<std::uint64_t, 0x8000 / 64> m_casedBits{};
    struct Composition {
        char32_t base;
        char32_t mark;
        char32_t composed;
    };
    std::array<std::uint64_t, 0x10000 / 64> m_markBits{};
    std::unique_ptr<Composition[]> m_compositions;
    std::size_t m_compositionCount = 0;
};

// Conversions exactly as Windows makes them with code pages 936 and 65001. None fails:
// bytes that are not GBK decode to "?" one byte at a time, malformed UTF-8 decodes to
// U+FFFD per maximal ill-formed subpart, and what GBK cannot hold encodes to "?".
// NUL bytes and units pass through; cutting at the first NUL is the callers' business.
std::u16string GbkToUtf16(std::string_view gbk);
std::string GbkToUtf8(std::string_view gbk);
// With composeMarks, a base character followed by a non-spacing mark becomes the
// precomposed character where GBK holds one (WC_COMPOSITECHECK).
std::string Utf8ToGbk(std::string_view utf8, bool composeMarks);
std::string Utf16ToGbk(std::u16string_view utf16, bool composeMarks);

} // namespace pellorin::text
