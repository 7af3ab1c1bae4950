#include "platform/adoui/DataControl.h"

#include "platform/ado/AdoErrors.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace adoui {

namespace {
enum Nav { First, Previous, Next, Last };
}

DataControl::DataControl(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Adodc1"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const QString glyphs[4] = {QStringLiteral("|<"), QStringLiteral("<"), QStringLiteral(">"),
                               QStringLiteral(">|")};
    const QString names[4] = {QStringLiteral("MoveFirst"), QStringLiteral("MovePrevious"),
                              QStringLiteral("MoveNext"), QStringLiteral("MoveLast")};
    m_caption = new QLabel(this);
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setFrameShape(QFrame::Panel);
    m_caption->setFrameShadow(QFrame::Sunken);
    for (int i = 0; i < 4; ++i) {
        m_buttons[i] = new QToolButton(this);
        m_buttons[i]->setText(glyphs[i]);
        m_buttons[i]->setObjectName(names[i]);
        m_buttons[i]->setAutoRaise(false);
        connect(m_buttons[i], &QToolButton::clicked, this, [this, i] { navigate(i); });
        if (i == 2) {
            layout->addWidget(m_caption, 1);
        }
        layout->addWidget(m_buttons[i]);
    }
    setCaption(QStringLiteral("ACCOUNT SELECTOR"));
    setToolTip(QStringLiteral("Scan Available Records"));
}

DataControl::~DataControl() = default;

QString DataControl::ConnectionString() const
{
    return m_connectionString;
}

void DataControl::setConnectionString(const QString& text)
{
    if (text != m_connectionString) {
        m_connection.reset();
    }
    m_connectionString = text;
}

QString DataControl::RecordSource() const
{
    return m_recordSource;
}

void DataControl::setRecordSource(const QString& source)
{
    m_recordSource = source;
}

void DataControl::Refresh()
{
    // A rebuild drops whatever was not saved, as the data control does.
    if (m_recordset && m_recordset->State() == ado::adStateOpen) {
        const int mode = m_recordset->EditMode();
        if (mode == ado::adEditInProgress || mode == ado::adEditAdd) {
            m_recordset->CancelUpdate();
        }
    }
    try {
        if (m_connectionString.isEmpty() || m_recordSource.isEmpty()) {
            ado::raiseAdo(ado::errInvalidConnection, ado::kSourceConnection);
        }
        if (!m_connection || m_connection->State() != ado::adStateOpen
            || m_connection->ConnectionString() != m_connectionString) {
            auto connection = std::make_shared<ado::Connection>();
            connection->Open(m_connectionString);
            m_connection = std::move(connection);
        }
        if (!m_recordset) {
            m_recordset = new ado::Recordset(this);
        }
        m_recordset->Open(m_recordSource, m_connection);
    } catch (const vb::Error&) {
        // The old content must not pass for the file that failed to open.
        m_connection.reset();
        if (m_recordset) {
            if (m_recordset->State() == ado::adStateOpen) {
                m_recordset->Close();
            }
            m_recordset->setActiveConnection(nullptr);
        }
        throw;
    }
    emit recordsetChanged(m_recordset);
}

ado::Recordset* DataControl::Recordset() const
{
    return m_recordset;
}

QString DataControl::Caption() const
{
    return m_caption->text();
}

void DataControl::setCaption(const QString& caption)
{
    m_caption->setText(caption);
}

void DataControl::navigate(int which)
{
    if (!m_recordset || m_recordset->State() != ado::adStateOpen) {
        return;
    }
    try {
        switch (which) {
        case First:
            m_recordset->MoveFirst();
            break;
        case Previous:
            if (!m_recordset->IsBOF()) {
                m_recordset->MovePrevious();
            }
            if (m_recordset->IsBOF()) {
                m_recordset->MoveFirst();
            }
            break;
        case Next:
            if (!m_recordset->IsEOF()) {
                m_recordset->MoveNext();
            }
            if (m_recordset->IsEOF()) {
                m_recordset->MoveLast();
            }
            break;
        default:
            m_recordset->MoveLast();
            break;
        }
    } catch (const vb::Error& e) {
        emit navigationError(e);
    }
}

} // namespace adoui
