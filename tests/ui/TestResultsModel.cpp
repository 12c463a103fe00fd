// The view's side of a report list: Qt's model checks while tasks write and the window reshapes,
// and writes reaching an attached view as few dataChanged signals.
//
// The views here are attached but not shown: painting hands big fills to Qt's pooled threads,
// whose synchronisation ThreadSanitizer cannot follow in a Qt not built with it. The benchmark
// shows its view.
#include "ui/ResultsModel.h"

#include "support/Gbk.h"

#include <QAbstractItemModelTester>
#include <QEventLoop>
#include <QMessageLogContext>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace pellorin::ui {
namespace {

using lists::ResultsTable;
using lists::RowRange;
using test::Gbk;
using namespace std::chrono_literals;

// Collects what QAbstractItemModelTester finds, so that a test can expect nothing.
class TesterFindings {
public:
    TesterFindings() { s_previous = qInstallMessageHandler(&Handle); }
    ~TesterFindings() { qInstallMessageHandler(s_previous); }

    std::vector<std::string> Take()
    {
        std::lock_guard lock(s_mutex);
        return std::exchange(s_findings, {});
    }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (context.category != nullptr && std::string_view(context.category) == "qt.modeltest" &&
            type >= QtWarningMsg) {
            std::lock_guard lock(s_mutex);
            s_findings.push_back(message.toStdString());
        } else if (s_previous != nullptr) {
            s_previous(type, context, message);
        }
    }

    static inline QtMessageHandler s_previous = nullptr;
    static inline std::mutex s_mutex;
    static inline std::vector<std::string> s_findings;
};

struct Change {
    int firstRow, lastRow, firstColumn, lastColumn;
    bool onModelThread;
};

// Records the model's dataChanged signals and runs the event loop until enough have come.
class ChangeRecorder {
public:
    explicit ChangeRecorder(ResultsModel& model)
    {
        QObject::connect(
            &model, &QAbstractItemModel::dataChanged, &m_context,
            [this, &model](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                m_changes.push_back({topLeft.row(), bottomRight.row(), topLeft.column(), bottomRight.column(),
                    QThread::currentThread() == model.thread()});
                if (m_loop != nullptr && m_done())
                    m_loop->quit();
            },
            Qt::DirectConnection);
    }

    // Runs the event loop until done() holds after a signal, or the time is up; whether done() holds.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s)
    {
        if (done())
            return true;
        QEventLoop loop;
        QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
        m_loop = &loop;
        m_done = done;
        loop.exec();
        m_loop = nullptr;
        return done();
    }
    bool RunUntilChanges(std::size_t count)
    {
        return RunUntil([&] { return m_changes.size() >= count; });
    }

    const std::vector<Change>& Changes() const { return m_changes; }
    std::vector<RowRange> RowRanges() const
    {
        std::vector<RowRange> ranges;
        for (const Change& change : m_changes)
            ranges.push_back({change.firstRow, change.lastRow});
        return ranges;
    }
    void Forget() { m_changes.clear(); }

private:
    QObject m_context;
    std::vector<Change> m_changes;
    QEventLoop* m_loop = nullptr;
    std::function<bool()> m_done;
};

// Task threads writing cells until stopped (bounded all the same: 30 s or 20 million writes each).
class BackgroundWriters {
public:
    BackgroundWriters(int threads, std::function<void(int thread, int i)> write)
    {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        for (int t = 0; t < threads; ++t) {
            m_threads.emplace_back([this, t, write, deadline] {
                for (int i = 0; i < 20'000'000 && !m_stop.load(std::memory_order_relaxed); ++i) {
                    write(t, i);
                    if (i % 1024 == 0 && std::chrono::steady_clock::now() > deadline)
                        break;
                }
            });
        }
    }
    ~BackgroundWriters() { Stop(); }

    void Stop()
    {
        m_stop = true;
        for (std::thread& thread : m_threads) {
            if (thread.joinable())
                thread.join();
        }
    }

private:
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

void AddColumns(ResultsModel& model, const std::vector<std::string>& titlesUtf8)
{
    for (const std::string& title : titlesUtf8)
        model.InsertColumn(model.columnCount(), Gbk(title), 80);
}

TEST(ResultsModel, ShowsCellsAndTitlesAsUnicode)
{
    ResultsTable table;
    ResultsModel model(table);
    TesterFindings findings;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    AddColumns(model, {"关键词", "排名"});
    model.AppendRow({Gbk("百度一下"), Gbk("第1页第3名")});
    model.AppendRow({"a<b>"});

    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral(u"百度一下"));
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral(u"第1页第3名"));
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), QStringLiteral(u"a<b>"));
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), QString());
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::EditRole).isValid());
    EXPECT_FALSE(model.data(QModelIndex()).isValid());
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral(u"排名"));
    EXPECT_FALSE(model.headerData(2, Qt::Horizontal).isValid());
    EXPECT_EQ(model.headerData(1, Qt::Vertical).toString(), QStringLiteral("2"));
    EXPECT_EQ(findings.Take(), std::vector<std::string>{});
}

TEST(ResultsModel, StaysConsistentWhileTasksWriteAndTheWindowReshapes)
{
    ResultsTable table;
    ResultsModel model(table);
    TesterFindings findings;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    QTableView view; // attached, not shown
    view.setModel(&model);
    ChangeRecorder recorder(model);

    // Tasks write anywhere but column 0: the model checks compare column 0 around row inserts.
    BackgroundWriters writers(8, [&](int thread, int i) {
        thread_local std::minstd_rand random(thread + 1);
        const int rows = table.RowCount(), columns = table.ColumnCount();
        if (rows > 0 && columns > 1)
            table.SetCell(random() % rows, 1 + random() % (columns - 1), std::to_string(i));
    });

    // Each step, then some changes delivered to the view while the tasks go on writing.
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"ColumnsOnEmptyTable",
            [&] {
                AddColumns(model, {"关键词", "排名", "网址"});
            }},
        {"AppendRows",
            [&] {
                for (int r = 0; r < 40; ++r)
                    model.AppendRow({Gbk("词") + std::to_string(r)});
            }},
        {"InsertFirstColumn", [&] { model.InsertColumn(0, Gbk("序号"), 40); }},
        {"InsertMiddleColumn", [&] { model.InsertColumn(2, Gbk("落地页"), 120); }},
        {"RemoveFirstColumn", [&] { model.RemoveColumn(0); }},
        {"RemoveLastColumn", [&] { model.RemoveColumn(model.columnCount() - 1); }},
        {"ResetAndRefill",
            [&] {
                model.ResetRows();
                for (int r = 0; r < 25; ++r)
                    model.AppendRow({Gbk("新词") + std::to_string(r)});
            }},
        {"RemoveEveryColumnWithChangesPending",
            [&] {
                while (model.columnCount() > 0)
                    model.RemoveColumn(0);
                AddColumns(model, {"关键词", "排名"});
            }},
        {"AppendMoreRows",
            [&] {
                for (int r = 0; r < 30; ++r)
                    model.AppendRow({Gbk("词") + std::to_string(100 + r)});
            }},
    };
    for (const auto& [name, step] : steps) {
        step();
        recorder.Forget();
        if (model.rowCount() > 0 && model.columnCount() > 1) {
            // A write of the window's own, so that a delivery is sure to come.
            table.SetCell(model.rowCount() - 1, model.columnCount() - 1, Gbk("窗口") + name);
            EXPECT_TRUE(recorder.RunUntilChanges(1)) << name;
        }
        EXPECT_EQ(findings.Take(), std::vector<std::string>{}) << name;
    }
    writers.Stop();
    EXPECT_EQ(findings.Take(), std::vector<std::string>{});
}

TEST(ResultsModel, WritesReachAnAttachedViewAsOneSignalPerRange)
{
    ResultsTable table;
    ResultsModel model(table);
    AddColumns(model, {"关键词", "排名", "网址"});
    for (int r = 0; r < 1000; ++r)
        model.AppendRow({Gbk("词") + std::to_string(r)});
    QTableView view; // attached, not shown
    view.setModel(&model);
    ChangeRecorder recorder(model);

    std::vector<std::thread> writers;
    for (int t = 0; t < 8; ++t) {
        writers.emplace_back([&, t] {
            for (int r = t; r < 1000; r += 8)
                table.SetCell(r, 1, Gbk("第") + std::to_string(r));
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    EXPECT_TRUE(recorder.Changes().empty()) << "the view hears of writes only through the window's event loop";

    ASSERT_TRUE(recorder.RunUntilChanges(1));
    ASSERT_EQ(recorder.Changes().size(), 1u);
    const Change& whole = recorder.Changes()[0];
    EXPECT_EQ(std::vector<int>({whole.firstRow, whole.lastRow, whole.firstColumn, whole.lastColumn}),
        std::vector<int>({0, 999, 0, 2}));
    EXPECT_TRUE(whole.onModelThread);
    EXPECT_EQ(view.model()->index(765, 1).data().toString(), QStringLiteral(u"第765"));

    // The next burst is heard of again, its rows merged into ranges.
    recorder.Forget();
    std::thread([&] {
        for (const int r : {9, 5, 3, 4, 999})
            table.SetCell(r, 2, "x");
    }).join();
    ASSERT_TRUE(recorder.RunUntilChanges(3));
    EXPECT_EQ(recorder.RowRanges(), (std::vector<RowRange>{{3, 5}, {9, 9}, {999, 999}}));
}

TEST(ResultsModel, ResetDropsChangesNotYetDelivered)
{
    ResultsTable table;
    ResultsModel model(table);
    TesterFindings findings;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    AddColumns(model, {"关键词", "排名"});
    for (int r = 0; r < 50; ++r)
        model.AppendRow({});
    ChangeRecorder recorder(model);
    for (int r = 10; r < 50; ++r)
        table.SetCell(r, 1, "old run");
    model.ResetRows();
    model.AppendRow({});
    model.AppendRow({});
    table.SetCell(1, 1, "new run");
    ASSERT_TRUE(recorder.RunUntilChanges(1));
    EXPECT_EQ(recorder.RowRanges(), (std::vector<RowRange>{{1, 1}}));
    EXPECT_EQ(findings.Take(), std::vector<std::string>{});
}

TEST(ResultsModel, ModelsComeAndGoWhileTasksWrite)
{
    ResultsTable table;
    table.InsertColumn(0, "k", 10);
    table.InsertColumn(1, "r", 10);
    for (int r = 0; r < 100; ++r)
        table.AppendRow({});
    BackgroundWriters writers(
        4, [&](int thread, int i) { table.SetCell((i * 7 + thread) % 100, 1, std::to_string(i)); });
    // Calls posted to a model that is gone must never run.
    for (int round = 0; round < 20; ++round) {
        auto model = std::make_unique<ResultsModel>(table);
        ChangeRecorder recorder(*model);
        if (round % 2 == 0) {
            table.SetCell(round, 0, "window"); // sure to change, whatever the tasks do
            EXPECT_TRUE(recorder.RunUntilChanges(1)) << round;
        }
    }
}

} // namespace
} // namespace pellorin::ui
