// An open data file: the connection string's file and password mapped onto an SQLCipher database.
#pragma once

#include "platform/ado/ConnectionString.h"

#include <memory>

namespace ado {

namespace detail {
class Database;
}
class FileLock;

/// adStateClosed / adStateOpen.
inline constexpr int adStateClosed = 0;
inline constexpr int adStateOpen = 1;

/// ADO's Connection: Open(connection string) opens the data file keyed with the database password.
/// Files are told apart before the key is tried: a missing, empty, truncated or non-database file
/// raises the provider's unspecified error naming the file; a plaintext SQLite file (such as the
/// template) opens whatever password is given; otherwise a key that does not decrypt the file
/// raises -2147217843. While open, the connection holds the file's FileLock, so another process
/// opening it gets "file already in use"; a file without write permission is opened read-only.
/// All errors are vb::Error.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    /// Parses the string, checks the provider and opens the file.
    void Open(const QString& connectionString);
    /// Closes the file; a closed connection may be opened again.
    void Close();
    int State() const;
    QString ConnectionString() const;
    /// The parsed properties of the last string given to Open.
    const ado::ConnectionString& properties() const;
    /// The data file path.
    QString dataSource() const;
    /// True when the file was opened read-only (it may not be written).
    bool isReadOnly() const;

    /// The engine handle, for the recordset and compaction (internal).
    detail::Database& database();

private:
    QString m_text;
    ado::ConnectionString m_props;
    std::shared_ptr<FileLock> m_lock;
    std::unique_ptr<detail::Database> m_db;
};

/// How openDataFile opens a file: a copy being checked must be encrypted.
enum class DataFileOpen { ReadWrite, ReadOnly, EncryptedOnly };

/// Raises the provider's "Could not find file" error for an empty path, a missing file or a
/// folder.
void requireDataFile(const QString& path);

/// Opens `path` in `db`, keyed with `password` unless the file is plaintext, telling the file
/// faults apart as Connection::Open does (shared with compaction). An encrypted file is never
/// opened without a key.
void openDataFile(detail::Database& db, const QString& path, const QString& password,
                  DataFileOpen how = DataFileOpen::ReadWrite);

} // namespace ado
