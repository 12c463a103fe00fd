#include "run/QueryRun.h"

#include "lists/ResultsTable.h"
#include "query/QueryEnvironment.h"
#include "tasks/ResponsiveDelay.h"
#include "tasks/TaskPool.h"
#include "text/GbkCodec.h"
#include "text/TextSearch.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>

namespace pellorin::run {

namespace {

constexpr long long kAfterSubmission = 200; // milliseconds
constexpr long long kBeforeStop = 1000;

// The run's texts are written here in UTF-8 and shown as the GBK texts they are.
Text Gbk(std::string_view utf8)
{
    return text::Utf8ToGbk(utf8, false);
}

const Text& RunningStatus()
{
    static const Text text = Gbk("状态：正在给力查询中,请稍等...(如网速太慢会导致结果显示不全)");
    return text;
}

} // namespace

void EventLoopWaits::Delay(long long milliseconds)
{
    tasks::ResponsiveDelay(milliseconds);
}

void EventLoopWaits::ProcessEvents()
{
    QCoreApplication::processEvents();
}

long long LeadingNumber(std::string_view text)
{
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        value = std::min(value * 10 + (c - '0'), 1'000'000'000'000LL);
    }
    return value;
}

query::SiteList CutSiteList(std::string_view siteListText)
{
    query::SiteList sites;
    long long begin = 1;
    for (long long at = text::FindText(siteListText, "\r\n", begin, true); at != text::kNotFound;
         at = text::FindText(siteListText, "\r\n", begin, true)) {
        sites.emplace_back(
            siteListText.substr(static_cast<std::size_t>(begin - 1), static_cast<std::size_t>(at - begin)));
        begin = at + 2;
    }
    if (begin <= static_cast<long long>(siteListText.size()))
        sites.emplace_back(siteListText.substr(static_cast<std::size_t>(begin - 1)));
    return sites;
}

RankStatistics CountRanks(const lists::ResultsTable& singleSiteList)
{
    RankStatistics counts;
    for (int row = 0; row < singleSiteList.RowCount(); ++row) {
        ++counts.total;
        const Text rank = singleSiteList.Cell(row, query::kRankColumn);
        if (rank.empty() || rank == "-")
            continue; // not ranked, or its task never delivered
        const long long r = LeadingNumber(rank);
        counts.top1 += r == 1;
        counts.top3 += r <= 3;
        counts.top5 += r <= 5;
        counts.top10 += r <= 10;
        counts.top30 += r <= 30;
        counts.top50 += r <= 50;
        counts.top80 += r <= 80;
        counts.top100 += r <= 100;
    }
    return counts;
}

QueryRun::QueryRun(RunFront& front, tasks::TaskPool& pool, RunWaits& waits)
    : m_front(front)
    , m_pool(pool)
    , m_waits(waits)
{
}

QueryRun::~QueryRun() = default;

void QueryRun::OnStartClicked()
{
    const bool multiSite = m_front.IsMultiSite();
    if (multiSite) {
        m_front.ShowList(true);
        if (m_front.SiteListBoxText().empty()) {
            m_front.Message(Gbk("请填入正确的网站域名"));
            return;
        }
    } else {
        if (m_front.SiteDomain().empty()) {
            m_front.Message(Gbk("请填入正确的网站域名"));
            return;
        }
        m_front.ShowList(false);
    }
    if (m_front.KeywordText().empty()) {
        m_front.Message(Gbk("请先输入要查询的关键词"));
        return;
    }

    switch (m_front.Caption()) {
    case StartCaption::Start:
        m_front.SetCaption(StartCaption::Pause);
        Run();
        return;
    case StartCaption::Pause:
        m_pool.Pause();
        m_paused = true;
        m_front.SetCaption(StartCaption::Resume);
        return;
    case StartCaption::Resume:
        m_pool.Resume();
        m_paused = false;
        m_front.SetCaption(StartCaption::Pause);
        if (m_pauseLoop)
            m_pauseLoop->quit();
        return;
    }
}

void QueryRun::OnStopClicked()
{
    m_pool.Stop();
    m_stopped = true;
    m_paused = false;
    m_front.SetCaption(StartCaption::Start);
    if (m_pauseLoop)
        m_pauseLoop->quit();
}

bool QueryRun::WaitWhilePaused(unsigned run)
{
    while (m_paused && IsCurrent(run)) {
        QEventLoop loop;
        QEventLoop* outer = m_pauseLoop;
        m_pauseLoop = &loop;
        loop.exec();
        m_pauseLoop = outer;
    }
    return IsCurrent(run);
}

void QueryRun::Run()
{
    // A run started while an earlier one is still on the stack supersedes it: the earlier loop
    // submits nothing more and ends without a word.
    const unsigned run = ++m_generation;
    m_stopped = false;
    m_paused = false;
    ++m_runningLoops;
    const bool multiSite = m_front.IsMultiSite();
    // Tasks of an earlier run write nothing more from here on: their rows are about to be
    // rebuilt, and a late rank must not land in a new row.
    m_pool.Stop();

    std::shared_ptr<const query::SiteList> sites;
    if (multiSite) {
        // Each run has its own list: tasks of an earlier run go on reading theirs.
        m_siteList = std::make_shared<const query::SiteList>(CutSiteList(m_front.SiteListText()));
        sites = m_siteList;
        m_front.SetSiteColumns(*sites);
    }
    m_front.ImportKeywords();
    m_front.SetStatus(RunningStatus());
    m_pool.Create(static_cast<int>(std::max(1LL, LeadingNumber(m_front.ThreadCountText()))));

    const int rows = m_front.ListTable(multiSite).RowCount();
    for (int row = 1; row <= rows && IsCurrent(run); ++row) {
        if (!SubmitRow(row, multiSite, sites, run))
            break;
        m_waits.Delay(kAfterSubmission);
        m_waits.ProcessEvents();
        if (!IsCurrent(run))
            break;
        m_waits.Delay(LeadingNumber(m_front.IntervalText()));

        const long long every = m_front.SmartWaitOn() ? LeadingNumber(m_front.SmartWaitEveryText()) : 0;
        if (every >= 1 && (row + 1) % every == 0 && IsCurrent(run)) {
            const Text minutes = m_front.SmartWaitMinutesText();
            m_pool.Pause();
            m_front.SetStatus(Gbk("状态：为防止频繁查询被百度限制，正在等待") + minutes +
                Gbk("分钟后，软件会继续自动查询,请稍候..."));
            m_waits.Delay(LeadingNumber(minutes) * 60000);
            if (!IsCurrent(run))
                break; // stopped during the wait: the pool stays stopped
            m_pool.Resume();
            m_front.SetStatus(RunningStatus());
        }
    }

    if (run != m_generation) {
        --m_runningLoops;
        return;
    }
    m_front.SetStatus(Gbk("查询即将完成..."));
    // Every task of the run delivers before the run calls itself complete; a stop ends the
    // wait, since abandoned tasks end at once.
    while (!m_pool.WaitUntilIdle() && m_paused && IsCurrent(run))
        WaitWhilePaused(run);
    if (run != m_generation) {
        --m_runningLoops;
        return;
    }
    m_front.SetStatus(Gbk("查询已完成！"));
    m_front.SetCaption(StartCaption::Start);
    m_front.SetStatusRed();
    if (!m_front.IsMultiSite()) {
        ShowStatistics();
        m_waits.Delay(kBeforeStop);
        if (run == m_generation)
            m_pool.Stop();
    }
    --m_runningLoops;
}

bool QueryRun::SubmitRow(int row, bool multiSite, const std::shared_ptr<const query::SiteList>& sites, unsigned run)
{
    for (;;) {
        if (!WaitWhilePaused(run))
            return false;
        const Text keyword = m_front.ListTable(multiSite).Cell(row - 1, 1);
        query::QueryEnvironment& environment = m_front.Environment(multiSite);
        tasks::TaskPool::Routine routine;
        if (multiSite) {
            routine = [row, keyword, sites, &environment](tasks::TaskControl& control) {
                query::MultiSiteQuery(row, keyword, sites, environment, control);
            };
        } else {
            routine = [row, keyword, &environment](
                          tasks::TaskControl& control) { query::SingleSiteQuery(row, keyword, environment, control); };
        }
        if (m_pool.Submit(std::move(routine)))
            return true;
        // Refused: the pool was held or stopped while Submit waited. A pause keeps the row for
        // after the resume; a stop or a newer run ends this loop.
        if (!IsCurrent(run))
            return false;
        if (!m_paused)
            return false;
    }
}

void QueryRun::ShowStatistics()
{
    const RankStatistics counts = CountRanks(m_front.ListTable(false));
    const std::pair<int, int> parts[] = {{1, counts.top100}, {3, counts.top80}, {5, counts.top50}, {7, counts.top30},
        {9, counts.top10}, {11, counts.top5}, {13, counts.top3}, {15, counts.top1}, {17, counts.total}};
    for (const auto& [index, count] : parts)
        m_front.SetStatusPart(index, std::to_string(count));
}

} // namespace pellorin::run
