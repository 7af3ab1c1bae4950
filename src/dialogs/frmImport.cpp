#include "dialogs/frmImport.h"
#include "ui_frmImport.h"

#include "errortrace/Proc.h"
#include "platform/host/Host.h"
#include "platform/vb/Constants.h"
#include "startup/Pictures.h"

namespace {

const QString kModule = QStringLiteral("frmImport");

} // namespace

frmImport::frmImport(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmImport>())
{
    ui->setupUi(this);
    ui->cmdOK->setIcon(pictures::okButton());
    ui->cmdCancel->setIcon(pictures::cancelButton());
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmImport::cmdOK_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &frmImport::cmdCancel_Click);
    Form_Load();
}

frmImport::~frmImport() = default;

QLineEdit* frmImport::txtPassword() const
{
    return ui->txtPassword;
}

void frmImport::Form_Load()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_Load"));
    proc.run([&] {
        // The box's own visibility: the dialog itself is not shown yet.
        if (!ui->txtPassword->isHidden()) {
            ui->txtPassword->setFocus();
        }
    });
}

void frmImport::cmdOK_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdOK_Click"));
    proc.run([&] {
        if (ui->txtPassword->text().size() >= 4) {
            OK = true;
            hide();
            return;
        }
        host::MsgBox(QStringLiteral("Password length less than 4 characters\r\nPlease try again!"),
            vb::vbOKOnly, QStringLiteral("Input FailureLogin"));
        // Select what was typed so that the next try replaces it.
        host::host().sendKeys(this, QStringLiteral("{home}+{end}"));
    });
}

void frmImport::cmdCancel_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdCancel_Click"));
    proc.run([&] {
        OK = false;
        hide();
    });
}

void frmImport::reject()
{
    hide();
}
