#pragma once

#include "text/GbkText.h"

#include <climits>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace pellorin::lists {

using text::Text;

// Rows first..last, both included.
struct RowRange {
    int first = 0;
    int last = 0;

    friend bool operator==(const RowRange&, const RowRange&) = default;
};

// The cells of one report list, as GBK texts (rows and columns 0-based).
//
// Query tasks write cells from their own threads at any time; rows and columns change on the
// window thread only, between runs. Writes and reads to cells outside the table are ignored
// (reads give ""), so that a late write after Clear() does no harm.
//
// The table remembers which rows changed until TakeChangedRows(), and tells the listener only
// on the first change after a take: a burst of writes costs one notification.
class ResultsTable {
public:
    // Structure: window thread only.
    void Clear(); // every row; the columns stay
    // The cells of the new row, cut or padded with "" to the column count. Returns its index.
    int AppendRow(std::vector<Text> cells);
    // Makes room for this many rows in all, so that a large import allocates once.
    void ReserveRows(int rows);
    // position from 0 to ColumnCount(); false, without a change, outside that.
    bool InsertColumn(int position, Text title, int width);
    bool RemoveColumn(int position);

    // Cells: any thread, any time. A write that does not change the cell is no change.
    void SetCell(int row, int column, Text text);
    Text Cell(int row, int column) const;

    int RowCount() const;
    int ColumnCount() const;
    Text ColumnTitle(int column) const; // "" outside the table
    int ColumnWidth(int column) const;  // 0 outside the table

    // The rows changed since the last take, as sorted, separate ranges; forgets them.
    std::vector<RowRange> TakeChangedRows();

    // Called, on the writing thread and outside the table's lock, by the first change after a
    // take (or after this call). Once this returns, the old listener is not running and is not
    // called again. The listener must not call SetCell() or SetChangeListener().
    void SetChangeListener(std::function<void()> listener);

private:
    struct Column {
        Text title;
        int width = 0;
    };

    bool IsCell(int row, int column) const
    {
        return row >= 0 && row < m_rowCount && column >= 0 && column < ColumnCountLocked();
    }
    int ColumnCountLocked() const { return static_cast<int>(m_columns.size()); }
    // Moves the cells into a layout of newColumns columns, old column c landing in column map(c) (-1: dropped).
    template<class Map>
    void Relayout(int newColumns, Map map);

    mutable std::mutex m_mutex;
    std::vector<Column> m_columns;
    int m_rowCount = 0;
    std::vector<Text> m_cells;            // row after row, ColumnCount() cells each
    std::vector<std::uint64_t> m_changed; // one bit per row
    int m_firstChanged = INT_MAX;         // bounds of the set bits, so that a take scans only those words
    int m_lastChanged = -1;
    bool m_notified = false; // the listener has been called since the last take

    // Held while the listener runs (never together with m_mutex), so that replacing it waits for a call under way.
    std::mutex m_listenerMutex;
    std::function<void()> m_listener;
};

} // namespace pellorin::lists
