#include "web/Encodings.h"

#include "support/Gbk.h"

#include <gtest/gtest.h>

namespace pellorin::web {
namespace {

using test::Gbk;
using test::Hex;

TEST(UrlEncodeUtf8, EncodesAsTheSearchQueryNeeds)
{
    struct Case {
        std::string text;
        bool keepLiteral;
        bool toUtf8;
        std::string expected;
    } cases[] = {
        {Gbk("百度"), true, true, "%E7%99%BE%E5%BA%A6"},
        {Gbk("中"), true, true, "%E4%B8%AD"},
        {"a b", true, true, "a%20b"},
        {"A+B/x_y", true, true, "A%2BB%2Fx%5Fy"},
        {"-.09AZaz", true, true, "-.09AZaz"},
        {"~*_", true, true, "%7E%2A%5F"},
        {",:@`[{", true, true, "%2C%3A%40%60%5B%7B"},
        {"ab", false, true, "%61%62"},
        {Gbk("百度"), true, false, "%B0%D9%B6%C8"},
        {"\t", true, true, "%09"},
        {"", true, true, ""},
        {"\x80", true, true, "%E2%82%AC"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UrlEncodeUtf8(c.text, c.keepLiteral, c.toUtf8), c.expected) << Hex(c.text);
}

TEST(Utf8ToAnsi, DecodesPagesToGbk)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"Empty", "", ""},
        {"Chinese", "百度", "\xB0\xD9\xB6\xC8"},
        {"CutAtFirstNul", std::string("ab\0cd", 5), "ab"},
        {"NulFirst", std::string("\0cd", 3), ""},
        {"UnmappableInTheMiddleOfAPage", "<p>价格\u0E01€</p>", Gbk("<p>价格") + "?\x80</p>"},
        {"MalformedBytes",
            "a\xFE"
            "b",
            "a?b"},
        {"ComposesMarks",
            "caf"
            "e\u0301",
            "caf" + Gbk("é")},
        {"ByteOrderMarkIsUnmappable", "\xEF\xBB\xBF<html>", "?<html>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(Utf8ToAnsi(c.bytes)), Hex(c.expected)) << c.name;
}

TEST(AnsiToUtf8, EncodesGbkAsUtf8)
{
    EXPECT_EQ(AnsiToUtf8(Gbk("百度")), "百度");
    EXPECT_EQ(AnsiToUtf8(""), "");
    EXPECT_EQ(AnsiToUtf8(std::string("a\0b", 3)), "a");
}

} // namespace
} // namespace pellorin::web
