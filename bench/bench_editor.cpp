// Times the main window's own handlers offscreen over a data file of 100,000 accounts: the two
// filters, a header-click sort, the quick search, adding, typing and saving an account, and a
// delete. Prints medians against the targets; it asserts nothing.
#include "cipher/StringCipher.h"
#include "errortrace/CatchwellState.h"
#include "mainwindow/frmMain.h"
#include "platform/ado/Compact.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SqlCipher.h"
#include "platform/adoui/DataControl.h"
#include "platform/adoui/DataGrid.h"
#include "platform/host/QtHost.h"
#include "resources/Resources.h"
#include "startup/Globals.h"
#include "startup/Module1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const int kAccounts = 100000;
const int kRuns = 7;
const QString kMaster = QStringLiteral("Bench#1");

// A message box would wait for a click that never comes: print it and answer OK.
class BenchHost : public host::QtHost
{
public:
    int message(const host::MessageRequest& r) override
    {
        std::fprintf(stderr, "message box: [%s] %s\n", qPrintable(r.title), qPrintable(r.prompt));
        return 1;
    }
};

QString randomWord(QRandomGenerator& rng, int length)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz";
    QString out;
    for (int i = 0; i < length; ++i) {
        out += QLatin1Char(letters[rng.bounded(26)]);
    }
    return out;
}

// The template with `rows` accounts, then compacted into a file keyed for the bench user.
void buildFile(const QString& dir, const QString& file)
{
    const QString plain = dir + QStringLiteral("/plain.pnv");
    resources::initResources();
    QFile::copy(QStringLiteral(":/DATABASE"), plain);
    QFile::setPermissions(plain, QFile::ReadOwner | QFile::WriteOwner);
    ado::detail::Database db;
    db.open(plain, {});
    db.exec(QStringLiteral("BEGIN"));
    QRandomGenerator rng(20261208);
    for (int r = 0; r < kAccounts; ++r) {
        ado::detail::Statement st(db,
            QStringLiteral("INSERT INTO tblAccount (Account, URL, IDtext, Password, Hint, Info) "
                           "VALUES (?, ?, ?, ?, ?, ?)"));
        st.bindText(1, randomWord(rng, 4) + QLatin1Char(' ') + randomWord(rng, 8));
        st.bindText(
            2, QStringLiteral("https://") + randomWord(rng, 10) + QStringLiteral(".example"));
        st.bindText(3, randomWord(rng, 8));
        st.bindText(4, randomWord(rng, 12));
        st.bindText(5, randomWord(rng, 30));
        st.bindText(6, randomWord(rng, 100));
        st.step();
    }
    db.exec(QStringLiteral("COMMIT"));
    db.close();
    const QString password = kMaster + QStringLiteral("R7305");
    ado::CompactDatabase(
        frmMain::compactSource(plain, password), frmMain::compactDestination(file, password));
    QFile::remove(plain);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A bare one-row commit in `folder`: what the disk's flush costs every save and delete.
double commitTime(const QString& folder)
{
    const QString path = folder + QStringLiteral("/bench-commit.pnv");
    QFile::remove(path);
    // The data layer opens only existing files: an empty one is a new database.
    QFile created(path);
    if (!created.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(path));
        std::exit(1);
    }
    created.close();
    std::vector<double> runs;
    {
        ado::detail::Database db;
        if (!db.open(path, "k").ok() || !db.exec(QStringLiteral("CREATE TABLE t (a TEXT)")).ok()) {
            std::fprintf(stderr, "cannot make a database in %s\n", qPrintable(path));
            std::exit(1);
        }
        for (int i = 0; i < kRuns; ++i) {
            QElapsedTimer t;
            t.start();
            db.exec(QStringLiteral("INSERT INTO t VALUES ('x')"));
            runs.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        }
    }
    QFile::remove(path);
    return median(runs);
}

// Milliseconds from the step's start until the grid has painted what it now shows.
template <class Step>
double timed(frmMain& w, Step&& step)
{
    QElapsedTimer t;
    t.start();
    step();
    QCoreApplication::processEvents();
    w.DataGrid1->viewport()->repaint();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

void report(const char* what, const std::vector<double>& runs, double target)
{
    const double m = median(runs);
    std::printf(
        "  %-40s %8.2f ms   (target < %g ms%s)\n", what, m, target, m < target ? "" : ", MISSED");
}

void type(QWidget* box, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    // Settings, logs and temporary files stay in a folder of the bench's own.
    QTemporaryDir dir;
    const QByteArray home = dir.path().toLocal8Bit();
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_RUNTIME_DIR", home);
    qputenv("TMPDIR", home);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    BenchHost benchHost;
    host::HostOverride useBenchHost(benchHost);
    modCatchwell::setAppFolder(dir.path());

    // The data file's folder may be given: the save and delete figures include the disk's flush.
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path();
    const QString file = folder + QStringLiteral("/bench-editor.pnv");
    std::printf("building %d accounts...\n", kAccounts);
    QFile::remove(file);
    buildFile(dir.path(), file);
    const double flush = commitTime(folder);

    gUserName = QStringLiteral("BENCH");
    gMasterPassword = kMaster;
    Module1::SetKey(kMaster);
    gStoredPassword = Module1::Encrypt(kMaster);
    frmMain::setCommandLineText(QString());
    frmMain w;
    w.show();
    QCoreApplication::processEvents();

    gDBpath = file;
    const double open = timed(w, [&] { w.DBconnect(QString()); });
    std::printf("\n%ld accounts, file %.1f MB\n", long(w.Adodc1->Recordset()->RecordCount()),
        QFile(file).size() / 1048576.0);
    std::printf(
        "  %-40s %8.2f ms   (informative)\n", "open (DBconnect) until the grid shows", open);

    int resets = 0;
    QObject::connect(w.DataGrid1->model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    const char* const prefixes[] = { "ab", "cd", "ef", "gh", "ij", "kl", "mn", "op", "qr" };

    std::vector<double> prefix;
    std::vector<double> contains;
    for (int i = 0; i < kRuns; ++i) {
        w.txtFilter->setText(QString::fromLatin1(prefixes[i]));
        prefix.push_back(timed(w, [&] { w.cmdFilter_Click(); }));
    }
    const QString prefixCount = w.panelText(1);
    for (int i = 0; i < kRuns; ++i) {
        w.txtFilter2->setText(QString::fromLatin1(prefixes[i]));
        contains.push_back(timed(w, [&] { w.cmdFilter2_Click(); }));
    }
    const QString containsCount = w.panelText(1);
    const double clear = timed(w, [&] { w.cmdClearFilter_Click(); });

    std::vector<double> sort;
    for (int i = 0; i < kRuns; ++i) {
        sort.push_back(timed(w, [&] { w.DataGrid1_HeadClick(i % 2); }));
    }

    std::vector<double> search;
    for (int i = 0; i < kRuns; ++i) {
        int key = "mqaxkzb"[i];
        search.push_back(timed(w, [&] { w.DataGrid1_KeyPress(key); }));
    }

    resets = 0;
    std::vector<double> add;
    std::vector<double> typing;
    std::vector<double> save;
    std::vector<double> whole;
    for (int i = 0; i < kRuns; ++i) {
        const double a = timed(w, [&] { w.cmdAdd_Click(); });
        const double t
            = timed(w, [&] { type(w.txtAccount, QStringLiteral("Bench account %1").arg(i)); });
        // Clicking another account saves the new one.
        const double s
            = timed(w, [&] { w.DataGrid1->setCurrentIndex(w.DataGrid1->model()->index(0, 0)); });
        add.push_back(a);
        typing.push_back(t);
        save.push_back(s);
        whole.push_back(a + t + s);
    }

    std::vector<double> del;
    for (int i = 0; i < kRuns; ++i) {
        w.DataGrid1->setCurrentIndex(w.DataGrid1->model()->index(i + 1, 0));
        del.push_back(timed(w, [&] { w.cmdClear_Click(); }));
    }
    const int editResets = resets;

    std::printf("  medians of %d runs:\n", kRuns);
    report("prefix filter (cmdFilter_Click)", prefix, 50);
    std::printf("  %-40s %s\n", "", qPrintable(prefixCount));
    report("contains filter (cmdFilter2_Click)", contains, 50);
    std::printf("  %-40s %s\n", "", qPrintable(containsCount));
    std::printf("  %-40s %8.2f ms   (informative: rebuilds from the file)\n",
        "clear filter (cmdClearFilter_Click)", clear);
    report("header-click sort (DataGrid1_HeadClick)", sort, 50);
    report("quick search (DataGrid1_KeyPress)", search, 10);
    report("Add New (cmdAdd_Click)", add, 10);
    std::printf(
        "  %-40s %8.2f ms   (informative: 16 keys)\n", "typing the account name", median(typing));
    report("saving it (click on another row)", save, 10);
    std::printf("  %-40s %8.2f ms   (informative)\n", "add + type + save", median(whole));
    report("Delete (cmdClear_Click)", del, 10);
    std::printf("  %-40s %8.2f ms   (the disk's share of each save and delete)\n",
        "one-row commit in that folder, bare", flush);
    QFile::remove(file);
    std::printf("  grid rows fixed height: %s; model resets during add/type/save/delete: %d\n",
        w.DataGrid1->verticalHeader()->sectionResizeMode(0) == QHeaderView::Fixed ? "yes" : "no",
        editResets);
    return 0;
}
