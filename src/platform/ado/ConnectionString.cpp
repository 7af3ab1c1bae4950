#include "platform/ado/ConnectionString.h"

#include "platform/ado/AdoErrors.h"

namespace ado {

namespace {

// Reads a value that opens with a double quote: up to the lone closing quote, a doubled quote
// standing for one. Returns false (leaving `at` alone) when no closing quote follows, so such a
// value is read plainly up to the next ";".
bool readQuoted(const QString& text, qsizetype& at, QString& value)
{
    QString out;
    for (qsizetype i = at + 1; i < text.size(); ++i) {
        if (text[i] != u'"') {
            out += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == u'"') {
            out += u'"';
            ++i;
            continue;
        }
        // Anything between the closing quote and the next ";" is not part of the value.
        const qsizetype end = text.indexOf(u';', i + 1);
        at = end < 0 ? text.size() : end;
        value = out;
        return true;
    }
    return false;
}

} // namespace

ConnectionString ConnectionString::parse(const QString& text)
{
    ConnectionString cs;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype eq = text.indexOf(u'=', at);
        const qsizetype semi = text.indexOf(u';', at);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // A piece without "=" names nothing.
            if (semi < 0) {
                break;
            }
            at = semi + 1;
            continue;
        }
        const QString name = text.mid(at, eq - at).trimmed().toLower();
        qsizetype pos = eq + 1;
        QString value;
        if (!(pos < text.size() && text[pos] == u'"' && readQuoted(text, pos, value))) {
            const qsizetype end = text.indexOf(u';', pos);
            value = text.mid(pos, end < 0 ? -1 : end - pos);
            pos = end < 0 ? text.size() : end;
        }
        if (!name.isEmpty()) {
            cs.m_props.insert(name, value);
        }
        at = pos + 1;
    }
    return cs;
}

QString ConnectionString::quoteValue(const QString& value)
{
    if (!value.contains(u';') && !value.contains(u'"')) {
        return value;
    }
    QString quoted = value;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
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
