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
/// Not an SQLite code: exportTo could not create its target file.
inline constexpr int kCreateFailed = -1;

/// Cipher page size of every file written before larger pages were chosen; such files are
/// still opened (and rewritten at the preferred size by their next compaction).
inline constexpr int kLegacyPageSize = 1024;
/// The cipher page size new and compacted files get: reading is dominated by decrypting
/// pages, and 16 KiB pages read a large file about three times faster than 1 KiB pages while a
/// one-row write stays near a millisecond.
inline constexpr int kDefaultPageSize = 16384;

/// The page size new files are written with and opening tries first (kDefaultPageSize unless
/// a measurement changed it for this process).
int preferredPageSize();
/// Changes the preferred page size for this process (benchmarks and tests of old files).
void setPreferredPageSize(int bytes);

/// One open database file. The engine's work on each statement is bounded by the size of the
/// file: a real statement over a data file reads each row a bounded number of times, while a
/// crafted file (a view or trigger that recurses without end) would keep it busy for ever. A
/// statement that goes past the bound fails (SQLITE_INTERRUPT) with a message saying so.
class Database
{
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    /// Opens an existing file (never creates one), read-only when asked. A non-empty key is
    /// applied with sqlite3_key, and one read of the schema proves it at the preferred page
    /// size and then at the legacy size; the second try reuses the derived key.
    Status open(const QString& path, const QByteArray& key, bool readOnly = false);
    void close();
    bool isOpen() const { return m_db != nullptr; }

    Status exec(const QString& sql);
    qint64 lastInsertRowid() const;
    /// Creates `path` (owner-only, failing when it exists), attaches it keyed with `key` (an
    /// empty key writes plaintext) at `pageSize`, and runs sqlcipher_export into it.
    Status exportTo(const QString& path, const QByteArray& key, int pageSize);
    /// The cipher page size the open file was read with (0 for a plaintext file).
    int cipherPageSize() const { return m_pageSize; }
    /// True when the file was opened read-only.
    bool isReadOnly() const;

    /// Rows the last INSERT, UPDATE or DELETE changed (not counting those of triggers).
    int changes() const;
    /// True when `table` is an ordinary table whose rows "rowid" names: not a view, not one
    /// without row ids, and with no column of its own of that name that is not the row id.
    bool isRowidTable(const QString& table) const;
    /// True when the file holds triggers (or cannot tell): a trigger's work on a write would
    /// happen unseen, beside the one row the write is meant to change.
    bool holdsTriggers();

    sqlite3* handle() const { return m_db; }
    Status lastStatus(int code) const;

private:
    friend class Statement;
    static int onProgress(void* self);
    /// The work one statement may do on this file now, counted in progress calls.
    qint64 workBudget() const;

    sqlite3* m_db = nullptr;
    int m_pageSize = 0;
    qint64* m_running = nullptr; // the budget left to the statement the engine is running
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
    qint64 m_budget = -1; // set when the statement starts
};

} // namespace ado::detail
