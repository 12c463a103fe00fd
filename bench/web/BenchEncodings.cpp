// Utf8ToAnsi of a 1 MB UTF-8 result page, next to glibc iconv UTF-8 to GBK over the same bytes.
#include "web/Encodings.h"

#include "support/SamplePage.h"

#include <benchmark/benchmark.h>

#include <iconv.h>

namespace {

using namespace pellorin;

const std::string& Utf8Page()
{
    static const std::string page = bench::SampleResultPageUtf8();
    return page;
}

void BM_Utf8ToAnsi(benchmark::State& state)
{
    const std::string& page = Utf8Page();
    for (auto _ : state)
        benchmark::DoNotOptimize(web::Utf8ToAnsi(page));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Utf8ToAnsi);

void BM_Iconv(benchmark::State& state)
{
    const std::string& page = Utf8Page();
    iconv_t converter = iconv_open("GBK", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        state.SkipWithError("iconv has no UTF-8 to GBK converter");
        return;
    }
    std::string out;
    for (auto _ : state) {
        // Allocate and fill an output the way Utf8ToAnsi must, so both pay the same.
        out.assign(page.size(), '\0');
        char* in = const_cast<char*>(page.data());
        std::size_t inLeft = page.size();
        char* outAt = out.data();
        std::size_t outLeft = out.size();
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        if (iconv(converter, &in, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1)) {
            state.SkipWithError("iconv stopped on the sample page");
            break;
        }
        out.resize(out.size() - outLeft);
        benchmark::DoNotOptimize(out.data());
    }
    iconv_close(converter);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Iconv);

} // namespace

BENCHMARK_MAIN();
