// The query tasks against the fake engine: ranks, landing pages, hold and abandon.
#include "fake_engine/FakeEngine.h"
#include "fake_engine/ResultPage.h"
#include "query/ResultPage.h"
#include "query/SiteQueries.h"
#include "tasks/TaskControl.h"
#include "web/Encodings.h"

#include "support/Gbk.h"
#include "support/RecordingEnvironment.h"

#include <gtest/gtest.h>

#include <future>
#include <semaphore>
#include <thread>

namespace pellorin::query {
namespace {

using fake::Behaviour;
using fake::FakeEngine;
using fake::ResultEntry;
using test::Gbk;
using test::RecordingEnvironment;
using namespace std::chrono_literals;

const std::string kKeyword = Gbk("关键词");

std::string RawWd(const std::string& keyword)
{
    return web::UrlEncodeUtf8(keyword, true, true);
}

// Entries showing these domains in turn, with links the engine redirects to landing pages.
std::vector<ResultEntry> Entries(FakeEngine& engine, const std::vector<std::string>& domains)
{
    return fake::MakeLinkedEntries(engine, domains, domains.size(), "t");
}

std::string LandingOf(const ResultEntry& entry)
{
    const std::string id = entry.href.substr(entry.href.find("url=") + 4);
    return "http://" + entry.displayUrl.substr(0, entry.displayUrl.find('/')) + "/landing/" + id;
}

std::size_t SearchRequests(const FakeEngine& engine)
{
    std::size_t count = 0;
    for (const auto& request : engine.Requests())
        count += request.target.starts_with("/s?") ? 1 : 0;
    return count;
}

std::size_t LinkRequests(const FakeEngine& engine)
{
    return engine.Requests().size() - SearchRequests(engine);
}

void RunSingle(RecordingEnvironment& environment, const std::string& keyword = kKeyword, int row = 1)
{
    tasks::TaskControl control;
    SingleSiteQuery(row, keyword, environment, control);
}

TEST(SingleSiteQuery, RanksBySitesFirstMention)
{
    struct Case {
        const char* name;
        std::vector<std::string> domains; // block k shows domains[k-1]
        std::string domain;
        std::string rank;
    } cases[] = {
        {"ThirdBlock", {"a.example", "b.example", "site.example", "site.example"}, "site.example", "3"},
        {"FirstBlock", {"site.example", "b.example"}, "site.example", "1"},
        {"Absent", {"a.example", "b.example"}, "site.example", "-"},
        {"OnlyInOtherCaseCountsAsRankZero", {"a.example", "SITE.EXAMPLE"}, "site.example", "0"},
        {"TypedCaseCountsAfterOtherCase", {"SITE.example", "b.example", "site.example"}, "site.example", "3"},
        {"PartOfALongerDomain", {"a.example", "www.site.example.org"}, "site.example", "2"},
    };
    for (const Case& c : cases) {
        FakeEngine engine;
        engine.SetPage(RawWd(kKeyword), fake::BuildResultPage(Entries(engine, c.domains), "q"));
        RecordingEnvironment environment(engine.BaseUrl(), c.domain, /*landing=*/false);
        RunSingle(environment);
        EXPECT_EQ(environment.Cell(0, kRankColumn), c.rank) << c.name;
        EXPECT_EQ(environment.Cell(0, kLandingColumn), " ") << c.name;
        EXPECT_EQ(SearchRequests(engine), 1u) << c.name;
        EXPECT_EQ(LinkRequests(engine), 0u) << c.name;
    }
}

TEST(SingleSiteQuery, PagesWithoutResultsRegion)
{
    const std::string beforeFirstMarker =
        "<div class=\"result c-container \" data-site=\"site.example\" id=\"1\" srcid=\"1\"><a href=\"x\" "
        "target=\"_blank\">t</a></div><span class=\"nums\">";
    struct Case {
        const char* name;
        std::optional<std::string> page;
        std::string rank;
    } cases[] = {
        {"EmptyPage", std::nullopt, "-"},
        {"NoEndOfResults", "<div class=\"result\" id=\"1\" srcid=\"1\">site.example</div>", "-"},
        {"NoResultsStart", "<div>site.example</div><span class=\"nums\">", "-"},
        {"MentionBeforeFirstBlockMarker", beforeFirstMarker, "0"},
    };
    for (const Case& c : cases) {
        FakeEngine engine;
        if (c.page)
            engine.SetPage(RawWd(kKeyword), *c.page);
        RecordingEnvironment environment(engine.BaseUrl(), "site.example", /*landing=*/false);
        RunSingle(environment);
        EXPECT_EQ(environment.Cell(0, kRankColumn), c.rank) << c.name;
        EXPECT_EQ(environment.Cell(0, kLandingColumn), " ") << c.name;
    }
}

TEST(SingleSiteQuery, ResolvesTheLandingPageOfTheRankedResult)
{
    FakeEngine engine;
    const auto entries = Entries(engine, {"a.example", "site.example", "site.example"});
    engine.SetPage(RawWd(kKeyword), fake::BuildResultPage(entries, "q"));
    RecordingEnvironment environment(engine.BaseUrl(), "site.example", /*landing=*/true);
    RunSingle(environment);
    EXPECT_EQ(environment.Cell(0, kRankColumn), "2");
    EXPECT_EQ(environment.Cell(0, kLandingColumn), LandingOf(entries[1]));
    const auto requests = engine.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].target, entries[1].href.substr(engine.BaseUrl().size()));
}

TEST(SingleSiteQuery, AbsentSiteNeedsNoLandingPage)
{
    FakeEngine engine;
    engine.SetPage(RawWd(kKeyword), fake::BuildResultPage(Entries(engine, {"a.example"}), "q"));
    RecordingEnvironment environment(engine.BaseUrl(), "site.example", /*landing=*/true);
    RunSingle(environment);
    EXPECT_EQ(environment.Cell(0, kRankColumn), "-");
    EXPECT_EQ(environment.Cell(0, kLandingColumn), " ");
    EXPECT_EQ(LinkRequests(engine), 0u);
}

TEST(SingleSiteQuery, LandingLinkMissingIsTriedThreeTimes)
{
    const std::string rankZero = "<div class=\"result c-container \" data-site=\"site.example\" id=\"1\" srcid=\"1\">"
                                 "<a href=\"http://127.0.0.1:1/x\" target=\"_blank\">t</a></div><span class=\"nums\">";
    struct Case {
        const char* name;
        std::string page;
        std::string rank;
    } cases[] = {
        {"NoHref", fake::BuildResultPage({ResultEntry{"site.example/", "", "t"}}, "q"), "1"},
        {"NoTargetBehindBlock",
            "<div class=\"result\" id=\"1\" srcid=\"1\"><a href=\"http://x/\">site.example</a></div><span "
            "class=\"nums\">",
            "1"},
        {"RankZeroHasNoBlock", rankZero, "0"},
    };
    for (const Case& c : cases) {
        FakeEngine engine;
        engine.SetPage(RawWd(kKeyword), c.page);
        RecordingEnvironment environment(engine.BaseUrl(), "site.example", /*landing=*/true);
        RunSingle(environment);
        EXPECT_EQ(environment.Cell(0, kRankColumn), c.rank) << c.name;
        EXPECT_EQ(environment.Cell(0, kLandingColumn), "") << c.name;
        EXPECT_EQ(SearchRequests(engine), static_cast<std::size_t>(kLandingAttempts)) << c.name;
        EXPECT_EQ(LinkRequests(engine), 0u) << c.name;
    }
}

TEST(SingleSiteQuery, LandingAnswers)
{
    std::string unreachable;
    {
        FakeEngine gone;
        unreachable = gone.BaseUrl() + "/link?url=gone";
    }
    Behaviour relative;
    relative.status = 302;
    relative.headers = {{"Location", "/landing/relative"}};
    Behaviour absolute;
    absolute.status = 301;
    absolute.headers = {{"location", "http://www.site.example/a?b=1&c=2"}};
    Behaviour plain;
    plain.body = "no redirect here";

    struct Case {
        const char* name;
        std::string linkTarget; // path and query of the link on the engine; empty for the unreachable link
        std::optional<Behaviour> answer;
        std::string landing;
    } cases[] = {
        {"RelativeLocation", "/link?url=r", relative, "/landing/relative"},
        {"AbsoluteLocationAnyHeaderCase", "/link?url=a", absolute, "http://www.site.example/a?b=1&c=2"},
        {"AmpersandEntityRequestedAsItStands", "/link?url=a&amp;b", relative, "/landing/relative"},
        {"AnswerWithoutLocation", "/link?url=p", plain, ""},
        {"UnknownLink", "/link?url=unknown", std::nullopt, ""},
        {"Unreachable", "", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        FakeEngine engine;
        const std::string href = c.linkTarget.empty() ? unreachable : engine.BaseUrl() + c.linkTarget;
        engine.SetPage(RawWd(kKeyword), fake::BuildResultPage({ResultEntry{"site.example/", href, "t"}}, "q"));
        if (c.answer)
            engine.SetPathBehaviour(c.linkTarget, *c.answer);
        RecordingEnvironment environment(engine.BaseUrl(), "site.example", /*landing=*/true);
        RunSingle(environment);
        EXPECT_EQ(environment.Cell(0, kRankColumn), "1") << c.name;
        EXPECT_EQ(environment.Cell(0, kLandingColumn), c.landing) << c.name;
        EXPECT_EQ(SearchRequests(engine), 1u) << c.name;
        if (!c.linkTarget.empty()) {
            const auto requests = engine.Requests();
            ASSERT_EQ(requests.size(), 2u) << c.name;
            EXPECT_EQ(requests[1].target, c.linkTarget) << c.name;
        }
    }
}

TEST(SiteQueries, SingleSiteKeepsARedirectWhileMultiSiteFollowsIt)
{
    FakeEngine engine;
    engine.SetPage("target", fake::BuildResultPage(Entries(engine, {"a.example", "site.example"}), "q"));
    Behaviour redirect;
    redirect.status = 302;
    redirect.headers = {{"Location", "/s?wd=target&rn=100"}};
    redirect.body = "";
    engine.SetKeywordBehaviour(RawWd(kKeyword), redirect);

    RecordingEnvironment single(engine.BaseUrl(), "site.example");
    RunSingle(single);
    EXPECT_EQ(single.Cell(0, kRankColumn), "-");

    RecordingEnvironment multi(engine.BaseUrl());
    tasks::TaskControl control;
    MultiSiteQuery(1, kKeyword, std::make_shared<SiteList>(SiteList{"site.example"}), multi, control);
    EXPECT_EQ(multi.Cell(0, 2), "2");
}

TEST(MultiSiteQuery, RanksEverySiteOfTheList)
{
    struct Case {
        const char* name;
        bool emptyPage;
        SiteList sites;
        std::vector<std::string> ranks;
    } cases[] = {
        {"SecondSiteInFifthBlock", false, {"x.example", "site.example", "y.example"}, {"-", "5", "-"}},
        {"RepeatedSite", false, {"site.example", "site.example"}, {"5", "5"}},
        {"EmptySiteText", false, {"", "site.example"}, {"0", "5"}},
        {"OtherLetterCase", false, {"A.EXAMPLE", "Site.Example"}, {"0", "0"}},
        {"EmptyPage", true, {"", "site.example", "a.example"}, {"-", "-", "-"}},
        {"ManySites", false, SiteList(150, "site.example"), std::vector<std::string>(150, "5")},
    };
    for (const Case& c : cases) {
        FakeEngine engine;
        if (!c.emptyPage) {
            const auto entries = Entries(engine, {"a.example", "b.example", "c.example", "d.example", "site.example"});
            engine.SetPage(RawWd(kKeyword), fake::BuildResultPage(entries, "q"));
        }
        RecordingEnvironment environment(engine.BaseUrl());
        tasks::TaskControl control;
        MultiSiteQuery(4, kKeyword, std::make_shared<SiteList>(c.sites), environment, control);
        for (std::size_t k = 0; k < c.ranks.size(); ++k)
            EXPECT_EQ(environment.Cell(3, static_cast<int>(k) + 2), c.ranks[k]) << c.name << " site " << k + 1;
        EXPECT_EQ(environment.Cell(3, 0), "<unset>") << c.name;
        EXPECT_EQ(environment.Cell(3, 1), "<unset>") << c.name;
        EXPECT_EQ(environment.Writes(), static_cast<int>(c.sites.size())) << c.name;
    }
}

TEST(SiteQueries, HeldTaskWritesNothingUntilReleased)
{
    FakeEngine engine;
    engine.SetPage(RawWd(kKeyword), fake::BuildResultPage(Entries(engine, {"site.example"}), "q"));
    Behaviour slow;
    slow.delay = 300ms;
    slow.body = fake::BuildResultPage(Entries(engine, {"site.example"}), "q");
    engine.SetKeywordBehaviour(RawWd(kKeyword), slow);

    RecordingEnvironment environment(engine.BaseUrl(), "site.example");
    tasks::TaskControl control;
    auto task = std::async(std::launch::async, [&] { SingleSiteQuery(1, kKeyword, environment, control); });
    ASSERT_TRUE(engine.WaitForRequests(1, 5s));
    control.Hold();
    ASSERT_TRUE(engine.WaitForEnded(1, 5s));
    EXPECT_EQ(task.wait_for(500ms), std::future_status::timeout);
    EXPECT_EQ(environment.Writes(), 0);
    control.Release();
    ASSERT_EQ(task.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(environment.Cell(0, kRankColumn), "1");
    EXPECT_EQ(environment.Cell(0, kLandingColumn), " ");
}

TEST(SiteQueries, AbandonedTaskEndsAtOnceWithoutWriting)
{
    FakeEngine engine;
    Behaviour slow;
    slow.delay = 10s;
    engine.SetKeywordBehaviour(RawWd(kKeyword), slow);

    for (const bool multiSite : {false, true}) {
        engine.ClearRequests();
        RecordingEnvironment environment(engine.BaseUrl(), "site.example");
        tasks::TaskControl control;
        auto task = std::async(std::launch::async, [&] {
            if (multiSite)
                MultiSiteQuery(1, kKeyword, std::make_shared<SiteList>(SiteList{"site.example"}), environment, control);
            else
                SingleSiteQuery(1, kKeyword, environment, control);
        });
        ASSERT_TRUE(engine.WaitForRequests(1, 5s));
        const auto abandonedAt = std::chrono::steady_clock::now();
        control.Abandon();
        ASSERT_EQ(task.wait_for(5s), std::future_status::ready);
        EXPECT_LT(std::chrono::steady_clock::now() - abandonedAt, 100ms) << multiSite;
        EXPECT_EQ(environment.Writes(), 0) << multiSite;
    }
}

TEST(SiteQueries, TwentyKeywordsFourAtOnce)
{
    FakeEngine engine;
    std::vector<std::string> keywords;
    std::vector<std::string> expectedRanks, expectedLandings;
    for (int i = 0; i < 20; ++i) {
        keywords.push_back(Gbk("关键词") + std::to_string(i));
        // The site stands in block (i % 6) + 1, or nowhere when i % 6 is 5.
        std::vector<std::string> domains(6, "other.example");
        const int block = i % 6;
        if (block < 5)
            domains[static_cast<std::size_t>(block)] = "site.example";
        const auto entries = fake::MakeLinkedEntries(engine, domains, domains.size(), std::to_string(i));
        engine.SetPage(RawWd(keywords.back()), fake::BuildResultPage(entries, "q"));
        expectedRanks.push_back(block < 5 ? std::to_string(block + 1) : "-");
        expectedLandings.push_back(block < 5 ? LandingOf(entries[static_cast<std::size_t>(block)]) : " ");
    }

    RecordingEnvironment environment(engine.BaseUrl(), "site.example", /*landing=*/true);
    std::counting_semaphore<4> slots(4);
    std::vector<std::thread> threads;
    for (int i = 0; i < 20; ++i) {
        slots.acquire();
        threads.emplace_back([&, i] {
            tasks::TaskControl control;
            SingleSiteQuery(i + 1, keywords[static_cast<std::size_t>(i)], environment, control);
            slots.release();
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(environment.Cell(i, kRankColumn), expectedRanks[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(environment.Cell(i, kLandingColumn), expectedLandings[static_cast<std::size_t>(i)]) << i;
    }
}

} // namespace
} // namespace pellorin::query
