// The password re-entry dialog: one shared instance, hidden (not unloaded) after use.
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmPWconfirm;
}
class QLineEdit;

class frmPWconfirm : public QDialog
{
    Q_OBJECT

public:
    /// The shared instance, loaded on first use.
    static frmPWconfirm& instance();
    /// The shared instance when it has been loaded, else null.
    static frmPWconfirm* loaded();

    explicit frmPWconfirm(QWidget* parent = nullptr);
    ~frmPWconfirm() override;

    QLineEdit* txtPW() const;

    bool OK = false;

    void reject() override;

private:
    void Form_Load();
    void OKButton_Click();
    void CancelButton_Click();

    std::unique_ptr<Ui::frmPWconfirm> ui;
};
