// Sub Main is compiled into the program rather than a library, so the test compiles it too.
#include "startup/Main.cpp"

#include "ScriptedHost.h"
#include "TestMain.h"
#include "platform/settings/SettingsStore.h"
#include "startup/Globals.h"
#include "startup/frmLogin.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

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

    static void logIn(QWidget& w, const QString& password)
    {
        w.findChild<QLineEdit*>(u"txtUserName"_s)->setText(u"TESTER"_s);
        w.findChild<QLineEdit*>(u"txtPassword"_s)->setText(password);
        QTest::mouseClick(w.findChild<QPushButton*>(u"cmdOK"_s), Qt::LeftButton);
    }

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
};

PINVARA_TEST_MAIN(TestMain)
#include "tst_main.moc"
