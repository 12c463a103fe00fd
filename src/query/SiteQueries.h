#pragma once

#include "text/GbkText.h"

#include <memory>
#include <vector>

namespace pellorin::tasks {
class TaskControl;
}

namespace pellorin::query {

class QueryEnvironment;
using text::Text;

// The sites of a multi-site run, in column order. Each run makes its own and its tasks
// share it, so a newer run's list never changes what an older run's tasks read.
using SiteList = std::vector<Text>;

// Columns of the single-site report list.
inline constexpr int kRankColumn = 2;
inline constexpr int kLandingColumn = 3;
// What the landing column shows when there is no landing page to show.
inline constexpr std::string_view kNoLanding = " ";
// How often a single-site query asks for the page when the ranked result's link cannot be
// cut from it.
inline constexpr int kLandingAttempts = 3;

// The task of one keyword row (rowNumber 1-based) in a single-site run: the rank of the
// environment's domain, and its landing page when wanted.
void SingleSiteQuery(int rowNumber, const Text& keyword, QueryEnvironment& environment, tasks::TaskControl& control);

// The task of one keyword row in a multi-site run: the rank of every site of the list, site
// k in column k + 1.
void MultiSiteQuery(int rowNumber, const Text& keyword, std::shared_ptr<const SiteList> sites,
    QueryEnvironment& environment, tasks::TaskControl& control);

} // namespace pellorin::query
