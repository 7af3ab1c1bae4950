// The account grid: filters, sorting, column widths and the quick search.
#include "mainwindow/frmMain.h"
