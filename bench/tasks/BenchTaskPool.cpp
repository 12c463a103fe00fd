// What a thread per task costs: submitting tasks that do nothing and waiting for their end.
#include "tasks/TaskPool.h"

#include <benchmark/benchmark.h>

namespace {

using namespace pellorin;

void BM_SubmitAndEnd(benchmark::State& state)
{
    const int threadCount = static_cast<int>(state.range(0));
    constexpr int kTasks = 1000;
    tasks::TaskPool pool;
    for (auto _ : state) {
        pool.Create(threadCount);
        for (int i = 0; i < kTasks; ++i)
            pool.Submit([](tasks::TaskControl& control) { benchmark::DoNotOptimize(control.Checkpoint()); });
        pool.WaitUntilIdle();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kTasks));
}
BENCHMARK(BM_SubmitAndEnd)->Arg(1)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);

} // namespace
