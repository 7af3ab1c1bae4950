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
#include <QScopeGuard>
#include <QTemporaryDir>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

void logIn(QWidget& w, const QString& password)
{
    w.findChild<QLineEdit*>(u"txtUserName"_s)->setText(u"TESTER"_s);
    w.findChild<QLineEdit*>(u"txtPassword"_s)->setText(password);
    QTest::mouseClick(w.findChild<QPushButton*>(u"cmdOK"_s), Qt::LeftButton);
}

// Child mode of the termination test: the program as main() runs it, with the login answered
// by a script. It says "ready" once the main window is up and ends with the event loop.
void runAsProgramWhenAsked()
{
    if (qEnvironmentVariableIsEmpty("PINVARA_PROGRAM_CHILD")) {
        return;
    }
    int code = 2;
    {
        ScriptedHost host;
        host.onModal(u"frmLogin"_s, [](QWidget& w) { logIn(w, u"secret"_s); });
        Module1::Main();
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
    }
    std::_Exit(code);
}

QByteArray fileHeader(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.read(15) : QByteArray();
}

} // namespace

class TestMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        runAsProgramWhenAsked();
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
        // Guards against the main window not showing, or a second start not finding it.
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

        // A second start finds the window and ends before showing anything of its own.
        Module1::gMainForm->showMinimized();
        std::atomic<bool> done{false};
        std::atomic<int> found{0};
        // The answering window needs this thread's event loop, so the look-up runs beside it.
        const QString caption = Module1::LoadResString(1073);
        std::thread second([&] {
            found = singleinstance::activateRunning(caption) ? 1 : 0;
            done = true;
        });
        QTRY_VERIFY(done);
        second.join();
        QCOMPARE(found.load(), 1);
        QTRY_VERIFY(!Module1::gMainForm->isMinimized());
        Module1::gMainForm.reset();
    }

    void terminationClosesAsTheCloseBoxDoes()
    {
        // Guards against a logout or SIGTERM ending the program without saving its settings
        // and compacting the data file.
        QTemporaryDir home;
        const QString config = home.filePath(u"config"_s);
        const bool hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        const auto restoreConfig = qScopeGuard(
            [hadConfig, own = qgetenv("XDG_CONFIG_HOME")] {
                hadConfig ? qputenv("XDG_CONFIG_HOME", own) : qunsetenv("XDG_CONFIG_HOME");
            });
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
        const QString data = home.filePath(u"mine.pnv"_s);
        QCOMPARE(Module1::SaveResItemToDisk(u"DATABASE"_s, u"CUSTOM"_s, data), 0L);
        const QByteArray plain = fileHeader(data);
        Module1::SetKey(u"secret"_s);
        const QString section = u"Accounts\\TESTER"_s;
        settings::SaveSetting(host::kAppTitle, u"LastLogin"_s, u"Name"_s, u"TESTER"_s);
        settings::SaveSetting(host::kAppTitle, section, u"PW"_s, Module1::Encrypt(u"secret"_s));
        settings::SaveSetting(host::kAppTitle, section + u"\\Settings"_s, u"DBpath"_s, data);
        settings::SaveSetting(host::kAppTitle, section + u"\\Settings"_s, u"AutoLoad"_s,
                              u"False"_s);

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"PINVARA_PROGRAM_CHILD"_s, u"1"_s);
        env.insert(u"PINVARA_SPLASH_MS"_s, u"0"_s);
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"HOME"_s, home.path());
        env.insert(u"XDG_CONFIG_HOME"_s, config);
        env.insert(u"XDG_STATE_HOME"_s, home.filePath(u"state"_s));
        env.insert(u"TMPDIR"_s, home.path());
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(home.path());
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(program.waitForStarted());
        bool ready = false;
        while (!ready && (program.canReadLine() || program.waitForReadyRead(30000))) {
            ready = program.readLine() == "ready\n";
        }
        QVERIFY(ready);
        QCOMPARE(settings::GetSetting(host::kAppTitle, section + u"\\Settings"_s, u"MainLeft"_s),
                 QString());
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);

        QVERIFY(!settings::GetSetting(host::kAppTitle, section + u"\\Settings"_s, u"MainLeft"_s)
                     .isEmpty());
        QCOMPARE(settings::GetSetting(host::kAppTitle, section + u"\\Settings"_s, u"DBpath"_s),
                 data);
        QCOMPARE(plain, QByteArray("SQLite format 3"));
        QVERIFY(fileHeader(data) != plain); // compacted and encrypted under the login
    }
};

PINVARA_TEST_MAIN(TestMain)
#include "tst_main.moc"
