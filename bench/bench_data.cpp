// Times the data file as the user waits for it, on generated files of realistic accounts:
// SQLCipher's own reading and export at several cipher page sizes, the data layer's read and
// one-row edits, and the main window's DBconnect and close-time compaction. Every figure is the
// median of several runs with their range. Run with --help for the options.
#include "cipher/StringCipher.h"
#include "errortrace/CatchwellState.h"
#include "mainwindow/frmMain.h"
#include "platform/ado/Compact.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SqlCipher.h"
#include "platform/adoui/DataControl.h"
#include "platform/host/Host.h"
#include "platform/host/QtHost.h"
#include "platform/vb/Error.h"
#include "resources/Resources.h"
#include "startup/Globals.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

const char* const kUsage = R"(Usage: bench_data [options]

Times the data file on generated files of realistic accounts (many names share their first
words) and prints the median and the range [lowest-highest] of several runs of each figure.

  --sizes N,N,...       account counts to measure (default 1000,10000,100000)
  --runs N              runs of each timing (default 5); one-row edits take 4 x N samples
  --page-sizes N,N,...  cipher page sizes of the page-size table (default 1024,4096,16384,65536)
  --no-table            leave out the page-size table
  --no-window           leave out the main window's figures
  --help                this text

For profiling (for example under perf record):
  --make FILE N         write a data file of N generated accounts (master password
                        "bench-master") at the page size new files get, and exit
  --open-and-exit FILE  log in, open FILE as the main window does, and exit

The page-size table gives, per size and page size: a raw SQLCipher read of every row (C API,
key derivation included), the data layer's open + load + sort, single-row Update, Delete and
AddNew, a compaction (CompactDatabase) and a bare sqlcipher_export, and the file size.
The main window's figures, at the page size new files get, are what the user waits for:
DBconnect as the window calls it against the raw read, CompactAndEncrypt in place at close
against a bare export, and a whole process that opens the accounts and exits.
Targets are printed beside the figures; nothing here fails on them.
)";

const QString kMaster = QStringLiteral("bench-master");
const QString kPassword = kMaster + QStringLiteral("R7305");

struct Options
{
    std::vector<int> sizes{1000, 10000, 100000};
    int runs = 5;
    std::vector<int> pageSizes{1024, 4096, 16384, 65536};
    bool table = true;
    bool window = true;
};

[[noreturn]] void die(const QString& message)
{
    std::fprintf(stderr, "bench_data: %s\n", qPrintable(message));
    std::exit(1);
}

std::vector<int> numberList(const QString& text)
{
    std::vector<int> out;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = part.toInt(&ok);
        if (!ok || n <= 0) {
            die(QStringLiteral("not a positive number: %1").arg(part));
        }
        out.push_back(n);
    }
    return out;
}

Options parseOptions(const QStringList& args)
{
    Options o;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&] {
            if (i + 1 >= args.size()) {
                die(QStringLiteral("%1 needs a value").arg(a));
            }
            return args[++i];
        };
        if (a == u"--help" || a == u"-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (a == u"--sizes") {
            o.sizes = numberList(value());
        } else if (a == u"--runs") {
            o.runs = std::max(1, numberList(value()).front());
        } else if (a == u"--page-sizes") {
            o.pageSizes = numberList(value());
        } else if (a == u"--no-table") {
            o.table = false;
        } else if (a == u"--no-window") {
            o.window = false;
        } else {
            die(QStringLiteral("unknown option %1 (see --help)").arg(a));
        }
    }
    return o;
}

// ---- Figures ----------------------------------------------------------------------------------

struct Stats
{
    std::vector<double> ms;

    double median() const
    {
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    QString text(int width = 8) const
    {
        const auto [lo, hi] = std::minmax_element(ms.begin(), ms.end());
        return QStringLiteral("%1 ms [%2-%3]")
            .arg(median(), width, 'f', median() < 10 ? 2 : 1)
            .arg(*lo, 0, 'f', *lo < 10 ? 2 : 1)
            .arg(*hi, 0, 'f', *hi < 10 ? 2 : 1);
    }
};

// Runs `prepare` (not timed) and `measured` (timed) `runs` times.
Stats timed(int runs, const std::function<void()>& prepare, const std::function<void()>& measured)
{
    Stats s;
    for (int r = 0; r < runs; ++r) {
        if (prepare) {
            prepare();
        }
        QElapsedTimer t;
        t.start();
        measured();
        s.ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    return s;
}

// Times several bodies in turns (each run times every body once, in order), so that a change
// in the machine's load falls on all of them alike. Each `prepare` is not timed.
struct Timing
{
    std::function<void()> prepare;
    std::function<void()> measured;
};
std::vector<Stats> inTurns(int runs, const std::vector<Timing>& timings)
{
    std::vector<Stats> out(timings.size());
    for (int r = 0; r < runs; ++r) {
        for (size_t i = 0; i < timings.size(); ++i) {
            out[i].ms.push_back(timed(1, timings[i].prepare, timings[i].measured).ms.front());
        }
    }
    return out;
}

void line(const char* label, const QString& value, const QString& note = {})
{
    std::printf("  %-38s %s%s\n", label, qPrintable(value),
                note.isEmpty() ? "" : qPrintable(QStringLiteral("  ") + note));
}

// ---- Files ------------------------------------------------------------------------------------

void check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        die(QStringLiteral("%1: %2").arg(QLatin1String(what),
                                         QString::fromUtf8(db ? sqlite3_errmsg(db)
                                                              : sqlite3_errstr(rc))));
    }
}

// Account names as people keep them: a few first words shared by many accounts ("Bank of",
// "Amazon", "Work"), then a second word, and often a distinguishing tail.
QByteArray accountName(QRandomGenerator& rng)
{
    static const char* const heads[] = {
        "Bank of", "Bank of", "Bank of", "Amazon", "Amazon", "Google", "Google", "Work", "Work",
        "Home", "My", "Credit Card", "Credit Card", "Insurance", "Email", "Microsoft", "Apple",
        "PayPal", "eBay", "Netflix", "Steam", "GitHub", "Mobile", "Electric", "Gas", "Water",
        "Library", "University of", "University of", "Airline", "Hotel", "Car", "Doctor",
        "Pharmacy", "Gym", "Shop", "Tax", "Pension", "Savings", "Loan"};
    static const char* const seconds[] = {
        "Scotland", "America", "Ireland", "savings", "current", "joint", "business", "personal",
        "old", "new", "backup", "family", "admin", "login", "account", "Prime", "Drive", "Cloud",
        "Visa", "Mastercard", "Amex", "home", "office", "kids", "travel", "London", "Paris",
        "Berlin", "online", "app", "portal", "VPN", "router", "wifi", "server", "test"};
    // Heads drawn with falling odds, so the first few are far more common than the rest.
    const int h = static_cast<int>(std::size(heads) * std::pow(rng.generateDouble(), 2.2));
    QByteArray name = heads[std::min<size_t>(h, std::size(heads) - 1)];
    name += ' ';
    name += seconds[rng.bounded(static_cast<int>(std::size(seconds)))];
    if (rng.bounded(3) != 0) {
        name += ' ' + QByteArray::number(rng.bounded(10000)).rightJustified(4, '0');
    }
    if (rng.bounded(8) == 0) {
        name = name.toLower();
    }
    return name;
}

QByteArray randomText(QRandomGenerator& rng, int length)
{
    static const char alphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
    QByteArray out(length, ' ');
    for (int i = 0; i < length; ++i) {
        out[i] = alphabet[rng.bounded(static_cast<int>(sizeof(alphabet) - 1))];
    }
    return out;
}

// A plaintext data file (the template) holding `rows` accounts of about 300 bytes.
void buildPlain(const QString& path, int rows)
{
    QFile::remove(path);
    if (!QFile::copy(QStringLiteral(":/DATABASE"), path)) {
        die(QStringLiteral("cannot copy the template to %1").arg(path));
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    sqlite3* db = nullptr;
    check(sqlite3_open(QFile::encodeName(path).constData(), &db), db, "open");
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO tblAccount VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                             -1, &st, nullptr),
          db, "prepare");
    QRandomGenerator rng(20261208);
    const int lengths[] = {0, 0, 12, 16, 40, 120, 8, 8, 8, 8, 9, 9, 9, 9};
    for (int r = 0; r < rows; ++r) {
        const QByteArray name = accountName(rng);
        QByteArray domain = name.left(name.indexOf(' ')).toLower();
        const QByteArray url = "https://www." + domain + ".com/" + randomText(rng, 8);
        for (int f = 0; f < 14; ++f) {
            const QByteArray v = f == 0 ? name : f == 1 ? url : randomText(rng, lengths[f]);
            sqlite3_bind_text(st, f + 1, v.constData(), static_cast<int>(v.size()),
                              SQLITE_TRANSIENT);
        }
        check(sqlite3_step(st), db, "insert");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

// The encrypted file at `pageSize`, written from the plaintext one.
void encrypt(const QString& plain, const QString& file, int pageSize)
{
    ado::detail::setPreferredPageSize(pageSize);
    QFile::remove(file);
    ado::CompactDatabase(frmMain::compactSource(plain, {}),
                         frmMain::compactDestination(file, kPassword));
}

sqlite3* openKeyed(const QString& path, int pageSize)
{
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE,
                          nullptr),
          db, "open");
    const QByteArray key = kPassword.toUtf8();
    check(sqlite3_key(db, key.constData(), static_cast<int>(key.size())), db, "key");
    check(sqlite3_exec(db, qPrintable(QStringLiteral("PRAGMA cipher_page_size = %1").arg(pageSize)),
                       nullptr, nullptr, nullptr),
          db, "page size");
    return db;
}

// SQLCipher's own work: every cell of every row read through the C API, key derivation
// included.
void rawRead(const QString& path, int pageSize)
{
    sqlite3* db = openKeyed(path, pageSize);
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
    if (bytes == 0) {
        die(QStringLiteral("raw read found nothing in %1").arg(path));
    }
}

// The key derivation alone: a key tried on the first page of a tiny file.
void keyDerivation(const QString& path, int pageSize)
{
    sqlite3* db = openKeyed(path, pageSize);
    check(sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr), db,
          "first page");
    sqlite3_close(db);
}

// A bare sqlcipher_export of the file into a fresh one at the same page size.
void bareExport(const QString& source, const QString& target, int pageSize)
{
    QFile::remove(target);
    QFile created(target);
    created.open(QIODevice::WriteOnly);
    created.close();
    sqlite3* db = openKeyed(source, pageSize);
    const QByteArray sql = QStringLiteral("ATTACH DATABASE '%1' AS x KEY '%2'; "
                                          "PRAGMA x.cipher_page_size = %3; "
                                          "SELECT sqlcipher_export('x'); DETACH DATABASE x;")
                               .arg(target, kPassword)
                               .arg(pageSize)
                               .toUtf8();
    check(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), db, "export");
    sqlite3_close(db);
}

// ---- The data layer ---------------------------------------------------------------------------

struct Opened
{
    std::shared_ptr<ado::Connection> conn = std::make_shared<ado::Connection>();
    ado::Recordset rs;
};

void openAndSort(Opened& o, const QString& file)
{
    o.conn->Open(frmMain::connectionString(file, kPassword));
    o.rs.Open(QStringLiteral("Select * from tblAccount"), o.conn);
    o.rs.setSort(QStringLiteral("Account ASC"));
}

// One-row edits, each written through at once, spread over the file.
void editFigures(const QString& file, int samples, Stats& update, Stats& remove, Stats& add)
{
    Opened o;
    openAndSort(o, file);
    const long count = o.rs.RecordCount();
    auto moveTo = [&](int i) { o.rs.setAbsolutePosition(1 + (i * 7919L) % (count - samples)); };
    int i = 0;
    update = timed(samples, [&] { moveTo(i++); }, [&] {
        o.rs.Fields(QStringLiteral("Password")).setValue(QStringLiteral("changed %1").arg(i));
        o.rs.Update();
    });
    remove = timed(samples, [&] { moveTo(i++); }, [&] { o.rs.Delete(); });
    add = timed(samples, {}, [&] {
        o.rs.AddNew();
        o.rs.Fields(QStringLiteral("Account"))
            .setValue(QStringLiteral("Bank of Added %1").arg(i++));
        o.rs.Update();
    });
}

void pageSizeTable(const Options& opt, const QString& dir)
{
    std::printf("\nPage-size table (medians of %d runs taken in turns across page sizes; edits: "
                "%d samples; ms)\n",
                opt.runs, opt.runs * 4);
    std::printf("%8s %6s %8s %9s %9s %8s %8s %8s %9s %9s %8s\n", "accounts", "page", "KDF",
                "raw read", "ado load", "update", "delete", "addnew", "compact", "export",
                "file MB");
    const QString copy = dir + QStringLiteral("/copy.pnv");
    for (int rows : opt.sizes) {
        const QString plain = dir + QStringLiteral("/plain%1.pnv").arg(rows);
        buildPlain(plain, rows);
        std::vector<QString> files;
        std::vector<QString> tinies;
        for (int page : opt.pageSizes) {
            files.push_back(dir + QStringLiteral("/table%1-%2.pnv").arg(rows).arg(page));
            encrypt(plain, files.back(), page);
            tinies.push_back(dir + QStringLiteral("/tiny%1.pnv").arg(page));
            if (!QFile::exists(tinies.back())) {
                buildPlain(tinies.back() + QStringLiteral(".plain"), 1);
                encrypt(tinies.back() + QStringLiteral(".plain"), tinies.back(), page);
            }
        }
        QFile::remove(plain);
        // One list of timings per figure, a timing per page size; the data layer is told the
        // page size before each (it tries only its preferred size and the legacy one).
        auto perPage = [&](const std::function<Timing(size_t, int)>& make) {
            std::vector<Timing> t;
            for (size_t i = 0; i < files.size(); ++i) {
                const int page = opt.pageSizes[i];
                Timing one = make(i, page);
                t.push_back({[page, prepare = one.prepare] {
                                 ado::detail::setPreferredPageSize(page);
                                 if (prepare) {
                                     prepare();
                                 }
                             },
                             one.measured});
            }
            return inTurns(opt.runs, t);
        };
        std::unique_ptr<Opened> o;
        const auto kdf = perPage([&](size_t i, int page) {
            return Timing{{}, [&, i, page] { keyDerivation(tinies[i], page); }};
        });
        const auto raw = perPage([&](size_t i, int page) {
            return Timing{{}, [&, i, page] { rawRead(files[i], page); }};
        });
        const auto load = perPage([&](size_t i, int) {
            return Timing{[&] { o = std::make_unique<Opened>(); },
                          [&, i] { openAndSort(*o, files[i]); }};
        });
        o.reset();
        const auto compact = perPage([&](size_t i, int) {
            return Timing{[&] { QFile::remove(copy); }, [&, i] {
                              ado::CompactDatabase(frmMain::compactSource(files[i], kPassword),
                                                   frmMain::compactDestination(copy, kPassword));
                          }};
        });
        const auto exported = perPage([&](size_t i, int page) {
            return Timing{{}, [&, i, page] { bareExport(files[i], copy, page); }};
        });
        for (size_t i = 0; i < files.size(); ++i) {
            ado::detail::setPreferredPageSize(opt.pageSizes[i]);
            Stats update, remove, add;
            editFigures(files[i], opt.runs * 4, update, remove, add);
            std::printf("%8d %6d %8.1f %9.1f %9.1f %8.2f %8.2f %8.2f %9.1f %9.1f %8.1f\n", rows,
                        opt.pageSizes[i], kdf[i].median(), raw[i].median(), load[i].median(),
                        update.median(), remove.median(), add.median(), compact[i].median(),
                        exported[i].median(),
                        static_cast<double>(QFile(files[i]).size()) / 1048576.0);
            QFile::remove(files[i]);
        }
        QFile::remove(copy);
    }
    ado::detail::setPreferredPageSize(ado::detail::kDefaultPageSize);
}

// ---- The main window --------------------------------------------------------------------------

// Every box would be a failure here (and would wait for a click): print it and go on.
class BenchHost : public host::QtHost
{
public:
    int message(const host::MessageRequest& r) override
    {
        std::fprintf(stderr, "unexpected message box: %s: %s\n", qPrintable(r.title),
                     qPrintable(r.prompt));
        return 1;
    }
};

void logIn()
{
    gUserName = QStringLiteral("BENCH");
    gMasterPassword = kMaster;
    Module1::SetKey(kMaster);
    gStoredPassword = Module1::Encrypt(kMaster);
    frmMain::setCommandLineText(QString());
}

// Child mode "--open-and-exit <file>": the whole life of a process that shows the accounts.
int openAndExit(const QString& file)
{
    logIn();
    frmMain w;
    gDBpath = file;
    return w.DBconnect(QString()) ? 0 : 1;
}

void windowFigures(const Options& opt, const QString& dir)
{
    const int page = ado::detail::kDefaultPageSize;
    std::printf("\nWhat the user waits for, at %d-byte pages (medians of %d runs, [range])\n",
                page, opt.runs);
    logIn();
    for (int rows : opt.sizes) {
        const QString plain = dir + QStringLiteral("/wplain%1.pnv").arg(rows);
        const QString file = dir + QStringLiteral("/window%1.pnv").arg(rows);
        buildPlain(plain, rows);
        encrypt(plain, file, page);
        QFile::remove(plain);
        std::printf("\n%d accounts, file %.1f MB\n", rows,
                    static_cast<double>(QFile(file).size()) / 1048576.0);

        std::unique_ptr<frmMain> w;
        const auto reads = inTurns(
            opt.runs, {{{}, [&] { rawRead(file, page); }},
                       {[&] {
                            w.reset();
                            w = std::make_unique<frmMain>();
                            gDBpath = file;
                        },
                        [&] {
                            if (!w->DBconnect(QString())) {
                                die(QStringLiteral("DBconnect failed"));
                            }
                        }}});
        const Stats& raw = reads[0];
        const Stats& connect = reads[1];
        line("raw SQLCipher read (C API)", raw.text());
        line("DBconnect (open + load + sort + show)", connect.text(),
             QStringLiteral("%1x raw; target <= 1.3x")
                 .arg(connect.median() / raw.median(), 0, 'f', 2));

        ado::Recordset* rs = w->Adodc1->Recordset();
        const Stats prefix = timed(opt.runs, {}, [&] {
            rs->setFilter(QStringLiteral("Account LIKE 'bank of s*'"));
        });
        const long prefixRows = rs->RecordCount();
        const Stats contains = timed(opt.runs, {}, [&] {
            rs->setFilter(QStringLiteral("Account LIKE '*visa*'"));
        });
        const long containsRows = rs->RecordCount();
        rs->setFilter(QString());
        const Stats toggle = timed(opt.runs, {}, [&] {
            rs->setSort(QStringLiteral("Account DESC"));
            rs->setSort(QStringLiteral("Account ASC"));
        });
        Stats firstSort;
        for (int r = 0; r < opt.runs; ++r) {
            // Keys and their order are kept per field: only a fresh load sorts from scratch.
            w->Adodc1->Refresh();
            firstSort.ms.push_back(timed(1, {}, [&] {
                rs->setSort(QStringLiteral("URL ASC"));
            }).ms.front());
        }
        rs->setSort(QStringLiteral("Account ASC"));
        line("first sort by URL after a load", firstSort.text());
        line("filter 'bank of s*'", prefix.text(), QStringLiteral("%1 rows").arg(prefixRows));
        line("filter '*visa*'", contains.text(), QStringLiteral("%1 rows").arg(containsRows));
        line("sort DESC then ASC", toggle.text());

        const QString copy = dir + QStringLiteral("/export.pnv");
        const auto compactions = inTurns(
            opt.runs, {{{}, [&] { bareExport(file, copy, page); }},
                       {[&] {
                            w.reset();
                            w = std::make_unique<frmMain>();
                            gDBpath = file;
                            w->DBconnect(QString());
                        },
                        [&] {
                            if (!w->CompactAndEncrypt(QString(), QString())) {
                                die(QStringLiteral("CompactAndEncrypt failed"));
                            }
                        }}});
        QFile::remove(copy);
        const Stats& bare = compactions[0];
        const Stats& compact = compactions[1];
        w.reset();
        line("bare sqlcipher_export", bare.text());
        line("CompactAndEncrypt in place (close)", compact.text(),
             QStringLiteral("%1x export; target <= 1.2x")
                 .arg(compact.median() / bare.median(), 0, 'f', 2));

        const Stats whole = timed(opt.runs, {}, [&] {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--open-and-exit"), file});
            if (!child.waitForFinished(120000) || child.exitCode() != 0) {
                die(QStringLiteral("the open-and-exit process failed"));
            }
        });
        line("whole process: start, open, exit", whole.text(),
             rows == 100000 ? QStringLiteral("target < 350 ms") : QString());
        QFile::remove(file);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    const bool child = argc == 3 && qstrcmp(argv[1], "--open-and-exit") == 0;
    const bool make = argc == 4 && qstrcmp(argv[1], "--make") == 0;
    // Nothing of the real home, settings or temporary folder is touched: a scratch folder
    // stands in for all of them, for this process and its children.
    std::unique_ptr<QTemporaryDir> scratch;
    if (qEnvironmentVariableIsEmpty("PINVARA_BENCH_SCRATCH")) {
        scratch = std::make_unique<QTemporaryDir>();
        if (!scratch->isValid()) {
            die(QStringLiteral("no scratch folder"));
        }
        const QByteArray root = QFile::encodeName(scratch->path());
        qputenv("PINVARA_BENCH_SCRATCH", root);
        qputenv("HOME", root);
        qputenv("XDG_CONFIG_HOME", root + "/.config");
        qputenv("XDG_RUNTIME_DIR", root);
        qputenv("TMPDIR", root);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    resources::initResources();
    BenchHost benchHost;
    host::HostOverride hostOverride(benchHost);
    modCatchwell::setAppFolder(qEnvironmentVariable("PINVARA_BENCH_SCRATCH"));
    if (child) {
        return openAndExit(QString::fromLocal8Bit(argv[2]));
    }
    if (make) {
        const QString file = QString::fromLocal8Bit(argv[2]);
        buildPlain(file + QStringLiteral(".plain"),
                   numberList(QString::fromLocal8Bit(argv[3])).front());
        encrypt(file + QStringLiteral(".plain"), file, ado::detail::kDefaultPageSize);
        QFile::remove(file + QStringLiteral(".plain"));
        return 0;
    }

    const Options opt = parseOptions(QCoreApplication::arguments());
    try {
        if (opt.table) {
            pageSizeTable(opt, qEnvironmentVariable("PINVARA_BENCH_SCRATCH"));
        }
        if (opt.window) {
            windowFigures(opt, qEnvironmentVariable("PINVARA_BENCH_SCRATCH"));
        }
    } catch (const vb::Error& e) {
        die(QStringLiteral("error %1: %2").arg(e.number).arg(e.description));
    }
    return 0;
}
