#include "web/HeaderBlock.h"

#include <gtest/gtest.h>

namespace pellorin::web {
namespace {

constexpr std::string_view kUrl = "http://host.test/s?wd=x&rn=100";
constexpr std::string_view kDefaults =
    "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded";

TEST(HeaderBlock, CompletesTheCallersLines)
{
    struct Case {
        const char* name;
        std::string headers;
        std::string cookies;
        std::string expected;
    } cases[] = {
        {"Empty", "", "", "Referer: " + std::string(kUrl) + std::string(kDefaults)},
        {"ExtraLine", "X-A: 1", "", "X-A: 1\r\nReferer: " + std::string(kUrl) + std::string(kDefaults)},
        {"OwnReferer", "Referer: r", "", "Referer: r" + std::string(kDefaults)},
        {"RefererInOtherCaseDoesNotCount", "referer: r", "",
            "referer: r\r\nReferer: " + std::string(kUrl) + std::string(kDefaults)},
        {"OwnAcceptAndContentType", "Accept: text/html\r\nContent-Type: text/plain", "",
            "Accept: text/html\r\nContent-Type: text/plain\r\nReferer: " + std::string(kUrl) +
                "\r\nAccept-Language: zh-cn"},
        {"CookiesAppendedEvenWithACookieLine", "Cookie: a=1", "b=2",
            "Cookie: a=1\r\nReferer: " + std::string(kUrl) + std::string(kDefaults) + "\r\nCookie: b=2"},
    };
    for (const Case& c : cases) {
        std::string headers = c.headers;
        CompleteHeaderBlock(headers, kUrl, c.cookies);
        EXPECT_EQ(headers, c.expected) << c.name;
    }
}

TEST(HeaderBlock, UserAgent)
{
    struct Case {
        const char* headers;
        std::string_view agent;
    } cases[] = {
        {"", kDefaultUserAgent},
        {"X: 1", kDefaultUserAgent},
        {"User-Agent: A\r\nX: 1", "A"},
        {"X: 1\r\nuser-agent: B", "B"},
        {"USER-AGENT:   C D  \r\n", "C D"},
        {"User-Agent:\r\n", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UserAgentOf(c.headers), c.agent) << c.headers;
}

} // namespace
} // namespace pellorin::web
