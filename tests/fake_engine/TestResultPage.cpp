// The result pages are what the rank query reads, so they are checked here the way it reads them: as GBK text, cut
// at "class=\"result", counted by " srcid=\"" and ended by "<span class=\"nums\"".
#include "fake_engine/FakeEngine.h"
#include "fake_engine/ResultPage.h"
#include "text/GbkCodec.h"
#include "text/TextSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace pellorin::fake {
namespace {

using text::CountLiteral;
using text::FindText;
using text::TextBetween;

TEST(ResultPage, BlocksHaveTheClassicShape)
{
    const std::vector<ResultEntry> entries = {
        {.displayUrl = "www.example.com/a", .href = "http://h/link?url=1", .title = "T<em>1</em>"},
        {.displayUrl = "www.example.net/", .href = "http://h/link?url=2", .title = "T2", .srcid = "1528"},
    };
    const std::string page = BuildResultPage(entries, "中 <b>");

    const std::string block1 = "<div class=\"result c-container \" id=\"1\" srcid=\"1599\" tpl=\"se_com_default\">"
                               "<h3 class=\"t\"><a href=\"http://h/link?url=1\" target=\"_blank\">T<em>1</em></a></h3>"
                               "<div class=\"c-abstract\">";
    const std::string block2 = "<div class=\"result c-container \" id=\"2\" srcid=\"1528\" tpl=\"se_com_default\">"
                               "<h3 class=\"t\"><a href=\"http://h/link?url=2\" target=\"_blank\">T2</a></h3>"
                               "<div class=\"c-abstract\">";
    const std::string show2 = "</div><div class=\"f13\"><a target=\"_blank\" href=\"http://h/link?url=2\" "
                              "class=\"c-showurl\">www.example.net/</a></div></div>";
    const std::string tail = "</div><div id=\"page\"><span class=\"nums\" style=\"margin-left:120px\">"
                             "百度为您找到相关结果约2个</span></div>";

    const auto left = page.find("<div id=\"content_left\">");
    const auto at1 = page.find(block1), at2 = page.find(block2), atShow2 = page.find(show2);
    ASSERT_NE(at1, std::string::npos) << page;
    ASSERT_NE(at2, std::string::npos) << page;
    ASSERT_NE(atShow2, std::string::npos) << page;
    EXPECT_LT(left, at1);
    EXPECT_LT(at1, at2);
    EXPECT_LT(at2, atShow2);
    // Nothing but a line break between the last block and the end of content_left.
    EXPECT_EQ(page.find(tail, atShow2 + show2.size()), atShow2 + show2.size() + 1) << page;
    EXPECT_NE(page.find("<title>中 &lt;b&gt;_百度搜索</title>"), std::string::npos) << page;
}

struct RankCase {
    const char* name;
    std::vector<std::string> domains;
    std::size_t count;
    std::string site;
    long long rank; // -1: not in the results
};

class ResultPageRankTest : public ::testing::TestWithParam<RankCase> { };

// The rank query's reading of a page: the blocks counted up to the site's first mention, then the link of that
// block cut between its id attribute and "target=".
TEST_P(ResultPageRankTest, SiteRanksAtItsFirstBlock)
{
    const RankCase& c = GetParam();
    FakeEngine engine;
    const std::vector<ResultEntry> entries = MakeLinkedEntries(engine, c.domains, c.count, "seed");
    ASSERT_EQ(entries.size(), c.count);
    const std::string page = text::Utf8ToGbk(BuildResultPage(entries, "kw"), false);

    const std::string head = TextBetween(page, "class=\"result", c.site, 0, true);
    const std::string region = TextBetween(page, "class=\"result", "<span class=\"nums\"", 0, true);
    const bool present = FindText(region, c.site, 0, false) != text::kNotFound;
    EXPECT_EQ(present ? CountLiteral(head, " srcid=\"", false) : -1, c.rank);
    EXPECT_EQ(CountLiteral(region, " srcid=\"", false), static_cast<long long>(c.count));
    if (c.rank > 0) {
        const std::string block = TextBetween(head, " id=\"" + std::to_string(c.rank) + "\"", "target=", 0, true);
        EXPECT_EQ(TextBetween(block, "href=\"", "\"", 1, true), entries[c.rank - 1].href);
    }
}

std::vector<std::string> Numbered(int count)
{
    std::vector<std::string> domains;
    for (int i = 1; i <= count; ++i)
        domains.push_back("site" + std::to_string(i) + ".example");
    return domains;
}

INSTANTIATE_TEST_SUITE_P(Cases, ResultPageRankTest,
    ::testing::Values(RankCase{"FirstBlock", {"a.example", "b.example", "c.example"}, 3, "a.example", 1},
        RankCase{"ThirdBlock", {"a.example", "b.example", "c.example"}, 3, "c.example", 3},
        RankCase{"RepeatedDomainRanksAtItsFirstMention", {"a.example", "b.example"}, 6, "b.example", 2},
        RankCase{"Absent", {"a.example", "b.example"}, 10, "z.example", -1},
        RankCase{"LastOfAHundred", Numbered(100), 100, "site100.example", 100},
        RankCase{"NoEntries", {}, 0, "a.example", -1}),
    [](const auto& info) { return std::string(info.param.name); });

// The display URLs of a page, in block order.
std::vector<std::string> ShownDomains(const std::string& page)
{
    std::vector<std::string> shown;
    const std::string marker = "class=\"c-showurl\">www.";
    for (auto at = page.find(marker); at != std::string::npos; at = page.find(marker, at + 1)) {
        const auto from = at + marker.size();
        shown.push_back(page.substr(from, page.find('/', from) - from));
    }
    return shown;
}

TEST(DemoPage, SameKeywordRanksTheSameDomainsOnEveryEngine)
{
    FakeEngine first;
    FakeEngine second;
    const std::vector<std::string> zhong = ShownDomains(BuildDemoPage(first, "%E4%B8%AD"));
    EXPECT_EQ(zhong, ShownDomains(BuildDemoPage(second, "%E4%B8%AD")));
    EXPECT_NE(zhong, ShownDomains(BuildDemoPage(first, "%E6%96%87")));

    ASSERT_EQ(zhong.size(), 100u);
    const std::set<std::string> demo(DemoDomains().begin(), DemoDomains().end());
    EXPECT_TRUE(std::all_of(zhong.begin(), zhong.end(), [&](const std::string& d) { return demo.contains(d); }));
    EXPECT_GT(std::set<std::string>(zhong.begin(), zhong.end()).size(), 5u);
}

TEST(DemoPage, TitleShowsTheKeywordWhenItIsUtf8)
{
    FakeEngine engine;
    EXPECT_NE(BuildDemoPage(engine, "%E4%B8%AD%20a").find("<title>中 a_百度搜索</title>"), std::string::npos);
    // GBK bytes are no UTF-8: shown as sent.
    EXPECT_NE(BuildDemoPage(engine, "%D6%D0").find("<title>%D6%D0_百度搜索</title>"), std::string::npos);
}

} // namespace
} // namespace pellorin::fake
