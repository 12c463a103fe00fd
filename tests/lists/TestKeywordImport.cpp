#include "lists/KeywordImport.h"
#include "lists/ResultsTable.h"

#include "support/Gbk.h"

#include <gtest/gtest.h>

namespace pellorin::lists {
namespace {

using Pieces = std::vector<std::string>;

TEST(KeywordImport, CutsTheKeywordBoxIntoKeywords)
{
    struct Case {
        const char* name;
        std::string text;
        Pieces keywords;
    } cases[] = {
        {"TwoLines", "kw1\r\nkw2", {"kw1", "kw2"}},
        {"BlankLinesAndTrailingBreakGo", "kw1\r\n\r\n\r\nkw2\r\n", {"kw1", "kw2"}},
        {"WhiteSpaceLinesAreBlank", "kw1\r\n   \r\n\t\r\nkw2", {"kw1", "kw2"}},
        {"OnlyTheWholeTextIsTrimmed", "  kw1  \r\n  kw2  ", {"kw1  ", "  kw2"}},
        {"LeadingSpacesOfTheNextLineStay", "kw1\r\n\r\n  kw2", {"kw1", "  kw2"}},
        {"OneLeadingBreakRemovedOnly", "\r\n\r\nkw", {"", "kw"}},
        {"SpaceLineBeforeKeyword", " \r\nkw", {"", "kw"}},
        {"ThreeBreaks", "\r\n\r\n\r\n", {""}},
        {"TwoBreaks", "\r\n\r\n", {}},
        {"OneBreak", "\r\n", {}},
        {"Empty", "", {}},
        {"TabsAndFullWidthSpacesAreNotTrimmed", "\tkw\xA1\xA1", {"\tkw\xA1\xA1"}},
        {"DuplicatesStay", "a\r\na", {"a", "a"}},
        {"BreakOnlyAtCharacterBoundaries", "\xB0\r\nkw", {"\xB0\r\nkw"}},
        {"ChineseKeywords", test::Gbk("关键词\r\n排名"), {test::Gbk("关键词"), test::Gbk("排名")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeywordPieces(c.text), c.keywords) << c.name;
}

TEST(KeywordImport, RebuildsTheRowsNumberedFromOne)
{
    ResultsTable table;
    table.InsertColumn(0, "n", 40);
    table.InsertColumn(1, "keyword", 100);
    table.InsertColumn(2, "rank", 40);
    ImportKeywords(table, "a\r\nb\r\nc");
    table.SetCell(1, 2, "7");
    ImportKeywords(table, "x\r\ny");
    ASSERT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.Cell(0, 0), "1");
    EXPECT_EQ(table.Cell(0, 1), "x");
    EXPECT_EQ(table.Cell(1, 0), "2");
    EXPECT_EQ(table.Cell(1, 1), "y");
    EXPECT_EQ(table.Cell(1, 2), "");
    ImportKeywords(table, "");
    EXPECT_EQ(table.RowCount(), 0);
}

TEST(KeywordImport, RemoveBlankLines)
{
    EXPECT_EQ(RemoveBlankLines("a\r\n\r\n\r\nb"), "a\r\nb");
    EXPECT_EQ(RemoveBlankLines("a\r\n \r\n\tb"), "a\r\n\tb");
    EXPECT_EQ(RemoveBlankLines("\r\n\r\n"), "");
    EXPECT_EQ(RemoveBlankLines("a\nb\rc"), "a\nb\rc");
}

} // namespace
} // namespace pellorin::lists
