// The report list's cells: structure on the window thread, writes from many task threads, and
// the coalesced change notification.
#include "lists/ResultsTable.h"

#include "support/Gbk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <latch>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace pellorin::lists {

void PrintTo(const RowRange& range, std::ostream* out)
{
    *out << "[" << range.first << "," << range.last << "]";
}

namespace {

using test::Gbk;
using namespace std::chrono_literals;

// A table of rows x columns whose cell (r, c) holds "r:c".
void Fill(ResultsTable& table, int rows, int columns)
{
    for (int c = 0; c < columns; ++c)
        table.InsertColumn(c, "title" + std::to_string(c), 10 * (c + 1));
    for (int r = 0; r < rows; ++r) {
        std::vector<Text> cells;
        for (int c = 0; c < columns; ++c)
            cells.push_back(std::to_string(r) + ":" + std::to_string(c));
        table.AppendRow(std::move(cells));
    }
}

// Every cell of the table, row after row.
std::vector<std::vector<Text>> Cells(const ResultsTable& table)
{
    std::vector<std::vector<Text>> cells(table.RowCount());
    for (int r = 0; r < table.RowCount(); ++r)
        for (int c = 0; c < table.ColumnCount(); ++c)
            cells[r].push_back(table.Cell(r, c));
    return cells;
}

TEST(ResultsTable, AppendedRowsAreCutOrPaddedToTheColumns)
{
    ResultsTable table;
    Fill(table, 0, 2);
    EXPECT_EQ(table.AppendRow({Gbk("关键词"), "1", "dropped"}), 0);
    EXPECT_EQ(table.AppendRow({"only"}), 1);
    EXPECT_EQ(table.AppendRow({}), 2);
    EXPECT_EQ(Cells(table), (std::vector<std::vector<Text>>{{Gbk("关键词"), "1"}, {"only", ""}, {"", ""}}));
}

struct ColumnCase {
    const char* name;
    bool insert; // else remove
    int position;
    bool done;
    std::vector<int> sources; // after the change, the old column each column holds; -1 for the new one
};

class ColumnChangeTest : public ::testing::TestWithParam<ColumnCase> { };

TEST_P(ColumnChangeTest, CellsTitlesAndWidthsFollowTheirColumns)
{
    const ColumnCase& c = GetParam();
    ResultsTable table;
    Fill(table, 3, 3);
    table.TakeChangedRows();
    EXPECT_EQ(c.insert ? table.InsertColumn(c.position, "new", 5) : table.RemoveColumn(c.position), c.done);
    ASSERT_EQ(table.ColumnCount(), static_cast<int>(c.sources.size()));
    ASSERT_EQ(table.RowCount(), 3);
    for (int column = 0; column < table.ColumnCount(); ++column) {
        const int source = c.sources[column];
        EXPECT_EQ(table.ColumnTitle(column), source < 0 ? "new" : "title" + std::to_string(source)) << column;
        EXPECT_EQ(table.ColumnWidth(column), source < 0 ? 5 : 10 * (source + 1)) << column;
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(table.Cell(row, column), source < 0 ? "" : std::to_string(row) + ":" + std::to_string(source))
                << row << "," << column;
        }
    }
    EXPECT_TRUE(table.TakeChangedRows().empty()) << "a column change is no cell change";
}

INSTANTIATE_TEST_SUITE_P(Cases, ColumnChangeTest,
    ::testing::Values(ColumnCase{"InsertFirst", true, 0, true, {-1, 0, 1, 2}},
        ColumnCase{"InsertMiddle", true, 2, true, {0, 1, -1, 2}},
        ColumnCase{"InsertLast", true, 3, true, {0, 1, 2, -1}},
        ColumnCase{"InsertBehindEnd", true, 4, false, {0, 1, 2}},
        ColumnCase{"InsertNegative", true, -1, false, {0, 1, 2}}, ColumnCase{"RemoveFirst", false, 0, true, {1, 2}},
        ColumnCase{"RemoveMiddle", false, 1, true, {0, 2}}, ColumnCase{"RemoveLast", false, 2, true, {0, 1}},
        ColumnCase{"RemoveBehindEnd", false, 3, false, {0, 1, 2}},
        ColumnCase{"RemoveNegative", false, -1, false, {0, 1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

struct OutsideCase {
    const char* name;
    int row;
    int column;
};

class OutsideCellTest : public ::testing::TestWithParam<OutsideCase> { };

TEST_P(OutsideCellTest, IsIgnoredAndReadsEmpty)
{
    const OutsideCase& c = GetParam();
    ResultsTable table;
    Fill(table, 2, 2);
    table.TakeChangedRows();
    int calls = 0;
    table.SetChangeListener([&] { ++calls; });
    table.SetCell(c.row, c.column, "x");
    EXPECT_EQ(table.Cell(c.row, c.column), "");
    EXPECT_EQ(Cells(table), (std::vector<std::vector<Text>>{{"0:0", "0:1"}, {"1:0", "1:1"}}));
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(table.TakeChangedRows().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, OutsideCellTest,
    ::testing::Values(OutsideCase{"NegativeRow", -1, 0}, OutsideCase{"RowAtCount", 2, 0},
        OutsideCase{"NegativeColumn", 0, -1}, OutsideCase{"ColumnAtCount", 0, 2},
        OutsideCase{"FarOutside", 1 << 30, 1 << 30}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResultsTable, ClearDropsRowsAndTheirChangesButKeepsColumns)
{
    ResultsTable table;
    Fill(table, 70, 2);
    table.SetCell(65, 1, "changed");
    table.Clear();
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_EQ(table.ColumnCount(), 2);
    EXPECT_EQ(table.ColumnTitle(1), "title1");
    EXPECT_EQ(table.ColumnTitle(2), "");
    EXPECT_EQ(table.ColumnWidth(-1), 0);
    table.SetCell(65, 1, "late write of a task"); // ignored
    EXPECT_TRUE(table.TakeChangedRows().empty());
    EXPECT_EQ(table.AppendRow({"a", "b"}), 0);
    EXPECT_EQ(table.Cell(0, 1), "b");
}

struct ChangeCase {
    const char* name;
    std::vector<int> rows; // written in this order
    std::vector<RowRange> expected;
};

class ChangedRowsTest : public ::testing::TestWithParam<ChangeCase> { };

TEST_P(ChangedRowsTest, AreTakenAsSortedMergedRanges)
{
    const ChangeCase& c = GetParam();
    ResultsTable table;
    Fill(table, 300, 2);
    table.TakeChangedRows();
    for (const int row : c.rows)
        table.SetCell(row, 1, "w" + std::to_string(row));
    EXPECT_EQ(table.TakeChangedRows(), c.expected);
    EXPECT_TRUE(table.TakeChangedRows().empty()) << "a take forgets what it returned";
}

std::vector<int> Interval(int first, int last)
{
    std::vector<int> rows;
    for (int r = first; r <= last; ++r)
        rows.push_back(r);
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Cases, ChangedRowsTest,
    ::testing::Values(ChangeCase{"None", {}, {}}, ChangeCase{"One", {7}, {{7, 7}}},
        ChangeCase{"UnorderedNeighboursMerge", {9, 3, 8, 5, 4, 7, 3}, {{3, 5}, {7, 9}}},
        ChangeCase{"FirstAndLastRow", {299, 0}, {{0, 0}, {299, 299}}},
        ChangeCase{"RunAcrossWordBoundaries", Interval(60, 200), {{60, 200}}},
        ChangeCase{"WholeWord", Interval(64, 127), {{64, 127}}},
        ChangeCase{"WordEdges", {63, 64, 127, 129}, {{63, 64}, {127, 127}, {129, 129}}},
        ChangeCase{"EveryOtherRow", {10, 12, 14}, {{10, 10}, {12, 12}, {14, 14}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResultsTable, UnchangedWriteIsNoChange)
{
    ResultsTable table;
    Fill(table, 2, 2);
    table.TakeChangedRows();
    int calls = 0;
    table.SetChangeListener([&] { ++calls; });
    table.SetCell(1, 1, "1:1");
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(table.TakeChangedRows().empty());
}

TEST(ResultsTable, ListenerHearsTheFirstChangeAfterEachTakeOutsideTheLock)
{
    ResultsTable table;
    Fill(table, 100, 3);
    std::vector<Text> seen;
    // Reading the table from the listener would deadlock if it ran under the table's lock.
    table.SetChangeListener([&] { seen.push_back(table.Cell(5, 2)); });
    for (int i = 0; i < 1000; ++i)
        table.SetCell(5 + i % 90, 2, "first burst " + std::to_string(i));
    EXPECT_EQ(seen, std::vector<Text>{"first burst 0"});
    EXPECT_EQ(table.TakeChangedRows(), (std::vector<RowRange>{{5, 94}}));
    table.SetCell(5, 2, "second burst");
    table.SetCell(6, 2, "second burst");
    EXPECT_EQ(seen, (std::vector<Text>{"first burst 0", "second burst"}));
}

TEST(ResultsTable, NewListenerHearsTheNextChange)
{
    ResultsTable table;
    Fill(table, 2, 1);
    int first = 0, second = 0;
    table.SetChangeListener([&] { ++first; });
    table.SetCell(0, 0, "a");
    table.SetChangeListener([&] { ++second; });
    table.SetCell(1, 0, "b"); // no take in between
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
}

TEST(ResultsTable, ReplacingTheListenerWaitsForACallUnderWay)
{
    ResultsTable table;
    Fill(table, 1, 1);
    std::promise<void> entered, release;
    std::atomic<bool> finished{false};
    table.SetChangeListener([&] {
        entered.set_value();
        release.get_future().wait();
        finished = true;
    });
    std::thread writer([&] { table.SetCell(0, 0, "x"); });
    entered.get_future().wait();
    auto replaced = std::async(std::launch::async, [&] {
        table.SetChangeListener({});
        return finished.load();
    });
    // The model's destructor relies on this: no call of the old listener after the replacement.
    EXPECT_EQ(replaced.wait_for(20ms), std::future_status::timeout);
    release.set_value();
    EXPECT_TRUE(replaced.get());
    writer.join();
}

TEST(ResultsTable, WritesFromManyThreadsAllLandAndAreAllReported)
{
    constexpr int kThreads = 8;
    constexpr int kRows = 2000;
    constexpr int kRounds = 3;
    ResultsTable table;
    Fill(table, kRows, 2);
    table.TakeChangedRows();
    std::atomic<int> calls{0};
    table.SetChangeListener([&] { ++calls; });

    std::latch start(kThreads + 1);
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&, t] {
            start.arrive_and_wait();
            // Neighbouring rows from different threads, so that writes meet in the same bit words.
            for (int round = 0; round < kRounds; ++round)
                for (int row = t; row < kRows; row += kThreads)
                    table.SetCell(row, round % 2, Gbk("第") + std::to_string(round) + "/" + std::to_string(row));
        });
    }
    // The window thread takes and reads while the tasks write.
    std::vector<char> reported(kRows, 0);
    int takes = 0;
    start.arrive_and_wait();
    for (int i = 0; i < 200; ++i) {
        for (const RowRange& range : table.TakeChangedRows())
            for (int row = range.first; row <= range.last; ++row)
                reported[row] = 1;
        ++takes;
        EXPECT_EQ(table.RowCount(), kRows);
        table.Cell(i, 0);
    }
    for (std::thread& writer : writers)
        writer.join();
    for (const RowRange& range : table.TakeChangedRows())
        for (int row = range.first; row <= range.last; ++row)
            reported[row] = 1;
    ++takes;

    EXPECT_EQ(std::count(reported.begin(), reported.end(), 1), kRows);
    EXPECT_GE(calls.load(), 1);
    EXPECT_LE(calls.load(), takes) << "one call per take at most";
    for (int row = 0; row < kRows; ++row) {
        ASSERT_EQ(table.Cell(row, 0), Gbk("第") + "2/" + std::to_string(row));
        ASSERT_EQ(table.Cell(row, 1), Gbk("第") + "1/" + std::to_string(row));
    }
}

TEST(ResultsTable, BurstFromManyThreadsCallsTheListenerOnce)
{
    constexpr int kThreads = 8;
    ResultsTable table;
    Fill(table, 10'000, 1);
    table.TakeChangedRows();
    std::atomic<int> calls{0};
    table.SetChangeListener([&] { ++calls; });
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&, t] {
            for (int row = t; row < table.RowCount(); row += kThreads)
                table.SetCell(row, 0, "new");
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    EXPECT_EQ(calls.load(), 1);
    EXPECT_EQ(table.TakeChangedRows(), (std::vector<RowRange>{{0, 9'999}}));
}

} // namespace
} // namespace pellorin::lists
