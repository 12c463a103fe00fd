// FindText and CountLiteral over a 1 MB GBK page, next to glibc memmem over the same bytes.
#include "text/TextSearch.h"
#include "web/Encodings.h"

#include "support/SamplePage.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

using namespace pellorin;

const std::string& GbkPage()
{
    static const std::string page = web::Utf8ToAnsi(bench::SampleResultPageUtf8());
    return page;
}

// The end-of-results marker stands at the very end, so every search reads the whole page.
constexpr std::string_view kEndMarker = "<span class=\"nums\"";
// One per result block, in upper case on this page: the count must ignore case.
constexpr std::string_view kBlockMarker = " srcid=\"";

void BM_FindText(benchmark::State& state)
{
    const std::string& page = GbkPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(text::FindText(page, kEndMarker, 0, true));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_FindText);

void BM_Memmem(benchmark::State& state)
{
    const std::string& page = GbkPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(memmem(page.data(), page.size(), kEndMarker.data(), kEndMarker.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Memmem);

void BM_CountLiteral(benchmark::State& state)
{
    const std::string& page = GbkPage();
    long long count = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(count = text::CountLiteral(page, kBlockMarker, false));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
    state.counters["matches"] = static_cast<double>(count);
}
BENCHMARK(BM_CountLiteral);

// memmem counting the upper-case marker, so that it stops as often as the count does.
void BM_MemmemCount(benchmark::State& state)
{
    const std::string& page = GbkPage();
    constexpr std::string_view upper = " SRCID=\"";
    long long count = 0;
    for (auto _ : state) {
        count = 0;
        for (const char *at = page.data(), *end = page.data() + page.size();;) {
            const void* found = memmem(at, static_cast<std::size_t>(end - at), upper.data(), upper.size());
            if (!found)
                break;
            ++count;
            at = static_cast<const char*>(found) + upper.size();
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
    state.counters["matches"] = static_cast<double>(count);
}
BENCHMARK(BM_MemmemCount);

} // namespace

BENCHMARK_MAIN();
