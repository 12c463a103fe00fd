// The answers that replace the normal page: statuses and headers, slow and broken answers, odd bodies, and a stop
// that ends all of them.
#include "fake_engine/FakeEngine.h"
#include "fake_engine/ResultPage.h"
#include "text/GbkCodec.h"
#include "text/TextSearch.h"
#include "text/Utf8.h"

#include "support/CurlClient.h"
#include "support/RawHttpClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace pellorin::fake {
namespace {

using test::CurlClient;
using test::RawHttpClient;
using namespace std::chrono_literals;

using Lines = std::vector<std::string>;

const std::string kPage = "<html>normal page</html>";

std::string Get(std::string_view target)
{
    return "GET " + std::string(target) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

struct AnswerCase {
    const char* name;
    Behaviour behaviour;
    std::string statusLine;
    Lines headerLines; // the whole head after the status line, in order
    std::string body;
    bool closes;
};

class AnswerTest : public ::testing::TestWithParam<AnswerCase> { };

TEST_P(AnswerTest, AnswersInsteadOfThePage)
{
    const AnswerCase& c = GetParam();
    FakeEngine engine;
    engine.SetPage("kw", kPage);
    engine.SetKeywordBehaviour("kw", c.behaviour);
    RawHttpClient client(engine.Port());
    client.Send(Get("/s?wd=kw&rn=100"));
    const auto response = client.ReadResponse();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->statusLine, c.statusLine);
    EXPECT_EQ(response->headerLines, c.headerLines);
    EXPECT_EQ(response->body, c.body);

    if (c.closes) {
        const RawHttpClient::End end = client.ReadToEnd();
        EXPECT_EQ(end.error, 0);
        EXPECT_FALSE(end.timedOut);
    } else {
        client.Send(Get("/s?wd=other"));
        EXPECT_TRUE(client.ReadResponse()) << "the connection stays open";
    }
}

const std::string kLength = "Content-Length: " + std::to_string(kPage.size());

INSTANTIATE_TEST_SUITE_P(Cases, AnswerTest,
    ::testing::Values(
        AnswerCase{"StatusAndRepeatedHeaders",
            {.status = 302,
                .headers = {{"Location", "/s?wd=next"}, {"Set-Cookie", "a=1; path=/"}, {"Set-Cookie", "b=2"}},
                .body = "moved"},
            "HTTP/1.1 302 Found",
            {"Server: fake-engine", "Content-Type: text/html;charset=utf-8", "Content-Length: 5",
                "Location: /s?wd=next", "Set-Cookie: a=1; path=/", "Set-Cookie: b=2"},
            "moved", false},
        AnswerCase{"HeadersKeepThePage", {.headers = {{"X-Extra", "1"}}}, "HTTP/1.1 200 OK",
            {"Server: fake-engine", "Content-Type: text/html;charset=utf-8", kLength, "X-Extra: 1"}, kPage, false},
        AnswerCase{"OwnContentTypeReplacesTheEngines", {.headers = {{"Content-Type", "text/html;charset=gbk"}}},
            "HTTP/1.1 200 OK", {"Server: fake-engine", kLength, "Content-Type: text/html;charset=gbk"}, kPage, false},
        AnswerCase{"ErrorStatusWithBody", {.status = 500, .body = "oops"}, "HTTP/1.1 500 Internal Server Error",
            {"Server: fake-engine", "Content-Type: text/html;charset=utf-8", "Content-Length: 4"}, "oops", false},
        AnswerCase{"CloseAfter", {.closeAfter = true}, "HTTP/1.1 200 OK",
            {"Server: fake-engine", "Content-Type: text/html;charset=utf-8", kLength, "Connection: close"}, kPage,
            true},
        AnswerCase{"SmallGeneratedBody", {.generatedBodyBytes = 10}, "HTTP/1.1 200 OK",
            {"Server: fake-engine", "Content-Type: text/html;charset=utf-8", "Content-Length: 10"}, "<!-- fake-",
            false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FakeEngineBehaviours, DelayHoldsTheResponseBack)
{
    FakeEngine engine;
    engine.SetKeywordBehaviour("slow", Behaviour{.body = "late", .delay = 150ms});
    RawHttpClient client(engine.Port());
    const auto sent = Clock::now();
    client.Send(Get("/s?wd=slow"));
    const auto response = client.ReadResponse();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->body, "late");
    EXPECT_GE(Clock::now() - sent, 150ms);
    const RecordedRequest request = engine.Requests().at(0);
    EXPECT_GE(request.ended - request.arrived, 150ms);
}

TEST(FakeEngineBehaviours, DripSendsTheBodyInPieces)
{
    FakeEngine engine;
    engine.SetKeywordBehaviour(
        "drip", Behaviour{.body = "0123456789abcdefghij", .dripChunkBytes = 5, .dripInterval = 30ms});
    RawHttpClient client(engine.Port());
    const auto sent = Clock::now();
    client.Send(Get("/s?wd=drip"));
    const auto response = client.ReadResponse();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->body, "0123456789abcdefghij");
    EXPECT_EQ(response->Header("Content-Length"), "20");
    // Four pieces, three pauses between them.
    EXPECT_GE(client.Arrivals().back().time - sent, 90ms);
    const auto bodyReads = std::count_if(client.Arrivals().begin(), client.Arrivals().end(),
        [&](const RawHttpClient::Arrival& a) { return a.totalBytes > response->headBytes; });
    EXPECT_GE(bodyReads, 2);
}

TEST(FakeEngineBehaviours, GeneratedBodyArrivesWhole)
{
    constexpr std::size_t kBytes = 30u << 20;
    FakeEngine engine;
    engine.SetKeywordBehaviour("big", Behaviour{.generatedBodyBytes = kBytes});
    CurlClient client;
    const CurlClient::Result result = client.Get(engine.BaseUrl() + "/s?wd=big");
    ASSERT_EQ(result.code, CURLE_OK) << curl_easy_strerror(result.code);
    EXPECT_EQ(result.Header("Content-Length"), std::to_string(kBytes));
    ASSERT_EQ(result.body.size(), kBytes);
    // Filler lines all the way: the pieces join without a gap or an overlap.
    const std::string line = result.body.substr(0, result.body.find('\n') + 1);
    ASSERT_GT(line.size(), 1u);
    for (std::size_t at = 0; at < kBytes; at += kBytes / 7)
        EXPECT_EQ(result.body[at], line[at % line.size()]) << at;
    EXPECT_EQ(result.body.back(), line[(kBytes - 1) % line.size()]);
}

TEST(FakeEngineBehaviours, MalformedUtf8LeavesTheResultsReadable)
{
    FakeEngine engine;
    const auto entries = MakeLinkedEntries(engine, {"a.example", "b.example", "c.example"}, 3);
    const std::string page = BuildResultPage(entries, "kw");
    engine.SetPage("kw", page);
    engine.SetKeywordBehaviour("kw", Behaviour{.malformedUtf8 = true});
    engine.SetKeywordBehaviour("unknown", Behaviour{.malformedUtf8 = true});

    CurlClient client;
    const std::string body = client.Get(engine.BaseUrl() + "/s?wd=kw").body;
    EXPECT_EQ(text::utf8::CountIllFormed(page), 0u);
    EXPECT_GE(text::utf8::CountIllFormed(body), 3u);

    // The rank query's cuts still find the third site in the third block.
    const std::string gbk = text::Utf8ToGbk(body, false);
    const std::string head = text::TextBetween(gbk, "class=\"result", "c.example", 0, true);
    EXPECT_EQ(text::CountLiteral(head, " srcid=\"", false), 3);
    EXPECT_NE(text::FindText(gbk, "<span class=\"nums\""), text::kNotFound);

    // Without a page of its own the keyword gets a demo page to spoil.
    const std::string demo = client.Get(engine.BaseUrl() + "/s?wd=unknown").body;
    EXPECT_NE(demo.find("id=\"100\""), std::string::npos);
    EXPECT_GE(text::utf8::CountIllFormed(demo), 100u);
}

TEST(FakeEngineBehaviours, ResetIsAConnectionErrorWithoutBytes)
{
    FakeEngine engine;
    engine.SetKeywordBehaviour("reset", Behaviour{.reset = true});
    RawHttpClient client(engine.Port());
    client.Send(Get("/s?wd=reset"));
    const RawHttpClient::End end = client.ReadToEnd();
    EXPECT_EQ(end.error, ECONNRESET);
    EXPECT_EQ(end.bytes, "");
    ASSERT_TRUE(engine.WaitForEnded(1, 10s));

    CurlClient curl;
    EXPECT_EQ(curl.Get(engine.BaseUrl() + "/s?wd=reset").code, CURLE_RECV_ERROR);
}

TEST(FakeEngineBehaviours, StoppingEndsEveryWaitPromptly)
{
    auto engine = std::make_unique<FakeEngine>();
    engine->SetKeywordBehaviour("hang", Behaviour{.hang = true});
    engine->SetKeywordBehaviour("drip", Behaviour{.body = "0123456789", .dripChunkBytes = 1, .dripInterval = 60s});
    engine->SetKeywordBehaviour("delay", Behaviour{.delay = 60s});
    // More than the socket buffers hold, to a client that reads nothing: the engine waits to send.
    engine->SetKeywordBehaviour("unread", Behaviour{.generatedBodyBytes = 64u << 20});

    std::vector<std::unique_ptr<RawHttpClient>> clients;
    for (const char* keyword : {"hang", "drip", "delay", "unread", "idle"}) {
        clients.push_back(std::make_unique<RawHttpClient>(engine->Port()));
        clients.back()->Send(Get("/s?wd=" + std::string(keyword)));
    }
    ASSERT_TRUE(engine->WaitForRequests(5, 10s));
    ASSERT_TRUE(clients[4]->ReadResponse()) << "the idle connection had its answer and waits for the next request";

    const auto stopping = Clock::now();
    engine.reset();
    EXPECT_LT(Clock::now() - stopping, 500ms);

    for (std::size_t i = 0; i < clients.size(); ++i) {
        const RawHttpClient::End end = clients[i]->ReadToEnd(5s);
        EXPECT_FALSE(end.timedOut) << i;
    }
    EXPECT_EQ(clients[0]->ReadToEnd().bytes, "") << "a hang answers nothing";
}

} // namespace
} // namespace pellorin::fake
