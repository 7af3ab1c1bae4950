#include "mainwindow/frmMain.h"
#include "platform/host/PasswordMask.h"
#include "resources/Resources.h"
#include "startup/Main.h"

#include <QApplication>
#include <QIcon>

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
    // The program runs on only when the login let the main window open.
    int code = 0;
    if (Module1::gMainForm) {
        code = QApplication::exec();
    }
    Module1::gMainForm.reset();
    return code;
}
