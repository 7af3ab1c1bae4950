#include "mainwindow/frmMain.h"
#include "platform/host/PasswordMask.h"
#include "resources/Resources.h"
#include "startup/Main.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pinvara"));
    QApplication::setApplicationVersion(QStringLiteral(PINVARA_VERSION));
    // One icon for every window, the notification area and the desktop's task list.
    resources::initResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/design/ICON")));
    // Every password box of the program hides its characters behind "*".
    QApplication::setStyle(host::newAsteriskStyle());
    Module1::Main();
    // Qt ends the process with exit() when the display goes away. By then the window cannot be
    // torn down any more, so it is left to the system rather than destroyed with the other
    // statics (a crash at that point could leave a core file holding the user's secrets).
    // Edits already saved are in the data file; a normal end resets the window before this runs.
    std::atexit([] { static_cast<void>(Module1::gMainForm.release()); });
    // The program runs on only when the login let the main window open.
    int code = 0;
    if (Module1::gMainForm) {
        code = QApplication::exec();
    }
    Module1::gMainForm.reset();
    return code;
}
