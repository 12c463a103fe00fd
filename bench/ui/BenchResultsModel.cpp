// A burst of task writes reaching the view: 100,000 cells written from 8 threads into a 100,000-row
// report list shown in a QTableView, timed until the view has heard of the last write. Next to it,
// every write delivered as its own queued call, the way batching avoids.
//
// Counters: lag_ms, from the last write to the view hearing of it; probe_max_ms, the longest wait of
// an event posted to the window thread during the bursts; signals, dataChanged per burst; peak_MiB,
// the process's peak resident memory (reset before each benchmark where the kernel allows).
#include "lists/ResultsTable.h"
#include "text/GbkCodec.h"
#include "ui/ResultsModel.h"

#include <QApplication>
#include <QEventLoop>
#include <QTableView>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <latch>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace pellorin;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kRows = 100'000;
constexpr int kThreads = 8;
constexpr int kProbeEvery = 500; // writes of the first thread between two probes

std::string Gbk(std::string_view utf8)
{
    return text::Utf8ToGbk(utf8, false);
}

double Milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

// A /proc/self/status field in kB, as MiB.
double StatusMiB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field + ":"))
            return std::stod(line.substr(field.size() + 1)) / 1024.0;
    }
    return 0;
}

void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5"; // ignored where the kernel refuses
}

enum class Delivery { Batched, QueuedPerCell };

void RunBursts(benchmark::State& state, Delivery delivery)
{
    ResetPeakMemory();
    lists::ResultsTable table;
    table.InsertColumn(0, Gbk("关键词"), 160);
    table.InsertColumn(1, Gbk("排名"), 100);
    table.InsertColumn(2, Gbk("网址"), 240);
    for (int row = 0; row < kRows; ++row)
        table.AppendRow({Gbk("关键词") + std::to_string(row)});
    ui::ResultsModel model(table);
    if (delivery == Delivery::QueuedPerCell)
        table.SetChangeListener({});
    QTableView view;
    view.setModel(&model);
    view.resize(1000, 700);
    view.show();
    QCoreApplication::processEvents();

    int reportedRows = 0;
    int signalCount = 0;
    Clock::time_point lastSignal;
    QEventLoop* running = nullptr;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&](const QModelIndex& from, const QModelIndex& to) {
        reportedRows += to.row() - from.row() + 1;
        ++signalCount;
        lastSignal = Clock::now();
        if (reportedRows >= kRows && running != nullptr)
            running->quit();
    });

    double lagSum = 0;
    double probeMax = 0;
    int iteration = 0;
    for (auto _ : state) {
        ++iteration;
        reportedRows = 0;
        signalCount = 0;
        // Every burst writes new texts, so that every write is a change.
        const std::string rank = Gbk("第") + std::to_string(iteration) + Gbk("页第");
        std::atomic<int> probesPosted{0};
        int probesHandled = 0;
        std::vector<Clock::time_point> writesEnded(kThreads);
        std::latch start(kThreads + 1);
        std::vector<std::thread> writers;
        for (int t = 0; t < kThreads; ++t) {
            writers.emplace_back([&, t] {
                start.arrive_and_wait();
                int written = 0;
                // Neighbouring rows go to different threads, as a pool hands out keywords in order.
                for (int row = t; row < kRows; row += kThreads) {
                    table.SetCell(row, 1, rank + std::to_string(row % 100));
                    if (delivery == Delivery::QueuedPerCell) {
                        QMetaObject::invokeMethod(
                            &model,
                            [&model, row] { Q_EMIT model.dataChanged(model.index(row, 1), model.index(row, 1)); },
                            Qt::QueuedConnection);
                    }
                    if (t == 0 && ++written % kProbeEvery == 0) {
                        ++probesPosted;
                        QMetaObject::invokeMethod(
                            qApp,
                            [&, posted = Clock::now()] {
                                probeMax = std::max(probeMax, Milliseconds(Clock::now() - posted));
                                ++probesHandled;
                            },
                            Qt::QueuedConnection);
                    }
                }
                writesEnded[t] = Clock::now();
            });
        }
        start.arrive_and_wait();
        const Clock::time_point began = Clock::now();
        {
            QEventLoop loop;
            running = &loop;
            QTimer::singleShot(60s, &loop, &QEventLoop::quit);
            loop.exec();
            running = nullptr;
        }
        for (std::thread& writer : writers)
            writer.join();
        if (reportedRows < kRows) {
            state.SkipWithError("the view did not hear of every write within 60 s");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(lastSignal - began).count());
        lagSum += Milliseconds(lastSignal - *std::max_element(writesEnded.begin(), writesEnded.end()));
        // Probes still queued are answered before the next burst.
        while (probesHandled < probesPosted.load())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    state.counters["lag_ms"] = benchmark::Counter(lagSum, benchmark::Counter::kAvgIterations);
    state.counters["probe_max_ms"] = probeMax;
    state.counters["signals"] = signalCount;
    state.counters["peak_MiB"] = StatusMiB("VmHWM");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kRows);
}

void BM_BatchedWrites(benchmark::State& state)
{
    RunBursts(state, Delivery::Batched);
}
BENCHMARK(BM_BatchedWrites)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_QueuedCallPerWrite(benchmark::State& state)
{
    RunBursts(state, Delivery::QueuedPerCell);
}
BENCHMARK(BM_QueuedCallPerWrite)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
