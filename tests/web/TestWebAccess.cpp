// WebAccess against the fake search engine on loopback: what goes over the wire and what
// comes back.
#include "fake_engine/FakeEngine.h"
#include "web/CancelToken.h"
#include "web/HeaderBlock.h"
#include "web/WebAccess.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace pellorin::web {
namespace {

using fake::Behaviour;
using fake::FakeEngine;
using namespace std::chrono_literals;

using Lines = std::vector<std::string>;

TEST(WebAccess, SendsTheRankQueryRequestExactly)
{
    FakeEngine engine;
    engine.SetPage("%E4%B8%AD", "<html>page</html>");
    WebRequest request;
    request.url = engine.BaseUrl() + "/s?wd=%E4%B8%AD&rn=100";
    request.noRedirect = true;
    request.proxy = "";
    EXPECT_EQ(WebAccess(request), "<html>page</html>");

    const auto requests = engine.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine, "GET /s?wd=%E4%B8%AD&rn=100 HTTP/1.1");
    EXPECT_EQ(requests[0].headerLines,
        (Lines{
            "Host: 127.0.0.1:" + std::to_string(engine.Port()),
            "User-Agent: " + std::string(kDefaultUserAgent),
            "Referer: " + request.url,
            "Accept: */*",
            "Accept-Language: zh-cn",
            "Content-Type: application/x-www-form-urlencoded",
        }));
    EXPECT_EQ(requests[0].body, "");
    EXPECT_EQ(request.headers,
        "Referer: " + request.url +
            "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: "
            "application/x-www-form-urlencoded");
    EXPECT_TRUE(request.rawHeaders.starts_with("HTTP/1.1 200 OK\r\n")) << request.rawHeaders;
    EXPECT_FALSE(request.rawHeaders.ends_with("\r\n"));
    EXPECT_EQ(request.location, request.rawHeaders);
}

TEST(WebAccess, UserAgentAndCookiesTravelInTheHeaderBlock)
{
    FakeEngine engine;
    WebRequest request;
    request.url = engine.BaseUrl() + "/s?wd=a";
    request.headers = "User-Agent: A\r\nX-Test: 1";
    request.cookies = "sid=1; u=2";
    WebAccess(request);

    const auto requests = engine.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].HeaderCount("User-Agent"), 1u);
    EXPECT_EQ(requests[0].Header("User-Agent"), "A");
    EXPECT_EQ(requests[0].Header("X-Test"), "1");
    EXPECT_EQ(requests[0].HeaderCount("Cookie"), 1u);
    EXPECT_EQ(requests[0].Header("Cookie"), "sid=1; u=2");
    EXPECT_EQ(requests[0].HeaderCount("Accept-Encoding"), 0u);
    EXPECT_EQ(requests[0].HeaderCount("Expect"), 0u);
}

TEST(WebAccess, SendsBodiesByMethod)
{
    struct Case {
        const char* name;
        int method;
        std::string postText;
        std::string postBytes;
        std::string verb;
        std::string body;
    } cases[] = {
        {"PostText", 1, "k=v", "", "POST", "k=v"},
        {"PostBytesWin", 1, "k=v", std::string("b\0y", 3), "POST", std::string("b\0y", 3)},
        {"GetWithBody", 2, "k=v", "", "GET", "k=v"},
        {"EmptyPost", 1, "", "", "POST", ""},
        {"LargeBodyWithoutExpect", 1, std::string(300'000, 'x'), "", "POST", std::string(300'000, 'x')},
    };
    FakeEngine engine;
    for (const Case& c : cases) {
        engine.ClearRequests();
        WebRequest request;
        request.url = engine.BaseUrl() + "/s?wd=form";
        request.method = c.method;
        request.postText = c.postText;
        request.postBytes = c.postBytes;
        WebAccess(request);
        const auto requests = engine.Requests();
        ASSERT_EQ(requests.size(), 1u) << c.name;
        EXPECT_EQ(requests[0].method, c.verb) << c.name;
        EXPECT_EQ(requests[0].body, c.body) << c.name;
        EXPECT_EQ(requests[0].Header("Content-Length"), std::to_string(c.body.size())) << c.name;
        EXPECT_EQ(requests[0].HeaderCount("Expect"), 0u) << c.name;
        EXPECT_EQ(request.postBytes, c.body) << c.name;
    }
}

TEST(WebAccess, RedirectsFollowedOnlyWhenAllowed)
{
    FakeEngine engine;
    engine.SetPage("final", "final page");
    Behaviour redirect;
    redirect.status = 302;
    redirect.headers = {{"Location", "/s?wd=final&rn=100"}, {"Set-Cookie", "hop=1; path=/"}};
    redirect.body = "moved";
    engine.SetKeywordBehaviour("start", redirect);

    WebRequest held;
    held.url = engine.BaseUrl() + "/s?wd=start&rn=100";
    held.noRedirect = true;
    EXPECT_EQ(WebAccess(held), "moved");
    EXPECT_EQ(held.location, "/s?wd=final&rn=100");
    EXPECT_EQ(held.newCookies, "hop=1");
    EXPECT_TRUE(held.rawHeaders.starts_with("HTTP/1.1 302")) << held.rawHeaders;

    WebRequest followed;
    followed.url = held.url;
    EXPECT_EQ(WebAccess(followed), "final page");
    EXPECT_TRUE(followed.rawHeaders.starts_with("HTTP/1.1 200")) << followed.rawHeaders;
    EXPECT_EQ(followed.rawHeaders.find("302"), std::string::npos) << followed.rawHeaders;
    EXPECT_EQ(followed.location, followed.rawHeaders);
}

TEST(WebAccess, ErrorStatusStillDeliversItsBody)
{
    FakeEngine engine;
    Behaviour error;
    error.status = 500;
    error.body = "server error";
    engine.SetKeywordBehaviour("x", error);
    WebRequest request;
    request.url = engine.BaseUrl() + "/s?wd=x";
    EXPECT_EQ(WebAccess(request), "server error");
    EXPECT_TRUE(request.rawHeaders.starts_with("HTTP/1.1 500")) << request.rawHeaders;
}

TEST(WebAccess, FailedRequestsGiveNothing)
{
    FakeEngine engine;
    Behaviour reset;
    reset.reset = true;
    engine.SetKeywordBehaviour("reset", reset);
    Behaviour slow;
    slow.delay = 5s;
    engine.SetKeywordBehaviour("slow", slow);
    Behaviour loop;
    loop.status = 302;
    loop.headers = {{"Location", "/s?wd=loop"}};
    engine.SetKeywordBehaviour("loop", loop);
    Behaviour oversized;
    oversized.generatedBodyBytes = kMaxBodyBytes + 1;
    engine.SetKeywordBehaviour("oversized", oversized);

    std::string refusedUrl;
    {
        FakeEngine closed;
        refusedUrl = closed.BaseUrl() + "/s?wd=x"; // nothing listens there once it is gone
    }

    const std::pair<const char*, std::string> cases[] = {
        {"Reset", engine.BaseUrl() + "/s?wd=reset"},
        {"TimedOut", engine.BaseUrl() + "/s?wd=slow"},
        {"RedirectLoop", engine.BaseUrl() + "/s?wd=loop"},
        {"Oversized", engine.BaseUrl() + "/s?wd=oversized"},
        {"NoHost", "http:///s?wd=x"},
        {"Refused", refusedUrl},
    };
    for (const auto& [name, url] : cases) {
        WebRequest request;
        request.url = url;
        request.timeout = 500ms;
        request.cookies = "a = 1";
        EXPECT_EQ(WebAccess(request), "") << name;
        EXPECT_EQ(request.rawHeaders, "") << name;
        EXPECT_EQ(request.location, "") << name;
        EXPECT_EQ(request.newCookies, "") << name;
    }
}

TEST(WebAccess, CancelEndsAHangingRequestPromptly)
{
    FakeEngine engine;
    Behaviour hang;
    hang.hang = true;
    engine.SetKeywordBehaviour("hang", hang);

    CancelToken cancel;
    WebRequest request;
    request.url = engine.BaseUrl() + "/s?wd=hang";
    request.cancel = &cancel;
    auto result = std::async(std::launch::async, [&request] { return WebAccess(request); });
    ASSERT_TRUE(engine.WaitForRequests(1, 5s));

    const auto cancelledAt = std::chrono::steady_clock::now();
    cancel.Cancel();
    ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
    const auto took = std::chrono::steady_clock::now() - cancelledAt;
    EXPECT_LT(took, 100ms);
    EXPECT_EQ(result.get(), "");
    EXPECT_EQ(request.rawHeaders, "");

    // A cancelled token stops the next request before it starts.
    WebRequest next;
    next.url = engine.BaseUrl() + "/s?wd=other";
    next.cancel = &cancel;
    EXPECT_EQ(WebAccess(next), "");
}

TEST(WebAccess, LargeAndMalformedBodiesArriveWhole)
{
    FakeEngine engine;
    Behaviour large;
    large.generatedBodyBytes = 30u << 20;
    engine.SetKeywordBehaviour("large", large);
    Behaviour drip;
    drip.body = std::string(2000, 'd');
    drip.dripChunkBytes = 500;
    drip.dripInterval = 20ms;
    engine.SetKeywordBehaviour("drip", drip);
    Behaviour malformed;
    malformed.malformedUtf8 = true;
    engine.SetKeywordBehaviour("malformed", malformed);

    WebRequest largeRequest;
    largeRequest.url = engine.BaseUrl() + "/s?wd=large";
    EXPECT_EQ(WebAccess(largeRequest).size(), 30u << 20);

    WebRequest dripRequest;
    dripRequest.url = engine.BaseUrl() + "/s?wd=drip";
    EXPECT_EQ(WebAccess(dripRequest), std::string(2000, 'd'));

    WebRequest malformedRequest;
    malformedRequest.url = engine.BaseUrl() + "/s?wd=malformed";
    EXPECT_FALSE(WebAccess(malformedRequest).empty());
}

TEST(WebAccess, ProxyOnlyWhenGivenAndNotEmpty)
{
    FakeEngine proxy;
    FakeEngine target;
    target.SetPage("p", "direct");

    WebRequest viaProxy;
    viaProxy.url = "http://host.test/s?wd=p&rn=100";
    viaProxy.proxy = "127.0.0.1:" + std::to_string(proxy.Port());
    WebAccess(viaProxy);
    const auto proxied = proxy.Requests();
    ASSERT_EQ(proxied.size(), 1u);
    EXPECT_EQ(proxied[0].requestLine, "GET http://host.test/s?wd=p&rn=100 HTTP/1.1");

    WebRequest emptyProxy;
    emptyProxy.url = target.BaseUrl() + "/s?wd=p";
    emptyProxy.proxy = "";
    EXPECT_EQ(WebAccess(emptyProxy), "direct");
    EXPECT_EQ(proxy.Requests().size(), 1u);
}

TEST(WebAccess, ManyThreadsAtOnce)
{
    FakeEngine engine;
    constexpr int kThreads = 8;
    constexpr int kRequestsEach = 10;
    for (int i = 0; i < kThreads * kRequestsEach; ++i)
        engine.SetPage("k" + std::to_string(i), "page " + std::to_string(i));
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int r = 0; r < kRequestsEach; ++r) {
                const int i = t * kRequestsEach + r;
                WebRequest request;
                request.url = engine.BaseUrl() + "/s?wd=k" + std::to_string(i) + "&rn=100";
                if (WebAccess(request) != "page " + std::to_string(i))
                    ++wrong;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

} // namespace
} // namespace pellorin::web
