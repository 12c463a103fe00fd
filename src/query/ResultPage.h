#pragma once

#include "text/GbkText.h"

#include <string>

namespace pellorin::query {

using text::Text;

// Where the search engine answers. It has served search over HTTPS since 2015; its plain
// HTTP answer is a redirect, which a single-site query does not follow.
inline constexpr std::string_view kDefaultSearchBase = "https://www.baidu.com";

// The search address for a keyword on a search base such as kDefaultSearchBase.
std::string SearchUrl(std::string_view searchBase, std::string_view keyword);

// Where a site stands on a result page.
struct SiteRank {
    bool present = false;  // the site occurs in the results region (letter case ignored)
    long long rank = 0;    // result blocks up to the site's first mention (in the case given)
    std::string_view head; // the page from the first result to that mention; valid while its page lives

    // "-" when absent, else the rank in decimal.
    std::string RankText() const { return present ? std::to_string(rank) : "-"; }
};

// A decoded result page, read for the rank of one site after another.
class ResultPage {
public:
    explicit ResultPage(Text page);
    ResultPage(const ResultPage&) = delete; // the ranks it gives out point into it
    ResultPage& operator=(const ResultPage&) = delete;

    SiteRank RankOf(std::string_view site) const;

    // The link of the result block with this rank ("" when it cannot be cut from the head).
    static Text LinkOfRank(const SiteRank& rank);

private:
    const Text m_page;
    const std::string_view m_region; // from the first result to the end of the results
};

} // namespace pellorin::query
