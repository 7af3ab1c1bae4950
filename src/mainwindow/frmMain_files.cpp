// The data file commands: new, open, open with a password, save as and close.
#include "mainwindow/frmMain.h"

#include "errortrace/Proc.h"

void frmMain::mnuNewDB_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuNewDB_Click"));
}

void frmMain::mnuFileOpen_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuFileOpen_Click"));
}

void frmMain::mnuOpenSpecial_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuOpenSpecial_Click"));
}

void frmMain::mnuFileSaveAs_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuFileSaveAs_Click"));
}

void frmMain::mnuFileClose_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuFileClose_Click"));
}
