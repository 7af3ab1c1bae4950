// Handing secrets out: the clipboard copies, the peek, the security lock and keep-on-top.
#include "mainwindow/frmMain.h"

#include "dialogs/frmPrint.h"
#include "dialogs/frmRandomiser.h"
#include "errortrace/Proc.h"
#include "mainwindow/DataReport1.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"
#include "platform/adoui/DataGrid.h"
#include "platform/adoui/FieldBinding.h"
#include "platform/host/Host.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Convert.h"
#include "platform/vb/Timer.h"
#include "platform/window/ZOrder.h"
#include "startup/Globals.h"
#include "startup/Module1.h"
#include "startup/frmPWconfirm.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {

// A box's mask character: "*" hides the field, "" shows it in clear.
void setPasswordChar(QLineEdit* box, const QString& mask)
{
    box->setEchoMode(mask.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
}

void copyToClipboard(const QString& text)
{
    host::host().clipboardClear();
    host::host().clipboardSetText(text);
}

} // namespace

void frmMain::connectHandout()
{
    const struct
    {
        const char* name;
        void (frmMain::*handler)();
    } buttons[] = { { "cmdAccount", &frmMain::cmdAccount_Click },
        { "cmdName", &frmMain::cmdName_Click }, { "cmdURL", &frmMain::cmdURL_Click },
        { "cmdHint", &frmMain::cmdHint_Click }, { "cmdInfo", &frmMain::cmdInfo_Click },
        { "cmdKey1", &frmMain::cmdKey1_Click }, { "cmdKey2", &frmMain::cmdKey2_Click },
        { "cmdKey3", &frmMain::cmdKey3_Click }, { "cmdKey4", &frmMain::cmdKey4_Click },
        { "cmdSP", &frmMain::cmdSP_Click }, { "cmdPassword", &frmMain::cmdPassword_Click },
        { "cmdRP", &frmMain::cmdRP_Click }, { "cmdGoUrl", &frmMain::cmdGoUrl_Click } };
    for (const auto& b : buttons) {
        if (auto* button = findChild<QPushButton*>(QString::fromLatin1(b.name))) {
            connect(button, &QPushButton::clicked, this, b.handler, Qt::UniqueConnection);
        }
    }
    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer, Qt::UniqueConnection);
    connect(Timer2, &QTimer::timeout, this, &frmMain::Timer2_Timer, Qt::UniqueConnection);
    connect(timOnTop, &QTimer::timeout, this, &frmMain::timOnTop_Timer, Qt::UniqueConnection);

    // As designed: the peek and time-out timers enabled without an interval, so quiet until
    // given one; the keep-on-top timer ticking every second from the start.
    vb::setTimerEnabled(*Timer1, true);
    vb::setTimerEnabled(*Timer2, true);
    vb::setTimerInterval(*timOnTop, 1000);
    vb::setTimerEnabled(*timOnTop, true);
}

void frmMain::InitTimer()
{
    cw::Proc proc(kModule, QStringLiteral("Sub InitTimer"));
    proc.run([&] {
        vb::setTimerEnabled(*Timer2, true);
        vb::setTimerInterval(*Timer2, m_lTickMs);
        m_iTimeLeft = m_iTimeout;
        m_bLocked = false;
        Frame2->show();
        Frame3->show();
        DataGrid1->show();
        Adodc1->show();
        cmdPassword->hide();
        mnuFile->setEnabled(true);
        mnuEdit->setEnabled(true);
        mnuView->setEnabled(true);
        tbToolBar->setEnabled(true);
        UpdateTools(false);
    });
}

void frmMain::cmdAccount_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdAccount_Click"));
    proc.run([&] { copyToClipboard(txtAccount->text()); });
}

void frmMain::cmdName_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdName_Click"));
    proc.run([&] { copyToClipboard(txtID->text()); });
}

void frmMain::cmdURL_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdURL_Click"));
    proc.run([&] { copyToClipboard(txtURL->text()); });
}

void frmMain::cmdHint_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdHint_Click"));
    proc.run([&] { copyToClipboard(txtHint->toPlainText()); });
}

void frmMain::cmdInfo_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdInfo_Click"));
    proc.run([&] { copyToClipboard(txtINFO->toPlainText()); });
}

void frmMain::revealField(QLineEdit* box)
{
    host::host().clipboardClear();
    // The buttons hide with the editor while the window is locked; this guards a direct call.
    if (m_bLocked) {
        if (!ConfirmPassword()) {
            return;
        }
        box->setEnabled(true);
        cmdPassword->setEnabled(false);
        cmdPassword->hide();
        InitTimer();
    }
    setPasswordChar(box, QString());
    host::host().clipboardSetText(box->text());
    vb::setTimerEnabled(*Timer1, true);
    // Seconds times 1000 in 16-bit arithmetic: more than 32 seconds overflows.
    vb::setTimerInterval(*Timer1, vb::cInt(gPeekTime * 1000.0));
}

void frmMain::cmdKey1_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdKey1_Click"));
    proc.run([&] { revealField(txtKey1); });
}

void frmMain::cmdKey2_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdKey2_Click"));
    proc.run([&] { revealField(txtKey2); });
}

void frmMain::cmdKey3_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdKey3_Click"));
    proc.run([&] { revealField(txtKey3); });
}

void frmMain::cmdKey4_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdKey4_Click"));
    proc.run([&] { revealField(txtKey4); });
}

void frmMain::cmdSP_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdSP_Click"));
    proc.run([&] { revealField(txtPW); });
}

void frmMain::Timer1_Timer()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Timer1_Timer"));
    proc.run([&] {
        vb::setTimerInterval(*Timer1, 0);
        vb::setTimerEnabled(*Timer1, false);
        for (QLineEdit* box : { txtPW, txtKey1, txtKey2, txtKey3, txtKey4 }) {
            setPasswordChar(box, QStringLiteral("*"));
        }
    });
}

void frmMain::Timer2_Timer()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Timer2_Timer"));
    proc.run([&] {
        m_iTimeLeft = vb::cInt(m_iTimeLeft - 1.0);
        if (m_iTimeLeft >= 1) {
            return;
        }
        vb::setTimerInterval(*Timer2, 0);
        vb::setTimerEnabled(*Timer2, false);
        if (!gTimeoutOn) {
            return;
        }
        m_bLocked = true;
        Frame2->hide();
        Frame3->hide();
        DataGrid1->hide();
        Adodc1->hide();
        closeListings();
        mnuFile->setEnabled(false);
        mnuEdit->setEnabled(false);
        mnuView->setEnabled(false);
        tbToolBar->setEnabled(false);
        setPanelText(1, kLockedText);
        cmdPassword->setEnabled(true);
        cmdPassword->show();
    });
}

void frmMain::closeListings()
{
    // The report's preview and the print view show every password in clear: they go with
    // the rest of the data when the window locks.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->isVisible()
            && (qobject_cast<DataReport1*>(window) != nullptr
                || qobject_cast<frmPrint*>(window) != nullptr)) {
            window->close();
        }
    }
}

void frmMain::cmdPassword_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdPassword_Click"));
    proc.run([&] {
        if (!ConfirmPassword()) {
            QString text = QStringLiteral("Invalid Password, try again!");
            if (Module1::CapsLockOn()) {
                text += QStringLiteral("\r\n\r\nBEWARE your CAPS key is ON!");
            }
            host::MsgBox(text, vb::vbExclamation, QStringLiteral("Login Failed"));
            return;
        }
        endLock();
    });
}

void frmMain::endLock()
{
    InitTimer();
    setPanelText(1, QString());
    cmdPassword->setEnabled(false);
    cmdPassword->hide();
}

bool frmMain::unlockedForCommand()
{
    if (!m_bLocked) {
        return true;
    }
    if (!ConfirmPassword()) {
        return false;
    }
    endLock();
    return true;
}

bool frmMain::ConfirmPassword()
{
    cw::Proc proc(kModule, QStringLiteral("Function ConfirmPassword"));
    bool result = false;
    proc.run([&] {
        Module1::MakeNormal(this);
        result = false;
        frmPWconfirm& confirm = frmPWconfirm::instance();
        confirm.txtPW()->setText(QString());
        confirm.OK = false;
        gDialogOpen = true;
        host::host().showModal(confirm, this);
        gDialogOpen = false;
        const QString typed = confirm.txtPW()->text();
        // The hidden dialog lives on: it keeps no copy of the master password.
        confirm.txtPW()->setText(QString());
        if (!confirm.OK || typed.isEmpty()) {
            return;
        }
        if (typed == gMasterPassword) {
            result = true;
        } else {
            host::MsgBox(QStringLiteral("Password did not match!"), vb::vbCritical);
        }
    });
    return result;
}

void frmMain::cmdRP_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdRP_Click"));
    proc.run([&] {
        if (m_frmRandomiser == nullptr) {
            m_frmRandomiser = new frmRandomiser(this);
        }
        auto* txtRandom = m_frmRandomiser->findChild<QLineEdit*>(QStringLiteral("txtRandom"));
        m_frmRandomiser->setAccepted(false);
        txtRandom->setText(QString());
        gDialogOpen = true;
        host::host().showModal(*m_frmRandomiser, this);
        gDialogOpen = false;
        if (!m_frmRandomiser->Accepted() || !unlockedForCommand()) {
            return;
        }
        txtPW->setText(txtRandom->text());
        for (adoui::FieldBinding* binding : m_bindings) {
            if (binding->box() == txtPW) {
                binding->setDataChanged(true);
            }
        }
        ado::Recordset* rs = Adodc1->Recordset();
        if (rs == nullptr) {
            vb::raise(91);
        }
        // Stored at once, even when the new password is the only change.
        rs->Update();
        if (!rs->IsEOF()) {
            // Off the row and back, so that the boxes show the row as stored.
            rs->MoveNext();
            rs->MovePrevious();
        }
        if (txtPW->isVisible()) {
            txtPW->setFocus();
            txtPW->setSelection(0, int(txtPW->text().size()));
        }
    });
}

void frmMain::cmdGoUrl_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdGoURL_Click"));
    cw::ResumeNext next;
    next([&] { StartURL(); });
}

void frmMain::StartURL()
{
    cw::Proc proc(kModule, QStringLiteral("Sub StartURL"));
    proc.run([&] {
        if (!txtURL->text().isEmpty()) {
            Module1::StartNewBrowser(txtURL->text());
        }
    });
}

void frmMain::timOnTop_Timer()
{
    cw::Proc proc(kModule, QStringLiteral("Sub timOnTop_Timer"));
    proc.run([&] {
        vb::setTimerInterval(*timOnTop, 0);
        vb::setTimerEnabled(*timOnTop, false);
        // Up among the ordinary windows, not kept above them; never over a dialog of ours or
        // while the window sits in the notification area. A message box is such a dialog too,
        // though no flag is raised around it: the raise would bury it under the window it
        // blocks.
        if (gKeepOnTop && !gDialogOpen && QApplication::activeModalWidget() == nullptr) {
            window::bringToTop(this);
        }
        vb::setTimerInterval(*timOnTop, 2000);
        vb::setTimerEnabled(*timOnTop, true);
    });
}

void frmMain::Form_LostFocus()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_LostFocus"));
    proc.run([&] {
        vb::setTimerInterval(*timOnTop, 0);
        vb::setTimerEnabled(*timOnTop, false);
        vb::setTimerEnabled(*timOnTop, true);
        vb::setTimerInterval(*timOnTop, 5000);
    });
}
