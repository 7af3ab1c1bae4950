// Kills a process in the middle of an in-place compaction, again and again, and checks that the
// data file always opens, under the old or the new password, with every account.
#include "MainWindowFixture.h"
#include "TestMain.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>

#include <cstdlib>

namespace {

const int kAccounts = 200;

// Child mode: "--compact-child <file> <old master> <new master>" re-keys the file in place.
void compactChild()
{
    const QStringList args = QCoreApplication::arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--compact-child"));
    if (at < 0 || at + 3 >= args.size()) {
        return;
    }
    MainWindowFixture::login(QStringLiteral("JOHN"), args[at + 3]);
    frmMain::setCommandLineText(QString());
    gDBpath = args[at + 1];
    {
        frmMain w;
        gDBpath = args[at + 1];
        w.CompactAndEncrypt(QString(), args[at + 2]);
    }
    std::_Exit(0);
}

bool opensWithAll(const QString& file, const QString& master)
{
    try {
        auto c = std::make_shared<ado::Connection>();
        c->Open(frmMain::connectionString(file, master + QStringLiteral("R7305")));
        ado::Recordset rs;
        rs.Open(QStringLiteral("Select * from tblAccount"), c);
        return rs.RecordCount() == kAccounts;
    } catch (const vb::Error&) {
        return false;
    }
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(compactChild)

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
};

PINVARA_TEST_MAIN(TestCompactKill)
#include "tst_compactkill.moc"
