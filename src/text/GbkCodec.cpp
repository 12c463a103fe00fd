#include "text/GbkCodec.h"

#include "text/Utf8.h"

#include <QChar>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <tuple>
#include <vector>

namespace pellorin::text {

namespace {

constexpr bool IsTrailByte(unsigned trail)
{
    return (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFE);
}

[[noreturn]] void FailTables(const char* why)
{
    std::fprintf(stderr, "GBK tables cannot be built: %s\n", why);
    std::abort();
}

// Writes code points as GBK into a buffer that the caller made large enough, optionally
// composing a base and a following non-spacing mark.
class GbkWriter {
public:
    GbkWriter(char* out, bool composeMarks)
        : m_codec(GbkCodec::Instance())
        , m_begin(out)
        , m_at(out)
        , m_composeMarks(composeMarks)
    {
    }

    std::size_t Written() const { return static_cast<std::size_t>(m_at - m_begin); }

    void PutAscii(const char* begin, std::size_t count)
    {
        std::memcpy(m_at, begin, count);
        m_at += count;
        m_previous = static_cast<unsigned char>(begin[count - 1]);
        m_previousAt = m_at - 1;
    }

    void Put(char32_t cp)
    {
        if (m_composeMarks && m_previousAt && m_codec.IsComposingMark(cp)) {
            if (char32_t composed = m_codec.Compose(m_previous, cp)) {
                m_at = m_previousAt;
                cp = composed;
            }
        }
        m_previous = cp;
        m_previousAt = m_at;
        const std::uint16_t code = m_codec.Encode(cp);
        if (code == 0 && cp != 0) {
            *m_at++ = '?';
        } else if (code < 0x100) {
            *m_at++ = static_cast<char>(code);
        } else {
            *m_at++ = static_cast<char>(code >> 8);
            *m_at++ = static_cast<char>(code & 0xFF);
        }
    }

private:
    const GbkCodec& m_codec;
    char* const m_begin;
    char* m_at;
    const bool m_composeMarks;
    char32_t m_previous = 0;
    char* m_previousAt = nullptr;
};

// The length of the run of ASCII bytes at p, read a word at a time.
std::size_t AsciiRunLength(const unsigned char* p, const unsigned char* end)
{
    const unsigned char* at = p;
    while (end - at >= 8) {
        std::uint64_t word;
        std::memcpy(&word, at, sizeof word);
        if (word & 0x8080808080808080ull)
            break;
        at += 8;
    }
    while (at < end && *at < 0x80)
        ++at;
    return static_cast<std::size_t>(at - p);
}

// Calls sink(codePoint) for each character of a GBK text, as code page 936 decodes it.
template<typename Sink>
void DecodeGbk(std::string_view gbk, Sink&& sink)
{
    const GbkCodec& codec = GbkCodec::Instance();
    const auto* bytes = reinterpret_cast<const unsigned char*>(gbk.data());
    const std::size_t size = gbk.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned char byte = bytes[i];
        if (char16_t single = codec.DecodeSingle(byte); single != 0 || byte == 0) {
            sink(single);
            ++i;
        } else if (char16_t pair = i + 1 < size ? codec.DecodePair(byte, bytes[i + 1]) : 0; pair != 0) {
            sink(pair);
            i += 2;
        } else {
            // A lead byte without a trail byte: only the lead byte is lost.
            sink(u'?');
            ++i;
        }
    }
}

} // namespace

const GbkCodec& GbkCodec::Instance()
{
    static const GbkCodec codec;
    return codec;
}

GbkCodec::GbkCodec()
{
    BuildPairTables();
    BuildCompositions();
}

void GbkCodec::BuildPairTables()
{
    // Every candidate code, each followed by a line feed so that a code the converter
    // rejects cannot shift the ones behind it; one call decodes them all.
    QByteArray candidates;
    qsizetype codes = 0;
    candidates.reserve(0x80 * 0xBF * 3);
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (!IsTrailByte(trail))
                continue;
            candidates.append(static_cast<char>(lead)).append(static_cast<char>(trail)).append('\n');
            ++codes;
        }
    }
    candidates.append("\x80\n\xFF\n");
    codes += 2;

    QStringDecoder decoder("GBK");
    if (!decoder.isValid())
        FailTables("Qt has no GBK converter (it needs ICU)");
    const QString decoded = decoder.decode(candidates);
    if (decoded.size() != codes * 2)
        FailTables("the converter did not give one character per code");

    for (unsigned byte = 0; byte < 0x80; ++byte) {
        m_byteToUnicode[byte] = static_cast<char16_t>(byte);
        m_unicodeToGbk[byte] = static_cast<std::uint16_t>(byte);
    }

    qsizetype at = 0;
    auto take = [&]() -> char16_t {
        const char16_t cp = decoded[at].unicode();
        if (decoded[at + 1] != u'\n')
            FailTables("the converter's answer is out of step");
        at += 2;
        return cp == 0xFFFD ? 0 : cp;
    };
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (!IsTrailByte(trail))
                continue;
            const char16_t cp = take();
            if (cp == 0)
                continue;
            const auto code = static_cast<std::uint16_t>((lead << 8) | trail);
            m_pairToUnicode[code & 0x7FFF] = cp;
            if (m_unicodeToGbk[cp] == 0)
                m_unicodeToGbk[cp] = code;
        }
    }
    for (unsigned byte : {0x80u, 0xFFu}) {
        const char16_t cp = take();
        m_byteToUnicode[byte] = cp;
        if (cp != 0)
            m_unicodeToGbk[cp] = static_cast<std::uint16_t>(byte);
    }

    // Caseless keys: two-byte codes whose characters fold to the same character share a key.
    std::map<char32_t, std::uint16_t> keyOfFolded;
    for (std::size_t index = 0; index < m_pairToUnicode.size(); ++index) {
        const auto code = static_cast<std::uint16_t>(index | 0x8000);
        m_caselessKey[index] = code;
        if (m_pairToUnicode[index] == 0)
            continue;
        const char32_t folded = QChar::toCaseFolded(char32_t(m_pairToUnicode[index]));
        const std::uint16_t foldedCode = Encode(folded);
        if (foldedCode >= 0x100)
            m_caselessKey[index] = foldedCode;
        else if (folded != m_pairToUnicode[index])
            m_caselessKey[index] = keyOfFolded.emplace(folded, code).first->second;
    }
    auto markCased = [this](unsigned index) { m_casedBits[index / 64] |= std::uint64_t{1} << (index % 64); };
    for (unsigned index = 0; index < m_caselessKey.size(); ++index) {
        if (m_caselessKey[index] != (index | 0x8000)) {
            markCased(index);
            markCased(m_caselessKey[index] & 0x7FFF);
        }
    }
}

void GbkCodec::BuildCompositions()
{
    std::vector<Composition> compositions;
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
        if (m_unicodeToGbk[cp] == 0 || QChar::decompositionTag(cp) != QChar::Canonical)
            continue;
        const QString parts = QChar::decomposition(cp);
        if (parts.size() != 2 || parts[1].category() != QChar::Mark_NonSpacing)
            continue;
        const char32_t mark = parts[1].unicode();
        compositions.push_back({parts[0].unicode(), mark, cp});
        m_markBits[mark / 64] |= std::uint64_t{1} << (mark % 64);
    }
    std::sort(compositions.begin(), compositions.end(),
        [](const Composition& a, const Composition& b) { return std::tie(a.base, a.mark) < std::tie(b.base, b.mark); });
    m_compositionCount = compositions.size();
    m_compositions = std::make_unique<Composition[]>(m_compositionCount);
    std::copy(compositions.begin(), compositions.end(), m_compositions.get());
}

bool GbkCodec::IsComposingMark(char32_t cp) const
{
    return cp < 0x10000 && (m_markBits[cp / 64] >> (cp % 64)) & 1;
}

char32_t GbkCodec::Compose(char32_t base, char32_t mark) const
{
    const Composition* begin = m_compositions.get();
    const Composition* end = begin + m_compositionCount;
    const Composition* found = std::lower_bound(begin, end, Composition{base, mark, 0},
        [](const Composition& a, const Composition& b) { return std::tie(a.base, a.mark) < std::tie(b.base, b.mark); });
    return found != end && found->base == base && found->mark == mark ? found->composed : 0;
}

std::u16string GbkToUtf16(std::string_view gbk)
{
    std::u16string out;
    out.reserve(gbk.size());
    DecodeGbk(gbk, [&](char16_t cp) { out.push_back(cp); });
    return out;
}

std::string GbkToUtf8(std::string_view gbk)
{
    std::string out;
    out.reserve(gbk.size() + gbk.size() / 2);
    DecodeGbk(gbk, [&](char16_t cp) { utf8::Append(out, cp); });
    return out;
}

std::string Utf8ToGbk(std::string_view utf8, bool composeMarks)
{
    // No character takes more bytes in GBK than in UTF-8.
    std::string out(utf8.size(), '\0');
    GbkWriter writer(out.data(), composeMarks);
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        if (*p < 0x80) {
            // Markup is mostly ASCII: copy whole runs of it at once.
            const std::size_t run = AsciiRunLength(p, end);
            writer.PutAscii(reinterpret_cast<const char*>(p), run);
            p += run;
            continue;
        }
        writer.Put(utf8::DecodeNext(p, end));
    }
    out.resize(writer.Written());
    return out;
}

std::string Utf16ToGbk(std::u16string_view utf16, bool composeMarks)
{
    std::string out(utf16.size() * 2, '\0');
    GbkWriter writer(out.data(), composeMarks);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        writer.Put(cp); // a lone surrogate is a character GBK cannot hold
    }
    out.resize(writer.Written());
    return out;
}

} // namespace pellorin::text
