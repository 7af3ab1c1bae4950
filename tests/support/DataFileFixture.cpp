#include "DataFileFixture.h"

#include "platform/ado/Compact.h"
#include "platform/ado/ConnectionString.h"
#include "platform/ado/SqlCipher.h"
#include "resources/Resources.h"

#include <QFile>
#include <QTest>

namespace testdata {

QString connectString(const QString& path, const QString& password)
{
    using ado::ConnectionString;
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=")
        + ConnectionString::quoteValue(path)
        + QStringLiteral(";Mode=ReadWrite|Share Deny None;Extended Properties=\"\";"
                         "Jet OLEDB:System database=\"\";Jet OLEDB:Registry Path=\"\";"
                         "Jet OLEDB:Database Password=")
        + ConnectionString::quoteValue(password)
        + QStringLiteral(";Jet OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=1;"
                         "Jet OLEDB:Global Partial Bulk Ops=2;Jet OLEDB:Global Bulk Transactions=1;"
                         "Jet OLEDB:New Database Password=\"\";Jet OLEDB:Create System Database=False;"
                         "Jet OLEDB:Encrypt Database=False;Jet OLEDB:Don't Copy Locale on Compact=False;"
                         "Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False");
}

void copyTemplate(const QString& path)
{
    resources::initResources();
    QFile::remove(path);
    QVERIFY(QFile::copy(QStringLiteral(":/DATABASE"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

void writePlainFile(const QString& path, const QStringList& rows)
{
    copyTemplate(path);
    ado::detail::Database db;
    QVERIFY(db.open(path, {}).ok());
    QVERIFY(db.exec(QStringLiteral("BEGIN")).ok());
    for (const QString& row : rows) {
        const QStringList parts = row.split(QLatin1Char('|'));
        ado::detail::Statement st(db, QStringLiteral("INSERT INTO tblAccount (Account, URL, IDtext, "
                                                     "Password) VALUES (?, ?, ?, ?)"));
        for (int i = 0; i < 4; ++i) {
            st.bindText(i + 1, i < parts.size() ? parts[i] : QString());
        }
        st.step();
        QVERIFY2(st.status().ok(), qPrintable(st.status().message));
    }
    QVERIFY(db.exec(QStringLiteral("COMMIT")).ok());
}

void writeEncryptedFile(const QString& path, const QStringList& rows, const QString& password)
{
    const QString plain = path + QStringLiteral(".plain");
    writePlainFile(plain, rows);
    QFile::remove(path);
    ado::CompactDatabase(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + plain,
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path
            + QStringLiteral(";Jet OLEDB:Engine Type=5;Jet OLEDB:Encrypt Database=True;"
                             "Jet OLEDB:Database Password=")
            + ado::ConnectionString::quoteValue(password));
    QFile::remove(plain);
}

QByteArray fileHeader(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return f.read(16);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace testdata
