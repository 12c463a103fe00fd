#include "text/GbkCodec.h"

#include "support/Gbk.h"

#include <gtest/gtest.h>

namespace pellorin::text {
namespace {

using test::Hex;

TEST(GbkCodec, EveryTwoByteCodeComesBackUnchanged)
{
    const GbkCodec& codec = GbkCodec::Instance();
    int codes = 0;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const char16_t cp = codec.DecodePair(lead, trail);
            ASSERT_NE(cp, 0) << std::hex << lead << ' ' << trail;
            ASSERT_EQ(codec.Encode(cp), (lead << 8) | trail) << std::hex << lead << ' ' << trail;
            ++codes;
        }
    }
    EXPECT_EQ(codes, 126 * 190);
}

TEST(GbkCodec, DecodesAsCodePage936)
{
    struct Case {
        const char* name;
        std::string gbk;
        std::u16string utf16;
    } cases[] = {
        {"Ascii", "a b", u"a b"},
        {"Chinese", "\xB0\xD9\xB6\xC8", u"百度"},
        {"EuroSign", "\x80", u"\u20AC"},
        {"ByteFF", "\xFF", u"\uF8F5"},
        {"UserDefinedAreaAAA1", "\xAA\xA1", u"\uE000"},
        {"UserDefinedAreaA140", "\xA1\x40", u"\uE4C6"},
        {"UserDefinedAreaFE50", "\xFE\x50", u"\uE815"},
        {"LeadByteBeforeSpaceLosesOnlyItself", "\x81 a", u"? a"},
        {"LeadByteBeforeDelete", "\x81\x7F", u"?\x7F"},
        {"LeadByteAtEnd", "a\x81", u"a?"},
        {"NulPassesThrough", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GbkToUtf16(c.gbk), c.utf16) << c.name;
}

TEST(GbkCodec, EncodesAsCodePage936)
{
    struct Case {
        const char* name;
        std::string utf8;
        std::string gbk;
    } cases[] = {
        {"Chinese", "百度", "\xB0\xD9\xB6\xC8"},
        {"EuroSign", "\u20AC", "\x80"},
        {"PrivateUseF8F5", "\uF8F5", "\xFF"},
        {"FullWidthSpace", "\u3000", "\xA1\xA1"},
        {"NoBestFitForLatin", "\u00C0", "?"},
        {"EmojiIsOneQuestionMark", "a\U0001F600b", "a?b"},
        {"UnmappableInTheMiddle", "百\u0E01度", "\xB0\xD9?\xB6\xC8"},
        {"KelvinSignIsNotAsciiK", "\u212A", "?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(Utf8ToGbk(c.utf8, false)), Hex(c.gbk)) << c.name;
}

TEST(GbkCodec, ReadsMalformedUtf8Leniently)
{
    struct Case {
        const char* name;
        std::string utf8;
        std::string gbk;
    } cases[] = {
        {"StrayContinuationByte",
            "a\x80"
            "b",
            "a?b"},
        {"InvalidLeadByte",
            "a\xFF"
            "b",
            "a?b"},
        {"TruncatedSequenceThenAscii",
            "\xE4\xB8"
            "a",
            "?a"},
        {"TruncatedAtEnd", "a\xE4\xB8", "a?"},
        {"OverlongNul", "\xC0\x80", "??"},
        {"EncodedSurrogate", "\xED\xA0\x80", "???"},
        {"AboveUnicode", "\xF4\x90\x80\x80", "????"},
        {"ValidAfterInvalid",
            "\xE4"
            "\xE4\xB8\xAD",
            "?\xD6\xD0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(Utf8ToGbk(c.utf8, false)), Hex(c.gbk)) << c.name;
}

TEST(GbkCodec, ComposesBaseAndNonSpacingMark)
{
    const std::string eAcute = Utf8ToGbk("é", false);
    ASSERT_EQ(eAcute.size(), 2u);
    EXPECT_EQ(Hex(Utf8ToGbk("e\u0301", true)), Hex(eAcute));
    EXPECT_EQ(Hex(Utf8ToGbk("e\u0301", false)), Hex("e?"));
    // A mark with no precomposed form in GBK stays a separate (unmappable) character.
    EXPECT_EQ(Hex(Utf8ToGbk("x\u0301", true)), Hex("x?"));
    // Marks compose one after the other: u, diaeresis, macron is ǖ.
    EXPECT_EQ(Hex(Utf8ToGbk("u\u0308\u0304", true)), Hex(Utf8ToGbk("ǖ", false)));
    // Kana voicing marks compose too.
    EXPECT_EQ(Hex(Utf8ToGbk("\u304B\u3099", true)), Hex(Utf8ToGbk("\u304C", false)));
    // A mark at the start has nothing to compose with.
    EXPECT_EQ(Hex(Utf8ToGbk("\u0301e", true)), Hex("?e"));
}

TEST(GbkCodec, Utf16SurrogatesAreCharacters)
{
    EXPECT_EQ(Utf16ToGbk(u"a\U0001F600b", false), "a?b");
    EXPECT_EQ(Utf16ToGbk(std::u16string(u"a\xD800"
                                        "b"),
                  false),
        "a?b");
    EXPECT_EQ(Hex(Utf16ToGbk(u"中", false)), "D6 D0");
}

TEST(GbkCodec, GbkToUtf8)
{
    EXPECT_EQ(GbkToUtf8("\xB0\xD9\xB6\xC8"), "百度");
    EXPECT_EQ(GbkToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(GbkToUtf8(""), "");
}

} // namespace
} // namespace pellorin::text
