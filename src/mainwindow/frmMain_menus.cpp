// The hidden menus and their commands, help, the printed report and the tray icon's events.
#include "mainwindow/frmMain.h"

#include "errortrace/Proc.h"

void frmMain::mnuFilePrint_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuFilePrint_Click"));
}

void frmMain::mnuViewOptions_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuViewOptions_Click"));
}

void frmMain::mnuHelpContents_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuHelpContents_Click"));
}

void frmMain::mnuHelpAbout_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuHelpAbout_Click"));
}
