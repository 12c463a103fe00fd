#include "lists/ResultsTable.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace pellorin::lists {

void ResultsTable::Clear()
{
    std::lock_guard lock(m_mutex);
    m_rowCount = 0;
    // A list of tens of thousands of rows gives its memory back between runs.
    std::vector<Text>().swap(m_cells);
    std::vector<std::uint64_t>().swap(m_changed);
    m_firstChanged = INT_MAX;
    m_lastChanged = -1;
}

int ResultsTable::AppendRow(std::vector<Text> cells)
{
    std::lock_guard lock(m_mutex);
    cells.resize(m_columns.size());
    for (Text& cell : cells)
        m_cells.push_back(std::move(cell));
    const int row = m_rowCount++;
    m_changed.resize((static_cast<std::size_t>(m_rowCount) + 63) / 64);
    return row;
}

void ResultsTable::ReserveRows(int rows)
{
    std::lock_guard lock(m_mutex);
    m_cells.reserve(static_cast<std::size_t>(std::max(rows, 0)) * m_columns.size());
}

template<class Map>
void ResultsTable::Relayout(int newColumns, Map map)
{
    const int oldColumns = ColumnCountLocked();
    std::vector<Text> cells(static_cast<std::size_t>(m_rowCount) * newColumns);
    for (std::size_t row = 0; row < static_cast<std::size_t>(m_rowCount); ++row) {
        for (int column = 0; column < oldColumns; ++column) {
            const int target = map(column);
            if (target >= 0)
                cells[row * newColumns + target] = std::move(m_cells[row * oldColumns + column]);
        }
    }
    m_cells = std::move(cells);
}

bool ResultsTable::InsertColumn(int position, Text title, int width)
{
    std::lock_guard lock(m_mutex);
    if (position < 0 || position > ColumnCountLocked())
        return false;
    Relayout(ColumnCountLocked() + 1, [position](int column) { return column < position ? column : column + 1; });
    m_columns.insert(m_columns.begin() + position, Column{std::move(title), width});
    return true;
}

bool ResultsTable::RemoveColumn(int position)
{
    std::lock_guard lock(m_mutex);
    if (position < 0 || position >= ColumnCountLocked())
        return false;
    Relayout(ColumnCountLocked() - 1, [position](int column) {
        return column < position ? column : column == position ? -1 : column - 1;
    });
    m_columns.erase(m_columns.begin() + position);
    return true;
}

void ResultsTable::SetCell(int row, int column, Text text)
{
    bool notify = false;
    {
        std::lock_guard lock(m_mutex);
        if (!IsCell(row, column))
            return;
        Text& cell = m_cells[static_cast<std::size_t>(row) * m_columns.size() + column];
        if (cell == text)
            return;
        cell = std::move(text);
        m_changed[row / 64] |= std::uint64_t{1} << (row % 64);
        m_firstChanged = std::min(m_firstChanged, row);
        m_lastChanged = std::max(m_lastChanged, row);
        notify = !std::exchange(m_notified, true);
    }
    if (notify) {
        std::lock_guard lock(m_listenerMutex);
        if (m_listener)
            m_listener();
    }
}

Text ResultsTable::Cell(int row, int column) const
{
    std::lock_guard lock(m_mutex);
    return IsCell(row, column) ? m_cells[static_cast<std::size_t>(row) * m_columns.size() + column] : Text();
}

int ResultsTable::RowCount() const
{
    std::lock_guard lock(m_mutex);
    return m_rowCount;
}

int ResultsTable::ColumnCount() const
{
    std::lock_guard lock(m_mutex);
    return ColumnCountLocked();
}

Text ResultsTable::ColumnTitle(int column) const
{
    std::lock_guard lock(m_mutex);
    return column >= 0 && column < ColumnCountLocked() ? m_columns[column].title : Text();
}

int ResultsTable::ColumnWidth(int column) const
{
    std::lock_guard lock(m_mutex);
    return column >= 0 && column < ColumnCountLocked() ? m_columns[column].width : 0;
}

std::vector<RowRange> ResultsTable::TakeChangedRows()
{
    std::vector<RowRange> ranges;
    std::lock_guard lock(m_mutex);
    m_notified = false;
    if (m_lastChanged < 0)
        return ranges;
    for (int word = m_firstChanged / 64; word <= m_lastChanged / 64; ++word) {
        std::uint64_t bits = std::exchange(m_changed[word], 0);
        while (bits != 0) {
            const int zeros = std::countr_zero(bits);
            const int ones = std::countr_one(bits >> zeros);
            const int first = word * 64 + zeros;
            if (!ranges.empty() && ranges.back().last + 1 == first)
                ranges.back().last = first + ones - 1; // a run that goes on in the next word
            else
                ranges.push_back({first, first + ones - 1});
            bits = zeros + ones >= 64 ? 0 : bits & (~std::uint64_t{0} << (zeros + ones));
        }
    }
    m_firstChanged = INT_MAX;
    m_lastChanged = -1;
    return ranges;
}

void ResultsTable::SetChangeListener(std::function<void()> listener)
{
    {
        std::lock_guard lock(m_listenerMutex);
        m_listener = std::move(listener);
    }
    std::lock_guard lock(m_mutex);
    m_notified = false;
}

} // namespace pellorin::lists
