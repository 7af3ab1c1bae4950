// Times the data layer on generated data files of 10,000 and 100,000 accounts.
#include "platform/ado/Compact.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/vb/Error.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <memory>

namespace {

const QString kPassword = QStringLiteral("bench-secretR7305");
const char* const kFields[] = {"Account", "URL", "IDtext", "Password", "Hint", "Info",
                               "Key1", "Key2", "Key3", "Key4",
                               "Key1_Name", "Key2_Name", "Key3_Name", "Key4_Name"};
// Lengths per field: about 300 bytes per account.
const int kLengths[] = {16, 28, 12, 16, 40, 120, 8, 8, 8, 8, 9, 9, 9, 9};

QByteArray randomText(QRandomGenerator& rng, int length)
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
    QByteArray out(length, ' ');
    for (int i = 0; i < length; ++i) {
        out[i] = alphabet[rng.bounded(static_cast<int>(sizeof(alphabet) - 1))];
    }
    return out;
}

void check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", what, db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        std::exit(1);
    }
}

// A plaintext file with `rows` accounts; returns the total text size in bytes.
qint64 buildPlain(const QString& path, int rows)
{
    sqlite3* db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db, "open");
    QByteArray create = "CREATE TABLE tblAccount (";
    for (int f = 0; f < 14; ++f) {
        create += QByteArray(f ? ", " : "") + kFields[f] + " TEXT";
    }
    create += ")";
    check(sqlite3_exec(db, create.constData(), nullptr, nullptr, nullptr), db, "create");
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO tblAccount VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)", -1,
                             &st, nullptr),
          db, "prepare");
    QRandomGenerator rng(20261208);
    qint64 textSize = 0;
    for (int r = 0; r < rows; ++r) {
        for (int f = 0; f < 14; ++f) {
            const QByteArray v = randomText(rng, kLengths[f]);
            textSize += v.size();
            sqlite3_bind_text(st, f + 1, v.constData(), static_cast<int>(v.size()),
                              SQLITE_TRANSIENT);
        }
        check(sqlite3_step(st), db, "insert");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
    return textSize;
}

QString connectionString(const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=%1;"
                          "Jet OLEDB:Database Password=%2;Jet OLEDB:Engine Type=5")
        .arg(path, kPassword);
}

QString destinationString(const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;"
                          "Jet OLEDB:Engine Type=5;Jet OLEDB:Encrypt Database=True;"
                          "Jet OLEDB:Database Password=%2")
        .arg(path, kPassword);
}

sqlite3* openKeyed(const QString& path)
{
    // ATTACH inherits these flags, so the export target needs CREATE here.
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(path.toUtf8().constData(), &db,
                          SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
          db, "open");
    const QByteArray key = kPassword.toUtf8();
    check(sqlite3_key(db, key.constData(), static_cast<int>(key.size())), db, "key");
    return db;
}

// The baseline: every cell of every row read through the C API.
qint64 rawRead(const QString& path)
{
    sqlite3* db = openKeyed(path);
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT rowid, * FROM tblAccount", -1, &st, nullptr), db,
          "select");
    qint64 bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 1; c < sqlite3_column_count(st); ++c) {
            if (sqlite3_column_text(st, c)) {
                bytes += sqlite3_column_bytes(st, c);
            }
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return bytes;
}

void bareExport(const QString& source, const QString& target)
{
    sqlite3* db = openKeyed(source);
    const QByteArray sql = QStringLiteral("ATTACH DATABASE '%1' AS x KEY '%2'; "
                                          "SELECT sqlcipher_export('x'); DETACH DATABASE x;")
                               .arg(target, kPassword)
                               .toUtf8();
    check(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), db, "export");
    sqlite3_close(db);
}

long residentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> parts = statm.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

double ms(QElapsedTimer& t)
{
    const double v = static_cast<double>(t.nsecsElapsed()) / 1e6;
    t.restart();
    return v;
}

void run(const QString& dir, int rows)
{
    const QString plain = dir + QStringLiteral("/plain%1.pnv").arg(rows);
    const QString file = dir + QStringLiteral("/data%1.pnv").arg(rows);
    const qint64 textSize = buildPlain(plain, rows);
    ado::CompactDatabase(connectionString(plain), destinationString(file));

    std::printf("\n%d accounts, %.1f MB of text, file %.1f MB\n", rows, textSize / 1048576.0,
                QFile(file).size() / 1048576.0);
    QElapsedTimer t;
    t.start();
    rawRead(file);
    const double raw = ms(t);
    std::printf("  raw SQLCipher read (C API)        %8.1f ms\n", raw);

    const long before = residentKb();
    t.restart();
    auto conn = std::make_shared<ado::Connection>();
    conn->Open(connectionString(file));
    ado::Recordset rs;
    rs.Open(QStringLiteral("Select * from tblAccount"), conn);
    rs.setSort(QStringLiteral("Account ASC"));
    const double load = ms(t);
    const long after = residentKb();
    std::printf("  open + load + sort Account ASC    %8.1f ms  (%.2fx raw; target <= 2x)\n", load,
                load / raw);

    rs.setFilter(QStringLiteral("Account LIKE 'ab*'"));
    const double prefix = ms(t);
    const long prefixCount = rs.RecordCount();
    rs.setFilter(QStringLiteral("Account LIKE '*ab*'"));
    const double contains = ms(t);
    const long containsCount = rs.RecordCount();
    rs.setFilter(QString());
    const double clear = ms(t);
    std::printf("  prefix filter 'ab*'               %8.1f ms  (%ld rows)\n", prefix, prefixCount);
    std::printf("  contains filter '*ab*'            %8.1f ms  (%ld rows)\n", contains,
                containsCount);
    std::printf("  filter cleared                    %8.1f ms\n", clear);

    rs.setSort(QStringLiteral("Account DESC"));
    const double desc = ms(t);
    rs.setSort(QStringLiteral("Account ASC"));
    const double asc = ms(t);
    rs.setSort(QStringLiteral("URL"));
    const double other = ms(t);
    std::printf("  sort toggle DESC / ASC            %8.1f / %.1f ms\n", desc, asc);
    std::printf("  sort by URL (first use)           %8.1f ms\n", other);

    rs.setSort(QStringLiteral("Account ASC"));
    rs.MoveFirst();
    t.restart();
    rs.Find(QStringLiteral("Account LIKE 'zzz*'"));
    const double find = ms(t);
    std::printf("  Find 'zzz*' from the first row    %8.1f ms  (%s)\n", find,
                rs.IsEOF() ? "EOF" : "found");
    std::printf("  recordset memory (RSS growth)     %8.1f MB  (%.2fx text; target < 3x)\n",
                (after - before) / 1024.0, (after - before) * 1024.0 / static_cast<double>(textSize));
    rs.Close();
    conn->Close();

    const QString compacted = dir + QStringLiteral("/compact%1.pnv").arg(rows);
    const QString exported = dir + QStringLiteral("/export%1.pnv").arg(rows);
    t.restart();
    ado::CompactDatabase(connectionString(file), destinationString(compacted));
    const double compact = ms(t);
    bareExport(file, exported);
    const double bare = ms(t);
    std::printf("  CompactDatabase                   %8.1f ms\n", compact);
    std::printf("  bare sqlcipher_export             %8.1f ms  (compaction %.2fx; target <= 1.5x)\n",
                bare, compact / bare);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    try {
        run(dir.path(), 10000);
        run(dir.path(), 100000);
    } catch (const vb::Error& e) {
        std::fprintf(stderr, "error %ld: %s\n", e.number, qPrintable(e.description));
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\npeak memory (max RSS)               %8.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
