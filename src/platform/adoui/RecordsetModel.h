// A table model that mirrors a recordset's present view (its order and filter).
#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>

namespace ado {
class Recordset;
}

namespace adoui {

/// Read-only model whose rows are the recordset's view rows and whose columns are the given data
/// fields. It follows the recordset's signals (reset, row changed/inserted/removed); it keeps its
/// own row count so the begin/end notifications always see consistent sizes.
class RecordsetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit RecordsetModel(QObject* parent = nullptr);

    /// Binds to a recordset (nullptr: no rows).
    void setRecordset(ado::Recordset* recordset);
    /// Binds to a recordset and takes new columns in the same reset.
    void setRecordset(ado::Recordset* recordset, const QStringList& fields);
    ado::Recordset* recordset() const;
    /// Reads the recordset's present view again (a model reset).
    void refresh();

    /// The columns' data fields (display order).
    QStringList dataFields() const;
    void setDataFields(const QStringList& fields);
    void removeDataField(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void reset();
    void onRowChanged(int row);
    void onRowInserted(int row);
    void onRowAboutToBeRemoved(int row);
    void onRowRemoved(int row);

    QPointer<ado::Recordset> m_rs;
    QStringList m_fields;
    QList<int> m_fieldIndex; // recordset ordinal per column, -1 when unknown
    int m_rows = 0;
    bool m_removing = false;
    QList<QMetaObject::Connection> m_links;
};

} // namespace adoui
