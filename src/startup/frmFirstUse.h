// The advice window shown before the very first login.
#pragma once

#include <QDialog>
#include <QRegion>

#include <memory>

namespace Ui {
class frmFirstUse;
}

class frmFirstUse : public QDialog
{
    Q_OBJECT

public:
    explicit frmFirstUse(QWidget* parent = nullptr);
    ~frmFirstUse() override;

    /// The window's outline: a rectangle from (4, 4) to (width, height) with corners rounded
    /// by 50 x 50 pixel ellipses.
    static QRegion skinRegion(int width, int height);

private:
    void Form_Load();
    void pCreateSkin();
    void cmdContinue_Click();

    std::unique_ptr<Ui::frmFirstUse> ui;
};
