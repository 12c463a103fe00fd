#include "regex/RegexText.h"

#include "text/GbkCodec.h"
#include "text/GbkText.h"
#include "text/Utf8.h"

namespace pellorin::regex {

namespace {

constexpr char32_t kPrivateBase = 0xF0000;

} // namespace

std::string GbkToEngineText(std::string_view gbk)
{
    const text::GbkCodec& codec = text::GbkCodec::Instance();
    std::string out;
    out.reserve(gbk.size() + gbk.size() / 2);
    for (std::size_t pos = 0; pos < gbk.size();) {
        const auto lead = static_cast<unsigned char>(gbk[pos]);
        char32_t cp;
        if (text::CharLengthAt(gbk, pos) == 2) {
            const auto trail = static_cast<unsigned char>(gbk[pos + 1]);
            cp = codec.DecodePair(lead, trail);
            if (cp == 0)
                cp = kPrivateBase + ((lead << 8) | trail);
            pos += 2;
        } else {
            cp = lead < 0x80 ? lead : codec.DecodeSingle(lead);
            if (cp == 0 && lead != 0)
                cp = kPrivateBase + lead;
            pos += 1;
        }
        text::utf8::Append(out, cp);
    }
    return out;
}

std::string EngineTextToGbk(std::string_view utf8)
{
    const text::GbkCodec& codec = text::GbkCodec::Instance();
    std::string out;
    out.reserve(utf8.size());
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        const char32_t cp = text::utf8::DecodeNext(p, end);
        unsigned code;
        if (cp >= kPrivateBase && cp < kPrivateBase + 0x10000)
            code = cp - kPrivateBase;
        else if (cp == 0)
            code = 0;
        else if ((code = codec.Encode(cp)) == 0)
            code = '?';
        if (code >= 0x100)
            out.push_back(static_cast<char>(code >> 8));
        out.push_back(static_cast<char>(code & 0xFF));
    }
    return out;
}

std::size_t GbkLengthOf(char32_t cp)
{
    if (cp >= kPrivateBase && cp < kPrivateBase + 0x10000)
        return cp < kPrivateBase + 0x100 ? 1 : 2;
    const std::uint16_t code = text::GbkCodec::Instance().Encode(cp);
    return code >= 0x100 ? 2 : 1;
}

} // namespace pellorin::regex
