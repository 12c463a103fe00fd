#include "regex/LiteralCount.h"
#include "text/GbkCodec.h"
#include "text/TextSearch.h"

#include "support/Gbk.h"

#include <gtest/gtest.h>

#include <random>

namespace pellorin::regex {
namespace {

using test::Gbk;
using test::Hex;

TEST(EscapeLiteral, EscapesEveryMetacharacterOnce)
{
    EXPECT_EQ(EscapeLiteral("\\(){}[]?.|+*^$x"), "\\\\\\(\\)\\{}\\[\\]\\?\\.\\|\\+\\*\\^\\$x");
    // 0x5C as a second byte belongs to its character and is left alone.
    EXPECT_EQ(Hex(EscapeLiteral("\x81\x5C.")), Hex("\x81\x5C\\."));
}

void ExpectSameCount(std::string_view text, std::string_view literal, bool caseSensitive)
{
    EXPECT_EQ(text::CountLiteral(text, literal, caseSensitive), CountLiteralByRegex(text, literal, caseSensitive))
        << "text " << Hex(text) << " literal " << Hex(literal) << " caseSensitive " << caseSensitive;
}

TEST(CountLiteral, AgreesWithTheRegexRouteOnChosenCases)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a.b axb", "a.b"},
        {"aaa", "aa"},
        {"<div SRCID=\"1\"><div srcid=\"2\">", " srcid=\""},
        {"\xB0"
         "aa\xB0"
         "A",
            "a"},
        {Gbk("Α-α-Ω-Ａａ"), Gbk("α")},
        {Gbk("Ａａ"), Gbk("ａ")},
        {"\x81"
         "a\x81"
         "A",
            "\x81"
            "a"},
        {"\xB0\xA1\xB0", "\xB0"},
        {"\x80"
         "a\x80",
            "\x80"},
        {"\x81\x20\x81\x20", "\x81\x20"},
        {"\xFE\xFF"
         "a",
            "a"},
        {"(a)[b]{c}", "(a)[b]{c}"},
        {"\\\\\\", "\\\\"},
        {"", "x"},
        {Gbk("中") + "ab", ""},
    };
    for (const auto& [text, literal] : cases) {
        ExpectSameCount(text, literal, true);
        ExpectSameCount(text, literal, false);
    }
}

TEST(CountLiteral, AgreesWithTheRegexRouteOnRandomBytes)
{
    // Few distinct bytes, so that matches, case pairs, lead bytes and trail bytes meet often.
    const std::string alphabet = std::string("aAbB. \\(") + "\x80\x81\xA1\xA6\xB0\xC1\xFE\xFF\x41\x61";
    std::mt19937 random(20261211);
    auto randomText = [&](std::size_t maxLength) {
        std::string text(random() % (maxLength + 1), ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomText(40);
        const std::string literal = randomText(4);
        if (literal.empty())
            continue;
        ExpectSameCount(text, literal, round % 2 == 0);
        if (HasFailure())
            return;
    }
}

TEST(CountLiteral, AgreesWithTheRegexRouteOnEveryLetterOfGbk)
{
    const text::GbkCodec& codec = text::GbkCodec::Instance();
    std::string everyCharacter;
    std::vector<std::string> casedCharacters;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::string character{static_cast<char>(lead), static_cast<char>(trail)};
            everyCharacter += character;
            if (codec.HasCaseVariants(static_cast<std::uint16_t>((lead << 8) | trail)))
                casedCharacters.push_back(character);
        }
    }
    EXPECT_GT(casedCharacters.size(), 100u); // Greek, Cyrillic, full-width Latin, Roman numerals
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        ExpectSameCount(everyCharacter + "Kks", std::string(1, letter), false);
        ExpectSameCount(everyCharacter, std::string(1, static_cast<char>(letter | 0x20)), false);
    }
    std::string casedText;
    for (const std::string& character : casedCharacters)
        casedText += character + "k";
    for (const std::string& character : casedCharacters)
        ExpectSameCount(casedText, character, false);
}

} // namespace
} // namespace pellorin::regex
