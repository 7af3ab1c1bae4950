#include "errortrace/CatchwellState.h"

#include "errortrace/TraceViewer.h"
#include "platform/clock/Clock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QStringList>

namespace modCatchwell {

namespace {

QString& appFolderOverride()
{
    static QString folder;
    return folder;
}

// Date and time in the short formats, as the start and stop lines of the logs carry them.
QString stamp()
{
    const QDateTime now = sysclock::now();
    const QLocale locale;
    return locale.toString(now.date(), QLocale::ShortFormat) + u' '
           + locale.toString(now.time(), QLocale::ShortFormat);
}

QString versionNumbers()
{
    QStringList parts = QCoreApplication::applicationVersion().split(u'.', Qt::SkipEmptyParts);
    while (parts.size() < 3) {
        parts << QStringLiteral("0");
    }
    return parts.mid(0, 3).join(u'.');
}

} // namespace

QString cwVersionText()
{
    return QStringLiteral("5.2 (Qt 6 desktop)");
}

QString cwAppFolder()
{
    QString folder = appFolderOverride().isEmpty() ? QCoreApplication::applicationDirPath()
                                                   : appFolderOverride();
    while (folder.size() > 1 && folder.endsWith(u'/')) {
        folder.chop(1);
    }
    return folder;
}

void setAppFolder(const QString& folder)
{
    appFolderOverride() = folder;
}

QString cwExeName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

State& state()
{
    static State s;
    return s;
}

void resetState()
{
    state() = State{};
}

QString pfMsg(int16_t number)
{
    static const QHash<int, QString> texts = {
        {1, QStringLiteral("] END PROGRAM ")},
        {16, QStringLiteral(" error")},
        {17, QStringLiteral(" <unavailable: line numbers not used>")},
        {18, QStringLiteral("<< ERROR >>")},
        {19, QStringLiteral("Module    ")},
        {21, QStringLiteral("The error handler was not initialized before a call to 'cwPOP()' was made.")},
        {22, QStringLiteral("The program is too deeply nested. The error handler can only handle 1000 levels of recursion.")},
        {23, QStringLiteral("generated error")},
        {24, QStringLiteral(" - Internal Error Handler")},
        {25, QStringLiteral("An internal error ")},
        {26, QStringLiteral(" has occurred in module CATCHWELL, procedure pfErr(), line ")},
        {27, QStringLiteral("Error Information")},
        {28, QStringLiteral("Call Tree & Arguments")},
        {29, QStringLiteral("System State Information")},
        {30, QStringLiteral("Procedure")},
        {32, QStringLiteral("Catchwell(tm) : Program START")},
        {33, QStringLiteral("START PROGRAM")},
        {34, QStringLiteral("Program Error Intercepted")},
        {35, QStringLiteral("Line Number ")},
        {36, QStringLiteral("Error No. ")},
        {37, QStringLiteral("Description ")},
        {38, QStringLiteral("Category ")},
        {39, QStringLiteral(" bytes")},
        {40, QStringLiteral("YES")},
        {41, QStringLiteral("NO")},
        {42, QStringLiteral("&Continue")},
        {43, QStringLiteral("&Go to")},
        {44, QStringLiteral("&Break to")},
        {48, QStringLiteral("Procedure is unbalanced or contains calls to unbalanced routines. ")},
        {49, QStringLiteral("'cwPOP()' was called without 'cwPUSH()'. ")},
        {51, QStringLiteral("Choose CANCEL to continue with program.")},
        {52, QStringLiteral("Windows is in 'Standard' mode. Microsecond timer resolution only available under Windows 'Enhanced' mode. Using millisecond timer resolution.")},
        {55, QStringLiteral("&More")},
        {58, QStringLiteral("trappable errors")},
        {61, QStringLiteral("Source ")},
    };
    switch (number) {
    case 20:
        return stamp() + QStringLiteral(" - start Catchwell client v") + cwVersionText()
               + QStringLiteral(" data capture");
    case 31:
        return stamp() + QStringLiteral(" - stop Catchwell client v") + cwVersionText()
               + QStringLiteral(" data capture");
    case 50:
        return QStringLiteral("Choose OK to stop the program and break into the debugger.");
    case 53:
        return QStringLiteral("CW52Q01");
    case 62:
        return cwAppFolder() + u'/' + cwExeName() + QStringLiteral(" ver ") + versionNumbers();
    default:
        return texts.value(number);
    }
}

} // namespace modCatchwell
