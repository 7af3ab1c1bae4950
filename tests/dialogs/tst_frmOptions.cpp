#include "DataFileFixture.h"
#include "ScriptedHost.h"
#include "TestMain.h"
#include "cipher/StringCipher.h"
#include "dialogs/frmOptions.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/host/Host.h"
#include "platform/settings/SettingsStore.h"
#include "startup/Globals.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>

class TestFrmOptions : public QObject
{
    Q_OBJECT

    std::unique_ptr<testenv::ScratchHome> home;
    std::unique_ptr<ScriptedHost> host;
    const QString kSettings = QStringLiteral("Accounts\\JOHN\\Settings");

    template <class T>
    static T* w(const frmOptions& f, const char* name)
    {
        T* found = f.findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qFatal("no control %s", name);
        }
        return found;
    }

    QString stored(const QString& section, const char* key) const
    {
        return settings::GetSetting(
            host::kAppTitle, section, QString::fromLatin1(key), QStringLiteral("<none>"));
    }

private slots:
    void init()
    {
        home = std::make_unique<testenv::ScratchHome>();
        host = std::make_unique<ScriptedHost>();
        resetGlobals();
        gUserName = QStringLiteral("JOHN");
        gMasterPassword = QStringLiteral("Secret#1");
        Module1::SetKey(gMasterPassword);
        gStoredPassword = Module1::Encrypt(gMasterPassword);
        gPeekOn = gTimeoutOn = gAutoLoad = true;
        gPeekTime = 10;
        gTimeoutTime = 5;
    }
    void cleanup()
    {
        VERIFY_DRAINED(*host);
        host.reset();
        home.reset();
    }

    void opensWithTheValuesAndUseAndSaveDisabled()
    {
        // Guards against a value not shown, or Use/Save left enabled by the load's own changes.
        gPeekOn = gTimeoutOn = gAutoLoad = false;
        gKeepOnTop = true;
        gPeekTime = 17;
        gTimeoutTime = 12;
        frmOptions f;
        QCOMPARE(f.windowTitle(), QStringLiteral("Options"));
        QVERIFY(!w<QCheckBox>(f, "chkPasstime")->isChecked());
        QCOMPARE(w<QScrollBar>(f, "fsbPeek")->value(), 17);
        QCOMPARE(w<QLabel>(f, "lblPeek")->text(), QStringLiteral("17 (secs)"));
        QVERIFY(!w<QCheckBox>(f, "chkTimeout")->isChecked());
        QCOMPARE(w<QScrollBar>(f, "fsbTimeout")->value(), 12);
        QCOMPARE(w<QLabel>(f, "lblTimeout")->text(), QStringLiteral("12 (mins)"));
        QVERIFY(w<QCheckBox>(f, "chkOnTop")->isChecked());
        QVERIFY(!w<QCheckBox>(f, "chkAutoLoad")->isChecked());
        QCOMPARE(w<QLabel>(f, "lblWarn")->text(),
            QStringLiteral("WARNING! If you change the MASTER password you will still need  the "
                           "old password to access old data files."));
        QCOMPARE(w<QPushButton>(f, "cmdSave")->text(), QStringLiteral("&Save"));
        QVERIFY(!w<QPushButton>(f, "cmdUse")->isEnabled());
        QVERIFY(!w<QPushButton>(f, "cmdSave")->isEnabled());
        QVERIFY(f.pbGeneral(0)->isEnabled());
        QVERIFY(!f.pbGeneral(1)->isEnabled());
        // The current password is masked with "*", not the desktop style's own character.
        w<QLineEdit>(f, "txtMaster")->setText(QStringLiteral("abcd"));
        QCOMPARE(w<QLineEdit>(f, "txtMaster")->displayText(), QStringLiteral("****"));
    }

    void eachChangeEnablesItsButtons_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("useEnabled");
        QTest::newRow("auto-load") << "chkAutoLoad" << false;
        QTest::newRow("peek") << "chkPasstime" << true;
        QTest::newRow("time-out") << "chkTimeout" << true;
        QTest::newRow("on top") << "chkOnTop" << true;
        QTest::newRow("peek time") << "fsbPeek" << true;
        QTest::newRow("time-out time") << "fsbTimeout" << true;
    }
    void eachChangeEnablesItsButtons()
    {
        // Guards against a change that cannot be saved, or auto-load offered for this session.
        QFETCH(QString, control);
        QFETCH(bool, useEnabled);
        frmOptions f;
        QObject* c = f.findChild<QObject*>(control);
        if (auto* box = qobject_cast<QCheckBox*>(c)) {
            box->click();
        } else {
            auto* bar = qobject_cast<QScrollBar*>(c);
            bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            const bool peek = control == u"fsbPeek";
            QCOMPARE(w<QLabel>(f, peek ? "lblPeek" : "lblTimeout")->text(),
                QStringLiteral("%1 (%2)")
                    .arg(bar->value())
                    .arg(QString::fromLatin1(peek ? "secs" : "mins")));
        }
        QVERIFY(w<QPushButton>(f, "cmdSave")->isEnabled());
        QCOMPARE(w<QPushButton>(f, "cmdUse")->isEnabled(), useEnabled);
    }

    void saveWritesAllSixUseFiveCancelNone_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("save") << "cmdSave";
        QTest::newRow("use") << "cmdUse";
        QTest::newRow("cancel") << "cmdCancel";
    }
    void saveWritesAllSixUseFiveCancelNone()
    {
        // Guards against Use writing settings or changing auto-load, Cancel keeping changes,
        // or Save missing a key or writing the wrong text.
        QFETCH(QString, button);
        frmOptions f;
        f.show();
        w<QCheckBox>(f, "chkPasstime")->click();
        w<QScrollBar>(f, "fsbPeek")->setValue(7);
        w<QCheckBox>(f, "chkTimeout")->click();
        w<QScrollBar>(f, "fsbTimeout")->setValue(20);
        w<QCheckBox>(f, "chkAutoLoad")->click();
        w<QCheckBox>(f, "chkOnTop")->click();
        f.findChild<QPushButton*>(button)->click();
        QVERIFY(f.isHidden());

        const bool saved = button == u"cmdSave";
        const bool used = saved || button == u"cmdUse";
        QCOMPARE(gPeekOn, !used);
        QCOMPARE(gPeekTime, int16_t(used ? 7 : 10));
        QCOMPARE(gTimeoutOn, !used);
        QCOMPARE(gTimeoutTime, int16_t(used ? 20 : 5));
        QCOMPARE(gKeepOnTop, used);
        QCOMPARE(gAutoLoad, !saved);
        const QStringList keys = { "PeekOn", "PeekTime", "TimeoutOn", "TimeoutTime", "AutoLoad",
            "KeepOnTop" };
        const QStringList expected = saved
            ? QStringList { "False", "7", "False", "20", "False", "True" }
            : QStringList(6, QStringLiteral("<none>"));
        QStringList actual;
        for (const QString& k : keys) {
            actual << stored(kSettings, k.toLatin1().constData());
        }
        QCOMPARE(actual, expected);
    }

    void masterPasswordChange_data()
    {
        QTest::addColumn<QString>("master");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message"); // none: the settings file cannot be written
        QTest::addColumn<QString>("selected"); // the box whose whole text is selected
        const QString ok = QStringLiteral("Master Password successfully changed!");
        QTest::newRow("current too short")
            << "Sec" << "Newpw" << "Newpw" << "Incomplete Master P/W entered. Try again."
            << "txtMaster";
        QTest::newRow("current wrong")
            << "secret#1" << "Newpw" << "Newpw" << "Invalid Master Password, try again!"
            << "txtMaster";
        QTest::newRow("new too short")
            << "Secret#1" << "New" << "New"
            << "New Password must be at least 4 characters long, try again!" << "txtChange";
        QTest::newRow("confirmation differs in case")
            << "Secret#1" << "Newpw" << "NEWPW"
            << "Password confirmation does not match, try again!" << "txtConfirm";
        QTest::newRow("new of four") << "Secret#1" << "Nw4!" << "Nw4!" << ok << "";
        QTest::newRow("store fails") << "Secret#1" << "Newpw" << "Newpw" << "" << "";
    }
    void masterPasswordChange()
    {
        // Guards against a check skipped or out of order, a refusal that changes the key, a
        // success that leaves the old verifier in force or is undone by Cancel, or a change
        // reported done when the new verifier could not be stored.
        QFETCH(QString, master);
        QFETCH(QString, change);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QFETCH(QString, selected);
        const QString oldVerifier = gStoredPassword;
        const QString file = settings::settingsFile(host::kAppTitle);
        QVERIFY(!message.isEmpty() || QDir().mkpath(file));
        frmOptions f;
        w<QTabBar>(f, "tbsOptions")->setCurrentIndex(1);
        w<QLineEdit>(f, "txtMaster")->setText(master);
        w<QLineEdit>(f, "txtChange")->setText(change);
        w<QLineEdit>(f, "txtConfirm")->setText(confirm);
        w<QPushButton>(f, "cmdPW")->click();
        const QString shown = w<QLabel>(f, "lblInform")->text();
        QVERIFY2(message.isEmpty() ? QDir().rmdir(file) && shown.contains(file) : shown == message,
            qPrintable(shown));
        const QString section = QStringLiteral("Accounts\\JOHN");
        if (selected.isEmpty() && !message.isEmpty()) {
            w<QTabBar>(f, "tbsOptions")->setCurrentIndex(0);
            w<QPushButton>(f, "cmdCancel")->click();
            QCOMPARE(gMasterPassword, change);
            QCOMPARE(Module1::gKeyBytes, change.toLatin1());
            QCOMPARE(gStoredPassword, Module1::Encrypt(change));
            QVERIFY(gStoredPassword != oldVerifier);
            QCOMPARE(stored(section, "PW"), gStoredPassword);
            return;
        }
        if (!selected.isEmpty()) {
            auto* box = f.findChild<QLineEdit*>(selected);
            QCOMPARE(box->selectedText(), box->text());
        }
        QCOMPARE(w<QLineEdit>(f, "txtConfirm")->text().isEmpty(), selected == u"txtChange");
        QCOMPARE(gMasterPassword, QStringLiteral("Secret#1"));
        QCOMPARE(Module1::gKeyBytes, QByteArray("Secret#1"));
        QCOMPARE(gStoredPassword, oldVerifier);
        QCOMPARE(stored(section, "PW"), QStringLiteral("<none>"));
    }

    void masterPageRefusesWhileAFileIsOpen()
    {
        // Guards against the password being changeable, or the dialog closable by Enter or
        // Esc, while a data file is open.
        const QString file = home->path() + QStringLiteral("/open.pnv");
        testdata::copyTemplate(file);
        auto connection = std::make_shared<ado::Connection>();
        connection->Open(testdata::connectString(file, QString()));
        ado::Recordset rs;
        rs.Open(QStringLiteral("Select * from tblAccount"), connection);
        gAccountRS = &rs;

        frmOptions f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        w<QTabBar>(f, "tbsOptions")->setCurrentIndex(1);
        QCOMPARE(w<QLabel>(f, "lblInform")->text(),
            QStringLiteral("Please CLOSE the open DataBase before\n"
                           "trying to change the password."));
        QCOMPARE(w<QLabel>(f, "lblWarn")->text(),
            QStringLiteral("WARNING! An OPEN DataBase was detected."));
        for (const char* name : { "txtMaster", "txtChange", "txtConfirm", "cmdPW", "cmdCancel",
                 "cmdSave", "cmdUse" }) {
            QVERIFY2(!f.findChild<QWidget*>(QString::fromLatin1(name))->isEnabled(), name);
        }
        QTest::keyClick(&f, Qt::Key_Escape);
        QTest::keyClick(&f, Qt::Key_Return);
        QVERIFY(f.isVisible());
        gAccountRS.clear();
    }

    void pagesSwitchByTabAndKeys()
    {
        // Guards against the button row staying on the Master page, stale passwords kept in
        // the boxes, or Ctrl+Tab not cycling (with Alt too).
        frmOptions f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        auto* tabs = w<QTabBar>(f, "tbsOptions");
        auto* buttons = w<QFrame>(f, "Frame2");
        const int buttonsLeft = buttons->x();
        // Keys go where the user's would: to the control that has the focus.
        auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        };

        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(buttons->x() < -1000);
        QVERIFY(f.pbGeneral(0)->x() < -1000);
        QCOMPARE(f.pbGeneral(1)->x(), 32);
        w<QLineEdit>(f, "txtChange")->setText(QStringLiteral("left over"));
        press(Qt::Key_Tab, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(buttons->x(), buttonsLeft);
        QVERIFY(w<QPushButton>(f, "cmdUse")->isEnabled());
        press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(w<QLineEdit>(f, "txtChange")->text().isEmpty());
        press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(tabs->currentIndex(), 0);
    }

    void enterAndEscReachCancel_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("enter") << int(Qt::Key_Return);
        QTest::newRow("esc") << int(Qt::Key_Escape);
    }
    void enterAndEscReachCancel()
    {
        // Guards against Enter in a password box saving or changing anything.
        QFETCH(int, key);
        frmOptions f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        w<QCheckBox>(f, "chkOnTop")->click();
        w<QTabBar>(f, "tbsOptions")->setCurrentIndex(1);
        w<QLineEdit>(f, "txtMaster")->setFocus();
        QTest::keyClicks(w<QLineEdit>(f, "txtMaster"), QStringLiteral("Secret#1"));
        QTest::keyClick(w<QLineEdit>(f, "txtMaster"), Qt::Key(key));
        QVERIFY(f.isHidden());
        QVERIFY(!gKeepOnTop);
        QCOMPARE(stored(kSettings, "KeepOnTop"), QStringLiteral("<none>"));
    }
};

PINVARA_TEST_MAIN(TestFrmOptions)
#include "tst_frmOptions.moc"
