#include "dialogs/frmAbout.h"
#include "ui_frmAbout.h"

#include "errortrace/Proc.h"
#include "platform/host/DesktopEntry.h"
#include "platform/host/Host.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Error.h"
#include "resources/Resources.h"
#include "startup/Module1.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QtEndian>

#include <cstring>

namespace {

const QString kModule = QStringLiteral("frmAbout");
const QString kWeb = QStringLiteral("https://www.example.org/pinvara");
const QString kEmail = QStringLiteral("pinvara@example.org");
constexpr uint32_t kAllAccess = 0x2003F;

frmAbout::Shell& shell()
{
    static frmAbout::Shell s;
    return s;
}

// Starts the program as the platform's Shell does: a program that cannot be started, or that
// fails as soon as it starts, is a run-time error ("File not found").
void runProgram(const QString& path)
{
    const bool started = shell() ? shell()(path) : host::startProgram(path, {});
    if (!started) {
        vb::raise(53);
    }
}

} // namespace

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmAbout>())
{
    ui->setupUi(this);
    // A fixed dialog: a title and a close box only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowCloseButtonHint);
    resources::initResources();
    ui->Image1->setPixmap(QPixmap(QStringLiteral(":/design/ABOUT")));
    ui->txtWeb->setText(kWeb);
    ui->txtEmail->setText(kEmail);
    ui->txtWeb->installEventFilter(this);
    ui->txtEmail->installEventFilter(this);
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(ui->cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    Form_Load();
}

frmAbout::~frmAbout() = default;

void frmAbout::setShell(Shell s)
{
    shell() = std::move(s);
}

void frmAbout::Form_Load()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_Load"));
    proc.run([&] {
        Module1::LoadResStrings(*this);
        setWindowTitle(QStringLiteral("About Pinvara"));
        ui->lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                .arg(PINVARA_VERSION_MAJOR)
                .arg(PINVARA_VERSION_MINOR)
                .arg(PINVARA_VERSION_PATCH));
        ui->lblDisclaimer->setText(QStringLiteral("Contacts:"));
        ui->lblDescription->setText(QStringLiteral("Keep secure control over your P.I.N.'s..."));
    });
}

void frmAbout::cmdOK_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdOK_Click"));
    proc.run([&] { hide(); });
}

void frmAbout::cmdSysInfo_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdSysInfo_Click"));
    proc.run([&] { StartSysInfo(); });
}

void frmAbout::StartSysInfo()
{
    cw::Proc proc(kModule, QStringLiteral("Sub StartSysInfo"));
    proc.run([&] {
        using registry::HKEY_LOCAL_MACHINE;
        QString path;
        if (GetKeyValue(HKEY_LOCAL_MACHINE,
                QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), QStringLiteral("PATH"),
                path)) {
            runProgram(path);
        } else if (GetKeyValue(HKEY_LOCAL_MACHINE,
                       QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                       QStringLiteral("MSINFO"), path)
            && QFileInfo::exists(path + QStringLiteral("/MSINFO32.EXE"))) {
            runProgram(path + QStringLiteral("/MSINFO32.EXE"));
        } else {
            host::MsgBox(QStringLiteral("System Information Is Unavailable At This Time."),
                vb::vbOKOnly, QString());
        }
    });
}

bool frmAbout::GetKeyValue(
    registry::HKEY KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal)
{
    cw::Proc proc(kModule, QStringLiteral("Function GetKeyValue"));
    bool result = false;
    registry::HKEY key = 0;
    proc.run([&] {
        using registry::ERROR_SUCCESS;
        if (registry::RegOpenKeyEx(KeyRoot, KeyName, 0, kAllAccess, key) != ERROR_SUCCESS) {
            KeyVal.clear();
            return;
        }
        QByteArray buffer(1024, '\0');
        uint32_t size = 1024;
        uint32_t type = registry::REG_NONE;
        if (registry::RegQueryValueEx(key, SubKeyRef, type, buffer, size) != ERROR_SUCCESS) {
            KeyVal.clear();
            return;
        }
        const QByteArray text = buffer.left(buffer.indexOf('\0'));
        if (type == registry::REG_SZ) {
            KeyVal = QString::fromUtf8(text);
        } else if (type == registry::REG_DWORD) {
            // The double word's value, little-endian, as a decimal number.
            quint32 number = 0;
            std::memcpy(&number, buffer.constData(), sizeof number);
            KeyVal = QString::number(qFromLittleEndian(number));
        }
        result = true;
    });
    registry::RegCloseKey(key);
    return result;
}

void frmAbout::txtEmail_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtEmail_Click"));
    proc.run([&] { ui->txtEmail->setSelection(0, static_cast<int>(ui->txtEmail->text().size())); });
}

void frmAbout::txtWeb_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtWeb_Click"));
    proc.run([&] {
        ui->txtWeb->setSelection(0, static_cast<int>(ui->txtWeb->text().size()));
        Module1::StartNewBrowser(ui->txtWeb->text());
    });
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    // A click is a left-button release over the box.
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == ui->txtEmail) {
            txtEmail_Click();
        } else if (watched == ui->txtWeb) {
            txtWeb_Click();
        }
    }
    return QDialog::eventFilter(watched, event);
}
