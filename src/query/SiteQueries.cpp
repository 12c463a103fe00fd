#include "query/SiteQueries.h"

#include "query/FetchPageText.h"
#include "query/LandingPageResolver.h"
#include "query/QueryEnvironment.h"
#include "query/ResultPage.h"
#include "tasks/TaskControl.h"

namespace pellorin::query {

namespace {

constexpr std::chrono::milliseconds kAfterPageRead{200};

Text FetchResultPage(
    const Text& keyword, bool followRedirects, QueryEnvironment& environment, tasks::TaskControl& control)
{
    web::WebRequest request;
    request.url = SearchUrl(environment.SearchBase(), keyword);
    request.noRedirect = !followRedirects;
    request.proxy = "";
    request.cancel = control.CancelToken();
    return FetchPageText(request);
}

} // namespace

void SingleSiteQuery(int rowNumber, const Text& keyword, QueryEnvironment& environment, tasks::TaskControl& control)
{
    const int row = rowNumber - 1;
    auto setCell = [&](int column, const Text& text) {
        return control.Write([&] { environment.SetCell(row, column, text); });
    };

    for (int attempt = 1; attempt <= kLandingAttempts; ++attempt) {
        if (!control.Checkpoint())
            return;
        const ResultPage page(FetchResultPage(keyword, /*followRedirects=*/false, environment, control));
        if (!control.Delay(kAfterPageRead))
            return;

        const SiteRank rank = page.RankOf(environment.SiteDomain());
        if (!setCell(kRankColumn, rank.RankText()))
            return;
        if (!rank.present || !environment.LandingPagesWanted()) {
            setCell(kLandingColumn, Text(kNoLanding));
            return;
        }

        const Text link = ResultPage::LinkOfRank(rank);
        if (link.empty())
            continue; // the page may come back whole next time
        const Text landing = LandingPageResolver(link, control);
        setCell(kLandingColumn, landing);
        return;
    }
    setCell(kLandingColumn, Text());
}

void MultiSiteQuery(int rowNumber, const Text& keyword, std::shared_ptr<const SiteList> sites,
    QueryEnvironment& environment, tasks::TaskControl& control)
{
    if (!control.Checkpoint())
        return;
    const ResultPage page(FetchResultPage(keyword, /*followRedirects=*/true, environment, control));
    if (!control.Delay(kAfterPageRead))
        return;

    const int row = rowNumber - 1;
    for (std::size_t k = 0; k < sites->size(); ++k) {
        const std::string rank = page.RankOf((*sites)[k]).RankText();
        const int column = static_cast<int>(k) + 2;
        if (!control.Write([&] { environment.SetCell(row, column, rank); }))
            return;
    }
}

} // namespace pellorin::query
