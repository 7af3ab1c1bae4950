// Handing secrets out: the clipboard copies, the peek, the security lock and keep-on-top.
#include "mainwindow/frmMain.h"

#include "errortrace/Proc.h"

void frmMain::InitTimer()
{
    cw::Proc proc(kModule, QStringLiteral("Sub InitTimer"));
}
