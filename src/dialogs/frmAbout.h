// The about box: the program's name, version and contacts, and the system information tool.
#pragma once

#include "platform/registry/Registry.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class frmAbout;
}

class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);
    ~frmAbout() override;

    /// Starts the system information tool, or says that there is none.
    void StartSysInfo();
    /// Reads one registry value as text into value; false (and value "") when the key or the
    /// value cannot be read. A value neither text nor a number leaves value as it was.
    static bool GetKeyValue(registry::HKEY KeyRoot, const QString& KeyName,
        const QString& SubKeyRef, QString& KeyVal);

    void cmdOK_Click();
    void cmdSysInfo_Click();
    void txtEmail_Click();
    void txtWeb_Click();

    /// Starts a program in a normal, focused window; false when it could not be started.
    using Shell = std::function<bool(const QString& path)>;
    /// Replaces how programs are started (tests); an empty one restores the real start.
    static void setShell(Shell shell);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();

    std::unique_ptr<Ui::frmAbout> ui;
};
