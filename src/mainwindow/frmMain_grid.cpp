// The account grid: filters, sorting, column widths and the quick search.
#include "mainwindow/frmMain.h"

#include "errortrace/Proc.h"

void frmMain::cmdFilter_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdFilter_Click"));
}

void frmMain::cmdFilter2_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdFilter2_Click"));
}

void frmMain::cmdClearFilter_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdClearFilter_Click"));
}
