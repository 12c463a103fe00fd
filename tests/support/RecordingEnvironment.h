#pragma once

#include "query/QueryEnvironment.h"

#include <map>
#include <mutex>
#include <utility>

namespace pellorin::test {

// A run's side of the query tasks for tests: settings that tests change at will, and every
// cell write recorded, in order.
class RecordingEnvironment : public query::QueryEnvironment {
public:
    explicit RecordingEnvironment(std::string searchBase, text::Text domain = {}, bool landing = false)
        : m_searchBase(std::move(searchBase))
        , m_domain(std::move(domain))
        , m_landing(landing)
    {
    }

    text::Text SiteDomain() override
    {
        std::lock_guard lock(m_mutex);
        return m_domain;
    }
    bool LandingPagesWanted() override
    {
        std::lock_guard lock(m_mutex);
        return m_landing;
    }
    std::string SearchBase() override { return m_searchBase; }
    void SetCell(int row, int column, const text::Text& text) override
    {
        std::lock_guard lock(m_mutex);
        m_cells[{row, column}] = text;
        ++m_writes;
    }

    void SetDomain(text::Text domain)
    {
        std::lock_guard lock(m_mutex);
        m_domain = std::move(domain);
    }
    void SetLanding(bool landing)
    {
        std::lock_guard lock(m_mutex);
        m_landing = landing;
    }
    // The text of a cell, or "<unset>" when no task wrote it.
    text::Text Cell(int row, int column) const
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_cells.find({row, column});
        return found == m_cells.end() ? "<unset>" : found->second;
    }
    int Writes() const
    {
        std::lock_guard lock(m_mutex);
        return m_writes;
    }

private:
    mutable std::mutex m_mutex;
    const std::string m_searchBase;
    text::Text m_domain;
    bool m_landing;
    std::map<std::pair<int, int>, text::Text> m_cells;
    int m_writes = 0;
};

} // namespace pellorin::test
