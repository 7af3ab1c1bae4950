// The main window's notification-area icon.
#include "mainwindow/frmMain.h"

#include "errortrace/Proc.h"

class frmSysTray
{
public:
    void Form_QueryUnload() {}
};

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent)
{
    buildControls();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::createTrayIcon()
{
}

void frmMain::Form_QueryUnload(bool& Cancel, int UnloadMode)
{
    Q_UNUSED(Cancel);
    Q_UNUSED(UnloadMode);
    cw::Proc proc(kModule, QStringLiteral("Sub Form_QueryUnload"));
    proc.run([&] {
        if (m_frmSysTray) {
            m_frmSysTray->Form_QueryUnload();
            m_frmSysTray.reset();
        }
    });
}

