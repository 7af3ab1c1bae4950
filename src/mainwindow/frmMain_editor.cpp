// The account editor: the bound boxes, adding and deleting accounts, and the notice.
#include "mainwindow/frmMain.h"

#include "errortrace/Proc.h"

void frmMain::DisplayInfo()
{
    cw::Proc proc(kModule, QStringLiteral("Sub DisplayInfo"));
}

void frmMain::RefreshTextControls()
{
    cw::Proc proc(kModule, QStringLiteral("Sub RefreshTextControls"));
}

void frmMain::cmdAdd_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdAdd_Click"));
}

void frmMain::cmdClear_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdClear_Click"));
}

void frmMain::mnuAddEntry_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuAddEntry_Click"));
}

void frmMain::mnuDeleteEntry_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuDeleteEntry_Click"));
}
