// The data control (Adodc1): connection string, record source, Refresh, and a navigator bar.
#pragma once

#include "platform/vb/Error.h"

#include <QWidget>

#include <memory>

class QLabel;
class QToolButton;

namespace ado {
class Connection;
class Recordset;
} // namespace ado

namespace adoui {

/// Owns the connection and the recordset of the data file and shows a navigator bar (first,
/// previous, caption, next, last). The recordset object is created by the first Refresh and kept
/// afterwards (a later Refresh reopens it), so bindings and the grid may hold on to it.
class DataControl : public QWidget
{
    Q_OBJECT

public:
    explicit DataControl(QWidget* parent = nullptr);
    ~DataControl() override;

    QString ConnectionString() const;
    /// Setting a different string releases the present connection (the file is no longer held
    /// by the control; a recordset still attached to it keeps it until detached or closed).
    void setConnectionString(const QString& text);
    QString RecordSource() const;
    void setRecordSource(const QString& source);

    /// Rebuilds the recordset from the record source: a pending edit or new row is dropped, the
    /// connection is (re)opened when needed, all rows are read again in the data source's order,
    /// and no Sort or Filter applies afterwards. Raises vb::Error (wrong password, bad file ...).
    void Refresh();
    /// The recordset, or nullptr before the first Refresh.
    ado::Recordset* Recordset() const;

    QString Caption() const;
    void setCaption(const QString& caption);

signals:
    /// The recordset object was created or reopened by Refresh.
    void recordsetChanged(ado::Recordset* recordset);
    /// A navigator button failed (the error never leaves the button's handler).
    void navigationError(const vb::Error& error);

private:
    void navigate(int which);

    QString m_connectionString;
    QString m_recordSource;
    std::shared_ptr<ado::Connection> m_connection;
    ado::Recordset* m_recordset = nullptr;
    QLabel* m_caption = nullptr;
    QToolButton* m_buttons[4] = {};
};

} // namespace adoui
