// Temporary bodies so the interface builds; replaced by the implementation.
#include "platform/adoui/DataControl.h"
#include "platform/adoui/DataGrid.h"
#include "platform/adoui/FieldBinding.h"
#include "platform/adoui/RecordsetModel.h"

#include "platform/ado/Recordset.h"

#include <QLineEdit>

namespace adoui {
DataControl::DataControl(QWidget* parent) : QWidget(parent) {}
DataControl::~DataControl() = default;
QString DataControl::ConnectionString() const { return m_connectionString; }
void DataControl::setConnectionString(const QString& t) { m_connectionString = t; }
QString DataControl::RecordSource() const { return m_recordSource; }
void DataControl::setRecordSource(const QString& s) { m_recordSource = s; }
void DataControl::Refresh() {}
ado::Recordset* DataControl::Recordset() const { return m_recordset; }
QString DataControl::Caption() const { return {}; }
void DataControl::setCaption(const QString&) {}
void DataControl::navigate(int) {}

RecordsetModel::RecordsetModel(QObject* parent) : QAbstractTableModel(parent) {}
void RecordsetModel::setRecordset(ado::Recordset*) {}
ado::Recordset* RecordsetModel::recordset() const { return m_rs; }
QStringList RecordsetModel::dataFields() const { return m_fields; }
void RecordsetModel::setDataFields(const QStringList&) {}
void RecordsetModel::removeDataField(int) {}
int RecordsetModel::rowCount(const QModelIndex&) const { return 0; }
int RecordsetModel::columnCount(const QModelIndex&) const { return 0; }
QVariant RecordsetModel::data(const QModelIndex&, int) const { return {}; }
QVariant RecordsetModel::headerData(int, Qt::Orientation, int) const { return {}; }
Qt::ItemFlags RecordsetModel::flags(const QModelIndex&) const { return {}; }

QString GridColumn::DataField() const { return {}; }
float GridColumn::Width() const { return 0; }
void GridColumn::setWidth(float) {}
int GridColumns::Count() const { return 0; }
GridColumn GridColumns::Item(int i) const { return GridColumn(m_grid, i); }
void GridColumns::Remove(int) {}
DataGrid::DataGrid(QWidget* parent) : QTableView(parent), m_model(new RecordsetModel(this)) {}
DataGrid::~DataGrid() = default;
void DataGrid::setDataSource(DataControl*) {}
DataControl* DataGrid::DataSource() const { return m_control; }
GridColumns DataGrid::Columns() { return GridColumns(this); }
void DataGrid::ClearFields() {}
void DataGrid::HoldFields() {}
void DataGrid::Refresh() {}
float DataGrid::widthTwips() const { return 0; }
RecordsetModel* DataGrid::recordsetModel() const { return m_model; }
void DataGrid::keyPressEvent(QKeyEvent* e) { QTableView::keyPressEvent(e); }
void DataGrid::resizeEvent(QResizeEvent* e) { QTableView::resizeEvent(e); }

FieldBinding::FieldBinding(QLineEdit* box) : QObject(box) {}
FieldBinding::FieldBinding(QTextEdit* box) : QObject(reinterpret_cast<QObject*>(box)) {}
FieldBinding::FieldBinding(QPlainTextEdit* box) : QObject(reinterpret_cast<QObject*>(box)) {}
void FieldBinding::setDataSource(DataControl*) {}
DataControl* FieldBinding::DataSource() const { return m_control; }
QString FieldBinding::DataField() const { return m_field; }
void FieldBinding::setDataField(const QString& f) { m_field = f; }
bool FieldBinding::DataChanged() const { return m_dataChanged; }
void FieldBinding::setDataChanged(bool c) { m_dataChanged = c; }
QWidget* FieldBinding::box() const { return m_box; }
void FieldBinding::refresh() {}
} // namespace adoui
