// Whole runs against the fake engine, with a front end that records what the window would show.
#include "fake_engine/FakeEngine.h"
#include "fake_engine/ResultPage.h"
#include "lists/KeywordImport.h"
#include "lists/ResultsTable.h"
#include "query/QueryEnvironment.h"
#include "tasks/TaskPool.h"
#include "web/Encodings.h"

#include "run/QueryRun.h"
#include "support/Gbk.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace pellorin::run {
namespace {

using fake::Behaviour;
using fake::FakeEngine;
using test::Gbk;
using namespace std::chrono_literals;

class TableEnvironment final : public query::QueryEnvironment {
public:
    TableEnvironment(lists::ResultsTable& table, std::string base, Text domain)
        : m_table(table)
        , m_base(std::move(base))
        , m_domain(std::move(domain))
    {
    }
    Text SiteDomain() override { return m_domain; }
    bool LandingPagesWanted() override { return false; }
    std::string SearchBase() override { return m_base; }
    void SetCell(int row, int column, const Text& text) override { m_table.SetCell(row, column, text); }

private:
    lists::ResultsTable& m_table;
    const std::string m_base;
    const Text m_domain;
};

// The window's side of a run, as plain values.
class FakeFront final : public RunFront {
public:
    explicit FakeFront(std::string base)
        : single(singleTable, base, "site.example")
        , multi(multiTable, base, "")
    {
        for (const char* title : {"n", "keyword", "rank", "url"})
            singleTable.InsertColumn(singleTable.ColumnCount(), title, 40);
        for (const char* title : {"n", "keyword"})
            multiTable.InsertColumn(multiTable.ColumnCount(), title, 40);
    }

    bool IsMultiSite() override { return multiSite; }
    Text SiteDomain() override { return domain; }
    Text SiteListBoxText() override { return siteListBox; }
    Text SiteListText() override { return siteList; }
    Text KeywordText() override { return keywords; }
    Text ThreadCountText() override { return threads; }
    Text IntervalText() override { return interval; }
    bool SmartWaitOn() override { return smartWait; }
    Text SmartWaitEveryText() override { return smartEvery; }
    Text SmartWaitMinutesText() override { return smartMinutes; }
    void ShowList(bool multiSiteList) override { shownList = multiSiteList ? 2 : 1; }
    void Message(std::string_view text) override { messages.emplace_back(text); }
    StartCaption Caption() override { return caption; }
    void SetCaption(StartCaption value) override { caption = value; }
    void SetStatus(std::string_view text) override { statuses.emplace_back(text); }
    void SetStatusRed() override { red = true; }
    void SetStatusPart(int index, std::string_view text) override { parts[index] = Text(text); }
    void ImportKeywords() override { lists::ImportKeywords(multiSite ? multiTable : singleTable, keywords); }
    void SetSiteColumns(const query::SiteList& sites) override
    {
        while (multiTable.ColumnCount() > 2)
            multiTable.RemoveColumn(multiTable.ColumnCount() - 1);
        for (const Text& site : sites)
            multiTable.InsertColumn(multiTable.ColumnCount(), site, 100);
    }
    lists::ResultsTable& ListTable(bool multiSiteList) override { return multiSiteList ? multiTable : singleTable; }
    query::QueryEnvironment& Environment(bool multiSiteList) override
    {
        return multiSiteList ? static_cast<query::QueryEnvironment&>(multi) : single;
    }

    bool multiSite = false;
    Text domain = "site.example";
    Text siteListBox, siteList;
    Text keywords;
    Text threads = "4";
    Text interval = "0";
    bool smartWait = false;
    Text smartEvery = "50", smartMinutes = "3";
    int shownList = 0;
    std::vector<Text> messages, statuses;
    StartCaption caption = StartCaption::Start;
    bool red = false;
    std::map<int, Text> parts;
    lists::ResultsTable singleTable, multiTable;
    TableEnvironment single, multi;
};

// Waits that record what the run asked for; the first wait of each kind really waits, so that
// tasks get going, the long ones (smart waits) are cut short.
class RecordingWaits final : public RunWaits {
public:
    void Delay(long long milliseconds) override
    {
        delays.push_back(milliseconds);
        if (onDelay)
            onDelay(delays.size());
        waits.Delay(std::min(milliseconds, 20LL));
    }
    void ProcessEvents() override { waits.ProcessEvents(); }

    std::vector<long long> delays;
    std::function<void(std::size_t)> onDelay;
    EventLoopWaits waits;
};

std::string RawWd(const Text& keyword)
{
    return web::UrlEncodeUtf8(keyword, true, true);
}

// Keywords 1..count; the site stands in block (i % 6) + 1 of keyword i's page, or nowhere when
// i % 6 is 5.
Text ServeKeywords(FakeEngine& engine, int count, std::vector<std::string>& expectedRanks)
{
    Text keywords;
    for (int i = 0; i < count; ++i) {
        const Text keyword = Gbk("词") + std::to_string(i);
        keywords += keyword + "\r\n";
        std::vector<std::string> domains(6, "other.example");
        if (i % 6 < 5)
            domains[static_cast<std::size_t>(i % 6)] = "site.example";
        engine.SetPage(
            RawWd(keyword), fake::BuildResultPage(fake::MakeLinkedEntries(engine, domains, 6, std::to_string(i)), "q"));
        expectedRanks.push_back(i % 6 < 5 ? std::to_string(i % 6 + 1) : "-");
    }
    return keywords;
}

TEST(QueryRun, SingleSiteRunFillsEveryRowThenCountsTheRanks)
{
    FakeEngine engine;
    std::vector<std::string> ranks;
    FakeFront front(engine.BaseUrl());
    front.keywords = ServeKeywords(engine, 20, ranks);
    tasks::TaskPool pool;
    RecordingWaits waits;
    QueryRun run(front, pool, waits);
    run.OnStartClicked();

    for (int row = 0; row < 20; ++row)
        EXPECT_EQ(front.singleTable.Cell(row, 2), ranks[static_cast<std::size_t>(row)]) << row;
    EXPECT_EQ(front.caption, StartCaption::Start);
    EXPECT_TRUE(front.red);
    EXPECT_EQ(front.statuses.back(), Gbk("查询已完成！"));
    EXPECT_EQ(front.shownList, 1);
    // Ranks 1, 2, 3, 4, 5, - in turn over the 20 rows.
    EXPECT_EQ(front.parts[15], "4");  // TOP1
    EXPECT_EQ(front.parts[13], "11"); // TOP3
    EXPECT_EQ(front.parts[11], "17"); // TOP5
    EXPECT_EQ(front.parts[1], "17");  // TOP100
    EXPECT_EQ(front.parts[17], "20"); // total
    EXPECT_TRUE(pool.IsHalted());
}

TEST(QueryRun, MultiSiteRunBuildsItsColumnsFromTheConfirmedList)
{
    FakeEngine engine;
    std::vector<std::string> ranks;
    FakeFront front(engine.BaseUrl());
    front.multiSite = true;
    front.keywords = ServeKeywords(engine, 6, ranks);
    front.siteListBox = "edited";
    front.siteList = "absent.example\r\nsite.example\r\n\r\nother.example";
    tasks::TaskPool pool;
    RecordingWaits waits;
    QueryRun run(front, pool, waits);
    run.OnStartClicked();

    ASSERT_EQ(front.multiTable.ColumnCount(), 6);
    EXPECT_EQ(front.multiTable.ColumnTitle(2), "absent.example");
    EXPECT_EQ(front.multiTable.ColumnTitle(4), "");
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(front.multiTable.Cell(row, 2), "-") << row;
        EXPECT_EQ(front.multiTable.Cell(row, 3), ranks[static_cast<std::size_t>(row)]) << row;
        EXPECT_EQ(front.multiTable.Cell(row, 4), "0") << row; // the empty site text
    }
    EXPECT_EQ(front.shownList, 2);
    EXPECT_TRUE(front.parts.empty()); // no statistics for a multi-site run

    // A run with fewer sites leaves exactly its own columns.
    front.siteList = "site.example";
    run.OnStartClicked();
    EXPECT_EQ(front.multiTable.ColumnCount(), 3);
    EXPECT_EQ(front.multiTable.ColumnTitle(2), "site.example");
}

TEST(QueryRun, InputChecksComeFirst)
{
    struct Case {
        const char* name;
        bool multiSite;
        Text domain, siteListBox, keywords;
        std::string message;
    } cases[] = {
        {"NoDomain", false, "", "", "k", "请填入正确的网站域名"},
        {"NoSiteList", true, "", "", "k", "请填入正确的网站域名"},
        {"NoKeywords", false, "site.example", "", "", "请先输入要查询的关键词"},
    };
    for (const Case& c : cases) {
        FakeFront front("http://127.0.0.1:9");
        front.multiSite = c.multiSite;
        front.domain = c.domain;
        front.siteListBox = c.siteListBox;
        front.keywords = c.keywords;
        front.caption = StartCaption::Pause; // even a pause click only shows the message
        tasks::TaskPool pool;
        RecordingWaits waits;
        QueryRun run(front, pool, waits);
        run.OnStartClicked();
        ASSERT_EQ(front.messages.size(), 1u) << c.name;
        EXPECT_EQ(front.messages[0], Gbk(c.message)) << c.name;
        EXPECT_EQ(front.caption, StartCaption::Pause) << c.name;
        EXPECT_FALSE(pool.IsHalted()) << c.name;
    }
}

TEST(QueryRun, PauseAndResumeLoseNoRow)
{
    FakeEngine engine;
    std::vector<std::string> ranks;
    FakeFront front(engine.BaseUrl());
    front.keywords = ServeKeywords(engine, 12, ranks);
    front.threads = "2";
    tasks::TaskPool pool;
    RecordingWaits waits;
    QueryRun run(front, pool, waits);
    bool paused = false;
    waits.onDelay = [&](std::size_t count) {
        if (count == 6 && !paused) {
            paused = true;
            run.OnStartClicked(); // pause
            EXPECT_EQ(front.caption, StartCaption::Resume);
            QTimer::singleShot(200ms, [&] { run.OnStartClicked(); }); // resume
        }
    };
    run.OnStartClicked();
    EXPECT_TRUE(paused);
    for (int row = 0; row < 12; ++row)
        EXPECT_EQ(front.singleTable.Cell(row, 2), ranks[static_cast<std::size_t>(row)]) << row;
}

TEST(QueryRun, StopDuringASubmitWaitEndsTheRun)
{
    FakeEngine engine;
    std::vector<std::string> ranks;
    FakeFront front(engine.BaseUrl());
    front.keywords = ServeKeywords(engine, 5, ranks);
    Behaviour hang;
    hang.hang = true;
    engine.SetKeywordBehaviour(RawWd(Gbk("词0")), hang);
    front.threads = "1";
    tasks::TaskPool pool;
    RecordingWaits waits;
    QueryRun run(front, pool, waits);
    QTimer::singleShot(300ms, [&] { run.OnStopClicked(); });
    const auto start = std::chrono::steady_clock::now();
    run.OnStartClicked();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(front.caption, StartCaption::Start);
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(front.singleTable.Cell(row, 2), "") << row; // the hanging task was abandoned, the rest never ran
}

TEST(QueryRun, SmartWaitComesAfterRowsNMinusOneThen2NMinusOne)
{
    FakeEngine engine;
    std::vector<std::string> ranks;
    FakeFront front(engine.BaseUrl());
    front.keywords = ServeKeywords(engine, 9, ranks);
    front.smartWait = true;
    front.smartEvery = "3";
    front.smartMinutes = "2";
    front.interval = "7";
    tasks::TaskPool pool;
    RecordingWaits waits;
    QueryRun run(front, pool, waits);
    run.OnStartClicked();

    // Per row: 200, the interval, and after rows 2, 5 and 8 the smart wait; then the end's 1000.
    std::vector<long long> expected;
    for (int row = 1; row <= 9; ++row) {
        expected.push_back(200);
        expected.push_back(7);
        if ((row + 1) % 3 == 0)
            expected.push_back(120000);
    }
    expected.push_back(1000);
    EXPECT_EQ(waits.delays, expected);
    const Text smartStatus = Gbk("状态：为防止频繁查询被百度限制，正在等待2分钟后，软件会继续自动查询,请稍候...");
    EXPECT_EQ(std::count(front.statuses.begin(), front.statuses.end(), smartStatus), 3);
}

TEST(QueryRun, NoUsableKeywordMeansNoTaskAndZeroCounts)
{
    FakeFront front("http://127.0.0.1:9");
    front.keywords = "\r\n\r\n";
    tasks::TaskPool pool;
    RecordingWaits waits;
    QueryRun run(front, pool, waits);
    run.OnStartClicked();
    EXPECT_EQ(front.singleTable.RowCount(), 0);
    EXPECT_EQ(front.parts[17], "0");
    EXPECT_EQ(front.statuses.back(), Gbk("查询已完成！"));
}

TEST(QueryRun, Helpers)
{
    using Sites = query::SiteList;
    EXPECT_EQ(CutSiteList("a\r\n\r\nb\r\n"), (Sites{"a", "", "b"}));
    EXPECT_EQ(CutSiteList(""), Sites{});
    EXPECT_EQ(CutSiteList(" a \r\nb"), (Sites{" a ", "b"}));
    EXPECT_EQ(LeadingNumber("12ab"), 12);
    EXPECT_EQ(LeadingNumber("x1"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);

    lists::ResultsTable table;
    for (int column = 0; column < 3; ++column)
        table.InsertColumn(column, "c", 10);
    for (const char* rank : {"1", "3", "", "-", "100", "101"})
        table.AppendRow({"n", "k", rank});
    const RankStatistics counts = CountRanks(table);
    EXPECT_EQ(counts.total, 6);
    EXPECT_EQ(counts.top1, 1);
    EXPECT_EQ(counts.top3, 2);
    EXPECT_EQ(counts.top100, 3); // an empty cell is no rank
}

} // namespace
} // namespace pellorin::run
