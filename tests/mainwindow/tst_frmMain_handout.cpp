#include "AccountsWindow.h"
#include "TestMain.h"
#include "dialogs/frmImport.h"
#include "dialogs/frmRandomiser.h"
#include "mainwindow/SkinImage.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataGrid.h"
#include "platform/vb/Constants.h"
#include "platform/window/ZOrder.h"
#include "startup/frmPWconfirm.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

class TestFrmMainHandout : public QObject
{
    Q_OBJECT

    MainWindowFixture fx;
    int raises = 0;

    // The re-entry dialog answers: OK with the text, or Cancel.
    void confirmNext(const QString& typed, bool ok = true)
    {
        fx.host->onModal<frmPWconfirm>(QStringLiteral("frmPWconfirm"), [=](frmPWconfirm& f) {
            QVERIFY(gDialogOpen);
            f.txtPW()->setText(typed);
            ok ? f.findChild<QPushButton*>(QStringLiteral("OKButton"))->click() : f.reject();
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
        QTest::addColumn<int>("handler");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::newRow("account") << 0 << "txtAccount" << "Bank";
        QTest::newRow("user id") << 1 << "txtID" << "john.d";
        QTest::newRow("url") << 2 << "txtURL" << "https://b.example";
        QTest::newRow("hint") << 3 << "txtHint" << "two\nlines";
        QTest::newRow("info") << 4 << "txtINFO" << "misc";
        QTest::newRow("empty field") << 1 << "txtID" << "";
    }

    void copyPutsTheBoxTextOnTheClipboard()
    {
        // Guards against a copy taking the wrong box, or an empty field leaving the old content.
        QFETCH(int, handler);
        QFETCH(QString, box);
        QFETCH(QString, text);
        frmMain w;
        for (auto* line : w.Frame2->findChildren<QLineEdit*>()) {
            line->setText(line->objectName() == box ? text : QStringLiteral("other"));
        }
        for (auto* multi : w.Frame2->findChildren<QPlainTextEdit*>()) {
            multi->setPlainText(multi->objectName() == box ? text : QStringLiteral("other"));
        }
        fx.host->clipboardSetText(QStringLiteral("previous"));
        void (frmMain::*copy[])() = { &frmMain::cmdAccount_Click, &frmMain::cmdName_Click,
            &frmMain::cmdURL_Click, &frmMain::cmdHint_Click, &frmMain::cmdInfo_Click };
        (w.*copy[handler])();
        QCOMPARE(fx.host->clipboardText(), text);
    }

    void twoRevealsAreMaskedTogether()
    {
        // Guards against a revealed key staying in clear, or a second reveal escaping the mask.
        frmMain w;
        gPeekTime = 30;
        const QList<QLineEdit*> masked { w.txtPW, w.txtKey1, w.txtKey2, w.txtKey3, w.txtKey4 };
        for (QLineEdit* box : masked) {
            box->setText(QStringLiteral("secret"));
        }
        QCOMPARE(w.txtKey2->displayText(), QStringLiteral("******"));
        w.cmdKey2_Click();
        w.cmdSP_Click();
        QCOMPARE(w.txtKey2->displayText(), QStringLiteral("secret"));
        QCOMPARE(w.txtPW->displayText(), QStringLiteral("secret"));
        QCOMPARE(w.Timer1->interval(), 30000);
        w.Timer1_Timer();
        for (QLineEdit* box : masked) {
            QCOMPARE(box->echoMode(), QLineEdit::Password);
        }
        QVERIFY(!w.Timer1->isActive());
    }

    void peekTime_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("traps");
        QTest::newRow("1 second, ended by the real timer") << 1 << 0;
        QTest::newRow("33 seconds overflow 16 bits") << 33 << 1;
    }

    void peekTime()
    {
        // Guards against a peek that never ends, or an overflowing one becoming another time.
        QFETCH(int, seconds);
        QFETCH(int, traps);
        frmMain w;
        gPeekTime = int16_t(seconds);
        w.txtKey4->setText(QStringLiteral("k4"));
        w.cmdKey4_Click();
        QCOMPARE(fx.traps, traps);
        QCOMPARE(fx.host->clipboardText(), QStringLiteral("k4"));
        QCOMPARE(w.txtKey4->echoMode(), QLineEdit::Normal);
        QCOMPARE(w.Timer1->isActive(), traps == 0);
        if (traps == 0) {
            QTRY_COMPARE_WITH_TIMEOUT(w.txtKey4->echoMode(), QLineEdit::Password, 3000);
        }
    }

    void timeOut_data()
    {
        QTest::addColumn<bool>("on");
        QTest::newRow("on: a real tick locks") << true;
        QTest::newRow("off: never locks") << false;
    }

    void timeOut()
    {
        // Guards against a time-out that never ticks, a lock leaving data in view, or one when off.
        QFETCH(bool, on);
        frmMain w;
        gTimeoutOn = on;
        w.m_lTickMs = 30;
        w.m_iTimeout = 2;
        w.InitTimer();
        QTRY_VERIFY_WITH_TIMEOUT(!w.Timer2->isActive(), 3000);
        QCOMPARE(w.m_bLocked, on);
        QCOMPARE(w.Frame2->isHidden(), on);
        QCOMPARE(w.DataGrid1->isHidden(), on);
        QCOMPARE(w.cmdPassword->isHidden(), !on);
        QCOMPARE(w.panelText(1) == u"SECURITY TIME OUT! ...REFRESH PASSWORD!", on);
    }

    void unlock_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("caps");
        QTest::addColumn<QStringList>("boxes");
        const QString mismatch = QStringLiteral("Password did not match!");
        const QString invalid = QStringLiteral("Invalid Password, try again!");
        const QString beware = invalid + QStringLiteral("\r\n\r\nBEWARE your CAPS key is ON!");
        QTest::newRow("right") << "Secret#1" << true << false << QStringList();
        QTest::newRow("wrong") << "secret#1" << true << false << QStringList { mismatch, invalid };
        QTest::newRow("wrong, caps on") << "SECRET#1" << true << true << QStringList { mismatch, beware };
        QTest::newRow("cancelled") << "Secret#1" << false << false << QStringList { invalid };
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
        QStringList shown;
        for (const auto& m : fx.host->messages()) {
            shown << m.text;
        }
        QCOMPARE(shown, boxes);
        QCOMPARE(w.m_bLocked, !boxes.isEmpty());
        QCOMPARE(w.Frame2->isHidden(), !boxes.isEmpty());
        QCOMPARE(w.cmdPassword->isHidden(), boxes.isEmpty());
        QCOMPARE(w.Timer2->isActive(), boxes.isEmpty());
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
    }

    void optionsWhileLockedAskForTheMasterPassword_data()
    {
        QTest::addColumn<bool>("lockedWhileUp");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<bool>("timeoutOff");
        QTest::newRow("locked, cancelled") << false << false << false;
        QTest::newRow("locked, confirmed") << false << true << false;
        QTest::newRow("locked, confirmed, time-out off") << false << true << true;
        QTest::newRow("locked while they are up, cancelled") << true << false << false;
        QTest::newRow("locked while they are up, confirmed, time-out off") << true << true << true;
        QTest::newRow("locked while they are up, Use refused") << true << false << true;
    }

    void optionsWhileLockedAskForTheMasterPassword()
    {
        // Guards against the options toolbar button lifting the lock without the master
        // password, or leaving the panes hidden for good once it was given.
        QFETCH(bool, lockedWhileUp);
        QFETCH(bool, confirmed);
        QFETCH(bool, timeoutOff);
        frmMain w;
        if (!lockedWhileUp) {
            lock(w);
            confirmNext(QStringLiteral("Secret#1"), confirmed);
        }
        if (confirmed || lockedWhileUp) {
            fx.host->onModal(QStringLiteral("frmOptions"), [&](QWidget& options) {
                if (lockedWhileUp) {
                    lock(w);
                    confirmNext(QStringLiteral("Secret#1"), confirmed);
                }
                options.findChild<QCheckBox*>(QStringLiteral("chkTimeout"))->setChecked(!timeoutOff);
                options.findChild<QPushButton*>(timeoutOff ? QStringLiteral("cmdUse")
                                                           : QStringLiteral("cmdCancel"))
                    ->click();
                // Use refused stores nothing and leaves the dialog up.
                if (options.isVisible()) {
                    confirmNext(QStringLiteral("Secret#1"), false);
                    options.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
                }
            });
        }
        w.mnuViewOptions_Click();
        QCOMPARE(gTimeoutOn, !(timeoutOff && confirmed));
        QCOMPARE(w.m_bLocked, !confirmed);
        QCOMPARE(w.Frame2->isHidden(), !confirmed);
        QCOMPARE(w.DataGrid1->isHidden(), !confirmed);
        QCOMPARE(w.cmdPassword->isHidden(), confirmed);
        QCOMPARE(w.panelText(1) == frmMain::kLockedText, !confirmed);
    }

    void fileCommandsWhileLocked_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("given");
        QTest::newRow("new, refused") << "mnuNewDB" << false;
        QTest::newRow("open, refused") << "mnuFileOpen" << false;
        QTest::newRow("open with password image, refused") << "imgTBunlock" << false;
        QTest::newRow("save as image, refused") << "imgTBsave" << false;
        QTest::newRow("close image, refused") << "imgTBclose" << false;
        QTest::newRow("close image, given") << "imgTBclose" << true;
    }

    void fileCommandsWhileLocked()
    {
        // Guards against the toolbar or the menu commands opening, emptying or closing data
        // files behind the lock without the master password.
        QFETCH(QString, command);
        QFETCH(bool, given);
        auto w = accounts::open(fx, { QStringLiteral("Bank|b.example") });
        lock(*w);
        confirmNext(QStringLiteral("Secret#1"), given);
        if (command == u"mnuNewDB") {
            w->mnuNewDB_Click();
        } else if (command == u"mnuFileOpen") {
            w->mnuFileOpen_Click();
        } else {
            w->img_Click(w->findChild<SkinImage*>(command));
        }
        QCOMPARE(w->m_bLocked, !given);
        QCOMPARE(w->Frame2->isHidden(), !given);
        QCOMPARE(w->cmdPassword->isHidden(), given);
        QCOMPARE(w->Adodc1->Recordset()->ActiveConnection() == nullptr, given);
        QCOMPARE(w->panelText(1),
            given ? QStringLiteral("No Data File Loaded.") : frmMain::kLockedText);
    }

    void aDialogAnsweredAfterTheLockFellNeedsThePassword_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("given");
        for (const char* c : {"generator", "printer dialog", "new", "new over a file", "save as",
                 "open", "open with password", "password for open"}) {
            QTest::newRow(c) << c << false;
        }
        for (const char* c : {"generator", "printer dialog", "new over a file", "open"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1, given").arg(c))) << c << true;
        }
    }

    void aDialogAnsweredAfterTheLockFellNeedsThePassword()
    {
        // Guards against an answer given in a dialog that was up when the lock fell storing,
        // printing, writing or opening anything without the master password.
        QFETCH(QString, command);
        QFETCH(bool, given);
        auto w = accounts::open(fx, { QStringLiteral("Bank|b.example") });
        const QString data = gDBpath;
        const QString other = fx.path(QStringLiteral("other.pnv"));
        testdata::writePlainFile(other, { QStringLiteral("Other|o.example") });
        const QString target
            = command == u"new over a file" ? other : fx.path(QStringLiteral("target.pnv"));
        const bool opens = command.contains(u"open");
        if (opens || command.startsWith(u"new")) {
            w->mnuFileClose_Click();
        }
        gHideNewFileInfo = true;
        const auto lockNow = [&] { lock(*w); };
        const auto state = [&] {
            QStringList printed = fx.host->printedFiles();
            printed.removeIf([](const QString& pdf) { return !QFileInfo::exists(pdf); });
            return QVariantList { testdata::fileBytes(data), testdata::fileBytes(other),
                QFileInfo::exists(target), printed.size(), gDBpath };
        };
        const QVariantList before = state();
        if (command == u"generator") {
            fx.host->onModal<frmRandomiser>(QStringLiteral("frmRandomiser"), [&](frmRandomiser& r) {
                lockNow();
                r.findChild<QLineEdit*>(QStringLiteral("txtRandom"))->setText(QStringLiteral("N3w"));
                r.cmdAccept_Click();
            });
        } else if (command == u"printer dialog") {
            confirmNext(QStringLiteral("Secret#1"));
            fx.host->onModal(QStringLiteral("DataReport1"), [&](QWidget& report) {
                fx.host->printerDialogNext(true, lockNow);
                for (QAction* a : report.findChildren<QAction*>()) {
                    if (a->text() == u"Print") {
                        a->trigger();
                    }
                }
                report.hide();
            });
        } else {
            if (command.contains(u"password")) {
                fx.host->onModal<frmImport>(QStringLiteral("frmImport"), [=](frmImport& f) {
                    if (command == u"password for open") {
                        lockNow();
                    }
                    f.txtPassword()->setText(QStringLiteral("other"));
                    f.cmdOK_Click();
                });
            }
            // The lock falls under the overwrite question, or else under the file dialog.
            const bool over = command == u"new over a file";
            if (command != u"password for open") {
                fx.host->fileNext(
                    opens ? other : target, 1, over ? std::function<void()>() : lockNow);
            }
            if (over) {
                fx.host->answerNext(vb::vbYes, lockNow);
            }
        }
        confirmNext(QStringLiteral("Secret#1"), given);
        const QHash<QString, void (frmMain::*)()> handlers { { "generator", &frmMain::cmdRP_Click },
            { "printer dialog", &frmMain::mnuFilePrint_Click }, { "new", &frmMain::mnuNewDB_Click },
            { "new over a file", &frmMain::mnuNewDB_Click },
            { "save as", &frmMain::mnuFileSaveAs_Click }, { "open", &frmMain::mnuFileOpen_Click },
            { "open with password", &frmMain::mnuOpenSpecial_Click },
            { "password for open", &frmMain::mnuOpenSpecial_Click } };
        (w.get()->*handlers.value(command))();
        QCOMPARE(w->m_bLocked, !given);
        QCOMPARE(state() != before, given);
        QVERIFY(given || gOpenPassword.isEmpty());
    }

    void aLockUnderAFileDialogKeepsThePanesHidden()
    {
        // Guards against a file dialog answered after the lock fell showing the filter, grid or
        // a count without the master password.
        frmMain w;
        const QString file = fx.path(QStringLiteral("late.pnv"));
        testdata::writePlainFile(file, { QStringLiteral("Bank|b.example") });
        fx.host->fileNext(file, 1, [&] { lock(w); });
        confirmNext(QStringLiteral("Secret#1"), false);
        w.mnuFileOpen_Click();
        QVERIFY(w.Adodc1->Recordset() == nullptr);
        const QList<QWidget*> panes { w.Frame2, w.Frame3, w.DataGrid1 };
        for (QWidget* pane : panes) {
            QVERIFY(pane->isHidden());
        }
        QCOMPARE(w.panelText(1), frmMain::kLockedText);
        confirmNext(QStringLiteral("Secret#1"));
        w.cmdPassword_Click();
        QVERIFY(!w.Frame2->isHidden() && !w.DataGrid1->isHidden());
    }

    void keepOnTopHoldsOffWhileADialogIsUp()
    {
        // Guards against the window raised over its own dialog, or the raise cycle stopping.
        frmMain w;
        QCOMPARE(w.timOnTop->interval(), 1000);
        gKeepOnTop = true;
        w.timOnTop_Timer();
        QCOMPARE(raises, 1);
        QCOMPARE(w.timOnTop->interval(), 2000);
        // The window losing the focus to another window holds the next raise off.
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(w.timOnTop->interval(), 5000);
        fx.host->onModal<frmPWconfirm>(QStringLiteral("frmPWconfirm"), [&w](frmPWconfirm& f) {
            w.timOnTop_Timer();
            f.reject();
        });
        QVERIFY(!w.ConfirmPassword());
        QCOMPARE(raises, 1);
        QVERIFY(w.timOnTop->isActive());
        // A message box holds it off too, though no flag is raised around one.
        QDialog box;
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        w.timOnTop_Timer();
        QCOMPARE(raises, 1);
    }

    void theRandomPasswordIsSavedAtOnce()
    {
        // Guards against a generated password shown but never written to the file.
        frmMain w;
        gDBpath = fx.path(QStringLiteral("rp.pnv"));
        testdata::writeEncryptedFile(gDBpath, { QStringLiteral("Alpha|u|i|old") },
            QStringLiteral("Secret#1R7305"));
        QVERIFY(w.DBconnect(QString()));
        fx.host->onModal<frmRandomiser>(QStringLiteral("frmRandomiser"), [](frmRandomiser& r) {
            r.findChild<QLineEdit*>(QStringLiteral("txtRandom"))->setText(QStringLiteral("N3wPass"));
            r.cmdAccept_Click();
        });
        w.cmdRP_Click();
        QCOMPARE(w.txtPW->text(), QStringLiteral("N3wPass"));
        auto c = std::make_shared<ado::Connection>();
        c->Open(frmMain::connectionString(gDBpath, QStringLiteral("Secret#1R7305")));
        ado::Recordset rs;
        rs.Open(QStringLiteral("Select * from tblAccount"), c);
        QCOMPARE(rs.Fields(QStringLiteral("Password")).Value(), QStringLiteral("N3wPass"));
    }
};

PINVARA_TEST_MAIN(TestFrmMainHandout)
#include "tst_frmMain_handout.moc"
