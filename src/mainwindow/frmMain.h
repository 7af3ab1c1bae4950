// The main window: the account data file, its grid and editor.
#pragma once

#include <QMainWindow>

class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;
};
