// Sub Main is compiled into the program rather than a library, so the test compiles it too.
#include "startup/Main.cpp"

#include "ScriptedHost.h"
#include "TestMain.h"
#include "platform/settings/SettingsStore.h"
#include "startup/Globals.h"
#include "startup/frmLogin.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <atomic>
#include <thread>

using namespace Qt::StringLiterals;

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
};

PINVARA_TEST_MAIN(TestMain)
#include "tst_main.moc"
