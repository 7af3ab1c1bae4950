// Two processes on one data file: one killed in the middle of an in-place compaction, again and
// again, must leave a file that opens with every account; one that has the file open keeps
// another from opening or replacing it.
#include "MainWindowFixture.h"
#include "TestMain.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"
#include "platform/vb/Constants.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>

#include <cstdio>

namespace {

const int kAccounts = 200;

// The `count` arguments after `flag` in this child's command line (empty when some are
// missing), with the user JOHN logged in under the master password that is the last of them.
QStringList childArgs(const char* flag, int count)
{
    const QStringList args = QCoreApplication::arguments();
    const qsizetype at = args.indexOf(QString::fromLatin1(flag));
    if (at < 0 || at + count >= args.size()) {
        return {};
    }
    MainWindowFixture::login(QStringLiteral("JOHN"), args[at + count]);
    frmMain::setCommandLineText(QString());
    return args.mid(at + 1, count);
}

// Child mode: "--compact-child <file> <old master> <new master>" re-keys the file in place.
const testenv::ChildMode compactChild("--compact-child", [] {
    const QStringList args = childArgs("--compact-child", 3);
    if (args.isEmpty()) {
        return 2;
    }
    gDBpath = args[0];
    frmMain w;
    gDBpath = args[0];
    w.CompactAndEncrypt(QString(), args[1]);
    return 0;
});

void addAccount(frmMain& w, const QString& name)
{
    ado::Recordset* rs = w.Adodc1->Recordset();
    rs->AddNew();
    rs->Fields(QStringLiteral("Account")).setValue(name);
    rs->Update();
}

// Child mode: "--hold-child <file> <master>" opens the file, adds an account, says "open", and
// on a line from its input adds another and closes the window (which compacts the file).
const testenv::ChildMode holdChild("--hold-child", [] {
    const QStringList args = childArgs("--hold-child", 2);
    if (args.isEmpty()) {
        return 2;
    }
    frmMain w;
    gDBpath = args[0];
    const bool opened = w.DBconnect(QString());
    addAccount(w, QStringLiteral("first"));
    std::printf(opened ? "open\n" : "failed\n");
    std::fflush(stdout);
    char line[16];
    if (std::fgets(line, sizeof line, stdin) == nullptr) {
        return 2;
    }
    addAccount(w, QStringLiteral("second"));
    w.close();
    return 0;
});

// The number of accounts the file holds under the master password; -1 when it does not open.
long accountsIn(const QString& file, const QString& master)
{
    try {
        auto c = std::make_shared<ado::Connection>();
        c->Open(frmMain::connectionString(file, master + QStringLiteral("R7305")));
        ado::Recordset rs;
        rs.Open(QStringLiteral("Select * from tblAccount"), c);
        return rs.RecordCount();
    } catch (const vb::Error&) {
        return -1;
    }
}

bool opensWithAll(const QString& file, const QString& master)
{
    return accountsIn(file, master) == kAccounts;
}

} // namespace

class TestCompactKill : public QObject
{
    Q_OBJECT

    MainWindowFixture fx;

private slots:
    void init() { fx.setUp(QStringLiteral("Master0")); }
    void cleanup() { fx.tearDown(); }

    void aKilledCompactionLeavesAWholeFile()
    {
        // Guards against a crash mid-compaction leaving a half-written or unreadable data file.
        QString file;
        {
            frmMain w;
            gDBpath = fx.templateFile(QStringLiteral("victim.pnv"));
            file = gDBpath;
            QVERIFY(w.CompactAndEncrypt(QString(), QString()));
            QVERIFY(w.DBconnect(QString()));
            ado::Recordset* rs = w.Adodc1->Recordset();
            for (int i = 0; i < kAccounts; ++i) {
                rs->AddNew();
                rs->Fields(QStringLiteral("Account")).setValue(QStringLiteral("Account %1").arg(i));
                rs->Fields(QStringLiteral("Info")).setValue(QString(200, QChar(u'a' + i % 26)));
                rs->Update();
            }
            QVERIFY(w.CompactAndEncrypt(QString(), QString()));
        }
        QVERIFY(opensWithAll(file, QStringLiteral("Master0")));

        QString current = QStringLiteral("Master0");
        int rekeyed = 0;
        for (int run = 1; run <= 12; ++run) {
            const QString next = QStringLiteral("Master%1").arg(run);
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--compact-child"), file, current, next});
            QVERIFY(child.waitForStarted());
            const int delay = run == 12 ? 30000 : QRandomGenerator::global()->bounded(50, 900);
            if (!child.waitForFinished(delay)) {
                child.kill();
                child.waitForFinished();
            }
            const bool old = opensWithAll(file, current);
            const bool renewed = opensWithAll(file, next);
            QVERIFY2(old || renewed, qPrintable(QStringLiteral("run %1 after %2 ms").arg(run).arg(delay)));
            if (renewed) {
                current = next;
                ++rekeyed;
            }
        }
        // The last run was left to finish: it must have re-keyed the file.
        QCOMPARE(current, QStringLiteral("Master12"));
        QVERIFY(rekeyed >= 1);
    }

    void aFileInUseIsNeitherOpenedNorReplacedByAnotherProcess()
    {
        // Guards against two instances on one file, where one's compaction loses the other's work.
        QString file;
        {
            frmMain w;
            gDBpath = fx.templateFile(QStringLiteral("shared.pnv"));
            file = gDBpath;
            QVERIFY(w.CompactAndEncrypt(QString(), QString()));
        }
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--hold-child"), file, QStringLiteral("Master0")});
        QVERIFY(child.waitForReadyRead(60000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("open"));
        {
            frmMain w;
            gDBpath = file;
            fx.host->answerNext(vb::vbOK);
            QVERIFY(!w.DBconnect(QString()));
            QCOMPARE(fx.host->messages().size(), 1);
            QVERIFY2(fx.host->messages().constFirst().text.contains(QStringLiteral("in use")),
                     qPrintable(fx.host->messages().constFirst().text));
            gDBpath = file;
            QVERIFY(!w.CompactAndEncrypt(QString(), QString()));
            QCOMPARE(fx.host->messages().size(), 1);
        }
        child.write("go\n");
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(accountsIn(file, QStringLiteral("Master0")), 2L);
    }
};

PINVARA_TEST_MAIN(TestCompactKill)
#include "tst_compactkill.moc"
