// The account grid: filters, sorting, column widths and the quick search.
#include "mainwindow/frmMain.h"

#include "errortrace/Proc.h"
#include "platform/ado/AdoErrors.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"
#include "platform/adoui/DataGrid.h"
#include "platform/adoui/KeyPress.h"
#include "platform/host/Host.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Convert.h"
#include "startup/Globals.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kGeneralError = QStringLiteral("GENERAL ERROR!");

// Digits and the letters A to Z in either case: what a filter box takes and what the grid
// searches for.
bool isSearchCharacter(int code)
{
    return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')
        || (code >= 'a' && code <= 'z');
}

} // namespace

void frmMain::connectGrid()
{
    connect(cmdFilter, &QPushButton::clicked, this, [this] { cmdFilter_Click(); });
    connect(cmdFilter2, &QPushButton::clicked, this, [this] { cmdFilter2_Click(); });
    connect(cmdClearFilter, &QPushButton::clicked, this, [this] { cmdClearFilter_Click(); });
    adoui::onKeyPress(txtFilter, [this](int& key) { txtFilter_KeyPress(key); });
    adoui::onKeyPress(txtFilter2, [this](int& key) { txtFilter2_KeyPress(key); });
    connect(DataGrid1, &adoui::DataGrid::HeadClick, this, &frmMain::DataGrid1_HeadClick);
    connect(DataGrid1, &adoui::DataGrid::ColResize, this, &frmMain::DataGrid1_ColResize);
    connect(DataGrid1, &adoui::DataGrid::KeyPress, this, &frmMain::DataGrid1_KeyPress);
    connect(DataGrid1, &adoui::DataGrid::navigationError, this, &frmMain::Adodc1_Error);
    connect(Adodc1, &adoui::DataControl::navigationError, this, &frmMain::Adodc1_Error);
}

void frmMain::applyFilter(const QString& text, const QString& criteria, const QString& errorPrefix)
{
    cw::LocalTrap trap(errorPrefix, kGeneralError, { ado::errObjectClosed });
    ado::Recordset* rs = Adodc1->Recordset();
    if (rs == nullptr) {
        return;
    }
    if (trap.test([&] { return dataFileOpen(); })) {
        if (trap.test([&] { return text.isEmpty(); })) {
            // No text: every row comes back, in the data source's order.
            showAllRows(trap, *rs, false);
        } else {
            // The text goes in as typed; one the criteria cannot take is reported below.
            const QString field
                = optField[0]->isChecked() ? QStringLiteral("Account") : QStringLiteral("URL");
            trap([&] { rs->setFilter(criteria.arg(field, text)); });
        }
    }
    trap([&] {
        setPanelText(1, QString::number(rs->RecordCount()) + QStringLiteral(" Accounts found."));
    });
}

void frmMain::showAllRows(cw::LocalTrap& trap, ado::Recordset& rs, bool keepSort)
{
    // Dropping the filter first saves a pending edit. One that could not be saved keeps the
    // view as it is: the rebuild would lose the edit, which stays pending in the boxes.
    bool saved = false;
    trap([&] {
        rs.setFilter(QString());
        saved = true;
    });
    if (!saved) {
        return;
    }
    QString sort;
    if (keepSort) {
        trap([&] { sort = rs.Sort(); });
    }
    trap([&] { Adodc1->Refresh(); });
    if (keepSort) {
        trap([&] { rs.setSort(sort); });
    }
    trap([&] { DataGrid1->Refresh(); });
}

void frmMain::cmdFilter_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdFilter_Click"));
    applyFilter(vb::trim(txtFilter->text()), QStringLiteral("%1 LIKE '%2*'"),
        QStringLiteral("General Error 2:"));
}

void frmMain::cmdFilter2_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdFilter2_Click"));
    applyFilter(vb::trim(txtFilter2->text()), QStringLiteral("%1 LIKE '*%2*'"),
        QStringLiteral("General Error 3:"));
}

void frmMain::cmdClearFilter_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdClearFilter_Click"));
    cw::LocalTrap trap(QStringLiteral("General Error 1:"), kGeneralError, { ado::errObjectClosed });
    trap([&] { txtFilter->setText(QString()); });
    trap([&] { txtFilter2->setText(QString()); });
    ado::Recordset* rs = Adodc1->Recordset();
    if (rs == nullptr) {
        return;
    }
    if (trap.test([&] { return dataFileOpen(); })) {
        // Unlike an empty filter text, Clear keeps the order the user chose.
        showAllRows(trap, *rs, true);
    }
    trap([&] {
        setPanelText(1, QString::number(rs->RecordCount()) + QStringLiteral(" Accounts Total."));
    });
}

void frmMain::filterKey(int& KeyAscii, void (frmMain::*filter)())
{
    if (KeyAscii == vb::vbKeyReturn) {
        (this->*filter)();
        KeyAscii = 0;
    } else if (KeyAscii >= 32 && !isSearchCharacter(KeyAscii)) {
        KeyAscii = 0;
    }
}

void frmMain::txtFilter_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtFilter_KeyPress"));
    proc.run([&] { filterKey(KeyAscii, &frmMain::cmdFilter_Click); });
}

void frmMain::txtFilter2_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtFilter2_KeyPress"));
    proc.run([&] { filterKey(KeyAscii, &frmMain::cmdFilter2_Click); });
}

void frmMain::DataGrid1_ColResize(int ColIndex, int& Cancel)
{
    Q_UNUSED(Cancel);
    cw::Proc proc(kModule, QStringLiteral("Sub DataGrid1_ColResize"));
    proc.run([&] {
        const double gridWidth = DataGrid1->widthTwips();
        adoui::GridColumn column = DataGrid1->Columns().Item(ColIndex);
        adoui::GridColumn other = DataGrid1->Columns().Item(ColIndex == 0 ? 1 : 0);
        if (column.Width() > gridWidth * 0.7) {
            column.setWidth(static_cast<float>(gridWidth * 0.7));
        }
        if (column.Width() < gridWidth * 0.2) {
            column.setWidth(static_cast<float>(gridWidth * 0.2));
        }
        // The other column takes the rest; the grid shows both new widths at once.
        other.setWidth(static_cast<float>(gridWidth - 300.1 - column.Width()));
        if (column.DataField() == u"Account") {
            gColAccount = column.Width();
            gColURL = other.Width();
        } else {
            gColAccount = other.Width();
            gColURL = column.Width();
        }
    });
}

void frmMain::DataGrid1_HeadClick(int ColIndex)
{
    cw::Proc proc(kModule, QStringLiteral("Sub DataGrid1_HeadClick"));
    proc.run([&] {
        ado::Recordset* rs = Adodc1->Recordset();
        if (dataFileOpen()) {
            const QString field = DataGrid1->Columns().Item(ColIndex).DataField();
            if (rs->Sort() == field + QStringLiteral(" ASC")) {
                rs->setSort(field + QStringLiteral(" DESC"));
            } else {
                rs->setSort(field + QStringLiteral(" ASC"));
            }
        }
        if (dataFileOpen()) {
            // With an edit or a new row pending, the order above stands and nothing is
            // remembered.
            if (!rs->IsBOF() && !rs->IsEOF() && rs->EditMode() != ado::adEditNone) {
                return;
            }
            // The grid follows the new order by itself and keeps the current row in view.
            const QString field = DataGrid1->Columns().Item(ColIndex).DataField();
            if (!SortAscending) {
                rs->setSort(field);
                SortAscending = true;
            } else {
                rs->setSort(field + QStringLiteral(" DESC"));
                SortAscending = false;
            }
            gSortCol = static_cast<int16_t>(ColIndex);
            gSortDir = SortAscending ? 1 : 2;
        }
    });
}

void frmMain::DataGrid1_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub DataGrid1_KeyPress"));
    proc.run([&] {
        if (KeyAscii == vb::vbKeyReturn) {
            host::host().sendKeys(this, QStringLiteral("{tab}"));
            KeyAscii = 0;
            return;
        }
        ado::Recordset* rs = Adodc1->Recordset();
        if (!isSearchCharacter(KeyAscii) || !dataFileOpen() || rs->RecordCount() <= 1) {
            return;
        }
        // Jump to the first account beginning with the character; with none, stay put.
        const long position = rs->AbsolutePosition();
        rs->MoveFirst();
        rs->Find(QStringLiteral("Account LIKE '") + QChar(KeyAscii) + QStringLiteral("*'"), 0,
            ado::adSearchForward);
        if (rs->IsEOF()) {
            rs->MoveFirst();
            if (position > 1) {
                rs->Move(position - 1);
            }
        }
        KeyAscii = 0;
    });
}

void frmMain::Adodc1_Error(const vb::Error& error)
{
    cw::Proc proc(kModule, QStringLiteral("Sub Adodc1_Error"));
    proc.run([&] {
        host::MsgBox(QStringLiteral("The changes to this account could not be saved:\r\n")
                + QString::number(error.number) + QStringLiteral(": \r\n") + error.description,
            vb::vbCritical, QStringLiteral("SAVE ERROR!"));
    });
}
