#pragma once

#include "query/SiteQueries.h"
#include "text/GbkText.h"

#include <string_view>

namespace pellorin::lists {
class ResultsTable;
}
namespace pellorin::query {
class QueryEnvironment;
}

namespace pellorin::run {

using text::Text;

// The start button's caption, which is the state of a run.
enum class StartCaption { Start, Pause, Resume };

// What a run needs of the front end that starts it: the window, or the command line. Every
// member is called on the window (main) thread, at the moment the run needs it.
class RunFront {
public:
    virtual ~RunFront() = default;

    // Settings, read when the run needs them.
    virtual bool IsMultiSite() = 0;
    virtual Text SiteDomain() = 0;      // the single site, tested for emptiness only
    virtual Text SiteListBoxText() = 0; // the site list being edited, tested for emptiness only
    virtual Text SiteListText() = 0;    // the site list last confirmed
    virtual Text KeywordText() = 0;     // tested for emptiness only
    virtual Text ThreadCountText() = 0;
    virtual Text IntervalText() = 0; // milliseconds
    virtual bool SmartWaitOn() = 0;
    virtual Text SmartWaitEveryText() = 0;   // requests between smart waits
    virtual Text SmartWaitMinutesText() = 0; // minutes of a smart wait, shown as typed

    // What the run shows.
    virtual void ShowList(bool multiSite) = 0;
    virtual void Message(std::string_view text) = 0;
    virtual StartCaption Caption() = 0;
    virtual void SetCaption(StartCaption caption) = 0;
    virtual void SetStatus(std::string_view text) = 0;
    virtual void SetStatusRed() = 0;
    // Status line part (the statistics of a single-site run).
    virtual void SetStatusPart(int index, std::string_view text) = 0;

    // The report lists.
    virtual void ImportKeywords() = 0; // rebuilds the rows of the mode's list from the keywords
    // Gives the multi-site list exactly its two first columns and one column per site.
    virtual void SetSiteColumns(const query::SiteList& sites) = 0;
    virtual lists::ResultsTable& ListTable(bool multiSite) = 0;
    // Where the tasks of a mode read their settings and write their cells.
    virtual query::QueryEnvironment& Environment(bool multiSite) = 0;
};

// The waits of a run, in one place that tests can speed up.
class RunWaits {
public:
    virtual ~RunWaits() = default;
    virtual void Delay(long long milliseconds) = 0; // handles events meanwhile
    virtual void ProcessEvents() = 0;
};

} // namespace pellorin::run
