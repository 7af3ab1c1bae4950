#include "ScriptedHost.h"
#include "TestMain.h"
#include "cipher/StringCipher.h"
#include "platform/host/Host.h"
#include "platform/settings/SettingsStore.h"
#include "platform/singleinstance/SingleInstance.h"
#include "platform/vb/Constants.h"
#include "startup/Globals.h"
#include "startup/Module1.h"
#include "startup/frmFirstUse.h"
#include "startup/frmLogin.h"
#include "startup/frmPWconfirm.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QString kApp = host::kAppTitle;
const QString kShortName = u"User Name length must be between\r\n4 - 16 characters, try again!"_s;
const QString kShortPassword = u"Password length must be between\r\n4 - 16 characters, try again!"_s;
const QString kCaps = u"\r\n\r\nBEWARE your CAPS key is ON!"_s;

QLineEdit* box(QWidget& w, const char* name)
{
    return w.findChild<QLineEdit*>(QString::fromLatin1(name));
}

void click(QWidget& w, const char* name)
{
    QTest::mouseClick(w.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
}

QString storedVerifier(const QString& user)
{
    return settings::GetSetting(kApp, u"Accounts\\"_s + user, u"PW"_s);
}

// The confirmation dialog answers with the text given, or is cancelled.
void confirmWith(ScriptedHost& host, const QString& text, bool ok = true)
{
    host.onModal(u"frmPWconfirm"_s, [text, ok](QWidget& w) {
        box(w, "txtPW")->setText(text);
        click(w, ok ? "OKButton" : "CancelButton");
    });
}

} // namespace

class TestLogin : public QObject
{
    Q_OBJECT

    // Opens a login with a last user stored, shown and active so that focus can be checked.
    std::unique_ptr<frmLogin> openLogin()
    {
        auto login = std::make_unique<frmLogin>();
        login->show();
        [&] { QVERIFY(QTest::qWaitForWindowActive(login.get())); }();
        return login;
    }

    void attempt(frmLogin& login, const QString& name, const QString& password)
    {
        box(login, "txtUserName")->setText(name);
        box(login, "txtPassword")->setText(password);
        click(login, "cmdOK");
    }

    // Registers a new user through the login, confirming the password.
    void registerUser(ScriptedHost& host, const QString& name, const QString& password)
    {
        confirmWith(host, password);
        auto login = openLogin();
        attempt(*login, name, password);
        QVERIFY(login->OK);
    }

private slots:
    void init()
    {
        resetGlobals();
        QFile::remove(settings::settingsFile(kApp));
        settings::SaveSetting(kApp, u"LastLogin"_s, u"Name"_s, u"SOMEONE"_s);
    }

    void shortNameOrPasswordIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("name of 3") << "abc" << "abcd" << kShortName << "txtUserName";
        QTest::newRow("password of 3") << "abcd" << "abc" << kShortPassword << "txtPassword";
        QTest::newRow("blanks count") << "   " << "abcd" << kShortName << "txtUserName";
    }
    void shortNameOrPasswordIsRefused()
    {
        // Guards against lengths being checked wrongly or the wrong box getting the focus.
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        ScriptedHost host;
        host.answerNext(vb::vbOK);
        auto login = openLogin();
        attempt(*login, name, password);
        QCOMPARE(host.messages().size(), 1);
        QCOMPARE(host.messages()[0].text, message);
        QCOMPARE(host.messages()[0].title, u"Login"_s);
        QCOMPARE(host.messages()[0].style, 64);
        QLineEdit* focused = box(*login, qPrintable(focus));
        QCOMPARE(QApplication::focusWidget(), focused);
        QCOMPARE(focused->selectedText(), focused->text());
        QVERIFY(!login->OK);
        QVERIFY(login->isVisible());
        QVERIFY(storedVerifier(name.toUpper()).isEmpty());
        VERIFY_DRAINED(host);
    }

    void fourCharactersAreEnough()
    {
        // Guards against an off-by-one refusing a name and password of exactly 4 characters.
        ScriptedHost host;
        confirmWith(host, u"pass"_s);
        auto login = openLogin();
        attempt(*login, u"abcd"_s, u"pass"_s);
        QVERIFY(login->OK);
        QVERIFY(!login->isVisible());
        QCOMPARE(gUserName, u"ABCD"_s);
        VERIFY_DRAINED(host);
    }

    void cancelledConfirmationStoresNothing()
    {
        // Guards against a new user being registered when the confirmation was cancelled.
        ScriptedHost host;
        confirmWith(host, u"secret"_s, false);
        auto login = openLogin();
        attempt(*login, u"newbie"_s, u"secret"_s);
        QVERIFY(!login->OK);
        QVERIFY(storedVerifier(u"NEWBIE"_s).isEmpty());
        QCOMPARE(settings::GetSetting(kApp, u"LastLogin"_s, u"Name"_s), u"SOMEONE"_s);
        QVERIFY(host.messages().isEmpty());
        QCOMPARE(QApplication::focusWidget(), box(*login, "txtPassword"));
        QVERIFY(gUserName.isEmpty());
        VERIFY_DRAINED(host);
    }

    void mismatchedConfirmationWarns_data()
    {
        QTest::addColumn<QString>("again");
        QTest::addColumn<short>("capsState");
        QTest::addColumn<bool>("capsWarning");
        QTest::newRow("differs") << "Secret" << short(0) << false;
        QTest::newRow("case differs") << "SECRET" << short(0) << false;
        QTest::newRow("empty") << "" << short(0) << false;
        QTest::newRow("caps toggled") << "SECRET" << short(1) << true;
        QTest::newRow("caps toggled and held") << "SECRET" << short(-127) << true;
        QTest::newRow("caps only held") << "SECRET" << short(-128) << false;
    }
    void mismatchedConfirmationWarns()
    {
        // Guards against a mismatch being stored, or the Caps Lock addition misjudged.
        QFETCH(QString, again);
        QFETCH(short, capsState);
        QFETCH(bool, capsWarning);
        ScriptedHost host;
        host.setKeyState(20, capsState);
        confirmWith(host, again);
        host.answerNext(vb::vbOK);
        auto login = openLogin();
        attempt(*login, u"newbie"_s, u"secret"_s);
        QCOMPARE(host.messages().size(), 1);
        QCOMPARE(host.messages()[0].text,
                 u"Passwords do not match, try again!"_s + (capsWarning ? kCaps : QString()));
        QCOMPARE(host.messages()[0].title, u"Login"_s);
        QCOMPARE(host.messages()[0].style, 48);
        QVERIFY(storedVerifier(u"NEWBIE"_s).isEmpty());
        QVERIFY(!login->OK);
        VERIFY_DRAINED(host);
    }

    void unstoredRegistrationIsRefused()
    {
        // Guards against a new user being logged in when the verifier never reached the file.
        const QString file = settings::settingsFile(kApp);
        ScriptedHost host;
        confirmWith(host, u"secret"_s);
        host.answerNext(vb::vbOK);
        auto login = openLogin();
        QVERIFY(QFile::remove(file) && QDir().mkdir(file));
        attempt(*login, u"newbie"_s, u"secret"_s);
        QVERIFY(QDir().rmdir(file));
        QVERIFY(host.messages().size() == 1 && host.messages()[0].text.contains(file));
        QVERIFY(!login->OK);
        QVERIFY(gUserName.isEmpty() && gMasterPassword.isEmpty() && gStoredPassword.isEmpty());
        QCOMPARE(QApplication::focusWidget(), box(*login, "txtPassword"));
        VERIFY_DRAINED(host);
    }

    void registeredUserLogsInWithAnyCaseOfName()
    {
        // Guards against names being compared or stored in the case they were typed.
        ScriptedHost host;
        registerUser(host, u"john"_s, u"Secret12"_s);
        const QString verifier = storedVerifier(u"JOHN"_s);
        QVERIFY(!verifier.isEmpty());
        QCOMPARE(gStoredPassword, verifier);
        QCOMPARE(gMasterPassword, u"Secret12"_s);
        QCOMPARE(settings::GetSetting(kApp, u"LastLogin"_s, u"Name"_s), u"JOHN"_s);
        Module1::SetKey(u"Secret12"_s);
        QCOMPARE(Module1::Encrypt(u"Secret12"_s), verifier);

        resetGlobals();
        auto again = openLogin();
        QCOMPARE(box(*again, "txtUserName")->text(), u"JOHN"_s);
        attempt(*again, u"jOhN"_s, u"Secret12"_s);
        QVERIFY(again->OK);
        QCOMPARE(gUserName, u"JOHN"_s);
        QCOMPARE(gStoredPassword, verifier);
        VERIFY_DRAINED(host);
    }

    void existingUserLoginKeysTheCipher()
    {
        // Guards against a login that accepts the password but leaves the cipher keyed with
        // another one, which the data file's key is then deciphered under.
        ScriptedHost host;
        registerUser(host, u"paula"_s, u"Secret12"_s);
        const QString verifier = storedVerifier(u"PAULA"_s);
        resetGlobals();
        Module1::SetKey(u"left by another user"_s);
        auto login = openLogin();
        host.answerNext(vb::vbOK);
        attempt(*login, u"paula"_s, u"wrong one"_s); // a rejected attempt keys the cipher too
        attempt(*login, u"paula"_s, u"Secret12"_s);
        QVERIFY(login->OK);
        QCOMPARE(Module1::Decrypt(verifier), u"Secret12"_s);
        VERIFY_DRAINED(host);
    }

    void wrongPasswordIsRefusedEveryTime()
    {
        // Guards against a wrong password slipping through after repeated attempts.
        ScriptedHost host;
        registerUser(host, u"mary"_s, u"Secret12"_s);
        auto login = openLogin();
        for (int i = 0; i < 3; ++i) {
            host.answerNext(vb::vbOK);
            host.setCapsLock(i == 2);
            attempt(*login, u"MARY"_s, u"secret12"_s);
        }
        const QList<ScriptedHost::Entry> boxes = host.messages();
        QCOMPARE(boxes.size(), 3);
        QCOMPARE(boxes[0].text, u"Invalid Password, try again!"_s);
        QCOMPARE(boxes[1].text, u"Invalid Password, try again!"_s);
        QCOMPARE(boxes[2].text, u"Invalid Password, try again!"_s + kCaps);
        QCOMPARE(boxes[2].style, 48);
        QVERIFY(!login->OK);
        QCOMPARE(storedVerifier(u"MARY"_s), gStoredPassword);
        QCOMPARE(QApplication::focusWidget(), box(*login, "txtPassword"));
        VERIFY_DRAINED(host);
    }

    void verifierLengthFollowsPasswordLength_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("length");
        QTest::newRow("4") << "abcd" << 8;
        QTest::newRow("8") << "abcdefgh" << 16;
        QTest::newRow("15") << "abcdefghijklmno" << 16;
        QTest::newRow("16") << "abcdefghijklmnop" << 24;
    }
    void verifierLengthFollowsPasswordLength()
    {
        // Guards against the stored verifier losing characters on its way through the store.
        QFETCH(QString, password);
        QFETCH(int, length);
        ScriptedHost host;
        confirmWith(host, password);
        auto login = openLogin();
        attempt(*login, u"sizer"_s, password);
        QVERIFY(login->OK);
        QCOMPARE(storedVerifier(u"SIZER"_s).size(), length);
        VERIFY_DRAINED(host);
    }

    void firstStartAdvisesThenOffersTheLogonName()
    {
        // Guards against the first-use advice being skipped or the logon name not offered.
        QFile::remove(settings::settingsFile(kApp));
        ScriptedHost host;
        host.setCapsLock(true);
        QString heading;
        QString advice;
        host.onModal(u"frmFirstUse"_s, [&](QWidget& w) {
            heading = w.findChild<QLabel*>(u"lblWarn"_s)->text();
            advice = w.findChild<QLabel*>(u"lblWarn2"_s)->text();
            click(w, "cmdContinue");
        });
        auto login = openLogin();
        QCOMPARE(heading, u"Welcome to Pinvara !"_s);
        QVERIFY(advice.startsWith(
            u"Please take care to enter a suitable User Name in the following Login screen.\r\n\r\n"_s));
        QVERIFY(advice.endsWith(
            u"it is worth paying attention to this detail!\r\n\r\n(Beware that your Caps key is ON!)"_s));
        QCOMPARE(box(*login, "txtUserName")->text(), singleinstance::loginName().left(16));
        QCOMPARE(QApplication::focusWidget(), box(*login, "txtPassword"));
        QCOMPARE(login->windowTitle(), u"Pinvara Login"_s);
        QCOMPARE(login->findChild<QLabel*>(u"lblLabels_0"_s)->text(), u"Name:"_s);
        QCOMPARE(login->findChild<QLabel*>(u"lblLabels_1"_s)->text(), u"P/Word:"_s);
        VERIFY_DRAINED(host);
    }

    void enterInNameBoxMovesToPassword()
    {
        // Guards against Enter in the name box pressing OK before a password was typed.
        ScriptedHost host;
        auto login = openLogin();
        box(*login, "txtUserName")->setFocus();
        QTest::keyClick(box(*login, "txtUserName"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), box(*login, "txtPassword"));
        QVERIFY(host.messages().isEmpty());
        QVERIFY(login->isVisible());
    }

    void cancelAndEscapeLeaveWithoutLogin_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("cancel button") << false;
        QTest::newRow("escape key") << true;
    }
    void cancelAndEscapeLeaveWithoutLogin()
    {
        // Guards against a cancelled login reporting success.
        QFETCH(bool, escape);
        ScriptedHost host;
        auto login = openLogin();
        login->OK = true;
        if (escape) {
            QTest::keyClick(login.get(), Qt::Key_Escape);
        } else {
            click(*login, "cmdCancel");
        }
        QVERIFY(!login->OK);
        QVERIFY(!login->isVisible());
    }

    void passwordBoxTakesOnlySingleByteCharacters()
    {
        // Guards against characters without a byte of their own reaching the cipher key.
        ScriptedHost host;
        auto login = openLogin();
        QLineEdit* password = box(*login, "txtPassword");
        password->setFocus();
        for (const QChar c : u"ab\u00e9\u20ac\u0416c"_s) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(password, &press);
        }
        QCOMPARE(password->text(), u"ab\u00e9c"_s);
        QCOMPARE(password->maxLength(), 16);
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(box(*login, "txtUserName")->maxLength(), 16);
    }

    void confirmationDialogIsSharedAndKeepsItsTexts()
    {
        // Guards against the confirmation dialog losing its texts or being made anew each time.
        frmPWconfirm& confirm = frmPWconfirm::instance();
        QCOMPARE(&frmPWconfirm::instance(), &confirm);
        QCOMPARE(confirm.windowTitle(), u"Confirm Password"_s);
        QCOMPARE(confirm.txtPW()->toolTip(), u"Enter your Password here"_s);
        QCOMPARE(confirm.findChild<QLabel*>(u"Label1"_s)->text(), u" Re-enter Password to Confirm."_s);
        QCOMPARE(confirm.findChild<QLabel*>(u"Label2"_s)->text(),
                 u"WARNING!  Keep this MASTER Password safe. If it is lost,  you will lose access to all the data files that you created with it!"_s);
    }

    void namesAreUpperCasedLetterByLetter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("user"); // empty: refused as too short
        QTest::newRow("sharp s stays one letter") << u"straße"_s << u"STRAßE"_s;
        QTest::newRow("three letters, not six") << u"ßßß"_s << QString();
        QTest::newRow("outside the basic plane") << u"\U00010428bcd"_s << u"\U00010400BCD"_s;
    }
    void namesAreUpperCasedLetterByLetter()
    {
        // Guards against "ß" turning into "SS" in the stored name, or the length rule counting
        // the upper-cased text instead of the letters typed.
        QFETCH(QString, typed);
        QFETCH(QString, user);
        ScriptedHost host;
        if (user.isEmpty()) {
            host.answerNext(vb::vbOK);
        } else {
            confirmWith(host, u"secret"_s);
        }
        auto login = openLogin();
        attempt(*login, typed, u"secret"_s);
        QCOMPARE(login->OK, !user.isEmpty());
        if (user.isEmpty()) {
            QCOMPARE(host.messages().constFirst().text, kShortName);
        } else {
            QCOMPARE(gUserName, user);
            QVERIFY(!storedVerifier(user).isEmpty());
        }
        VERIFY_DRAINED(host);
    }

    void passwordBoxesShowAsterisks()
    {
        // Guards against the desktop style's own mask character showing instead of "*".
        frmLogin login;
        box(login, "txtPassword")->setText(u"abc"_s);
        QCOMPARE(box(login, "txtPassword")->displayText(), u"***"_s);
        frmPWconfirm::instance().txtPW()->setText(u"abcd"_s);
        QCOMPARE(frmPWconfirm::instance().txtPW()->displayText(), u"****"_s);
    }

    void firstUseWindowIsRounded()
    {
        // Guards against the window outline leaving the corners or the 4-pixel edges square.
        const QRegion region = frmFirstUse::skinRegion(200, 100);
        QVERIFY(region.contains(QPoint(100, 50)));
        QVERIFY(!region.contains(QPoint(2, 50)));
        QVERIFY(!region.contains(QPoint(100, 2)));
        QVERIFY(!region.contains(QPoint(5, 5)));
        QVERIFY(!region.contains(QPoint(198, 98)));
        QVERIFY(region.contains(QPoint(30, 6)));
    }
};

PINVARA_TEST_MAIN(TestLogin)
#include "tst_frmLogin.moc"
