#include "startup/Main.h"

#include "errortrace/Proc.h"
#include "platform/host/Host.h"
#include "platform/host/SessionEnd.h"
#include "mainwindow/frmMain.h"
#include "platform/singleinstance/SingleInstance.h"
#include "startup/Module1.h"
#include "startup/frmLogin.h"
#include "startup/frmSplash.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>

namespace Module1 {

std::unique_ptr<frmMain> gMainForm;

namespace {

// How long the splash stays up; PINVARA_SPLASH_MS shortens it for tests and screenshots.
long splashMs()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("PINVARA_SPLASH_MS", &ok);
    return ok && ms >= 0 ? ms : 3000;
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
            splash.repaint();
            // The wait takes no input, but the window system may map, cover or uncover the
            // splash at any time during it (a window manager maps it late): it must be able
            // to paint itself all along, or it stays black.
            QEventLoop wait;
            QTimer::singleShot(std::chrono::milliseconds(splashMs()), &wait, &QEventLoop::quit);
            wait.exec(QEventLoop::ExcludeUserInputEvents);
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
        // A logout or a request to terminate closes the window as its close box does, so the
        // settings are saved and the data file compacted; a window hidden in the notification
        // area ends no event loop by closing, hence the quit.
        auto* sessionEnd = new host::SessionEnd(gMainForm.get());
        QObject::connect(sessionEnd, &host::SessionEnd::ending, gMainForm.get(), [] {
            if (gMainForm && gMainForm->close()) {
                QCoreApplication::quit();
            }
        });
    });
}

} // namespace Module1
