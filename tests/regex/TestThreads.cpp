// The text routines, the codec and RegexObject are used by many query tasks at once.
#include "regex/LiteralCount.h"
#include "regex/RegexObject.h"
#include "text/TextSearch.h"
#include "web/Encodings.h"

#include "support/Gbk.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace pellorin::regex {
namespace {

TEST(Threads, RoutinesGiveTheSameResultsOnManyThreadsFromFirstUse)
{
    // The first use builds the GBK tables: every thread starts at once to race for it.
    const std::string pageUtf8 = "<div class=\"result\" SRCID=\"1\">百度 example.com</div><span class=\"nums\">";
    constexpr int kThreads = 8;
    std::vector<long long> counts(kThreads), positions(kThreads), regexCounts(kThreads);
    std::vector<std::string> encoded(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const std::string page = web::Utf8ToAnsi(pageUtf8);
            for (int round = 0; round < 50; ++round) {
                counts[t] = text::CountLiteral(page, " srcid=\"", false);
                positions[t] = text::FindText(page, "EXAMPLE.COM", 0, false);
                regexCounts[t] = CountLiteralByRegex(page, " srcid=\"", false);
                encoded[t] = web::UrlEncodeUtf8(text::TextBetween(page, "\">", " "), true, true);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(counts[t], 1);
        EXPECT_EQ(regexCounts[t], 1);
        EXPECT_EQ(positions[t], 36);
        EXPECT_EQ(encoded[t], "%E7%99%BE%E5%BA%A6");
    }
}

} // namespace
} // namespace pellorin::regex
