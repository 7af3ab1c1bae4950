#include "platform/ado/Connection.h"

#include "platform/ado/AdoErrors.h"
#include "platform/ado/FileLock.h"
#include "platform/ado/SafeFile.h"
#include "platform/ado/SqlCipher.h"

#include <QFile>
#include <QFileInfo>

#include <bitset>

namespace ado {

namespace {

// Every cipher page size this layer writes is a multiple of the legacy one.
constexpr qint64 kCipherPageSize = detail::kLegacyPageSize;
const QByteArray kPlainHeader("SQLite format 3\0", 16);

[[noreturn]] void unrecognised(const QString& path)
{
    raiseProvider(errProviderUnspecified,
                  QStringLiteral("Unrecognized database format '%1'.").arg(path));
}

// An encrypted page is indistinguishable from random bytes; text or other formats use far
// fewer distinct byte values. Random 1024 bytes show about 250 of the 256.
bool looksEncrypted(const QByteArray& page)
{
    std::bitset<256> seen;
    for (char c : page) {
        seen.set(static_cast<unsigned char>(c));
    }
    return seen.count() >= 160;
}

} // namespace

void requireDataFile(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir()) {
        raiseProvider(errProviderUnspecified,
                      QStringLiteral("Could not find file '%1'.").arg(path));
    }
}

void openDataFile(detail::Database& db, const QString& path, const QString& password,
                  DataFileOpen how)
{
    requireDataFile(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        raiseProvider(errProviderUnspecified,
                      QStringLiteral("The Microsoft Jet database engine cannot open the file "
                                     "'%1'.  It is already opened exclusively by another user, "
                                     "or you need permission to view its data.")
                          .arg(path));
    }
    const qint64 size = file.size();
    const QByteArray head = file.read(kCipherPageSize);
    file.close();
    if (size == 0) {
        unrecognised(path);
    }

    if (head.startsWith(kPlainHeader)) {
        if (how == DataFileOpen::EncryptedOnly) {
            raiseProvider(errProviderUnspecified,
                          QStringLiteral("The file '%1' is not encrypted.").arg(path));
        }
        // A plaintext file (the template) needs no key, whatever password was given.
        const auto hi = static_cast<unsigned char>(head.size() > 17 ? head[16] : 0);
        const auto lo = static_cast<unsigned char>(head.size() > 17 ? head[17] : 0);
        qint64 pageSize = (hi << 8) | lo;
        if (pageSize == 1) {
            pageSize = 65536;
        }
        if (pageSize < 512 || size % pageSize != 0) {
            unrecognised(path);
        }
        if (!db.open(path, {}, how == DataFileOpen::ReadOnly).ok()) {
            unrecognised(path);
        }
        return;
    }

    if (size % kCipherPageSize != 0 || !looksEncrypted(head)) {
        unrecognised(path);
    }
    if (password.isEmpty()) {
        // No key would read the file as plaintext, which it is not.
        raiseProvider(errWrongPassword, adoErrorText(errWrongPassword));
    }
    const detail::Status s = db.open(path, password.toUtf8(), how == DataFileOpen::ReadOnly);
    if (s.code == detail::kSqliteNotADb) {
        raiseProvider(errWrongPassword, adoErrorText(errWrongPassword));
    }
    if (!s.ok()) {
        unrecognised(path);
    }
}

Connection::Connection() : m_db(std::make_unique<detail::Database>()) {}

Connection::~Connection()
{
    m_db->close(); // before the lock goes
}

void Connection::Open(const QString& connectionString)
{
    if (m_db->isOpen()) {
        raiseAdo(errIllegalOperation, kSourceConnection);
    }
    ado::ConnectionString props = ado::ConnectionString::parse(connectionString);
    props.requireJetProvider();
    const QString path = props.dataSource();
    requireDataFile(path);
    auto lock = FileLock::acquire(path);
    // A file its owner made read-only is opened so: no edit can change it.
    openDataFile(*m_db, path, props.password(),
                 isWritableFile(path) ? DataFileOpen::ReadWrite : DataFileOpen::ReadOnly);
    m_lock = std::move(lock);
    m_text = connectionString;
    m_props = props;
}

void Connection::Close()
{
    if (!m_db->isOpen()) {
        raiseAdo(errObjectClosed, kSourceConnection);
    }
    m_db->close();
    m_lock.reset();
}

bool Connection::isReadOnly() const
{
    return m_db->isReadOnly();
}

int Connection::State() const
{
    return m_db->isOpen() ? adStateOpen : adStateClosed;
}

QString Connection::ConnectionString() const
{
    return m_text;
}

const ado::ConnectionString& Connection::properties() const
{
    return m_props;
}

QString Connection::dataSource() const
{
    return m_props.dataSource();
}

detail::Database& Connection::database()
{
    return *m_db;
}

} // namespace ado
