// Parsing of the OLE DB connection string that names the data file and its password.
#pragma once

#include <QMap>
#include <QString>

namespace ado {

/// The properties of a connection string, read the way OLE DB reads it: properties are separated
/// by ";", each is name "=" value, and names are compared without case. A value that opens with
/// a double quote runs to the closing quote, so it may hold ";" ("" inside it is one quote, and
/// "" alone is an empty value). A piece without "=" names nothing and is ignored.
class ConnectionString
{
public:
    static ConnectionString parse(const QString& text);
    /// A value as it must be written into a connection string: unchanged unless it holds ";" or
    /// a double quote, in which case it is put in double quotes with its own quotes doubled.
    static QString quoteValue(const QString& value);

    /// The value of a property (case-insensitive name); empty when absent.
    QString value(const QString& name) const;
    bool contains(const QString& name) const;

    QString provider() const;          ///< "Provider"
    QString dataSource() const;        ///< "Data Source"
    QString password() const;          ///< "Jet OLEDB:Database Password"
    int engineType() const;            ///< "Jet OLEDB:Engine Type" (0 when absent or not a number)
    bool encryptDatabase() const;      ///< "Jet OLEDB:Encrypt Database" is True

    /// Raises 3706 unless the provider is the Jet 4.0 OLE DB provider.
    void requireJetProvider() const;

private:
    QMap<QString, QString> m_props; // keys lower-cased
};

/// The one provider name the layer accepts.
inline const QString kJetProvider = QStringLiteral("Microsoft.Jet.OLEDB.4.0");

} // namespace ado
