#include "regex/RegexObject.h"

#include "support/Gbk.h"

#include <gtest/gtest.h>

namespace pellorin::regex {
namespace {

using test::Gbk;
using test::Hex;

TEST(RegexObject, PatternThatMatchesNowhereSucceedsWithNoMatches)
{
    RegexObject regex;
    EXPECT_TRUE(regex.Search("xyz", "abc"));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.ReplaceMatches("-"), "abc");
}

TEST(RegexObject, MalformedPatternFailsQuietly)
{
    for (const char* pattern : {"(a", "a)", "[a", "a{2,1}", "\\", "*a"}) {
        RegexObject regex;
        EXPECT_FALSE(regex.Search(pattern, "a(a")) << pattern;
        EXPECT_EQ(regex.MatchCount(), 0) << pattern;
        EXPECT_EQ(regex.MatchText(1), "") << pattern;
        EXPECT_EQ(regex.SubMatchCount(), 0) << pattern;
        EXPECT_EQ(regex.ReplaceMatches("x"), "") << pattern;
        EXPECT_EQ(regex.GetPattern(), pattern);
    }
}

TEST(RegexObject, IgnoresCaseUnlessAsked)
{
    RegexObject regex;
    EXPECT_TRUE(regex.Search("srcid", "SRCID"));
    EXPECT_EQ(regex.MatchCount(), 1);
    EXPECT_TRUE(regex.Search("srcid", "SRCID", /*caseSensitive=*/true));
    EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObject, RemovesBlankLinesOfAKeywordList)
{
    RegexObject regex;
    ASSERT_TRUE(regex.Search("\\n\\s*\\r", "a\r\n\r\n\r\nb"));
    EXPECT_EQ(regex.ReplaceMatches(""), "a\r\nb");
    ASSERT_TRUE(regex.Search("\\n\\s*\\r", "a\r\n  \t\r\n\x0B\f\r\n b \r\n\r\n"));
    EXPECT_EQ(regex.ReplaceMatches(""), "a\r\n b \r\n");
    // A full-width space is not white space to the engine.
    ASSERT_TRUE(regex.Search("\\n\\s*\\r", "a\r\n\xA1\xA1\r\nb"));
    EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObject, OffsetsAreGbkBytes)
{
    RegexObject regex;
    ASSERT_TRUE(regex.Search("a", Gbk("中a中a")));
    ASSERT_EQ(regex.MatchCount(), 2);
    long long offset = -2;
    EXPECT_EQ(regex.MatchText(1, &offset), "a");
    EXPECT_EQ(offset, 2);
    EXPECT_EQ(regex.MatchText(2, &offset), "a");
    EXPECT_EQ(offset, 5);
    EXPECT_EQ(regex.MatchText(1, &offset), "a"); // asked again, out of order
    EXPECT_EQ(offset, 2);
    EXPECT_EQ(regex.MatchText(3, &offset), "");
    EXPECT_EQ(offset, -1);
}

TEST(RegexObject, DotIsOneCharacter)
{
    RegexObject regex;
    ASSERT_TRUE(regex.Search("<.>", Gbk("<中><ab>") + "<\x80>"));
    ASSERT_EQ(regex.MatchCount(), 1);
    EXPECT_EQ(regex.MatchText(1), Gbk("<中>"));
    ASSERT_TRUE(regex.Search("a.b", "a\nb"));
    EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObject, GroupsAndTheirOffsets)
{
    RegexObject regex;
    ASSERT_TRUE(regex.Search("(\\d+)-(x)?(" + Gbk("号") + ")", Gbk("第12-号，34-x号")));
    ASSERT_EQ(regex.MatchCount(), 2);
    EXPECT_EQ(regex.SubMatchCount(), 3);
    long long offset = -2;
    EXPECT_EQ(regex.SubMatchText(1, 1, &offset), "12");
    EXPECT_EQ(offset, 2);
    EXPECT_EQ(regex.SubMatchText(1, 2, &offset), ""); // took no part
    EXPECT_EQ(regex.SubMatchText(2, 3, &offset), Gbk("号"));
    EXPECT_EQ(offset, 13);
    EXPECT_EQ(regex.SubMatchText(2, 4), "");
    EXPECT_EQ(regex.SubMatchText(0, 1), "");
}

TEST(RegexObject, QuoteNotationAndPattern)
{
    RegexObject regex;
    EXPECT_EQ(regex.GetPattern(), "");
    ASSERT_TRUE(regex.Search("href=" + Gbk("#引号"), "<a href=\"x\">", false, true, true, /*quoteNotation=*/true));
    EXPECT_EQ(regex.GetPattern(), "href=\"");
    EXPECT_EQ(regex.MatchCount(), 1);
}

TEST(RegexObject, ReplaceBeforeSearchIsEmpty)
{
    RegexObject regex;
    EXPECT_EQ(regex.ReplaceMatches("x"), "");
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.SubMatchCount(), 0);
}

TEST(RegexObject, ReplacementConventions)
{
    struct Case {
        const char* pattern;
        std::string subject;
        std::string replacement;
        bool global;
        std::string expected;
    } cases[] = {
        {"(\\w+)@(\\w+)", "ann@host bob@web", "$2:$1", true, "host:ann web:bob"},
        {"b", "abc", "[$&]", true, "a[b]c"},
        {"b", "abc", "[$`|$']", true, "a[a|c]c"},
        {"b", "abc", "$$", true, "a$c"},
        {"b", "abc", "$", true, "a$c"},
        {"b", "abc", "$0$9", true, "a$0$9c"},
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "abcdefghijk", "$11|$10|$1", true, "k|j|a"},
        {"(a)", "a", "$12", true, "a2"},
        {"o", "foo boo", "0", false, "f0o boo"},
        {"x*", "ab", "-", true, "-a-b-"},
        {"^", "l1\nl2", ">", true, ">l1\n>l2"},
        {"$", "l1\nl2", "<", true, "l1<\nl2<"},
    };
    for (const Case& c : cases) {
        RegexObject regex;
        ASSERT_TRUE(regex.Search(c.pattern, c.subject, true, true, c.global)) << c.pattern;
        EXPECT_EQ(regex.ReplaceMatches(c.replacement), c.expected) << c.pattern << " / " << c.replacement;
    }
}

TEST(RegexObject, ChineseReplacementAndUntouchedBytes)
{
    RegexObject regex;
    // Bytes that are not GBK come back exactly as they were.
    const std::string subject = "\x81\x20" + Gbk("关键词") +
        "\xFE\xFF"
        "\x80"
        "x\xB0";
    ASSERT_TRUE(regex.Search(Gbk("键"), subject));
    EXPECT_EQ(Hex(regex.ReplaceMatches(Gbk("[键]"))),
        Hex("\x81\x20" + Gbk("关[键]词") +
            "\xFE\xFF"
            "\x80"
            "x\xB0"));
}

TEST(RegexObject, NonMultilineAnchors)
{
    RegexObject regex;
    ASSERT_TRUE(regex.Search("^b|c$", "ab\nc\n", true, /*multiline=*/false));
    EXPECT_EQ(regex.MatchCount(), 0);
    ASSERT_TRUE(regex.Search("^b|c$", "ab\nc\n", true, /*multiline=*/true));
    EXPECT_EQ(regex.MatchCount(), 1);
}

} // namespace
} // namespace pellorin::regex
