#include "platform/ado/ConnectionString.h"

#include "platform/ado/AdoErrors.h"

namespace ado {

ConnectionString ConnectionString::parse(const QString& text)
{
    ConnectionString cs;
    const QStringList pieces = text.split(QLatin1Char(';'));
    for (const QString& piece : pieces) {
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        if (eq < 0) {
            continue;
        }
        const QString name = piece.left(eq).trimmed().toLower();
        QString value = piece.mid(eq + 1);
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"'))
            && value.endsWith(QLatin1Char('"'))) {
            value = value.mid(1, value.size() - 2);
        }
        if (!name.isEmpty()) {
            cs.m_props.insert(name, value);
        }
    }
    return cs;
}

QString ConnectionString::value(const QString& name) const
{
    return m_props.value(name.toLower());
}

bool ConnectionString::contains(const QString& name) const
{
    return m_props.contains(name.toLower());
}

QString ConnectionString::provider() const
{
    return value(QStringLiteral("Provider")).trimmed();
}

QString ConnectionString::dataSource() const
{
    return value(QStringLiteral("Data Source"));
}

QString ConnectionString::password() const
{
    return value(QStringLiteral("Jet OLEDB:Database Password"));
}

int ConnectionString::engineType() const
{
    return value(QStringLiteral("Jet OLEDB:Engine Type")).trimmed().toInt();
}

bool ConnectionString::encryptDatabase() const
{
    return value(QStringLiteral("Jet OLEDB:Encrypt Database")).trimmed().compare(
               QStringLiteral("True"), Qt::CaseInsensitive)
        == 0;
}

void ConnectionString::requireJetProvider() const
{
    if (provider().compare(kJetProvider, Qt::CaseInsensitive) != 0) {
        raiseAdo(errProviderNotFound, kSourceConnection);
    }
}

} // namespace ado
