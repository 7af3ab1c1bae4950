#include "mainwindow/frmMain.h"

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
}

frmMain::~frmMain() = default;
