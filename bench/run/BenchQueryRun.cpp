// The run's own overhead: 200 keywords at interval 0 from the window's start button, against the
// fake engine. The pacing alone takes 200 x 200 ms; the run should add little beyond that and
// the last task, and the window thread should sleep between submissions, not spin.
#include "fake_engine/FakeEngine.h"
#include "tasks/TaskPool.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

using namespace pellorin;
using Clock = std::chrono::steady_clock;

double ThreadCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_RunOf200Keywords(benchmark::State& state)
{
    constexpr int kKeywords = 200;
    fake::FakeEngine engine;
    engine.SetGenerateUnknown(true);
    tasks::TaskPool pool;
    ui::PresetDialogs dialogs;
    ui::MainWindow window(pool, dialogs, engine.BaseUrl(), [](const QString&) {});
    window.findChild<QLineEdit*>(QStringLiteral("编辑框_网站域名"))->setText(QStringLiteral("game.example"));
    window.findChild<QLineEdit*>(QStringLiteral("编辑框_间隔时间"))->setText(QStringLiteral("0"));
    window.findChild<QComboBox*>(QStringLiteral("组合框_线程数量"))->setCurrentText(QStringLiteral("10"));
    window.findChild<QCheckBox*>(QStringLiteral("选择框_着陆页"))->setChecked(false);
    QString keywords;
    for (int i = 0; i < kKeywords; ++i)
        keywords += QStringLiteral("keyword %1\n").arg(i);
    window.findChild<QPlainTextEdit*>(QStringLiteral("编辑框_关键词"))->setPlainText(keywords);
    auto* start = window.findChild<QPushButton*>(QStringLiteral("按钮_开始查询"));

    double seconds = 0, cpu = 0;
    for (auto _ : state) {
        const auto began = Clock::now();
        const double cpuBefore = ThreadCpuSeconds();
        start->click(); // returns when the run is complete
        seconds = std::chrono::duration<double>(Clock::now() - began).count();
        cpu = ThreadCpuSeconds() - cpuBefore;
    }
    // The bound: the pacing (200 ms a row), the last task (200 ms after its page) and the
    // second the run waits before it stops the pool.
    const double bound = kKeywords * 0.2 + 0.2 + 1.0;
    state.counters["run_s"] = seconds;
    state.counters["bound_s"] = bound;
    state.counters["ratio"] = seconds / bound;
    state.counters["window_thread_cpu_s"] = cpu;
}
BENCHMARK(BM_RunOf200Keywords)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
