#include "web/Cookies.h"

#include <gtest/gtest.h>

namespace pellorin::web {
namespace {

TEST(Cookies, ReadsResponseHeaderLines)
{
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::string cookies;
        std::string expectedNewCookies;
        std::string expectedCookies;
        std::string expectedLocation; // "*" for the whole raw header text
    } cases[] = {
        {"ReplacesOldEntryOfTheSameName", {"HTTP/1.1 200 OK", "Set-Cookie: a=1; path=/", "Set-Cookie: b=2; HttpOnly"},
            "c=3; a=0", "a=1;b=2", "a=1; b=2; c=3", "*"},
        {"DeletedCookieGoes", {"HTTP/1.1 200 OK", "Set-Cookie: sid=deleted; expires=Thu, 01-Jan-1970 00:00:01 GMT"},
            "sid=x; u=y", "sid=deleted", "u=y", "*"},
        {"CookieWithoutSemicolonAddsNothing", {"HTTP/1.1 200 OK", "Set-Cookie: a=1"}, "u=y", "", "u=y", "*"},
        {"EmptyFirstEntry", {"HTTP/1.1 200 OK", "Set-Cookie: a=1", "Set-Cookie: b=2; path=/"}, "", ";b=2", "; b=2",
            "*"},
        {"SpacesRemovedWithoutNewCookies", {"HTTP/1.1 200 OK"}, "a=hello world", "", "a=helloworld", "*"},
        {"SetCookie2AddsEmptyEntry", {"HTTP/1.1 200 OK", "Set-Cookie2: x=1; v=1", "Set-Cookie: b=2;"}, "", ";b=2",
            "; b=2", "*"},
        {"SetCookieInsideAnotherName", {"HTTP/1.1 200 OK", "X-Set-Cookie: k=v; path=/"}, "", "k=v", "k=v", "*"},
        {"SetCookieInOtherCaseIsNoCookieLine", {"HTTP/1.1 200 OK", "set-cookie: k=v; path=/"}, "", "", "", "*"},
        {"Location", {"HTTP/1.1 302 Found", "Location: http://host.test/x"}, "", "", "", "http://host.test/x"},
        {"LaterLocationWins", {"HTTP/1.1 302 Found", "Location: /a", "Content-Location: /b"}, "", "", "", "/b"},
        {"FirstOfTwoOldEntriesSurvives", {"HTTP/1.1 200 OK"}, "a=1; a=2; b=3", "", "a=1; b=3", "*"},
        {"EntryShorterThanDeletedIsKept", {"HTTP/1.1 200 OK"}, "a;deleted;x=deleted", "", "a; deleted", "*"},
    };
    for (const Case& c : cases) {
        std::string raw;
        for (const std::string& line : c.lines)
            raw += (raw.empty() ? "" : "\r\n") + line;
        std::string location, newCookies = "stale", cookies = c.cookies;
        ReadResponseHeaders(raw, location, newCookies, cookies);
        EXPECT_EQ(newCookies, c.expectedNewCookies) << c.name;
        EXPECT_EQ(cookies, c.expectedCookies) << c.name;
        EXPECT_EQ(location, c.expectedLocation == "*" ? raw : c.expectedLocation) << c.name;
    }
}

TEST(Cookies, LocationIsNotClearedAndEmptyHeadersKeepItEmpty)
{
    std::string location = "kept", newCookies, cookies;
    ReadResponseHeaders("HTTP/1.1 200 OK", location, newCookies, cookies);
    EXPECT_EQ(location, "kept");
    location.clear();
    ReadResponseHeaders("", location, newCookies, cookies);
    EXPECT_EQ(location, "");
}

TEST(Cookies, Pieces)
{
    using Pieces = std::vector<std::string>;
    EXPECT_EQ(SplitKeepingEmpty("a\r\n\r\nb\r\n", "\r\n"), (Pieces{"a", "", "b"}));
    EXPECT_EQ(SplitKeepingEmpty(";a;", ";"), (Pieces{"", "a"}));
    EXPECT_EQ(SplitKeepingEmpty("", ";"), Pieces{});
    EXPECT_EQ(HeaderValue("Location:  http://x/y:z  "), "http://x/y:z");
    EXPECT_EQ(HeaderValue("no colon"), "");
    EXPECT_EQ(CookieName(" sid =1=2"), "sid");
    EXPECT_EQ(CookieName("flag"), "flag");
    EXPECT_TRUE(HasCookieName({"a=1", "B=2"}, "B"));
    EXPECT_FALSE(HasCookieName({"a=1", "B=2"}, "b"));
}

} // namespace
} // namespace pellorin::web
