#include "platform/ado/SqlCipher.h"

// The codec entry points (sqlite3_key) are declared only with SQLITE_HAS_CODEC.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "platform/ado/SafeFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ado::detail {

namespace {

int g_preferredPageSize = kDefaultPageSize;

// The engine calls the progress handler once every so many of its virtual-machine steps.
constexpr int kProgressInterval = 1000;
// One statement's bound: a fixed allowance plus one in proportion to the file. Reading every
// row of 100,000 accounts (a 33 MB file) takes about 1.7 million steps and compacting them
// 0.4 million; a file of nothing but empty rows needs about one step per byte read. Ten million
// steps plus 64 per byte leave any real file over sixty times the work it can need, and stop a
// runaway statement on a small file well within a second.
constexpr qint64 kBaseSteps = 10'000'000;
constexpr qint64 kStepsPerByte = 64;

// The engine names its journal after the data file, with a suffix ("-journal"). A data file
// whose name leaves no room for the suffix could never be written, so the engine's files go
// through this layer over the system's own, which gives any name too long for the file system
// a short one of its own beside it. The short name depends only on the long one, so a journal
// left by a program that was stopped is found again and rolled back.
sqlite3_vfs g_shortNames;

sqlite3_vfs* systemFiles()
{
    return sqlite3_vfs_find(nullptr);
}

// The name the file goes by on disk; the engine keeps the pointer for as long as the file is
// open, so a short name, once made, lives as long as the program.
const char* diskName(const char* name)
{
    if (name == nullptr) {
        return name;
    }
    const char* slash = std::strrchr(name, '/');
    if (std::strlen(slash != nullptr ? slash + 1 : name) <= NAME_MAX) {
        return name;
    }
    static std::mutex mutex;
    static std::set<std::string> made;
    const std::lock_guard<std::mutex> lock(mutex);
    const QByteArray shortName = QFile::encodeName(
        sideFile(QFile::decodeName(name), QStringLiteral(".engine")));
    return made.insert(shortName.toStdString()).first->c_str();
}

int openFile(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    const char* onDisk = diskName(name);
    constexpr int kJournals = SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_WAL;
    if (onDisk == name || (flags & kJournals) == 0) {
        return systemFiles()->xOpen(systemFiles(), onDisk, file, flags, outFlags);
    }
    // The system layer makes a journal with the data file's mode and owner, and finds the
    // data file by cutting the journal's name at its last "-", which a short name cannot
    // offer. The journal is opened as one of no data file, then given what the system layer
    // would have given it.
    const int rc = systemFiles()->xOpen(systemFiles(), onDisk, file,
        (flags & ~kJournals) | SQLITE_OPEN_MASTER_JOURNAL, outFlags);
    const char* cut = std::strrchr(name, '-');
    struct stat data {};
    if (rc == SQLITE_OK && (flags & SQLITE_OPEN_CREATE) != 0 && cut != nullptr
        && ::stat(std::string(name, cut).c_str(), &data) == 0) {
        ::chmod(onDisk, data.st_mode & 0777);
        if (::geteuid() == 0) {
            [[maybe_unused]] const int owned = ::chown(onDisk, data.st_uid, data.st_gid);
        }
    }
    return rc;
}

int deleteFile(sqlite3_vfs*, const char* name, int syncDir)
{
    return systemFiles()->xDelete(systemFiles(), diskName(name), syncDir);
}

int accessFile(sqlite3_vfs*, const char* name, int flags, int* result)
{
    return systemFiles()->xAccess(systemFiles(), diskName(name), flags, result);
}

// The layer's name for sqlite3_open_v2, registered on first use.
const char* shortNamesLayer()
{
    static const char* const name = [] {
        g_shortNames = *systemFiles();
        g_shortNames.pNext = nullptr;
        g_shortNames.zName = "pinvara-short-names";
        g_shortNames.xOpen = openFile;
        g_shortNames.xDelete = deleteFile;
        g_shortNames.xAccess = accessFile;
        sqlite3_vfs_register(&g_shortNames, 0);
        return g_shortNames.zName;
    }();
    return name;
}

} // namespace

int preferredPageSize()
{
    return g_preferredPageSize;
}

void setPreferredPageSize(int bytes)
{
    g_preferredPageSize = bytes;
}

Database::~Database()
{
    close();
}

Status Database::lastStatus(int code) const
{
    Status s;
    s.code = code;
    s.message = code == SQLITE_INTERRUPT
        ? QStringLiteral("The data file asks far more work of the database engine than a file "
                         "of its size can need; the work was stopped.")
        : QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code));
    return s;
}

int Database::onProgress(void* self)
{
    qint64* const left = static_cast<Database*>(self)->m_running;
    if (left == nullptr) {
        return 0;
    }
    if (*left <= 0) {
        return 1; // the engine ends the statement with SQLITE_INTERRUPT
    }
    --*left;
    return 0;
}

qint64 Database::workBudget() const
{
    sqlite3_int64 size = 0;
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(m_db, "main", SQLITE_FCNTL_FILE_POINTER, &file) == SQLITE_OK
        && file != nullptr && file->pMethods != nullptr) {
        file->pMethods->xFileSize(file, &size);
    }
    return (kBaseSteps + kStepsPerByte * std::max<sqlite3_int64>(size, 0)) / kProgressInterval;
}

Status Database::open(const QString& path, const QByteArray& key, bool readOnly)
{
    close();
    const QByteArray name = path.toUtf8();
    // Never SQLITE_OPEN_CREATE: a missing data file must not turn into an empty one. An export
    // target is created by exportTo before it is attached.
    int rc = sqlite3_open_v2(name.constData(), &m_db,
                             readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE,
                             shortNamesLayer());
    if (rc != SQLITE_OK) {
        Status s = lastStatus(rc);
        close();
        return s;
    }
    sqlite3_extended_result_codes(m_db, 0);
    sqlite3_progress_handler(m_db, kProgressInterval, &Database::onProgress, this);
    if (key.isEmpty()) {
        Status s = exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        if (!s.ok()) {
            close();
        }
        return s;
    }
    rc = sqlite3_key(m_db, key.constData(), static_cast<int>(key.size()));
    if (rc != SQLITE_OK) {
        Status s = lastStatus(rc);
        close();
        return s;
    }
    // The page size is not stored readably in the file. The key is derived once, on the first
    // read; a failed read at one page size leaves it derived, so the legacy size costs only
    // one more read of the first page.
    Status s;
    for (const int size : {preferredPageSize(), kLegacyPageSize}) {
        s = exec(QStringLiteral("PRAGMA cipher_page_size = %1").arg(size));
        if (s.ok()) {
            s = exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        }
        if (s.ok()) {
            m_pageSize = size;
            return s;
        }
        if (s.code != kSqliteNotADb || size == kLegacyPageSize) {
            break;
        }
    }
    close();
    return s;
}

void Database::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_pageSize = 0;
}

bool Database::isReadOnly() const
{
    return m_db != nullptr && sqlite3_db_readonly(m_db, "main") == 1;
}

Status Database::exec(const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    qint64 budget = workBudget();
    qint64* const outer = std::exchange(m_running, &budget);
    const int rc = sqlite3_exec(m_db, text.constData(), nullptr, nullptr, nullptr);
    m_running = outer;
    return rc == SQLITE_OK ? Status{} : lastStatus(rc);
}

int Database::changes() const
{
    return sqlite3_changes(m_db);
}

bool Database::isRowidTable(const QString& table) const
{
    // A view, or a table without row ids, has no "rowid" entry; a column of the table's own
    // of that name comes back in its place, as no primary key of type INTEGER.
    const QByteArray name = table.toUtf8();
    const char* type = nullptr;
    int primaryKey = 0;
    return sqlite3_table_column_metadata(m_db, "main", name.constData(), "rowid", &type, nullptr,
                                         nullptr, &primaryKey, nullptr)
        == SQLITE_OK
        && primaryKey != 0 && type != nullptr && sqlite3_stricmp(type, "INTEGER") == 0;
}

bool Database::holdsTriggers()
{
    Statement triggers(*this,
                       QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'trigger'"));
    return !triggers.step() || triggers.columnInt64(0) != 0;
}

qint64 Database::lastInsertRowid() const
{
    return sqlite3_last_insert_rowid(m_db);
}

Status Database::exportTo(const QString& path, const QByteArray& key, int pageSize)
{
    // Created here, owner-only and exclusively, so the copy is never readable by others and
    // never lands in a file that someone else put in its place.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return {kCreateFailed, QString::fromLocal8Bit(std::strerror(errno))};
    }
    ::close(fd);
    {
        Statement attach(*this, QStringLiteral("ATTACH DATABASE ?1 AS pnvexport KEY ?2"));
        if (!attach.status().ok()) {
            return attach.status();
        }
        attach.bindText(1, path);
        attach.bindText(2, QString::fromUtf8(key));
        attach.step();
        if (!attach.status().ok()) {
            return attach.status();
        }
    }
    Status s;
    if (!key.isEmpty()) {
        s = exec(QStringLiteral("PRAGMA pnvexport.cipher_page_size = %1").arg(pageSize));
    }
    if (s.ok()) {
        s = exec(QStringLiteral("SELECT sqlcipher_export('pnvexport')"));
    }
    const Status d = exec(QStringLiteral("DETACH DATABASE pnvexport"));
    return s.ok() ? d : s;
}

Statement::Statement(Database& db, const QString& sql) : m_db(db)
{
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db.handle(), text.constData(), static_cast<int>(text.size()),
                                      &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        m_status = db.lastStatus(rc);
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bindText(int i, const QString& value)
{
    if (value.isNull()) {
        sqlite3_bind_null(m_stmt, i);
        return;
    }
    const QByteArray bytes = value.toUtf8();
    sqlite3_bind_text(m_stmt, i, bytes.constData(), static_cast<int>(bytes.size()),
                      SQLITE_TRANSIENT);
}

void Statement::bindInt64(int i, qint64 value)
{
    sqlite3_bind_int64(m_stmt, i, value);
}

bool Statement::step()
{
    if (!m_stmt) {
        return false;
    }
    if (m_budget < 0) {
        m_budget = m_db.workBudget();
    }
    qint64* const outer = std::exchange(m_db.m_running, &m_budget);
    const int rc = sqlite3_step(m_stmt);
    m_db.m_running = outer;
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc != SQLITE_DONE) {
        m_status = m_db.lastStatus(rc);
    }
    return false;
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    m_status = {};
    m_budget = -1;
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, i));
}

const char* Statement::columnUtf8(int i, int& length) const
{
    // The type is asked only when there is no text: NULL, or an empty blob.
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
    if (text == nullptr) {
        length = 0;
        return sqlite3_column_type(m_stmt, i) == SQLITE_NULL ? nullptr : "";
    }
    length = sqlite3_column_bytes(m_stmt, i);
    return text;
}

qint64 Statement::columnInt64(int i) const
{
    return sqlite3_column_int64(m_stmt, i);
}

} // namespace ado::detail
