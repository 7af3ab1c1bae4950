#include "startup/Main.h"

#include "errortrace/Proc.h"
#include "platform/host/Host.h"
#include "mainwindow/frmMain.h"
#include "platform/singleinstance/SingleInstance.h"
#include "startup/Module1.h"
#include "startup/frmLogin.h"
#include "startup/frmSplash.h"

#include <QCoreApplication>
#include <QThread>

namespace Module1 {

std::unique_ptr<frmMain> gMainForm;

namespace {

// How long the splash stays up; PINVARA_SPLASH_MS shortens it for tests and screenshots.
unsigned long splashMs()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("PINVARA_SPLASH_MS", &ok);
    return ok && ms >= 0 ? static_cast<unsigned long>(ms) : 3000;
}

} // namespace

void Main()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Main"));
    proc.run([&] {
        if (MultiInst() != 0) {
            return;
        }
        {
            frmSplash splash;
            splash.show();
            // The window system must have mapped the window before it can be drawn; after
            // that the wait blocks everything, as intended.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            splash.repaint();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QThread::msleep(splashMs());
        }
        // frmMain's construction is its load, so the object is made only once it is needed.
        auto login = std::make_unique<frmLogin>();
        host::host().showModal(*login, nullptr);
        if (!login->OK) {
            login.reset();
            gMainForm.reset();
            return;
        }
        login.reset();
        gMainForm = std::make_unique<frmMain>();
        gMainForm->show();
        // The shown window answers later starts; it owns the listener.
        new singleinstance::InstanceServer(gMainForm.get(), LoadResString(1073));
    });
}

} // namespace Module1
