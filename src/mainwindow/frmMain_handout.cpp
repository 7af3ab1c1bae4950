// Handing secrets out: the clipboard copies, the peek, the security lock and keep-on-top.
#include "mainwindow/frmMain.h"

#include "errortrace/Proc.h"

void frmMain::InitTimer()
{
    cw::Proc proc(kModule, QStringLiteral("Sub InitTimer"));
}

void frmMain::cmdAccount_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdAccount_Click"));
}

void frmMain::cmdName_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdName_Click"));
}

void frmMain::cmdURL_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdURL_Click"));
}

void frmMain::cmdHint_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdHint_Click"));
}

void frmMain::cmdInfo_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdInfo_Click"));
}

void frmMain::cmdKey1_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdKey1_Click"));
}

void frmMain::cmdKey2_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdKey2_Click"));
}

void frmMain::cmdKey3_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdKey3_Click"));
}

void frmMain::cmdKey4_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdKey4_Click"));
}

void frmMain::cmdSP_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdSP_Click"));
}

void frmMain::cmdPassword_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdPassword_Click"));
}

void frmMain::cmdRP_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdRP_Click"));
}

void frmMain::cmdGoUrl_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdGoURL_Click"));
}

void frmMain::Timer1_Timer()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Timer1_Timer"));
}

void frmMain::Timer2_Timer()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Timer2_Timer"));
}

void frmMain::timOnTop_Timer()
{
    cw::Proc proc(kModule, QStringLiteral("Sub timOnTop_Timer"));
}

void frmMain::Form_LostFocus()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_LostFocus"));
}

bool frmMain::ConfirmPassword()
{
    cw::Proc proc(kModule, QStringLiteral("Function ConfirmPassword"));
    return false;
}
