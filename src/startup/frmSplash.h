// The splash window shown while the program starts.
#pragma once

#include <QWidget>

class QLabel;

class frmSplash : public QWidget
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;

private:
    void Form_Load();
};
