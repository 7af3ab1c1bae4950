#include "MainWindowFixture.h"
#include "PdfText.h"
#include "TestMain.h"
#include "dialogs/frmPrint.h"
#include "dialogs/frmSysTray.h"
#include "mainwindow/DataReport1.h"
#include "mainwindow/SkinImage.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"
#include "platform/help/HelpWindow.h"
#include "platform/help/HtmlHelp.h"
#include "platform/tray/NotifyIcon.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Timer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPageSize>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace {

// The confirmation dialog answers with the password, or is cancelled.
void confirmWith(ScriptedHost& host, const QString& text, bool ok = true)
{
    host.onModal(QStringLiteral("frmPWconfirm"), [text, ok](QWidget& w) {
        w.findChild<QLineEdit*>(QStringLiteral("txtPW"))->setText(text);
        w.findChild<QPushButton*>(ok ? QStringLiteral("OKButton") : QStringLiteral("CancelButton"))
            ->click();
    });
}

} // namespace

class TestFrmMainMenus : public QObject
{
    Q_OBJECT

    MainWindowFixture fx;

    QAction* action(frmMain& w, const char* name)
    {
        return w.findChild<QAction*>(QString::fromLatin1(name));
    }

    // A data file under the login's password with the accounts, connected in the window.
    void openAccounts(frmMain& w, const QStringList& accounts)
    {
        gDBpath = fx.templateFile(QStringLiteral("report.pnv"));
        QVERIFY(w.CompactAndEncrypt(QString(), QString()));
        QVERIFY(w.DBconnect(QString()));
        ado::Recordset* rs = w.Adodc1->Recordset();
        for (const QString& a : accounts) {
            rs->AddNew();
            rs->Fields(QStringLiteral("Account")).setValue(a);
            rs->Fields(QStringLiteral("Password")).setValue(QStringLiteral("pw-") + a);
            rs->Fields(QStringLiteral("Key2")).setValue(QStringLiteral("key-") + a);
            rs->Update();
        }
    }

    // Prints the report from its preview, as the user's Print button does.
    static void printFromPreview(QWidget& report)
    {
        report.findChild<QPrintPreviewWidget*>()->print();
        report.hide();
    }

private slots:
    void init() { fx.setUp(); }
    void cleanup()
    {
        VERIFY_DRAINED(*fx.host);
        if (help::HelpWindow* h = help::openHelpWindow()) {
            delete h;
        }
        fx.tearDown();
    }

    void menuStatesAfterLoad_data()
    {
        // Entry, caption and state: v visible, e enabled, c checked, then any shortcut.
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("state");
        const char* rows[][3] = {{"mnuListPopup", "popupdmc", "e"},
            {"mnuPopDelete", "Delete", "ve"}, {"mnuPopURL", "Browse URL", "ve"},
            {"mnuSysPopup", "popSys", "e"}, {"mnuSysShow", "Show", "ve"},
            {"mnuSysExit", "Exit", "v"}, {"mnuFile", "&File", "e"},
            {"mnuFileOpen", "&Open...", "ve"}, {"mnuOpenSpecial", "Open With Password", "ve"},
            {"mnuNewDB", "New Data File", "ve"}, {"mnuFileClose", "&Close", "v"},
            {"mnuFileBar0", "", "ve"}, {"mnuFileSave", "&Save", ""},
            {"mnuFileSaveAs", "Save As...", "v"}, {"mnuFileBar1", "", "e"},
            {"mnuFileProperties", "Propert&ies", ""}, {"mnuFileBar2", "", "ve"},
            {"mnuFilePageSetup", "Page Set&up...", "e"},
            {"mnuFilePrintPreview", "Print Pre&view", "e"}, {"mnuFilePrint", "&Print...", "v"},
            {"mnuFileBar3", "", "ve"}, {"mnuFileExit", "E&xit", "ve"}, {"mnuEdit", "&Edit", "e"},
            {"mnuAddEntry", "Add Account", "v"}, {"mnuDeleteEntry", "Delete Account", "v"},
            {"mnuEditCut", "Cu&t", "e Ctrl+X"}, {"mnuEditCopy", "&Copy", "e Ctrl+C"},
            {"mnuEditPaste", "&Paste", "e Ctrl+V"}, {"mnuView", "&View", "e"},
            {"mnuViewToolbar", "&Toolbar", "vec"}, {"mnuViewStatusBar", "Status &Bar", "vec"},
            {"mnuViewBar0", "", "ve"}, {"mnuViewOptions", "&Options...", "ve"},
            {"mnuHelp", "&Help", "e"}, {"mnuHelpContents", "&Contents", "ve"},
            {"mnuHelpSearchForHelpOn", "&Search For Help On...", "e"},
            {"mnuHelpBar0", "", "ve"}, {"mnuHelpAbout", "&About ", "ve"}};
        for (const auto& r : rows) {
            QTest::newRow(r[0]) << QString::fromLatin1(r[0]) << QString::fromLatin1(r[1])
                                << QString::fromLatin1(r[2]);
        }
    }

    void menuStatesAfterLoad()
    {
        // Guards against a menu entry with the wrong caption, state or shortcut once the window
        // has loaded with no data file, or a menu bar or standard toolbar that shows.
        QFETCH(QString, name);
        frmMain w;
        QAction* a = w.findChild<QAction*>(name);
        QVERIFY(a != nullptr);
        QTEST(a->text(), "caption");
        QString state = a->isVisible() ? QStringLiteral("v") : QString();
        // A hidden action reads as disabled; shown, it tells its own enabled state again.
        a->setVisible(true);
        state += a->isEnabled() ? QStringLiteral("e") : QString();
        state += a->isChecked() ? QStringLiteral("c") : QString();
        if (!a->shortcut().isEmpty()) {
            state += u' ' + a->shortcut().toString();
        }
        QTEST(state, "state");
        w.show();
        QVERIFY(!w.menuBar()->isVisible() && !w.tbToolBar->isVisible());
    }

    void hiddenEntriesRunTheirCommands()
    {
        // Guards against a hidden menu entry that does nothing when its command is called, or
        // runs it twice.
        frmMain w;
        w.m_sHelpFile.clear();
        fx.host->answerNext(vb::vbOK);
        action(w, "mnuHelpContents")->trigger();
        QCOMPARE(fx.host->messages().size(), 1);
        fx.host->cancelFileNext();
        action(w, "mnuFileOpen")->trigger();
        QCOMPARE(fx.host->fileRequests().size(), 1);
    }

    void helpContents_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("window");
        QTest::newRow("no help file")
            << ""
            << "Unable to display Help Contents. There is no Help associated with this project."
            << 64 << false;
        QTest::newRow("file missing") << "missing.chm" << "does not exist" << 0 << false;
        QTest::newRow("the program's help") << "help" << "" << -1 << true;
    }

    void helpContents()
    {
        // Guards against help failing silently, naming no reason, or keeping the window on top.
        QFETCH(QString, file);
        QFETCH(QString, text);
        QFETCH(int, style);
        frmMain w;
        gKeepOnTop = true;
        w.m_sHelpFile = file == u"help" ? QFINDTESTDATA("../../help/QuorrelKeyfold.chm")
            : file.isEmpty()            ? QString()
                                        : fx.path(file);
        if (style >= 0) {
            fx.host->answerNext(vb::vbOK);
        }
        w.mnuHelpContents_Click();
        QVERIFY(!gKeepOnTop);
        QCOMPARE(fx.traps, 0);
        if (style >= 0) {
            const ScriptedHost::Entry box = fx.host->messages().value(0);
            QVERIFY2(box.text.contains(text), qPrintable(box.text));
            QCOMPARE(box.style, style);
            QCOMPARE(box.title, style == 64 ? w.windowTitle() : u"Quorrel - Keyfold"_s);
        }
        QFETCH(bool, window);
        help::HelpWindow* h = help::openHelpWindow();
        QCOMPARE(h != nullptr && h->isVisible(), window);
        if (window) {
            QCOMPARE(h->parentWidget(), &w);
            QVERIFY(h->browser()->toPlainText().contains(QStringLiteral("Welcome to Pinvara")));
        }
    }

    void optionsApplyWhateverClosedThem_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("peek");
        QTest::addColumn<bool>("timeout");
        QTest::addColumn<bool>("onTop");
        // Cancel keeps the values set before; Save writes the boxes as the script leaves them.
        QTest::newRow("cancel: peek off, time-out on, on top") << "cmdCancel" << false << true
                                                               << true;
        QTest::newRow("save: peek on, time-out off") << "cmdSave" << true << false << false;
    }

    void optionsApplyWhateverClosedThem()
    {
        // Guards against masks, the on-top light, the lock or the time-out left as they were
        // after the options dialog.
        QFETCH(QString, button);
        QFETCH(bool, peek);
        QFETCH(bool, timeout);
        QFETCH(bool, onTop);
        frmMain w;
        openAccounts(w, {QStringLiteral("Bank")});
        gPeekOn = !peek;
        gTimeoutOn = !timeout;
        gKeepOnTop = !onTop;
        gTimeoutTime = 7;
        if (button == u"cmdCancel") {
            gPeekOn = peek;
            gTimeoutOn = timeout;
            gKeepOnTop = onTop;
        }
        w.m_bLocked = true;
        w.cmdPassword->show();
        w.Timer1->start(10000);
        if (timeout) {
            w.Timer2->stop();
        } else {
            w.Timer2->start(60000);
        }
        for (QLineEdit* box : {w.txtPW, w.txtKey1, w.txtKey2, w.txtKey3, w.txtKey4}) {
            box->setEchoMode(peek ? QLineEdit::Normal : QLineEdit::Password);
        }
        // The locked window opens its options for the master password.
        fx.host->onModal(QStringLiteral("frmPWconfirm"), [](QWidget& confirm) {
            confirm.findChild<QLineEdit*>(QStringLiteral("txtPW"))->setText(gMasterPassword);
            confirm.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
        });
        fx.host->onModal(QStringLiteral("frmOptions"), [&](QWidget& dlg) {
            QCOMPARE(gAccountRS.data(), w.Adodc1->Recordset());
            QVERIFY(gDialogOpen);
            dlg.findChild<QCheckBox*>(QStringLiteral("chkPasstime"))->setChecked(peek);
            dlg.findChild<QCheckBox*>(QStringLiteral("chkTimeout"))->setChecked(timeout);
            dlg.findChild<QCheckBox*>(QStringLiteral("chkOnTop"))->setChecked(onTop);
            dlg.findChild<QPushButton*>(button)->click();
        });
        w.mnuViewOptions_Click();
        QCOMPARE(gPeekOn, peek);
        QVERIFY(!gDialogOpen);
        for (QLineEdit* box : {w.txtPW, w.txtKey1, w.txtKey2, w.txtKey3, w.txtKey4}) {
            QCOMPARE(box->echoMode(), peek ? QLineEdit::Password : QLineEdit::Normal);
        }
        QCOMPARE(w.imgTBontop->pictureName(), onTop ? u"LED-GUP"_s : u"LED-RUP"_s);
        QVERIFY(!w.Timer1->isActive() && !vb::timerEnabled(*w.Timer1));
        QVERIFY(!w.m_bLocked && !w.cmdPassword->isVisible() && !w.cmdPassword->isEnabled());
        QCOMPARE(w.Timer2->isActive(), timeout);
        QCOMPARE(vb::timerEnabled(*w.Timer2), timeout);
        QCOMPARE(w.m_iTimeLeft, timeout ? int16_t(7) : w.m_iTimeLeft);
        QCOMPARE(fx.traps, 0);
    }

    void aboutRestoresTheDialogFlag_data()
    {
        QTest::addColumn<bool>("before");
        QTest::newRow("clear") << false;
        QTest::newRow("set") << true;
    }

    void aboutRestoresTheDialogFlag()
    {
        // Guards against the about box clearing the flag of a dialog or tray state it found.
        QFETCH(bool, before);
        frmMain w;
        gDialogOpen = before;
        fx.host->onModal(QStringLiteral("frmAbout"), [](QWidget& dlg) {
            QVERIFY(gDialogOpen);
            dlg.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        w.mnuHelpAbout_Click();
        QCOMPARE(gDialogOpen, before);
    }

    void printRefusedWithoutThePassword()
    {
        // Guards against a report shown or printed when the confirmation is cancelled.
        frmMain w;
        openAccounts(w, {QStringLiteral("Bank")});
        confirmWith(*fx.host, QStringLiteral("Secret#1"), false);
        w.mnuFilePrint_Click();
        for (const ScriptedHost::Entry& e : fx.host->transcript()) {
            QVERIFY2(e.kind != u"printer" && e.text != u"DataReport1", qPrintable(e.text));
        }
        QVERIFY(fx.host->messages().isEmpty());
        QVERIFY(!gDialogOpen);
    }

    void theLockClosesTheListings()
    {
        // Guards against the report preview or the print view showing every password in clear
        // in front of a locked window, or one printed under a lock staying up for good.
        frmMain w;
        openAccounts(w, {QStringLiteral("Bank")});
        confirmWith(*fx.host, QStringLiteral("Secret#1"));
        gTimeoutOn = true;
        w.m_iTimeout = 0;
        w.InitTimer();
        w.Timer2_Timer();
        bool viewClosed = false;
        fx.host->onModal(QStringLiteral("DataReport1"), [&](QWidget&) {
            QVERIFY(!w.m_bLocked && vb::timerEnabled(*w.Timer2) && w.cmdPassword->isHidden());
            gAccountRS = w.Adodc1->Recordset();
            frmPrint view;
            view.show();
            w.Timer2_Timer();
            viewClosed = view.isHidden();
        });
        w.mnuFilePrint_Click();
        QVERIFY(w.m_bLocked);
        QVERIFY(viewClosed);
    }

    void reportListsWhatTheGridShows()
    {
        // Guards against a report with accounts outside the filter, in another order, or
        // without its page numbers and total.
        frmMain w;
        QStringList accounts;
        for (int i = 1; i <= 9; ++i) {
            accounts << QStringLiteral("Bank %1").arg(i);
        }
        accounts << QStringLiteral("Shop 1") << QStringLiteral("Shop 2");
        openAccounts(w, accounts);
        ado::Recordset* rs = w.Adodc1->Recordset();
        rs->setFilter(QStringLiteral("Account LIKE 'Bank*'"));
        rs->setSort(QStringLiteral("Account DESC"));
        confirmWith(*fx.host, QStringLiteral("Secret#1"));
        int pages = 0;
        fx.host->onModal(QStringLiteral("DataReport1"), [&](QWidget& report) {
            QVERIFY(gDialogOpen);
            auto& r = static_cast<DataReport1&>(report);
            QCOMPARE(r.dataSource(), rs);
            QPrinter page(QPrinter::HighResolution);
            page.setOutputFormat(QPrinter::PdfFormat);
            pages = r.pageCount(page);
            printFromPreview(report);
        });
        w.mnuFilePrint_Click();
        QVERIFY(!gDialogOpen);
        QCOMPARE(fx.traps, 0);
        QVERIFY(fx.host->messages().isEmpty());
        QVERIFY(pages >= 3);

        QString text;
        for (const QString& pdf : fx.host->printedFiles()) {
            text += pdfText(pdf);
        }
        QVERIFY(!text.contains(QStringLiteral("Shop")));
        qsizetype at = 0;
        for (int i = 9; i >= 1; --i) {
            const qsizetype found = text.indexOf(QStringLiteral("Bank %1").arg(i), at);
            QVERIFY2(found > at, qPrintable(QStringLiteral("Bank %1 out of order").arg(i)));
            at = found;
        }
        QVERIFY(text.contains(QStringLiteral("pw-Bank 4")) && text.contains(QStringLiteral("key-Bank 4")));
        for (int p = 1; p <= pages; ++p) {
            QVERIFY(text.contains(QStringLiteral("Page %1 of %2").arg(p).arg(pages)));
        }
        const QRegularExpression total(QStringLiteral("Total Accounts:\\s+9\\b"));
        QCOMPARE(text.count(QStringLiteral("Total Accounts:")), 1);
        QVERIFY(text.indexOf(total) > at);
    }

    void previewPrintButton_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("printed") << true;
        QTest::newRow("cancelled") << false;
    }

    void previewPrintButton()
    {
        // Guards against the preview's Print opening a dialog of its own instead of the
        // program's printer dialog, printing when that dialog is cancelled, or printing to a
        // file that others can read.
        QFETCH(bool, accept);
        frmMain w;
        openAccounts(w, {QStringLiteral("Bank")});
        confirmWith(*fx.host, QStringLiteral("Secret#1"));
        fx.host->printerDialogNext(accept);
        QStringList unscripted;
        fx.host->onModal(QStringLiteral("DataReport1"), [&](QWidget& report) {
            QAction* print = nullptr;
            for (QAction* a : report.findChildren<QAction*>()) {
                print = a->text() == u"Print" ? a : print;
            }
            QVERIFY(print != nullptr && print->isVisible());
            // A dialog that does not go through the host would wait here for a user.
            QTimer::singleShot(200, &report, [&] {
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    unscripted << modal->metaObject()->className();
                    modal->close();
                }
            });
            print->trigger();
            QCOMPARE(report.isVisible(), !accept);
            report.hide();
        });
        w.mnuFilePrint_Click();
        QCOMPARE(unscripted, QStringList());
        QStringList printed = fx.host->printedFiles();
        printed.removeIf([](const QString& pdf) { return !QFileInfo::exists(pdf); });
        QCOMPARE(printed.size(), accept ? 1 : 0);
        if (accept) {
            QVERIFY(pdfText(printed[0]).contains(QStringLiteral("pw-Bank")));
            // The file holds every password: other users of the computer must not read it.
            QCOMPARE(QFile(printed[0]).permissions() & 0x0077, QFileDevice::Permissions());
        }
    }

    void previewPrintFailureIsReported()
    {
        // Guards against a report the printer refused passing as printed: the preview closing
        // without a word.
        frmMain w;
        openAccounts(w, {QStringLiteral("Bank")});
        fx.host->setPrinter(ScriptedHost::Printer::Refusing);
        confirmWith(*fx.host, QStringLiteral("Secret#1"));
        fx.host->printerDialogNext(true);
        fx.host->answerNext(vb::vbOK);
        fx.host->onModal(QStringLiteral("DataReport1"), [&](QWidget& report) {
            for (QAction* a : report.findChildren<QAction*>()) {
                if (a->text() == u"Print") {
                    a->trigger();
                }
            }
            QVERIFY(report.isVisible());
            report.hide();
        });
        w.mnuFilePrint_Click();
        const QList<ScriptedHost::Entry> boxes = fx.host->messages();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QStringLiteral("DATABASE REPORT ERROR!"));
        QVERIFY2(boxes[0].text.startsWith(QStringLiteral("DataReport Error:\r\n482: \r\n")),
            qPrintable(boxes[0].text));
        QCOMPARE(fx.traps, 0);
    }

    void reportWindowWidth_data()
    {
        QTest::addColumn<double>("inches");  // 0: no printer at all
        QTest::addColumn<int>("twips");
        QTest::newRow("narrow page") << 4.0 << 9000;
        QTest::newRow("no printer") << 0.0 << 9000;
        QTest::newRow("letter") << 8.5 << 12240 + 1000;
    }

    void reportWindowWidth()
    {
        // Guards against a report window sized below its minimum or not following the page,
        // or no preview (to print to a file) without a printer.
        QFETCH(double, inches);
        QFETCH(int, twips);
        frmMain w;
        openAccounts(w, {QStringLiteral("Bank")});
        if (inches == 0) {
            fx.host->setPrinter(ScriptedHost::Printer::None);
        }
        fx.host->setPrinterSetup([inches](QPrinter& p) {
            p.setPageSize(QPageSize(QSizeF(inches, 11), QPageSize::Inch));
        });
        confirmWith(*fx.host, QStringLiteral("Secret#1"));
        int width = 0;
        fx.host->onModal(QStringLiteral("DataReport1"), [&](QWidget& report) {
            width = report.width();
            report.hide();
        });
        w.mnuFilePrint_Click();
        QCOMPARE(width, vb::twipsToPixels(twips));
        // The missing printer is an unexpected error of the width measurement.
        QCOMPARE(fx.traps, inches == 0 ? 1 : 0);
        QVERIFY(fx.host->messages().isEmpty());
    }

    void reportErrorsAreShownAndPassedOver()
    {
        // Guards against a report error reaching the trap, stopping the steps after it, or
        // leaving gDialogOpen set.
        frmMain w;
        confirmWith(*fx.host, QStringLiteral("Secret#1"));
        fx.host->answerNext(vb::vbOK);
        w.mnuFilePrint_Click();
        const QList<ScriptedHost::Entry> boxes = fx.host->messages();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QStringLiteral("DATABASE REPORT ERROR!"));
        QCOMPARE(boxes[0].style, 16);
        QVERIFY2(boxes[0].text.startsWith(QStringLiteral("DataReport Error:\r\n91: \r\n")),
            qPrintable(boxes[0].text));
        QVERIFY(!gDialogOpen);
        QCOMPARE(fx.traps, 0);
    }

    void trayRestoresTheWindow_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("minimised");  // minimised on the task bar rather than hidden
        QTest::addColumn<bool>("shown");
        QTest::newRow("click") << int(QSystemTrayIcon::Trigger) << false << true;
        QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << false << true;
        QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false << false;
        QTest::newRow("click, minimised") << int(QSystemTrayIcon::Trigger) << true << true;
    }

    void trayRestoresTheWindow()
    {
        // Guards against a window left hidden in the tray or minimised, or keep-on-top still
        // held off.
        QFETCH(int, reason);
        QFETCH(bool, minimised);
        frmMain w;
        gDialogOpen = true;
        if (minimised) {
            w.showMinimized();
        } else {
            w.hide();
        }
        tray::activate(w.m_frmSysTray.get(), tray::WM_MOUSEMOVE,
            static_cast<QSystemTrayIcon::ActivationReason>(reason));
        QTEST(w.isVisible() && !w.isMinimized(), "shown");
        QTEST(!gDialogOpen, "shown");
    }

    void trayMenu_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::newRow("nothing") << "";
        QTest::newRow("open") << "&Open Pinvara";
        QTest::newRow("close") << "&Close";
    }

    void trayMenu()
    {
        // Guards against the right click not offering the menu, or its items not acting.
        QFETCH(QString, choice);
        frmMain w;
        w.hide();
        gDialogOpen = true;
        QStringList offered;
        tray::MenuOverride chooser([&](QMenu& menu) -> QAction* {
            QAction* chosen = nullptr;
            for (QAction* a : menu.actions()) {
                // A separator is a bare line: a caption drawn beside it shows up here.
                offered << (a->isSeparator() ? QStringLiteral("-") + a->text() : a->text());
                if (!choice.isEmpty() && a->text() == choice) {
                    chosen = a;
                }
            }
            return chosen;
        });
        tray::activate(w.m_frmSysTray.get(), tray::WM_MOUSEMOVE, QSystemTrayIcon::Context);
        QCOMPARE(offered, QStringList({"&Open Pinvara", "-", "&Close"}));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(w.isVisible(), choice == u"&Open Pinvara");
        QCOMPARE(gDialogOpen, choice != u"&Open Pinvara");
        // Closing went through the exit path: the icon is gone and the window state saved.
        QCOMPARE(w.m_frmSysTray == nullptr, choice == u"&Close");
        QCOMPARE(fx.stored("MainLeft") != u"<none>", choice == u"&Close");
    }
};

PINVARA_TEST_MAIN(TestFrmMainMenus)
#include "tst_frmMain_menus.moc"
