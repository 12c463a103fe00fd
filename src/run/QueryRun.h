#pragma once

#include "run/RunFront.h"

#include <memory>

class QEventLoop;

namespace pellorin::tasks {
class TaskPool;
}

namespace pellorin::run {

// The waits of the program: ResponsiveDelay and the event loop's pending events.
class EventLoopWaits final : public RunWaits {
public:
    void Delay(long long milliseconds) override;
    void ProcessEvents() override;
};

// Numbers typed into boxes are read by their leading decimal digits; anything else is 0.
long long LeadingNumber(std::string_view text);

// The site list of a multi-site run: the confirmed text cut at every CR LF; every piece
// before a break counts, also an empty one, the rest only when it is not empty.
query::SiteList CutSiteList(std::string_view siteListText);

// Counts for the status line: how many ranks are within 100, 80, 50, 30, 10, 5, 3 and 1, and
// how many keywords there are. A rank cell that holds no value yet counts in the total only.
struct RankStatistics {
    int top100 = 0, top80 = 0, top50 = 0, top30 = 0, top10 = 0, top5 = 0, top3 = 0, top1 = 0, total = 0;
};
RankStatistics CountRanks(const lists::ResultsTable& singleSiteList);

// What the start and stop buttons do: check the inputs, then start, pause or resume a run by
// the start button's caption. A run imports the keywords, submits one query task per row,
// paced (200 ms plus the interval, and a smart wait every N requests when asked), waits until
// every task has ended, and shows the statistics of a single-site run. The run waits in
// event loops, so the buttons work during it.
class QueryRun {
public:
    QueryRun(RunFront& front, tasks::TaskPool& pool, RunWaits& waits);
    ~QueryRun();

    void OnStartClicked();
    void OnStopClicked();

    // The sites of the last multi-site run (empty before the first), for the export's header.
    query::SiteList LastSiteList() const { return m_siteList ? *m_siteList : query::SiteList(); }

    // Whether a run is under way (its loop on the stack).
    bool IsRunning() const { return m_runningLoops > 0; }

private:
    void Run();
    bool SubmitRow(int row, bool multiSite, const std::shared_ptr<const query::SiteList>& sites, unsigned run);
    // Waits, handling events, while the run is paused; false when it was stopped or superseded.
    bool WaitWhilePaused(unsigned run);
    bool IsCurrent(unsigned run) const { return run == m_generation && !m_stopped; }
    void ShowStatistics();

    RunFront& m_front;
    tasks::TaskPool& m_pool;
    RunWaits& m_waits;
    unsigned m_generation = 0; // which run is the current one
    bool m_paused = false;
    bool m_stopped = false;
    int m_runningLoops = 0;
    QEventLoop* m_pauseLoop = nullptr;
    std::shared_ptr<const query::SiteList> m_siteList; // the last multi-site run's
};

} // namespace pellorin::run
