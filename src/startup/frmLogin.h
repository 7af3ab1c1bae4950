// The login dialog: checks the user's password against the stored verifier, or registers a
// new user after the password has been confirmed.
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmLogin;
}

class frmLogin : public QDialog
{
    Q_OBJECT

public:
    explicit frmLogin(QWidget* parent = nullptr);
    ~frmLogin() override;

    /// True once a login was accepted.
    bool OK = false;

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    /// Returns true when the key was handled (and is to be discarded).
    bool txtUserName_KeyPress(int keyAscii);
    void refocus(class QLineEdit* box);

    std::unique_ptr<Ui::frmLogin> ui;
};
