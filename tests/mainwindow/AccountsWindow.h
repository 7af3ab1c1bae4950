// A main window over a data file of given accounts, and what the file holds, read apart.
#pragma once

#include "DataFileFixture.h"
#include "MainWindowFixture.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"
#include "platform/adoui/DataGrid.h"

#include <QAbstractItemModel>

namespace accounts {

/// A window with the file of `rows` ("Account|URL|IDtext|Password") open, sorted by account,
/// on its first row.
inline std::unique_ptr<frmMain> open(MainWindowFixture& fx, const QStringList& rows)
{
    const QString file = fx.path(QStringLiteral("accounts.pnv"));
    testdata::writePlainFile(file, rows);
    auto w = std::make_unique<frmMain>();
    gDBpath = file;
    if (w->DBconnect(QString())) {
        w->Adodc1->Recordset()->MoveFirst();
    }
    return w;
}

/// One field of every row the file holds, in the file's own order.
inline QStringList inFile(const QString& file, const QString& field = QStringLiteral("Account"))
{
    auto c = std::make_shared<ado::Connection>();
    c->Open(testdata::connectString(file, QStringLiteral("any")));
    ado::Recordset rs;
    rs.Open(QStringLiteral("Select * from tblAccount"), c);
    QStringList out;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        out << rs.Fields(field).Value();
    }
    return out;
}

/// The grid's Account column, top to bottom.
inline QStringList inGrid(const frmMain& w)
{
    QStringList out;
    const QAbstractItemModel* m = w.DataGrid1->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        out << m->index(r, 0).data().toString();
    }
    return out;
}

/// The current account's name, or "" without a current row.
inline QString current(const frmMain& w)
{
    ado::Recordset* rs = w.Adodc1->Recordset();
    return rs->currentIndex() < 0 ? QString() : rs->Fields(QStringLiteral("Account")).Value();
}

/// Clicks the grid's row (0-based) as the user would select it.
inline void selectRow(frmMain& w, int row)
{
    w.DataGrid1->setCurrentIndex(w.DataGrid1->model()->index(row, 0));
}

} // namespace accounts
