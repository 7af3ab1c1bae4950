#include "startup/frmLogin.h"

#include "ui_frmLogin.h"

#include "cipher/StringCipher.h"
#include "errortrace/Proc.h"
#include "platform/host/Host.h"
#include "platform/host/PasswordMask.h"
#include "platform/settings/SettingsStore.h"
#include "platform/singleinstance/SingleInstance.h"
#include "platform/vb/Constants.h"
#include "startup/Globals.h"
#include "startup/Latin1Validator.h"
#include "startup/Module1.h"
#include "startup/Pictures.h"
#include "startup/frmFirstUse.h"
#include "startup/frmPWconfirm.h"

#include <QKeyEvent>

namespace {

const QString kForm = QStringLiteral("frmLogin");
const QString kTitle = QStringLiteral("Login");
const QString kCrLf = QStringLiteral("\r\n");

QString accountSection(const QString& user)
{
    return QStringLiteral("Accounts\\") + user;
}

// Upper case letter by letter, as the name was typed: full case mapping would turn "ß" into
// "SS" and so change both the name's length and the user it names.
QString upperEachLetter(const QString& typed)
{
    QString out;
    out.reserve(typed.size());
    for (const char32_t letter : typed.toUcs4()) {
        const char32_t upper = QChar::toUpper(letter);
        out += QStringView(QChar::fromUcs4(upper));
    }
    return out;
}

// The letters typed (a character outside the basic plane is one letter, not two).
qsizetype letterCount(const QString& typed)
{
    return typed.toUcs4().size();
}

} // namespace

frmLogin::frmLogin(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmLogin>())
{
    ui->setupUi(this);
    ui->txtPassword->setValidator(new Latin1Validator(ui->txtPassword));
    host::maskWithAsterisks(*ui->txtPassword);
    ui->cmdOK->setIcon(pictures::okButton());
    ui->cmdCancel->setIcon(pictures::cancelButton());
    ui->txtUserName->installEventFilter(this);
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);
    // First in the tab order, so the dialog opens with the focus in the password box.
    ui->txtPassword->setFocus();
    Form_Load();
}

frmLogin::~frmLogin()
{
    // The shared confirmation dialog outlives this one: take it back before it would be
    // deleted as our child.
    frmPWconfirm* confirm = frmPWconfirm::loaded();
    if (confirm != nullptr && confirm->parentWidget() == this) {
        confirm->setParent(nullptr, confirm->windowFlags());
    }
}

void frmLogin::Form_Load()
{
    cw::Proc proc(kForm, QStringLiteral("Sub Form_Load"));
    proc.run([&] {
        Module1::LoadResStrings(*this);
        const QString last = settings::GetSetting(host::kAppTitle, QStringLiteral("LastLogin"),
                                                  QStringLiteral("Name"), QString());
        if (last.isEmpty()) {
            frmFirstUse advice;
            host::host().showModal(advice, this);
        }
        ui->txtUserName->setText(last);
        if (last.isEmpty()) {
            // The logon name is offered as it is; the login upper-cases whatever is used.
            const QString logon = singleinstance::loginName();
            if (!logon.isEmpty()) {
                ui->txtUserName->setText(logon);
            }
        }
    });
}

void frmLogin::refocus(QLineEdit* box)
{
    if (box->isVisible()) {
        box->setFocus();
    }
    box->selectAll();
}

void frmLogin::cmdOK_Click()
{
    cw::Proc proc(kForm, QStringLiteral("Sub cmdOK_Click"));
    proc.run([&] {
        const QString user = upperEachLetter(ui->txtUserName->text());
        const QString password = ui->txtPassword->text();
        if (letterCount(ui->txtUserName->text()) < 4) {
            host::MsgBox(QStringLiteral("User Name length must be between") + kCrLf
                             + QStringLiteral("4 - 16 characters, try again!"),
                         vb::vbInformation, kTitle);
            refocus(ui->txtUserName);
            return;
        }
        if (password.length() < 4) {
            host::MsgBox(QStringLiteral("Password length must be between") + kCrLf
                             + QStringLiteral("4 - 16 characters, try again!"),
                         vb::vbInformation, kTitle);
            refocus(ui->txtPassword);
            return;
        }
        // A password refused while Caps Lock is on is most likely typed in the wrong case.
        auto refusePassword = [&](QString text) {
            if (Module1::CapsLockOn()) {
                text += kCrLf + kCrLf + QStringLiteral("BEWARE your CAPS key is ON!");
            }
            host::MsgBox(text, vb::vbExclamation, kTitle);
            refocus(ui->txtPassword);
        };
        gStoredPassword = settings::GetSetting(host::kAppTitle, accountSection(user),
                                               QStringLiteral("PW"), QString());
        if (gStoredPassword.isEmpty()) {
            frmPWconfirm& confirm = frmPWconfirm::instance();
            confirm.txtPW()->setText(QString());
            host::host().showModal(confirm, this);
            if (!confirm.OK) {
                refocus(ui->txtPassword);
                return;
            }
            const QString again = confirm.txtPW()->text();
            if (again.isEmpty() || again != password) {
                refusePassword(QStringLiteral("Passwords do not match, try again!"));
                return;
            }
            Module1::SetKey(password);
            gStoredPassword = Module1::Encrypt(password);
            if (!settings::SaveSetting(host::kAppTitle, accountSection(user),
                                       QStringLiteral("PW"), gStoredPassword)) {
                // Without its verifier the name would not know its password at the next start.
                gStoredPassword.clear();
                host::MsgBox(QStringLiteral("You are NOT registered: cannot write to") + kCrLf
                                 + settings::settingsFile(host::kAppTitle),
                             vb::vbExclamation, kTitle);
                refocus(ui->txtPassword);
                return;
            }
        } else {
            Module1::SetKey(password);
            if (Module1::Encrypt(password) != gStoredPassword) {
                refusePassword(QStringLiteral("Invalid Password, try again!"));
                return;
            }
        }
        settings::SaveSetting(host::kAppTitle, QStringLiteral("LastLogin"), QStringLiteral("Name"),
                              user);
        OK = true;
        gUserName = user;
        gMasterPassword = password;
        hide();
    });
}

void frmLogin::cmdCancel_Click()
{
    cw::Proc proc(kForm, QStringLiteral("Sub cmdCancel_Click"));
    proc.run([&] {
        OK = false;
        hide();
    });
}

void frmLogin::reject()
{
    // Escape and the window's close box answer as Cancel does.
    cmdCancel_Click();
}

bool frmLogin::txtUserName_KeyPress(int keyAscii)
{
    cw::Proc proc(kForm, QStringLiteral("Sub txtUserName_KeyPress"));
    bool handled = false;
    proc.run([&] {
        if (keyAscii == vb::vbKeyReturn) {
            host::host().sendKeys(this, QStringLiteral("{tab}"));
            handled = true;
        }
    });
    return handled;
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->txtUserName && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            return txtUserName_KeyPress(vb::vbKeyReturn);
        }
    }
    return QDialog::eventFilter(watched, event);
}
