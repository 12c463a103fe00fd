#pragma once

#include "text/GbkText.h"

#include <string>

namespace pellorin::query {

using text::Text;

// What a query task reads from and writes to its run. The window provides it from
// thread-safe mirrors of its controls, the command line from its options. Every member is
// called from task threads, several at once.
class QueryEnvironment {
public:
    virtual ~QueryEnvironment() = default;

    // The single-site domain, as it stands when the task asks.
    virtual Text SiteDomain() = 0;
    // Whether landing pages are wanted, as it stands when the task asks.
    virtual bool LandingPagesWanted() = 0;
    // The search base address, for example "https://www.baidu.com".
    virtual std::string SearchBase() = 0;
    // Sets one cell of the run's report list (row and column 0-based). Must not wait for
    // the window's thread.
    virtual void SetCell(int row, int column, const Text& text) = 0;
};

} // namespace pellorin::query
