#include "text/TextSearch.h"

#include "support/Gbk.h"

#include <gtest/gtest.h>

namespace pellorin::text {
namespace {

using test::Gbk;

struct FindCase {
    const char* name;
    std::string text;
    std::string needle;
    long long start;
    bool caseSensitive;
    long long expected;
};

class FindTextTest : public ::testing::TestWithParam<FindCase> { };

TEST_P(FindTextTest, FindsAtCharacterBoundaries)
{
    const FindCase& c = GetParam();
    EXPECT_EQ(FindText(c.text, c.needle, c.start, c.caseSensitive), c.expected) << test::Hex(c.text);
}

const std::string kLeads1000(1000, '\xB0');

INSTANTIATE_TEST_SUITE_P(Cases, FindTextTest,
    ::testing::Values(FindCase{"Plain", "abcdef", "cd", 0, true, 3},
        FindCase{"StartSkipsBytes", "abcabc", "abc", 2, true, 4}, FindCase{"StartAtMatch", "abcdef", "cd", 3, true, 3},
        FindCase{"StartBehindMatch", "abcdef", "cd", 4, true, -1},
        FindCase{"StartBelowOneMeansBeginning", "abc", "a", -7, true, 1},
        FindCase{"StartBehindEnd", "abc", "c", 4, true, -1},
        FindCase{"EmptyNeedleIsAtOneEvenWithLaterStart", "abcdef", "", 5, true, 1},
        FindCase{"EmptyNeedleInEmptyText", "", "", 0, true, -1},
        FindCase{"EmptyNeedleStartBehindEnd", "abc", "", 4, true, -1},
        FindCase{"NeedleLongerThanText", "ab", "abc", 0, true, -1},
        FindCase{"CaseIgnored", "xABCx", "abc", 0, false, 2}, FindCase{"CaseRespected", "xABCx", "abc", 0, true, -1},
        FindCase{"CaseIgnoredOnlyForAsciiLetters", "x[Y", "{y", 0, false, -1},
        FindCase{"SecondByteOfCharacterIsSkipped", Gbk("中") + "a",
            "\xD0"
            "a",
            0, true, -1},
        FindCase{"TrailByteEqualToNeedleIsSkipped",
            "\xB0"
            "aa",
            "a", 0, true, 3},
        FindCase{"TrailByteSkippedWithoutCase",
            "\xB0"
            "Aa",
            "a", 0, false, 3},
        FindCase{"ByteEightyStartsACharacter",
            "\x80"
            "a",
            "a", 0, true, -1},
        FindCase{"EvenRunOfLeadBytes", kLeads1000 + "a", "a", 0, true, 1001},
        FindCase{"OddRunOfLeadBytes",
            kLeads1000 +
                "\xB0"
                "a",
            "a", 0, true, -1},
        FindCase{"LeadByteRunAfterAscii",
            "x" + kLeads1000 +
                "\xB0"
                "ab",
            "b", 0, true, 1004},
        FindCase{"ChineseNeedle", Gbk("百度一下，你就知道"), Gbk("你就"), 0, true, 11},
        FindCase{"ChineseNeedleCaseless", "A" + Gbk("百度") + "B", Gbk("度") + "b", 0, false, 4},
        FindCase{"StartCountsAsBoundary", Gbk("中") + "a", "a", 2, true, -1}),
    [](const auto& info) { return std::string(info.param.name); });

struct BetweenCase {
    const char* name;
    std::string text;
    std::string left;
    std::string right;
    long long start;
    bool caseSensitive;
    std::string expected;
};

class TextBetweenTest : public ::testing::TestWithParam<BetweenCase> { };

TEST_P(TextBetweenTest, CutsBetweenMarkers)
{
    const BetweenCase& c = GetParam();
    EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start, c.caseSensitive), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextBetweenTest,
    ::testing::Values(BetweenCase{"FirstOccurrenceOfEach", "a[x]b[y]", "[", "]", 0, true, "x"},
        BetweenCase{"LeftMissing", "abc]", "[", "]", 0, true, ""},
        BetweenCase{"RightOnlyBeforeLeft", "]x[y", "[", "]", 0, true, ""},
        BetweenCase{"RightDirectlyBehindLeft", "a[]b", "[", "]", 0, true, ""},
        BetweenCase{"EmptyRight", "a[x]", "[", "", 0, true, ""},
        BetweenCase{"EmptyLeftStartsAtFirstByte", "abc]def]", "", "]", 5, true, "abc"},
        BetweenCase{"StartPicksLaterLeft", "[a][b]", "[", "]", 4, true, "b"},
        BetweenCase{"LeftAtEnd", "ab[", "[", "]", 0, true, ""},
        BetweenCase{"QuoteNotation", "<a href=\"http://x/\" target=_blank>", "href=" + Gbk("#引号"), Gbk("#引号"), 0,
            true, "http://x/"},
        BetweenCase{"CaseIgnoredInBothSearches", "<DIV>x</div>", "<div>", "</DIV>", 0, false, "x"},
        BetweenCase{"CaseRespected", "<DIV>x</div>", "<div>", "</div>", 0, true, ""},
        BetweenCase{"MarkerAcrossCharacterNotFound", Gbk("中") + "[x]", "\xD0[", "]", 0, true, ""},
        BetweenCase{"ChineseMarkers", Gbk("标题：百度一下。"), Gbk("："), Gbk("。"), 0, true, Gbk("百度一下")}),
    [](const auto& info) { return std::string(info.param.name); });

struct CountCase {
    const char* name;
    std::string text;
    std::string literal;
    bool caseSensitive;
    long long expected;
};

class CountLiteralTest : public ::testing::TestWithParam<CountCase> { };

TEST_P(CountLiteralTest, CountsNonOverlappingAtBoundaries)
{
    const CountCase& c = GetParam();
    EXPECT_EQ(CountLiteral(c.text, c.literal, c.caseSensitive), c.expected) << test::Hex(c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, CountLiteralTest,
    ::testing::Values(CountCase{"MetacharactersAreLiteral", "a.b axb", "a.b", true, 1},
        CountCase{"NoOverlaps", "aaa", "aa", true, 1},
        CountCase{"CaseIgnored", "<div SRCID=\"1\"><div srcid=\"2\">", " srcid=\"", false, 2},
        CountCase{"CaseRespected", "<div SRCID=\"1\"><div srcid=\"2\">", " srcid=\"", true, 1},
        CountCase{"EmptyText", "", " srcid=\"", false, 0},
        CountCase{"TrailBytesNotCounted",
            "\xB0"
            "aa\xB0"
            "A",
            "a", false, 1},
        CountCase{"GbkLettersIgnoreCase", Gbk("Α-α-Ω"), Gbk("α"), false, 2},
        CountCase{"GbkLettersRespectCase", Gbk("Α-α-Ω"), Gbk("α"), true, 1},
        CountCase{"FullWidthLettersIgnoreCase", Gbk("ＡａＢ"), Gbk("ａ"), false, 2},
        CountCase{"TrailByteLetterIsNotFolded",
            "\x81"
            "a\x81"
            "A",
            "\x81"
            "a",
            false, 1},
        CountCase{"LoneLeadByteOnlyAtEnd", "\xB0\xA1\xB0", "\xB0", true, 1},
        CountCase{"EmptyLiteralCountsEveryGap", Gbk("中") + "ab", "", true, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExpandQuoteNotation, ReplacesEveryOccurrence)
{
    EXPECT_EQ(ExpandQuoteNotation(Gbk("a=#引号b#引号#引")), Gbk("a=\"b\"#引"));
}

} // namespace
} // namespace pellorin::text
