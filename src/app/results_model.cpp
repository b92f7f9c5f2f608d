#include "app/results_model.h"

namespace tarvelin {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ResultsModel::ResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultsModel::AppendColumn(const QString& caption, TargetId id) {
    const int column = m_log.ColumnCount();
    beginInsertColumns(QModelIndex(), column, column);
    m_log.AppendColumn(caption.toStdString(), id);
    endInsertColumns();
}

void ResultsModel::DeleteColumn(int column) {
    if (column < 1 || column >= m_log.ColumnCount()) return;
    beginRemoveColumns(QModelIndex(), column, column);
    m_log.DeleteColumn(column);
    endRemoveColumns();
}

RowSerial ResultsModel::InsertTopRow(const DateTime& when) {
    beginInsertRows(QModelIndex(), 0, 0);
    const RowSerial serial = m_log.InsertTopRow(when);
    endInsertRows();
    return serial;
}

void ResultsModel::SetResult(RowSerial rowSerial, TargetId id, int ms) {
    const std::optional<CellPlace> place = m_log.SetResult(rowSerial, id, ms);
    if (!place) return;
    const QModelIndex cell = index(place->row, place->column);
    emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::EditRole});
}

bool ResultsModel::SetCellText(int row, int column, const QString& text) {
    if (!m_log.SetCellText(row, column, text.toStdString())) return false;
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

void ResultsModel::Clear() {
    beginResetModel();
    m_log.Clear();
    endResetModel();
}

QString ResultsModel::CellText(int row, int column) const {
    return FromUtf8(m_log.CellText(row, column));
}

TargetId ResultsModel::ColumnTarget(int column) const {
    return m_log.ColumnTarget(column);
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_log.RowCount();
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_log.ColumnCount();
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return CellText(index.row(), index.column());
        case Qt::TextAlignmentRole:
            // The time column is left-aligned; target columns keep the view's default.
            if (index.column() == 0) return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
            return {};
        default:
            return {};
    }
}

bool ResultsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != 0) return false;
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return false;
    return SetCellText(index.row(), 0, value.toString());
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        if (section < 0 || section >= m_log.ColumnCount()) return {};
        return FromUtf8(m_log.ColumnCaption(section));
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    // Only the time column can be edited in place; whether editing starts is the view's choice.
    if (index.isValid() && index.column() == 0) result |= Qt::ItemIsEditable;
    return result;
}

}  // namespace tarvelin
