// The account editor: the bound boxes, adding and deleting accounts, and the notice.
#include "mainwindow/frmMain.h"

#include "errortrace/Proc.h"

void frmMain::DisplayInfo()
{
    cw::Proc proc(kModule, QStringLiteral("Sub DisplayInfo"));
}
