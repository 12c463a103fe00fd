// What the engine records of each request, and how it holds connections, seen from plain sockets.
#include "fake_engine/FakeEngine.h"

#include "support/RawHttpClient.h"

#include <gtest/gtest.h>

namespace pellorin::fake {
namespace {

using test::RawHttpClient;
using namespace std::chrono_literals;

TEST(FakeEngineRequests, RecordsRequestsExactlyAsReceived)
{
    FakeEngine engine;
    engine.SetPage("%E4%B8%AD", "page");
    RawHttpClient client(engine.Port());
    const std::string body("k=v&\r\n\0x=1", 10);
    const auto before = Clock::now();
    client.Send("POST /s?wd=%E4%B8%AD&rn=100 HTTP/1.1\r\n"
                "host: 127.0.0.1\r\n"
                "X-Twice:  first \r\n"
                "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0)\r\n"
                "x-twice: second\r\n"
                "Content-Length: 10\r\n"
                "\r\n" +
        body);
    const auto response = client.ReadResponse();
    const auto after = Clock::now();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->body, "page");

    const auto requests = engine.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const RecordedRequest& r = requests[0];
    EXPECT_EQ(r.requestLine, "POST /s?wd=%E4%B8%AD&rn=100 HTTP/1.1");
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.target, "/s?wd=%E4%B8%AD&rn=100");
    EXPECT_EQ(r.version, "HTTP/1.1");
    EXPECT_EQ(r.headerLines,
        (std::vector<std::string>{"host: 127.0.0.1", "X-Twice:  first ",
            "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0)", "x-twice: second", "Content-Length: 10"}));
    EXPECT_EQ(r.body, body);
    EXPECT_EQ(r.Header("x-TWICE"), "first");
    EXPECT_EQ(r.HeaderCount("X-Twice"), 2u);
    EXPECT_EQ(r.Header("Host"), "127.0.0.1");
    EXPECT_EQ(r.Header("Cookie"), "");
    EXPECT_EQ(r.HeaderCount("Cookie"), 0u);
    EXPECT_EQ(r.connection, 1u);
    EXPECT_LE(before, r.arrived);
    EXPECT_LE(r.arrived, r.ended);
    EXPECT_LE(r.ended, after);
}

TEST(FakeEngineRequests, KeepAliveServesSeveralRequestsOnOneConnection)
{
    FakeEngine engine;
    engine.SetPage("a", "page a");
    engine.SetPage("b", "page b");
    RawHttpClient client(engine.Port());

    client.Send("GET /s?wd=a HTTP/1.1\r\nHost: x\r\n\r\n");
    const auto first = client.ReadResponse();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->body, "page a");
    EXPECT_FALSE(first->Header("Connection"));

    // Two requests in one write: answered in order.
    client.Send("GET /s?wd=b HTTP/1.1\r\nHost: x\r\n\r\nGET /s?wd=a HTTP/1.1\r\nHost: x\r\n\r\n");
    const auto second = client.ReadResponse();
    const auto third = client.ReadResponse();
    ASSERT_TRUE(second && third);
    EXPECT_EQ(second->body, "page b");
    EXPECT_EQ(third->body, "page a");

    client.Send("GET /s?wd=b HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    const auto last = client.ReadResponse();
    ASSERT_TRUE(last);
    EXPECT_EQ(last->body, "page b");
    EXPECT_EQ(last->Header("Connection"), "close");
    const RawHttpClient::End end = client.ReadToEnd();
    EXPECT_EQ(end.error, 0);
    EXPECT_FALSE(end.timedOut);
    EXPECT_EQ(end.bytes, "");

    RawHttpClient other(engine.Port());
    other.Send("GET /s?wd=a HTTP/1.0\r\n\r\n");
    ASSERT_TRUE(other.ReadResponse());
    EXPECT_FALSE(other.ReadToEnd().timedOut) << "HTTP/1.0 closes by default";

    const auto requests = engine.Requests();
    ASSERT_EQ(requests.size(), 5u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(requests[i].connection, 1u) << i;
    EXPECT_EQ(requests[4].connection, 2u);
}

TEST(FakeEngineRequests, ProxyFormTargetIsRoutedByItsPath)
{
    FakeEngine engine;
    engine.SetPage("p", "page p");
    RawHttpClient client(engine.Port());
    client.Send("GET http://host.test/s?wd=p&rn=100 HTTP/1.1\r\nHost: host.test\r\n\r\n");
    const auto response = client.ReadResponse();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->body, "page p");
    EXPECT_EQ(engine.Requests().at(0).target, "http://host.test/s?wd=p&rn=100");
}

TEST(FakeEngineRequests, WaitsEndOnArrivalOrTimeout)
{
    FakeEngine engine;
    engine.SetKeywordBehaviour("hang", Behaviour{.hang = true});
    EXPECT_FALSE(engine.WaitForRequests(1, 20ms));

    auto client = std::make_unique<RawHttpClient>(engine.Port());
    client->Send("GET /s?wd=hang HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(engine.WaitForRequests(1, 10s));
    EXPECT_EQ(engine.Requests().at(0).ended, Clock::time_point());
    EXPECT_FALSE(engine.WaitForEnded(1, 20ms));

    // A hang ends when its client goes away; ended tells when.
    const auto closed = Clock::now();
    client.reset();
    ASSERT_TRUE(engine.WaitForEnded(1, 10s));
    EXPECT_GE(engine.Requests().at(0).ended, closed);

    engine.ClearRequests();
    EXPECT_TRUE(engine.Requests().empty());
    EXPECT_FALSE(engine.WaitForRequests(1, 0ms));
}

} // namespace
} // namespace pellorin::fake
