// The results grid's Qt model over a compact ResultsLog: column 0 "时间" holds each row's time-stamp label
// (or the user's edited text), column k belongs to target k, row 0 is the newest sample.
// UI thread only; worker results reach it through SamplingController as values.
#pragma once

#include <QAbstractTableModel>
#include <QString>

#include "monitor/results_log.h"
#include "monitor/targets.h"
#include "timefmt/date_time.h"

namespace tarvelin {

class ResultsModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit ResultsModel(QObject* parent = nullptr);

    // A new last column for target id; empty in existing rows.
    void AppendColumn(const QString& caption, TargetId id);
    // Removes a target column with its cells; nothing for 0 or out of range.
    void DeleteColumn(int column);
    // A new row 0 labelled with when; returns its serial.
    RowSerial InsertTopRow(const DateTime& when);
    // ms >= 0, or -1 for no answer; dropped when that row or that target's column no longer exists.
    void SetResult(RowSerial rowSerial, TargetId id, int ms);
    // Sets what a cell shows (column 0: replaces the label); false when the cell does not exist.
    bool SetCellText(int row, int column, const QString& text);
    // Back to the time column alone with no rows, as a freshly created grid.
    void Clear();

    QString CellText(int row, int column) const;  // what the grid shows; "" outside it
    TargetId ColumnTarget(int column) const;      // 0 for column 0 / out of range
    const ResultsLog& Log() const { return m_log; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    ResultsLog m_log;
};

}  // namespace tarvelin
