#pragma once

#include "lists/ResultsTable.h"

#include <QAbstractTableModel>
#include <QTimer>

#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

namespace pellorin::ui {

// The view's side of one ResultsTable, on the window thread.
//
// Cell writes from task threads reach the view in batches: the table's first change after a
// take posts one call to this thread, which starts a short timer; when it fires, the changed
// rows are taken and reported with one dataChanged per contiguous range. So a burst of
// thousands of writes costs the window thread a few signals, and its events stay responsive.
//
// Once a table has a model, its rows and columns change only through the model's methods
// (window thread), so that the views hear of them. The table must outlive the model.
class ResultsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // How long changes gather before the view hears of them.
    static constexpr std::chrono::milliseconds kDeliveryDelay{15};
    // Past this many separate ranges one report covers them all: scattered writes must not
    // turn into thousands of signals.
    static constexpr std::size_t kMostRanges = 64;

    explicit ResultsModel(lists::ResultsTable& table, QObject* parent = nullptr);
    ~ResultsModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The table's structure changes, with the signals views need.
    void ResetRows();
    // Rebuilds the rows at once (the keyword import): rebuild gets the table, views reset.
    void RebuildRows(const std::function<void(lists::ResultsTable&)>& rebuild);
    int AppendRow(std::vector<text::Text> cells);
    bool InsertColumn(int position, text::Text title, int width);
    bool RemoveColumn(int position);

    lists::ResultsTable& Table() { return m_table; }

private:
    Q_INVOKABLE void OnTableChanged();
    void DeliverChanges();

    lists::ResultsTable& m_table;
    QTimer m_deliveryTimer;
    std::mutex m_posting; // see OnTableChanged()
};

} // namespace pellorin::ui
