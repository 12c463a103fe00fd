// Importing 100,000 keywords: into a table alone, and into the main window's list, with the
// memory the window then holds.
#include "lists/KeywordImport.h"
#include "lists/ResultsTable.h"
#include "tasks/TaskPool.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>

#include <fstream>
#include <malloc.h>

namespace {

using namespace pellorin;

constexpr int kKeywords = 100'000;

std::string KeywordText()
{
    std::string text;
    for (int i = 0; i < kKeywords; ++i)
        text += "\xB9\xD8\xBC\xFC\xB4\xCA keyword " + std::to_string(i) + "\r\n"; // "关键词 keyword N"
    return text;
}

double ResidentMegabytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:"))
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

void BM_ImportIntoTable(benchmark::State& state)
{
    const std::string text = KeywordText();
    lists::ResultsTable table;
    for (int column = 0; column < 4; ++column)
        table.InsertColumn(column, "c", 40);
    for (auto _ : state)
        lists::ImportKeywords(table, text);
    state.counters["rows"] = table.RowCount();
}
BENCHMARK(BM_ImportIntoTable)->Unit(benchmark::kMillisecond);

void BM_ImportIntoMainWindow(benchmark::State& state)
{
    tasks::TaskPool pool;
    ui::PresetDialogs dialogs;
    ui::MainWindow window(pool, dialogs, "http://127.0.0.1:9");
    window.show();
    QString keywords;
    for (int i = 0; i < kKeywords; ++i)
        keywords += QStringLiteral("关键词 keyword %1\n").arg(i);
    const double before = ResidentMegabytes();
    window.findChild<QPlainTextEdit*>(QStringLiteral("编辑框_关键词"))->setPlainText(keywords);
    keywords = QString(); // the benchmark's own copy is no part of the window
    malloc_trim(0);
    state.counters["keyword_box_MiB"] = ResidentMegabytes() - before;
    for (auto _ : state) {
        window.ImportKeywords();
        QApplication::processEvents();
    }
    state.counters["rows"] = window.List(ui::MainWindow::kSingleSiteList).rowCount();
    state.counters["resident_MiB"] = ResidentMegabytes();
    state.counters["start_MiB"] = before;
}
BENCHMARK(BM_ImportIntoMainWindow)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond); // one run: memory counters stay its own

} // namespace
