// The main window's notification-area icon.
#include "mainwindow/frmMain.h"

#include "dialogs/frmSysTray.h"
#include "errortrace/Proc.h"
#include "platform/tray/NotifyIcon.h"

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent)
{
    buildControls();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::createTrayIcon()
{
    m_frmSysTray = std::make_unique<frmSysTray>();
    m_frmSysTray->AddMenuItem(QStringLiteral("&Open Pinvara"), QStringLiteral("open"), true);
    m_frmSysTray->AddMenuItem(QStringLiteral("-"), QString(), false);
    m_frmSysTray->AddMenuItem(QStringLiteral("&Close"), QStringLiteral("close"), false);
    m_frmSysTray->setToolTip(QStringLiteral("Pinvara"));
    m_frmSysTray->setIconHandle(tray::registerIcon(windowIcon()));
}

void frmMain::Form_QueryUnload(bool& Cancel, int UnloadMode)
{
    Q_UNUSED(Cancel);
    Q_UNUSED(UnloadMode);
    cw::Proc proc(kModule, QStringLiteral("Sub Form_QueryUnload"));
    proc.run([&] {
        if (m_frmSysTray) {
            m_frmSysTray->Unload();
            m_frmSysTray.reset();
        }
    });
}
