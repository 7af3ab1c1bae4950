#include "DataFileFixture.h"
#include "MainWindowFixture.h"
#include "TestMain.h"
#include "dialogs/frmRandomiser.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"
#include "platform/adoui/DataGrid.h"
#include "platform/vb/Constants.h"
#include "platform/window/ZOrder.h"
#include "startup/frmPWconfirm.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

class TestFrmMainHandout : public QObject
{
    Q_OBJECT

    MainWindowFixture fx;
    int raises = 0;

    static QList<QLineEdit*> masked(frmMain& w)
    {
        return { w.txtPW, w.txtKey1, w.txtKey2, w.txtKey3, w.txtKey4 };
    }

    // The re-entry dialog answers: OK with the text, or Cancel.
    void confirmNext(const QString& typed, bool ok = true)
    {
        fx.host->onModal<frmPWconfirm>(QStringLiteral("frmPWconfirm"), [=](frmPWconfirm& f) {
            QVERIFY(gDialogOpen);
            f.txtPW()->setText(typed);
            if (ok) {
                f.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
            } else {
                f.reject();
            }
        });
    }

    static void lock(frmMain& w)
    {
        gTimeoutOn = true;
        w.m_iTimeout = 1;
        w.InitTimer();
        w.Timer2_Timer();
        QVERIFY(w.m_bLocked);
    }

    QStringList titles() const
    {
        QStringList out;
        for (const auto& m : fx.host->messages()) {
            out << m.title;
        }
        return out;
    }

private slots:
    void init()
    {
        fx.setUp();
        raises = 0;
        window::setBringToTop([this](QWidget*) { ++raises; });
    }
    void cleanup()
    {
        // Torn down before checking, so a failure never leaves the scripted host half-installed.
        const QString report = fx.host->drainReport();
        const bool dialogOpen = gDialogOpen;
        window::setBringToTop({});
        fx.tearDown();
        QVERIFY2(report.isEmpty(), qPrintable(report));
        QVERIFY(!dialogOpen);
    }

    void copyPutsTheBoxTextOnTheClipboard_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("text");
        QTest::newRow("account") << QStringLiteral("cmdAccount") << QStringLiteral("Bank");
        QTest::newRow("user id") << QStringLiteral("cmdName") << QStringLiteral("john.d");
        QTest::newRow("url") << QStringLiteral("cmdURL") << QStringLiteral("https://b.example");
        QTest::newRow("hint") << QStringLiteral("cmdHint") << QStringLiteral("two\nlines");
        QTest::newRow("info") << QStringLiteral("cmdInfo") << QStringLiteral("misc");
        QTest::newRow("empty field") << QStringLiteral("cmdAccount") << QString();
    }

    void copyPutsTheBoxTextOnTheClipboard()
    {
        // Guards against a copy taking the wrong box, or an empty field leaving the old content.
        QFETCH(QString, handler);
        QFETCH(QString, text);
        frmMain w;
        const QMap<QString, QWidget*> boxes = { { QStringLiteral("cmdAccount"), w.txtAccount },
            { QStringLiteral("cmdName"), w.txtID }, { QStringLiteral("cmdURL"), w.txtURL },
            { QStringLiteral("cmdHint"), w.txtHint }, { QStringLiteral("cmdInfo"), w.txtINFO } };
        for (QWidget* box : boxes) {
            if (auto* line = qobject_cast<QLineEdit*>(box)) {
                line->setText(QStringLiteral("other"));
            } else {
                qobject_cast<QPlainTextEdit*>(box)->setPlainText(QStringLiteral("other"));
            }
        }
        if (auto* line = qobject_cast<QLineEdit*>(boxes[handler])) {
            line->setText(text);
        } else {
            qobject_cast<QPlainTextEdit*>(boxes[handler])->setPlainText(text);
        }
        fx.host->clipboardSetText(QStringLiteral("previous"));
        w.findChild<QPushButton*>(handler)->click();
        QCOMPARE(fx.host->clipboardText(), text);
    }

    void revealThenMaskAfterThePeek()
    {
        // Guards against a revealed key staying in clear, or a second reveal escaping the mask.
        frmMain w;
        gPeekTime = 30;
        for (QLineEdit* box : masked(w)) {
            box->setText(box->objectName() + QStringLiteral("-secret"));
        }
        QCOMPARE(w.txtKey2->displayText(), QString(14, u'*'));
        w.cmdKey2_Click();
        QCOMPARE(fx.host->clipboardText(), QStringLiteral("txtKey2-secret"));
        QCOMPARE(w.txtKey2->echoMode(), QLineEdit::Normal);
        QCOMPARE(w.txtKey1->echoMode(), QLineEdit::Password);
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(w.Timer1->interval(), 30000);
        w.cmdSP_Click();
        QCOMPARE(fx.host->clipboardText(), QStringLiteral("txtPW-secret"));
        w.Timer1_Timer();
        for (QLineEdit* box : masked(w)) {
            QCOMPARE(box->echoMode(), QLineEdit::Password);
        }
        QVERIFY(!w.Timer1->isActive());
    }

    void aRealPeekEndsThroughTheEventLoop()
    {
        // Guards against the peek timer never being started or never firing.
        frmMain w;
        gPeekTime = 1;
        w.txtKey4->setText(QStringLiteral("k4"));
        w.cmdKey4_Click();
        QCOMPARE(w.txtKey4->echoMode(), QLineEdit::Normal);
        QTRY_COMPARE_WITH_TIMEOUT(w.txtKey4->echoMode(), QLineEdit::Password, 3000);
    }

    void peekTimeOverflowGoesToTheTrap_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("traps");
        QTest::newRow("32 seconds fit") << 32 << 0;
        QTest::newRow("33 seconds overflow") << 33 << 1;
    }

    void peekTimeOverflowGoesToTheTrap()
    {
        // Guards against a peek time past 16 bits silently becoming some other interval.
        QFETCH(int, seconds);
        QFETCH(int, traps);
        frmMain w;
        gPeekTime = int16_t(seconds);
        w.txtKey1->setText(QStringLiteral("k1"));
        w.cmdKey1_Click();
        QCOMPARE(fx.traps, traps);
        QCOMPARE(fx.host->clipboardText(), QStringLiteral("k1"));
        QCOMPARE(w.Timer1->isActive(), traps == 0);
        if (traps == 0) {
            QCOMPARE(w.Timer1->interval(), seconds * 1000);
        }
    }

    void aRealTimeOutLocksTheWindow()
    {
        // Guards against the time-out never ticking, or a lock that leaves the data in view.
        frmMain w;
        gTimeoutOn = true;
        w.m_lTickMs = 30;
        w.m_iTimeout = 2;
        w.InitTimer();
        QVERIFY(!w.m_bLocked);
        QTRY_VERIFY_WITH_TIMEOUT(w.m_bLocked, 3000);
        QVERIFY(w.Frame2->isHidden());
        QVERIFY(w.Frame3->isHidden());
        QVERIFY(w.DataGrid1->isHidden());
        QVERIFY(!w.mnuFile->isEnabled());
        QVERIFY(!w.cmdPassword->isHidden());
        QVERIFY(w.cmdPassword->isEnabled());
        QCOMPARE(w.panelText(1), QStringLiteral("SECURITY TIME OUT! ...REFRESH PASSWORD!"));
        QVERIFY(!w.Timer2->isActive());
    }

    void withTheTimeOutOffTheWindowNeverLocks()
    {
        // Guards against a lock when the user switched the time-out off.
        frmMain w;
        gTimeoutOn = false;
        w.m_iTimeout = 1;
        w.InitTimer();
        w.Timer2_Timer();
        QVERIFY(!w.m_bLocked);
        QVERIFY(!w.Frame2->isHidden());
        QVERIFY(!w.Timer2->isActive());
    }

    void unlock_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("caps");
        QTest::addColumn<QStringList>("boxes");
        const QString failed = QStringLiteral("Login Failed");
        QTest::newRow("right") << QStringLiteral("Secret#1") << true << false << QStringList();
        QTest::newRow("wrong") << QStringLiteral("secret#1") << true << false
                               << QStringList { QStringLiteral("Quorrel - Keyfold"), failed };
        QTest::newRow("wrong, caps on") << QStringLiteral("SECRET#1") << true << true
                                        << QStringList { QStringLiteral("Quorrel - Keyfold"), failed };
        QTest::newRow("cancelled") << QStringLiteral("Secret#1") << false << false
                                   << QStringList { failed };
    }

    void unlock()
    {
        // Guards against a wrong or cancelled password unlocking, or the boxes not telling why.
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(bool, caps);
        QFETCH(QStringList, boxes);
        frmMain w;
        lock(w);
        fx.host->setCapsLock(caps);
        confirmNext(typed, ok);
        for (int i = 0; i < boxes.size(); ++i) {
            fx.host->answerNext(vb::vbOK);
        }
        w.findChild<QPushButton*>(QStringLiteral("cmdPassword"))->click();
        QCOMPARE(titles(), boxes);
        QCOMPARE(w.m_bLocked, !boxes.isEmpty());
        QCOMPARE(w.Frame2->isHidden(), !boxes.isEmpty());
        QCOMPARE(w.cmdPassword->isHidden(), boxes.isEmpty());
        if (boxes.isEmpty()) {
            QCOMPARE(w.panelText(1), QString());
            QVERIFY(w.Timer2->isActive());
            return;
        }
        const auto messages = fx.host->messages();
        if (boxes.size() == 2) {
            QCOMPARE(messages.constFirst().text, QStringLiteral("Password did not match!"));
            QCOMPARE(messages.constFirst().style, 16);
        }
        QCOMPARE(messages.constLast().style, 48);
        QCOMPARE(messages.constLast().text,
            caps ? QStringLiteral("Invalid Password, try again!\r\n\r\nBEWARE your CAPS key is ON!")
                 : QStringLiteral("Invalid Password, try again!"));
    }

    void revealWhileLocked_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("cancelled") << false;
        QTest::newRow("confirmed") << true;
    }

    void revealWhileLocked()
    {
        // Guards against a locked window handing out a key without the master password.
        QFETCH(bool, confirmed);
        frmMain w;
        gPeekTime = 5;
        w.txtKey3->setText(QStringLiteral("k3"));
        lock(w);
        fx.host->clipboardSetText(QStringLiteral("previous"));
        confirmNext(QStringLiteral("Secret#1"), confirmed);
        w.cmdKey3_Click();
        QCOMPARE(fx.host->clipboardText(), confirmed ? QStringLiteral("k3") : QString());
        QCOMPARE(w.m_bLocked, !confirmed);
        QCOMPARE(w.txtKey3->echoMode(), confirmed ? QLineEdit::Normal : QLineEdit::Password);
        QCOMPARE(w.Frame2->isHidden(), !confirmed);
        QCOMPARE(w.cmdPassword->isHidden(), confirmed);
        QVERIFY(fx.host->messages().isEmpty());
    }

    void keepOnTopHoldsOffWhileADialogIsUp()
    {
        // Guards against the window raised over its own dialog, or the raise cycle stopping.
        frmMain w;
        QVERIFY(w.timOnTop->isActive());
        QCOMPARE(w.timOnTop->interval(), 1000);
        gKeepOnTop = true;
        w.timOnTop_Timer();
        QCOMPARE(raises, 1);
        QCOMPARE(w.timOnTop->interval(), 2000);
        w.Form_LostFocus();
        QCOMPARE(w.timOnTop->interval(), 5000);
        QVERIFY(w.timOnTop->isActive());

        // A tick while the re-entry dialog is up raises nothing.
        fx.host->onModal<frmPWconfirm>(QStringLiteral("frmPWconfirm"), [&w](frmPWconfirm& f) {
            w.timOnTop_Timer();
            f.reject();
        });
        QVERIFY(!w.ConfirmPassword());
        QCOMPARE(raises, 1);
        QVERIFY(w.timOnTop->isActive());
        gKeepOnTop = false;
        w.timOnTop_Timer();
        QCOMPARE(raises, 1);
    }

    void theRandomPasswordIsSavedAtOnce()
    {
        // Guards against a generated password shown but never written to the file.
        frmMain w;
        const QString file = fx.path(QStringLiteral("rp.pnv"));
        testdata::writeEncryptedFile(file, { QStringLiteral("Alpha|u|i|old") },
            QStringLiteral("Secret#1R7305"));
        gDBpath = file;
        QVERIFY(w.DBconnect(QString()));
        fx.host->onModal<frmRandomiser>(QStringLiteral("frmRandomiser"), [](frmRandomiser& r) {
            QVERIFY(gDialogOpen);
            r.findChild<QLineEdit*>(QStringLiteral("txtRandom"))->setText(QStringLiteral("N3wPass"));
            r.cmdAccept_Click();
        });
        w.cmdRP_Click();
        QCOMPARE(w.txtPW->text(), QStringLiteral("N3wPass"));
        QCOMPARE(w.Adodc1->Recordset()->EditMode(), 0);
        auto c = std::make_shared<ado::Connection>();
        c->Open(frmMain::connectionString(file, QStringLiteral("Secret#1R7305")));
        ado::Recordset rs;
        rs.Open(QStringLiteral("Select * from tblAccount"), c);
        QCOMPARE(rs.Fields(QStringLiteral("Password")).Value(), QStringLiteral("N3wPass"));

        // Cancelled, the generator changes nothing.
        fx.host->onModal<frmRandomiser>(QStringLiteral("frmRandomiser"),
            [](frmRandomiser& r) { r.cmdCancel_Click(); });
        w.cmdRP_Click();
        QCOMPARE(w.txtPW->text(), QStringLiteral("N3wPass"));
    }
};

PINVARA_TEST_MAIN(TestFrmMainHandout)
#include "tst_frmMain_handout.moc"
