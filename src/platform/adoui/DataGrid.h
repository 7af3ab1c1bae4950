// The grid of accounts (DataGrid1): a table view bound to a data control.
#pragma once

#include "platform/vb/Error.h"

#include <QPointer>
#include <QTableView>

namespace ado {
class Recordset;
}

namespace adoui {

class DataControl;
class DataGrid;
class RecordsetModel;

/// A handle on one grid column: its data field and its width in twips.
class GridColumn
{
public:
    QString DataField() const;
    /// Width in twips (15 twips per pixel); reading gives back the value last set.
    float Width() const;
    void setWidth(float twips);

private:
    friend class DataGrid;
    friend class GridColumns;
    GridColumn(DataGrid* grid, int index) : m_grid(grid), m_index(index) {}
    DataGrid* m_grid;
    int m_index;
};

/// The grid's Columns collection.
class GridColumns
{
public:
    int Count() const;
    GridColumn Item(int index) const;
    GridColumn operator[](int index) const { return Item(index); }
    /// Removes the column at `index` from the grid (not from the recordset).
    void Remove(int index);

private:
    friend class DataGrid;
    explicit GridColumns(DataGrid* grid) : m_grid(grid) {}
    DataGrid* m_grid;
};

/// The grid keeps its current row in step with the recordset's, both ways: a click moves the
/// recordset (AbsolutePosition) and a recordset move selects the row. Its columns are built from
/// the recordset's fields when it has none (first bind, after ClearFields) and are otherwise kept
/// across refreshes of the data control, widths included.
class DataGrid : public QTableView
{
    Q_OBJECT

public:
    explicit DataGrid(QWidget* parent = nullptr);
    ~DataGrid() override;

    /// Binds to a data control (nullptr unbinds; the grid then shows no rows).
    void setDataSource(DataControl* control);
    DataControl* DataSource() const;

    GridColumns Columns();
    /// Drops the column layout; the next bind or refresh builds columns from the fields.
    void ClearFields();
    /// Keeps the present column layout across refreshes (the grid always does; kept for callers).
    void HoldFields();
    /// Brings rows and current row up to date with the recordset.
    void Refresh();
    /// The grid's own width in twips.
    float widthTwips() const;

    RecordsetModel* recordsetModel() const;

signals:
    /// A click on the header of column colIndex.
    void HeadClick(int colIndex);
    /// The user finished dragging the border of column colIndex (cancel is not used).
    void ColResize(int colIndex, int& cancel);
    /// A character key; the handler may set keyAscii to 0 to swallow it.
    void KeyPress(int& keyAscii);
    /// Moving the recordset from a click failed (e.g. saving the row left); the grid went back
    /// to the recordset's current row.
    void navigationError(const vb::Error& error);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class GridColumn;
    friend class GridColumns;

    void attachRecordset(ado::Recordset* rs);
    void buildColumnsIfNeeded();
    /// Every column at the default width.
    void resetWidths();
    void applyWidths();
    void syncFromRecordset();
    void onCurrentRowChanged(const QModelIndex& current, const QModelIndex& previous);
    void onSectionResized(int logical, int oldSize, int newSize);

    QPointer<DataControl> m_control;
    QPointer<ado::Recordset> m_rs;
    RecordsetModel* m_model;
    QList<float> m_widths; // twips per column
    QList<QMetaObject::Connection> m_links;
    bool m_syncing = false;
    bool m_applyingWidths = false;
    int m_resizedColumn = -1;
};

} // namespace adoui
