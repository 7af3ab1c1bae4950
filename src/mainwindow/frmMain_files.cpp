// The data file commands: new, open, open with a password, save as and close.
#include "mainwindow/frmMain.h"
