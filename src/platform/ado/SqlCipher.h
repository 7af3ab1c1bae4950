// RAII handles for an SQLCipher database and its statements (the only user of <sqlite3.h>).
#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace ado::detail {

/// The outcome of an engine call: the SQLite result code (0 = OK) and its message.
struct Status
{
    int code = 0;
    QString message;
    bool ok() const { return code == 0; }
};

inline constexpr int kSqliteNotADb = 26;
inline constexpr int kSqliteCorrupt = 11;

/// One open database file.
class Database
{
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    /// Opens an existing file read-write; a non-empty key is applied with
    /// sqlite3_key, then one read of the schema proves it.
    Status open(const QString& path, const QByteArray& key);
    void close();
    bool isOpen() const { return m_db != nullptr; }

    Status exec(const QString& sql);
    qint64 lastInsertRowid() const;
    /// Attaches a new file keyed with `key` and runs sqlcipher_export into it.
    Status exportTo(const QString& path, const QByteArray& key);

    sqlite3* handle() const { return m_db; }
    Status lastStatus(int code) const;

private:
    sqlite3* m_db = nullptr;
};

/// One prepared statement over a Database.
class Statement
{
public:
    Statement(Database& db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    const Status& status() const { return m_status; }
    /// Binds 1-based parameter `i`; a null QString binds NULL.
    void bindText(int i, const QString& value);
    void bindInt64(int i, qint64 value);
    /// True while a row is ready; false when done or failed (see status()).
    bool step();
    void reset();

    int columnCount() const;
    QString columnName(int i) const;
    /// The column's UTF-8 bytes and length; nullptr for NULL.
    const char* columnUtf8(int i, int& length) const;
    qint64 columnInt64(int i) const;

private:
    Database& m_db;
    sqlite3_stmt* m_stmt = nullptr;
    Status m_status;
};

} // namespace ado::detail
