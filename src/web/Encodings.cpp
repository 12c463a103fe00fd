#include "web/Encodings.h"

#include "text/GbkCodec.h"

#include <array>

namespace pellorin::web {

namespace {

constexpr bool StaysLiteral(unsigned char byte)
{
    return (byte > 0x2C && byte < 0x3A && byte != 0x2F) || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

std::string_view UpToFirstNul(std::string_view bytes)
{
    return bytes.substr(0, bytes.find('\0'));
}

} // namespace

Text UrlEncodeUtf8(std::string_view text, bool keepLiteral, bool toUtf8)
{
    static constexpr std::array<char, 16> kHexDigits = {
        '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    const std::string utf8 = toUtf8 ? AnsiToUtf8(text) : std::string();
    const std::string_view source = toUtf8 ? std::string_view(utf8) : UpToFirstNul(text);

    Text encoded;
    encoded.reserve(source.size() * 3);
    for (const char c : source) {
        const auto byte = static_cast<unsigned char>(c);
        if (keepLiteral && StaysLiteral(byte)) {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(kHexDigits[byte >> 4]);
            encoded.push_back(kHexDigits[byte & 0x0F]);
        }
    }
    return encoded;
}

std::string AnsiToUtf8(std::string_view text)
{
    return text::GbkToUtf8(UpToFirstNul(text));
}

Text Utf8ToAnsi(std::string_view bytes)
{
    // A NUL byte decodes to U+0000 and ends the text, so nothing behind it needs converting.
    return text::Utf8ToGbk(UpToFirstNul(bytes), /*composeMarks=*/true);
}

} // namespace pellorin::web
