// The cost of turning one fetched result page into a rank: decoding plus cuts plus counts.
#include "query/ResultPage.h"
#include "web/Encodings.h"

#include "support/SamplePage.h"

#include <benchmark/benchmark.h>

namespace {

using namespace pellorin;

void BM_RankOfFetchedPage(benchmark::State& state)
{
    // About 500 KB of UTF-8, as a 100-result page with its scripts weighs.
    static const std::string page = bench::SampleResultPageUtf8(500 << 10);
    std::string rank;
    for (auto _ : state) {
        const query::ResultPage resultPage(web::Utf8ToAnsi(page));
        rank = resultPage.RankOf("www.example400.com").RankText();
        benchmark::DoNotOptimize(rank.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
    state.SetLabel("rank " + rank);
}
BENCHMARK(BM_RankOfFetchedPage);

} // namespace

BENCHMARK_MAIN();
