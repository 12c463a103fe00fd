#pragma once

#include "text/GbkCodec.h"

#include <string>
#include <string_view>

namespace pellorin::test {

// The GBK bytes of a UTF-8 literal, so that tests can be written in readable Chinese.
inline std::string Gbk(std::string_view utf8)
{
    return text::Utf8ToGbk(utf8, /*composeMarks=*/false);
}

// Bytes as hex pairs ("B0 D9"), for readable failure messages.
inline std::string Hex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        if (!out.empty())
            out.push_back(' ');
        out.push_back(kDigits[static_cast<unsigned char>(c) >> 4]);
        out.push_back(kDigits[static_cast<unsigned char>(c) & 0x0F]);
    }
    return out;
}

} // namespace pellorin::test
