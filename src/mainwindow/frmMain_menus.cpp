// The hidden menus and their commands, help, the printed report and the tray icon's events.
#include "mainwindow/frmMain.h"

#include "dialogs/frmAbout.h"
#include "dialogs/frmOptions.h"
#include "dialogs/frmSysTray.h"
#include "errortrace/Proc.h"
#include "mainwindow/DataReport1.h"
#include "platform/ado/AdoErrors.h"
#include "platform/adoui/DataControl.h"
#include "platform/help/HtmlHelp.h"
#include "platform/host/Host.h"
#include "platform/singleinstance/SingleInstance.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Error.h"
#include "platform/vb/Timer.h"
#include "startup/Globals.h"
#include "startup/Module1.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QMenu>
#include <QPrinter>
#include <QThread>

namespace {

// The lowest page width the report window is sized for, in twips.
constexpr long kMinReportWidth = 8000;

} // namespace

void frmMain::connectMenuCommands()
{
    // Every entry runs its command when triggered, hidden or not; the image buttons call the
    // same handlers directly.
    const struct
    {
        const char* name;
        void (frmMain::*handler)();
    } commands[] = {{"mnuFileOpen", &frmMain::mnuFileOpen_Click},
        {"mnuOpenSpecial", &frmMain::mnuOpenSpecial_Click}, {"mnuNewDB", &frmMain::mnuNewDB_Click},
        {"mnuFileClose", &frmMain::mnuFileClose_Click},
        {"mnuFileSaveAs", &frmMain::mnuFileSaveAs_Click},
        {"mnuFilePrint", &frmMain::mnuFilePrint_Click},
        {"mnuFileExit", &frmMain::mnuFileExit_Click},
        {"mnuAddEntry", &frmMain::mnuAddEntry_Click},
        {"mnuDeleteEntry", &frmMain::mnuDeleteEntry_Click},
        {"mnuViewOptions", &frmMain::mnuViewOptions_Click},
        {"mnuHelpContents", &frmMain::mnuHelpContents_Click},
        {"mnuHelpAbout", &frmMain::mnuHelpAbout_Click},
        {"mnuSysExit", &frmMain::mnuSysExit_Click}};
    for (const auto& c : commands) {
        auto* action = findChild<QAction*>(QString::fromLatin1(c.name));
        connect(action, &QAction::triggered, this, c.handler);
    }
}

void frmMain::mnuFilePrint_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuFilePrint_Click"));
    proc.run([&] { PrintData(); });
}

void frmMain::PrintData()
{
    cw::Proc proc(kModule, QStringLiteral("Sub PrintData"));
    proc.run([&] {
        if (!ConfirmPassword()) {
            return;
        }
        // Given under a lock, the password ends it as the unlock button does: the lock's timer
        // runs again, and the report goes with the rest of the data when the next lock falls.
        if (m_bLocked) {
            endLock();
        }
        cw::LocalTrap trap(QStringLiteral("DataReport Error:"),
            QStringLiteral("DATABASE REPORT ERROR!"), {ado::errObjectClosed});
        DataReport1 report(host::host().defaultPrinter(), this);
        report.setPrintGuard([this] { return unlockedForCommand(); });
        // The live recordset: the report lists what the grid shows, in its order.
        trap([&] { report.setDataSource(Adodc1->Recordset()); });
        trap([&] {
            long w = Module1::GetPrinterWidth();
            if (w < kMinReportWidth) {
                w = kMinReportWidth;
            }
            report.setWidthTwips(double(w) + 1000);
        });
        trap([&] { gDialogOpen = true; });
        trap([&] { report.Show(this); });
        trap([&] { gDialogOpen = false; });
    });
}

void frmMain::mnuViewOptions_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuViewOptions_Click"));
    proc.run([&] {
        // The options end a lock, and their button stays usable during one: only the master
        // password opens them then, as it opens the lock.
        if (!unlockedForCommand()) {
            return;
        }
        gAccountRS = Adodc1->Recordset();
        gDialogOpen = true;
        {
            frmOptions options(this);
            options.unlocked = [this] { return unlockedForCommand(); };
            host::host().showModal(options, this);
        }
        gDialogOpen = false;
        // Likewise a lock that came while the dialog was up.
        const bool keepLocked = !unlockedForCommand();
        // Whichever button closed the dialog, the window takes the option values as they are.
        UpdateImage(imgTBontop, gKeepOnTop ? QStringLiteral("LED-GUP") : QStringLiteral("LED-RUP"));
        vb::setTimerInterval(*Timer1, 0);
        vb::setTimerEnabled(*Timer1, false);
        for (QLineEdit* box : {txtPW, txtKey1, txtKey2, txtKey3, txtKey4}) {
            box->setEchoMode(gPeekOn ? QLineEdit::Password : QLineEdit::Normal);
        }
        // Otherwise any lock has ended by now, the unlock button with it.
        if (keepLocked) {
            return;
        }
        if (!gTimeoutOn) {
            vb::setTimerInterval(*Timer2, 0);
            vb::setTimerEnabled(*Timer2, false);
        } else {
            m_iTimeout = gTimeoutTime;
            m_iTimeLeft = m_iTimeout;
            InitTimer();
        }
    });
}

void frmMain::mnuHelpContents_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuHelpContents_Click"));
    proc.run([&] {
        gKeepOnTop = false;
        UpdateImage(imgTBontop, QStringLiteral("LED-RUP"));
        if (m_sHelpFile.isEmpty()) {
            host::MsgBox(QStringLiteral("Unable to display Help Contents. There is no Help "
                                        "associated with this project."),
                vb::vbInformation, windowTitle());
            return;
        }
        vb::Err().clear();
        cw::ResumeNext next;
        next([&] { help::HtmlHelp(this, m_sHelpFile, help::HH_DISPLAY_TOPIC, 0); });
        if (vb::Err().number != 0) {
            host::MsgBox(vb::Err().description);
        }
    });
}

void frmMain::mnuHelpAbout_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuHelpAbout_Click"));
    proc.run([&] {
        const bool wasOpen = gDialogOpen;
        gDialogOpen = true;
        {
            frmAbout about(this);
            host::host().showModal(about, this);
        }
        gDialogOpen = wasOpen;
    });
}

void frmMain::connectTrayEvents()
{
    connect(m_frmSysTray.get(), &frmSysTray::MenuClick, this, &frmMain::m_frmSysTray_MenuClick);
    connect(m_frmSysTray.get(), &frmSysTray::SysTrayDoubleClick, this,
        &frmMain::m_frmSysTray_SysTrayDoubleClick);
    connect(m_frmSysTray.get(), &frmSysTray::SysTrayMouseDown, this,
        &frmMain::m_frmSysTray_SysTrayMouseDown);
}

void frmMain::showFromTray()
{
    gDialogOpen = false;
    singleinstance::restoreWindow(this);
}

void frmMain::m_frmSysTray_MenuClick(int Index, const QString& Key)
{
    Q_UNUSED(Index);
    cw::Proc proc(kModule, QStringLiteral("Sub m_frmSysTray_MenuClick"));
    cw::ResumeNext next;
    if (Key == u"open") {
        next([&] { showFromTray(); });
    } else if (Key == u"close") {
        // The menu that raised this belongs to the tray component, which the close removes:
        // the close runs once the menu has returned.
        QMetaObject::invokeMethod(
            this,
            [this] {
                close();
                // A window hidden in the tray is not the last visible window, so its close
                // would leave the program running with no window at all.
                if (m_unloaded && QThread::currentThread()->loopLevel() > 0) {
                    QCoreApplication::quit();
                }
            },
            Qt::QueuedConnection);
    }
}

void frmMain::m_frmSysTray_SysTrayDoubleClick(int Button)
{
    Q_UNUSED(Button);
    cw::Proc proc(kModule, QStringLiteral("Sub m_frmSysTray_SysTrayDoubleClick"));
    cw::ResumeNext next;
    next([&] { showFromTray(); });
}

void frmMain::m_frmSysTray_SysTrayMouseDown(int Button)
{
    cw::Proc proc(kModule, QStringLiteral("Sub m_frmSysTray_SysTrayMouseDown"));
    cw::ResumeNext next;
    if (Button == 2) {
        next([&] { m_frmSysTray->ShowMenu(); });
    } else {
        next([&] { showFromTray(); });
    }
}
