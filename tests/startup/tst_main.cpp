// Sub Main is compiled into the program rather than a library, so the test compiles it too.
#include "startup/Main.cpp"

#include "ScriptedHost.h"
#include "TestMain.h"
#include "cipher/StringCipher.h"
#include "platform/settings/SettingsStore.h"
#include "startup/Globals.h"
#include "startup/frmLogin.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void logIn(QWidget& w, const QString& password)
{
    w.findChild<QLineEdit*>(u"txtUserName"_s)->setText(u"TESTER"_s);
    w.findChild<QLineEdit*>(u"txtPassword"_s)->setText(password);
    QTest::mouseClick(w.findChild<QPushButton*>(u"cmdOK"_s), Qt::LeftButton);
}

// The program as main() runs it, with the login answered by a script: says "ready" once the
// main window is up, and ends with the event loop (3 when something unscripted was shown).
const testenv::ChildMode asProgram("--program", [] {
    ScriptedHost host;
    host.onModal(u"frmLogin"_s, [](QWidget& w) { logIn(w, u"secret"_s); });
    frmMain::setCommandLineText(QString()); // the mode's flag names no data file
    Module1::Main();
    int code = 2;
    if (Module1::gMainForm) {
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
        code = QApplication::exec();
        Module1::gMainForm.reset();
    }
    if (!host.drainReport().isEmpty()) {
        std::fputs(qPrintable(host.drainReport()), stderr);
        code = 3;
    }
    return code;
});

QByteArray fileHeader(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.read(15) : QByteArray();
}

// A start of its own while another instance runs: ends 0 when it showed nothing at all.
const testenv::ChildMode secondStart("--second-start", [] {
    ScriptedHost host;
    Module1::Main();
    const bool quiet = !Module1::gMainForm && host.transcript().isEmpty();
    Module1::gMainForm.reset();
    return quiet ? 0 : 1;
});

} // namespace

class TestMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("PINVARA_SPLASH_MS", "0");
        QFile::remove(settings::settingsFile(host::kAppTitle));
        settings::SaveSetting(host::kAppTitle, u"LastLogin"_s, u"Name"_s, u"TESTER"_s);
    }

    void cancelledLoginEndsWithoutMainWindow()
    {
        // Guards against the main window opening, or settings being written, after a cancel.
        ScriptedHost host;
        host.onModal(u"frmLogin"_s, [](QWidget& w) {
            QTest::mouseClick(w.findChild<QPushButton*>(u"cmdCancel"_s), Qt::LeftButton);
        });
        Module1::Main();
        QVERIFY(!Module1::gMainForm);
        QVERIFY(settings::GetSetting(host::kAppTitle, u"Accounts\\TESTER"_s, u"PW"_s).isEmpty());
        VERIFY_DRAINED(host);
    }

    void acceptedLoginShowsMainWindowThatAnswersLaterStarts()
    {
        // Guards against the main window not showing, or a second process not finding it and
        // going on to a login of its own.
        ScriptedHost host;
        host.onModal(u"frmLogin"_s, [](QWidget& w) { logIn(w, u"secret"_s); });
        host.onModal(u"frmPWconfirm"_s, [](QWidget& w) {
            w.findChild<QLineEdit*>(u"txtPW"_s)->setText(u"secret"_s);
            QTest::mouseClick(w.findChild<QPushButton*>(u"OKButton"_s), Qt::LeftButton);
        });
        Module1::Main();
        QVERIFY(Module1::gMainForm);
        QVERIFY(Module1::gMainForm->isVisible());
        QCOMPARE(gUserName, u"TESTER"_s);
        VERIFY_DRAINED(host);

        // A second start, a process of its own, finds the window and ends showing nothing.
        Module1::gMainForm->showMinimized();
        QProcess second;
        second.setProcessChannelMode(QProcess::ForwardedChannels);
        second.start(QCoreApplication::applicationFilePath(), {u"--second-start"_s});
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 30000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QTRY_VERIFY(!Module1::gMainForm->isMinimized());
        Module1::gMainForm.reset();
    }

    void terminationClosesAsTheCloseBoxDoes()
    {
        // Guards against a logout or SIGTERM ending the program without saving its settings
        // and compacting the data file.
        QTemporaryDir folder;
        const QString data = folder.filePath(u"mine.pnv"_s);
        QCOMPARE(Module1::SaveResItemToDisk(u"DATABASE"_s, u"CUSTOM"_s, data), 0L);
        const QByteArray plain = fileHeader(data);
        const QString section = u"Accounts\\TESTER"_s;
        const QString own = section + u"\\Settings"_s;
        Module1::SetKey(u"secret"_s);
        settings::SaveSetting(host::kAppTitle, section, u"PW"_s, Module1::Encrypt(u"secret"_s));
        settings::SaveSetting(host::kAppTitle, own, u"DBpath"_s, data);
        settings::SaveSetting(host::kAppTitle, own, u"AutoLoad"_s, u"False"_s);

        // The child shares this process's settings, so what it saved can be read here.
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {u"--program"_s});
        bool ready = false;
        while (!ready && (child.canReadLine() || child.waitForReadyRead(30000))) {
            ready = child.readLine() == "ready\n";
        }
        QVERIFY(ready);
        QVERIFY(settings::GetSetting(host::kAppTitle, own, u"MainLeft"_s).isEmpty());
        ::kill(static_cast<pid_t>(child.processId()), SIGTERM);
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);

        QVERIFY(!settings::GetSetting(host::kAppTitle, own, u"MainLeft"_s).isEmpty());
        QCOMPARE(settings::GetSetting(host::kAppTitle, own, u"DBpath"_s), data);
        QCOMPARE(plain, QByteArray("SQLite format 3"));
        QVERIFY(fileHeader(data) != plain); // compacted and encrypted under the login
    }
};

PINVARA_TEST_MAIN(TestMain)
#include "tst_main.moc"
