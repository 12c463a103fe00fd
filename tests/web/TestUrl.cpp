#include "web/Url.h"

#include <gtest/gtest.h>

namespace pellorin::web {
namespace {

TEST(Url, SplitsIntoHostPortAndPath)
{
    struct Case {
        const char* url;
        const char* host;
        const char* hostWithPort;
        int port;
        const char* path;
        bool https;
    } cases[] = {
        {"http://host.test/s?wd=x&rn=100", "host.test", "host.test", 80, "/s?wd=x&rn=100", false},
        {"HTTPS://Host.Test:81/a/b?c", "host.test", "host.test:81", 81, "/a/b?c", true},
        {"https://host.test", "host.test", "host.test", 443, "/", true},
        {"host.test/x", "host.test", "host.test", 80, "/x", false},
        {"http://127.0.0.1:8080/link?url=abc", "127.0.0.1", "127.0.0.1:8080", 8080, "/link?url=abc", false},
        {"http://host.test:/x", "host.test", "host.test:", 0, "/x", false},
        {"http://host.test:80ab/x", "host.test", "host.test:80ab", 80, "/x", false},
        {"http://Host.Test?q=1", "host.test?q=1", "host.test?q=1", 80, "/", false},
        {"https://host.test/?next=http://other.test/", "host.test", "host.test", 443, "/?next=http://other.test/",
            true},
        {"", "", "", 80, "/", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UrlHost(c.url), c.host) << c.url;
        EXPECT_EQ(UrlHost(c.url, true), c.hostWithPort) << c.url;
        EXPECT_EQ(UrlPort(c.url), c.port) << c.url;
        EXPECT_EQ(UrlPath(c.url), c.path) << c.url;
        EXPECT_EQ(IsHttpsUrl(c.url), c.https) << c.url;
    }
}

} // namespace
} // namespace pellorin::web
