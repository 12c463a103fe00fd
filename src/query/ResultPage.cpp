#include "query/ResultPage.h"

#include "text/TextSearch.h"
#include "web/Encodings.h"

namespace pellorin::query {

namespace {

constexpr std::string_view kResultsStart = "class=\"result";
constexpr std::string_view kResultsEnd = "<span class=\"nums\"";
constexpr std::string_view kBlockMarker = " srcid=\"";

} // namespace

std::string SearchUrl(std::string_view searchBase, std::string_view keyword)
{
    return std::string(searchBase) + "/s?wd=" + web::UrlEncodeUtf8(keyword, true, true) + "&rn=100";
}

ResultPage::ResultPage(Text page)
    : m_page(std::move(page))
    , m_region(text::TextBetweenView(m_page, kResultsStart, kResultsEnd, 0, /*caseSensitive=*/true))
{
}

SiteRank ResultPage::RankOf(std::string_view site) const
{
    SiteRank result;
    // The head ends at the site as written; presence ignores letter case.
    result.head = text::TextBetweenView(m_page, kResultsStart, site, 0, /*caseSensitive=*/true);
    result.rank = text::CountLiteral(result.head, kBlockMarker, /*caseSensitive=*/false);
    result.present = text::FindText(m_region, site, 0, /*caseSensitive=*/false) != text::kNotFound;
    return result;
}

Text ResultPage::LinkOfRank(const SiteRank& rank)
{
    const std::string_view block = text::TextBetweenView(
        rank.head, " id=\"" + std::to_string(rank.rank) + "\"", "target=", 0, /*caseSensitive=*/true);
    return text::TextBetween(block, "href=\"", "\"", 1, /*caseSensitive=*/true);
}

} // namespace pellorin::query
