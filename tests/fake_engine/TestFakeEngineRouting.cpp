// What the engine answers for which target, fetched with libcurl as a real client.
#include "fake_engine/FakeEngine.h"
#include "fake_engine/KeywordPages.h"
#include "fake_engine/ResultPage.h"

#include "support/CurlClient.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace pellorin::fake {
namespace {

using test::CurlClient;

const std::string kPage = "<html>page of 中</html>";

struct RouteCase {
    const char* name;
    std::string target;
    long status;
    std::optional<std::string> body; // unchecked when not given
    std::string location = "";
};

class RouteTest : public ::testing::TestWithParam<RouteCase> { };

TEST_P(RouteTest, AnswersByTarget)
{
    const RouteCase& c = GetParam();
    FakeEngine engine;
    engine.SetPage("%E4%B8%AD", kPage);
    engine.SetKeywordBehaviour("blocked", Behaviour{.status = 403, .body = "forbidden"});
    engine.SetPathBehaviour("/s?wd=%E4%B8%AD&rn=100&pn=100", Behaviour{.status = 503, .body = "busy"});
    engine.SetLink("abc", "http://www.example.com/landing/abc");

    CurlClient client;
    const CurlClient::Result result = client.Get(engine.BaseUrl() + c.target);
    ASSERT_EQ(result.code, CURLE_OK) << curl_easy_strerror(result.code);
    EXPECT_EQ(result.status, c.status);
    if (c.body) {
        EXPECT_EQ(result.body, *c.body);
    }
    EXPECT_EQ(result.Header("Location"), c.location);
    EXPECT_EQ(result.Header("Server"), "fake-engine");
    EXPECT_EQ(result.Header("Content-Length"), std::to_string(result.body.size()));

    const auto requests = engine.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target, c.target);
}

INSTANTIATE_TEST_SUITE_P(Cases, RouteTest,
    ::testing::Values(RouteCase{"PageForItsRawWd", "/s?wd=%E4%B8%AD&rn=100", 200, kPage},
        RouteCase{"WdAfterOtherParameters", "/s?ie=utf-8&wd=%E4%B8%AD", 200, kPage},
        RouteCase{"LowercaseHexIsAnotherKeyword", "/s?wd=%e4%b8%ad&rn=100", 200, ""},
        RouteCase{"GbkEncodingGetsAnEmptyPage", "/s?wd=%D6%D0&rn=100", 200, ""},
        RouteCase{"UnknownKeywordGetsAnEmptyPage", "/s?wd=other&rn=100", 200, ""},
        RouteCase{"ParameterEndingInWdIsNotWd", "/s?kwd=%E4%B8%AD", 200, ""},
        RouteCase{"KeywordBehaviour", "/s?wd=blocked&rn=100", 403, "forbidden"},
        RouteCase{"PathBehaviourComesFirst", "/s?wd=%E4%B8%AD&rn=100&pn=100", 503, "busy"},
        RouteCase{"LinkRedirects", "/link?url=abc", 302, "", "http://www.example.com/landing/abc"},
        RouteCase{"UnknownLink", "/link?url=abd", 404, std::nullopt},
        RouteCase{"OtherPath", "/index.html", 404, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FakeEngineRouting, PagesAreHtmlInUtf8)
{
    FakeEngine engine;
    engine.SetPage("a", "x");
    CurlClient client;
    EXPECT_EQ(client.Get(engine.BaseUrl() + "/s?wd=a").Header("Content-Type"), "text/html;charset=utf-8");
}

TEST(FakeEngineRouting, GenerateModeAnswersUnknownKeywordsWithDemoPages)
{
    FakeEngine engine;
    engine.SetPage("known", "known page");
    engine.SetGenerateUnknown(true);
    CurlClient client;

    const CurlClient::Result demo = client.Get(engine.BaseUrl() + "/s?wd=%E4%B8%AD&rn=100");
    EXPECT_EQ(demo.status, 200);
    EXPECT_NE(demo.body.find("id=\"100\" srcid=\"1599\""), std::string::npos);
    EXPECT_EQ(demo.body.find("id=\"101\""), std::string::npos);
    EXPECT_EQ(client.Get(engine.BaseUrl() + "/s?wd=%E4%B8%AD&rn=100").body, demo.body);
    EXPECT_EQ(client.Get(engine.BaseUrl() + "/s?wd=known").body, "known page");

    // The demo links lead on to landing pages on the shown domains.
    const std::string hrefMarker = "href=\"" + engine.BaseUrl();
    const auto at = demo.body.find(hrefMarker);
    ASSERT_NE(at, std::string::npos);
    const std::string link = demo.body.substr(at + 6, demo.body.find('"', at + 6) - at - 6);
    const CurlClient::Result landing = client.Get(link);
    EXPECT_EQ(landing.status, 302);
    EXPECT_TRUE(landing.Header("Location").starts_with("http://www.")) << landing.Header("Location");

    engine.SetGenerateUnknown(false);
    EXPECT_EQ(client.Get(engine.BaseUrl() + "/s?wd=%E4%B8%AD&rn=100").body, "");
}

TEST(FakeEngineRouting, LinkedEntriesRedirectToLandingPagesOnTheirDomains)
{
    FakeEngine engine;
    const auto entries = MakeLinkedEntries(engine, {"a.example", "b.example"}, 3, "kw");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].displayUrl, "www.a.example/");
    EXPECT_EQ(entries[1].displayUrl, "www.b.example/");
    EXPECT_EQ(entries[2].displayUrl, "www.a.example/");
    EXPECT_NE(entries[0].href, entries[2].href);

    CurlClient client;
    const char* domains[] = {"a.example", "b.example", "a.example"};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string prefix = engine.BaseUrl() + "/link?url=";
        ASSERT_TRUE(entries[i].href.starts_with(prefix)) << entries[i].href;
        const std::string id = entries[i].href.substr(prefix.size());
        const CurlClient::Result result = client.Get(entries[i].href);
        EXPECT_EQ(result.status, 302);
        EXPECT_EQ(result.Header("Location"), "http://www." + std::string(domains[i]) + "/landing/" + id);
    }
}

TEST(FakeEngineRouting, PagesFromAFolderAreKeyedByTheProgramsEncoding)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
        ("fake-engine-pages-" + std::to_string(::getpid()) + "-" + std::to_string(::gettid()));
    std::filesystem::create_directories(folder);
    const auto write = [&](const std::string& name, const std::string& body) {
        std::ofstream(folder / name, std::ios::binary) << body;
    };
    write("中.html", "zh");
    write("SEO 优化.html", "seo");
    write("😀.html", "not in GBK"); // GBK has no emoji: the program sends "?"
    write("notes.txt", "ignored");

    FakeEngine engine;
    EXPECT_EQ(LoadKeywordPages(engine, folder), 3u);
    std::filesystem::remove_all(folder);

    CurlClient client;
    EXPECT_EQ(client.Get(engine.BaseUrl() + "/s?wd=%E4%B8%AD&rn=100").body, "zh");
    EXPECT_EQ(client.Get(engine.BaseUrl() + "/s?wd=SEO%20%E4%BC%98%E5%8C%96&rn=100").body, "seo");
    EXPECT_EQ(client.Get(engine.BaseUrl() + "/s?wd=%3F&rn=100").body, "not in GBK");
    EXPECT_EQ(RawWdOf("中"), "%E4%B8%AD");
}

} // namespace
} // namespace pellorin::fake
