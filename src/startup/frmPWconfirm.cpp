#include "startup/frmPWconfirm.h"

#include "ui_frmPWconfirm.h"

#include "errortrace/Proc.h"
#include "platform/host/PasswordMask.h"
#include "startup/Latin1Validator.h"
#include "startup/Pictures.h"

#include <QPointer>

namespace {

const QString kForm = QStringLiteral("frmPWconfirm");

QPointer<frmPWconfirm>& shared()
{
    static QPointer<frmPWconfirm> instance;
    return instance;
}

} // namespace

frmPWconfirm& frmPWconfirm::instance()
{
    if (shared().isNull()) {
        shared() = new frmPWconfirm;
    }
    return *shared();
}

frmPWconfirm* frmPWconfirm::loaded()
{
    return shared().data();
}

frmPWconfirm::frmPWconfirm(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmPWconfirm>())
{
    ui->setupUi(this);
    ui->txtPW->setValidator(new Latin1Validator(ui->txtPW));
    host::maskWithAsterisks(*ui->txtPW);
    ui->OKButton->setIcon(pictures::okButton());
    ui->CancelButton->setIcon(pictures::cancelButton());
    connect(ui->OKButton, &QPushButton::clicked, this, &frmPWconfirm::OKButton_Click);
    connect(ui->CancelButton, &QPushButton::clicked, this, &frmPWconfirm::CancelButton_Click);
    Form_Load();
}

frmPWconfirm::~frmPWconfirm() = default;

QLineEdit* frmPWconfirm::txtPW() const
{
    return ui->txtPW;
}

void frmPWconfirm::Form_Load()
{
    cw::Proc proc(kForm, QStringLiteral("Sub Form_Load"));
    proc.run([&] {
        ui->txtPW->setText(QString());
        ui->txtPW->setFocus();
        OK = false;
    });
}

void frmPWconfirm::OKButton_Click()
{
    cw::Proc proc(kForm, QStringLiteral("Sub OKButton_Click"));
    proc.run([&] {
        OK = true;
        hide();
    });
}

void frmPWconfirm::CancelButton_Click()
{
    cw::Proc proc(kForm, QStringLiteral("Sub CancelButton_Click"));
    proc.run([&] {
        OK = false;
        hide();
    });
}

void frmPWconfirm::reject()
{
    // Escape and the window's close box answer as Cancel does.
    CancelButton_Click();
}
