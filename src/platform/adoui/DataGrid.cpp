#include "platform/adoui/DataGrid.h"

#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"
#include "platform/adoui/KeyPress.h"
#include "platform/adoui/RecordsetModel.h"
#include "platform/vb/Constants.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <utility>

namespace adoui {

// ---- Columns --------------------------------------------------------------------------------

QString GridColumn::DataField() const
{
    return m_grid->m_model->dataFields().value(m_index);
}

float GridColumn::Width() const
{
    return m_grid->m_widths.value(m_index);
}

void GridColumn::setWidth(float twips)
{
    if (m_index < 0 || m_index >= m_grid->m_widths.size()) {
        return;
    }
    m_grid->m_widths[m_index] = twips;
    m_grid->applyWidths();
}

int GridColumns::Count() const
{
    return m_grid->m_model->columnCount();
}

GridColumn GridColumns::Item(int index) const
{
    return GridColumn(m_grid, index);
}

void GridColumns::Remove(int index)
{
    if (index < 0 || index >= Count()) {
        return;
    }
    m_grid->m_model->removeDataField(index);
    m_grid->m_widths.removeAt(index);
    m_grid->applyWidths();
}

// ---- The grid -------------------------------------------------------------------------------

DataGrid::DataGrid(QWidget* parent) : QTableView(parent), m_model(new RecordsetModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the next control instead of walking its cells.
    setTabKeyNavigation(false);
    setWordWrap(false);
    // Every row has the same height, so a model of any size is never measured row by row.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->viewport()->installEventFilter(this);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { emit HeadClick(column); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &DataGrid::onSectionResized);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DataGrid::onCurrentRowChanged);
}

DataGrid::~DataGrid() = default;

void DataGrid::setDataSource(DataControl* control)
{
    for (const auto& link : std::as_const(m_links)) {
        disconnect(link);
    }
    m_links.clear();
    m_control = control;
    m_rs = nullptr;
    if (control) {
        connect(control, &DataControl::recordsetChanged, this, &DataGrid::attachRecordset,
                Qt::UniqueConnection);
    }
    attachRecordset(control ? control->Recordset() : nullptr);
}

DataControl* DataGrid::DataSource() const
{
    return m_control;
}

void DataGrid::attachRecordset(ado::Recordset* rs)
{
    if (sender() && sender() != m_control) {
        return; // a data control this grid was bound to before
    }
    if (rs == m_rs && rs) {
        return;
    }
    for (const auto& link : std::as_const(m_links)) {
        disconnect(link);
    }
    m_links.clear();
    m_rs = rs;
    if (rs) {
        // Structural changes move Qt's own current index; those moves must not reach the
        // recordset, so the guard is raised before the model hears of them and lowered after.
        const auto raise = [this] { m_syncing = true; };
        const auto lower = [this] {
            m_syncing = false;
            syncFromRecordset();
        };
        m_links << connect(rs, &ado::Recordset::rowsReset, this, raise)
                << connect(rs, &ado::Recordset::rowInserted, this, raise)
                << connect(rs, &ado::Recordset::rowAboutToBeRemoved, this, raise);
        // A grid without columns takes the recordset's fields in the same model reset: each
        // reset makes the view lay out every row again.
        const bool build = m_model->columnCount() == 0 && rs->State() == ado::adStateOpen;
        const bool wasSyncing = std::exchange(m_syncing, true);
        m_model->setRecordset(rs, build ? rs->fieldNames() : m_model->dataFields());
        m_syncing = wasSyncing;
        if (build) {
            resetWidths();
        }
        m_links << connect(rs, &ado::Recordset::rowsReset, this, [this, lower] {
            buildColumnsIfNeeded();
            lower();
        }) << connect(rs, &ado::Recordset::rowInserted, this, lower)
                << connect(rs, &ado::Recordset::rowRemoved, this, lower)
                << connect(rs, &ado::Recordset::currentChanged, this, &DataGrid::syncFromRecordset);
    } else {
        m_model->setRecordset(nullptr);
    }
    buildColumnsIfNeeded();
    syncFromRecordset();
}

GridColumns DataGrid::Columns()
{
    return GridColumns(this);
}

void DataGrid::ClearFields()
{
    m_model->setDataFields({});
    m_widths.clear();
    buildColumnsIfNeeded();
}

void DataGrid::HoldFields() {}

void DataGrid::Refresh()
{
    // The model follows the recordset's own signals; it is rebuilt only if it fell out of step.
    if (m_model->rowCount() != (m_rs ? m_rs->viewCount() : 0)) {
        m_syncing = true;
        m_model->refresh();
        m_syncing = false;
    }
    buildColumnsIfNeeded();
    applyWidths();
    syncFromRecordset();
}

float DataGrid::widthTwips() const
{
    return static_cast<float>(width() * vb::kTwipsPerPixel);
}

RecordsetModel* DataGrid::recordsetModel() const
{
    return m_model;
}

void DataGrid::buildColumnsIfNeeded()
{
    if (m_model->columnCount() > 0 || !m_rs || m_rs->State() != 1) {
        return;
    }
    m_syncing = true;
    m_model->setDataFields(m_rs->fieldNames());
    m_syncing = false;
    resetWidths();
}

void DataGrid::resetWidths()
{
    m_widths.clear();
    const float width = static_cast<float>(horizontalHeader()->defaultSectionSize()
                                           * vb::kTwipsPerPixel);
    for (int i = 0; i < m_model->columnCount(); ++i) {
        m_widths << width;
    }
    applyWidths();
}

void DataGrid::applyWidths()
{
    m_applyingWidths = true;
    for (int i = 0; i < m_widths.size() && i < m_model->columnCount(); ++i) {
        horizontalHeader()->resizeSection(i, qRound(m_widths[i] / vb::kTwipsPerPixel));
    }
    m_applyingWidths = false;
}

void DataGrid::syncFromRecordset()
{
    if (m_syncing) {
        return;
    }
    m_syncing = true;
    const int row = m_rs && m_rs->State() == 1 ? m_rs->currentIndex() : -1;
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clearCurrentIndex();
        selectionModel()->clearSelection();
    } else {
        const int column = std::max(currentIndex().column(), 0);
        const QModelIndex target
            = m_model->index(row, std::min(column, m_model->columnCount() - 1));
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect
                                                      | QItemSelectionModel::Rows);
        scrollTo(target);
    }
    m_syncing = false;
}

void DataGrid::onCurrentRowChanged(const QModelIndex& current, const QModelIndex& /*previous*/)
{
    if (m_syncing || !m_rs || m_rs->State() != 1 || !current.isValid()) {
        return;
    }
    if (m_rs->currentIndex() == current.row()) {
        return;
    }
    try {
        m_rs->setAbsolutePosition(current.row() + 1);
    } catch (const vb::Error& e) {
        syncFromRecordset();
        emit navigationError(e);
    }
}

void DataGrid::onSectionResized(int logical, int /*oldSize*/, int newSize)
{
    if (m_applyingWidths || logical < 0 || logical >= m_widths.size()) {
        return;
    }
    m_widths[logical] = static_cast<float>(newSize * vb::kTwipsPerPixel);
    m_resizedColumn = logical;
}

bool DataGrid::eventFilter(QObject* watched, QEvent* event)
{
    // ColResize is reported once, when the user lets go of the column border.
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease
        && m_resizedColumn >= 0) {
        const int column = m_resizedColumn;
        m_resizedColumn = -1;
        int cancel = 0;
        emit ColResize(column, cancel);
    }
    return QTableView::eventFilter(watched, event);
}

void DataGrid::keyPressEvent(QKeyEvent* event)
{
    int code = keyAscii(event);
    if (code >= 0) {
        emit KeyPress(code);
        if (code == 0) {
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

} // namespace adoui
