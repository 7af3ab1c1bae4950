#include "platform/adoui/RecordsetModel.h"

#include "platform/ado/Recordset.h"

namespace adoui {

RecordsetModel::RecordsetModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordsetModel::setRecordset(ado::Recordset* recordset)
{
    setRecordset(recordset, m_fields);
}

void RecordsetModel::setRecordset(ado::Recordset* recordset, const QStringList& fields)
{
    for (const auto& link : std::as_const(m_links)) {
        disconnect(link);
    }
    m_links.clear();
    m_rs = recordset;
    if (m_rs) {
        m_links << connect(m_rs, &ado::Recordset::rowsReset, this, &RecordsetModel::reset)
                << connect(m_rs, &ado::Recordset::rowChanged, this, &RecordsetModel::onRowChanged)
                << connect(m_rs, &ado::Recordset::rowInserted, this, &RecordsetModel::onRowInserted)
                << connect(m_rs, &ado::Recordset::rowAboutToBeRemoved, this,
                           &RecordsetModel::onRowAboutToBeRemoved)
                << connect(m_rs, &ado::Recordset::rowRemoved, this, &RecordsetModel::onRowRemoved)
                << connect(m_rs, &QObject::destroyed, this, &RecordsetModel::reset);
    }
    setDataFields(fields);
}

ado::Recordset* RecordsetModel::recordset() const
{
    return m_rs;
}

QStringList RecordsetModel::dataFields() const
{
    return m_fields;
}

void RecordsetModel::setDataFields(const QStringList& fields)
{
    beginResetModel();
    m_fields = fields;
    m_rows = m_rs ? m_rs->viewCount() : 0;
    m_fieldIndex.clear();
    for (const QString& f : m_fields) {
        m_fieldIndex << (m_rs ? m_rs->fieldIndex(f) : -1);
    }
    endResetModel();
}

void RecordsetModel::removeDataField(int column)
{
    if (column < 0 || column >= m_fields.size()) {
        return;
    }
    beginRemoveColumns({}, column, column);
    m_fields.removeAt(column);
    m_fieldIndex.removeAt(column);
    endRemoveColumns();
}

void RecordsetModel::refresh()
{
    reset();
}

void RecordsetModel::reset()
{
    setDataFields(m_fields);
}

void RecordsetModel::onRowChanged(int row)
{
    if (row >= 0 && row < m_rows && !m_fields.isEmpty()) {
        emit dataChanged(index(row, 0), index(row, static_cast<int>(m_fields.size()) - 1));
    }
}

void RecordsetModel::onRowInserted(int row)
{
    beginInsertRows({}, row, row);
    ++m_rows;
    endInsertRows();
}

void RecordsetModel::onRowAboutToBeRemoved(int row)
{
    if (row < 0 || row >= m_rows) {
        return;
    }
    beginRemoveRows({}, row, row);
    m_removing = true;
}

void RecordsetModel::onRowRemoved(int /*row*/)
{
    if (!m_removing) {
        return;
    }
    m_removing = false;
    --m_rows;
    endRemoveRows();
}

int RecordsetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int RecordsetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_fields.size());
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (!m_rs || !index.isValid() || index.row() >= m_rows || index.column() >= m_fields.size()
        || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    return m_rs->viewValue(index.row(), m_fieldIndex[index.column()]);
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < m_fields.size()) {
        return m_fields[section];
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace adoui
