#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin::fake {

class FakeEngine;

// One result block. The texts go into the page as they are, so they may carry markup such as <em>.
struct ResultEntry {
    std::string displayUrl{}; // shown under the title, e.g. "www.example.com/page": where a site's domain appears
    std::string href{};       // the result link, e.g. BaseUrl() + "/link?url=abc"
    std::string title = "...";
    std::string srcid = "1599";
};

// A UTF-8 result page in the shape of the engine's classic pages: the page head, <div id="content_left">, block k
// (1-based) as <div class="result c-container " id="k" srcid=... tpl="se_com_default">, then the result count in
// <span class="nums" ...> behind the last block. The abstracts never hold the query or any domain, so a site is
// mentioned only where an entry puts it.
std::string BuildResultPage(const std::vector<ResultEntry>& results, std::string_view query);

// count entries that take the domains in turn (entry k shows domains[k % size]; domains are given without "www."),
// each linking to BaseUrl() + "/link?url=ID", with ID registered on the engine to land on
// http://www.DOMAIN/landing/ID. The IDs depend on seed, domain and position only.
std::vector<ResultEntry> MakeLinkedEntries(
    FakeEngine& engine, const std::vector<std::string>& domains, std::size_t count, std::string_view seed = {});

// The domains of generated demo pages.
const std::vector<std::string>& DemoDomains();

// The demo page of a keyword: 100 results over DemoDomains(), picked from a hash of the raw (percent-encoded) wd
// value, so the same keyword always ranks the same domains. Registers its links on the engine.
std::string BuildDemoPage(FakeEngine& engine, std::string_view rawWd);

// The text of a percent-encoded query value for display: %XX decoded when that gives valid UTF-8, else as given.
std::string DisplayQuery(std::string_view rawWd);

} // namespace pellorin::fake
