// The hidden menus and their commands, help, the printed report and the tray icon's events.
#include "mainwindow/frmMain.h"
