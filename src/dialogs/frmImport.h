// Asks for the password of a data file that was written under another password.
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmImport;
}
class QLineEdit;

class frmImport : public QDialog
{
    Q_OBJECT

public:
    explicit frmImport(QWidget* parent = nullptr);
    ~frmImport() override;

    QLineEdit* txtPassword() const;

    /// True once the dialog was accepted with a password of at least 4 characters.
    bool OK = false;

    void cmdOK_Click();
    void cmdCancel_Click();

    /// Escape and the window's close box leave OK as it is and hide the dialog.
    void reject() override;

private:
    void Form_Load();

    std::unique_ptr<Ui::frmImport> ui;
};
