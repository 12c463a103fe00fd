#include "ui/ResultsModel.h"

#include "ui/QtText.h"

#include <QMetaObject>

namespace pellorin::ui {

ResultsModel::ResultsModel(lists::ResultsTable& table, QObject* parent)
    : QAbstractTableModel(parent)
    , m_table(table)
{
    m_deliveryTimer.setSingleShot(true);
    m_deliveryTimer.setInterval(kDeliveryDelay);
    connect(&m_deliveryTimer, &QTimer::timeout, this, &ResultsModel::DeliverChanges);
    // A new view reads every cell anyway: earlier changes need no report.
    m_table.TakeChangedRows();
    // Runs on a task thread: posting is all it may do with this object. By name: the member-pointer form can
    // leave the task thread freeing Qt's call object after this thread ran it, past any lock.
    m_table.SetChangeListener([this] {
        std::lock_guard lock(m_posting);
        QMetaObject::invokeMethod(this, "OnTableChanged", Qt::QueuedConnection);
    });
}

ResultsModel::~ResultsModel()
{
    // Waits for a listener call under way; the QObject then drops the calls already posted.
    m_table.SetChangeListener({});
}

int ResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.RowCount();
}

int ResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.ColumnCount();
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.model() != this)
        return {};
    return ToQString(m_table.Cell(index.row(), index.column()));
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role != Qt::DisplayRole || section < 0 || section >= m_table.ColumnCount())
        return {};
    return ToQString(m_table.ColumnTitle(section));
}

void ResultsModel::RebuildRows(const std::function<void(lists::ResultsTable&)>& rebuild)
{
    beginResetModel();
    rebuild(m_table);
    m_table.TakeChangedRows();
    endResetModel();
}

void ResultsModel::ResetRows()
{
    beginResetModel();
    m_table.Clear();
    endResetModel();
}

int ResultsModel::AppendRow(std::vector<text::Text> cells)
{
    const int row = m_table.RowCount();
    beginInsertRows({}, row, row);
    m_table.AppendRow(std::move(cells));
    endInsertRows();
    return row;
}

bool ResultsModel::InsertColumn(int position, text::Text title, int width)
{
    if (position < 0 || position > m_table.ColumnCount())
        return false;
    beginInsertColumns({}, position, position);
    m_table.InsertColumn(position, std::move(title), width);
    endInsertColumns();
    return true;
}

bool ResultsModel::RemoveColumn(int position)
{
    if (position < 0 || position >= m_table.ColumnCount())
        return false;
    beginRemoveColumns({}, position, position);
    m_table.RemoveColumn(position);
    endRemoveColumns();
    return true;
}

void ResultsModel::OnTableChanged()
{
    // Shows ThreadSanitizer that the post on the task thread came first: the call's memory is freed on this
    // thread afterwards, and Qt orders the two through futexes it cannot see. Taken once per burst.
    {
        std::lock_guard lock(m_posting);
    }
    if (!m_deliveryTimer.isActive())
        m_deliveryTimer.start();
}

void ResultsModel::DeliverChanges()
{
    const std::vector<lists::RowRange> ranges = m_table.TakeChangedRows();
    const int lastColumn = m_table.ColumnCount() - 1;
    if (lastColumn < 0)
        return;
    if (ranges.size() > kMostRanges) {
        Q_EMIT dataChanged(index(ranges.front().first, 0), index(ranges.back().last, lastColumn), {Qt::DisplayRole});
        return;
    }
    for (const lists::RowRange& range : ranges)
        Q_EMIT dataChanged(index(range.first, 0), index(range.last, lastColumn), {Qt::DisplayRole});
}

} // namespace pellorin::ui
