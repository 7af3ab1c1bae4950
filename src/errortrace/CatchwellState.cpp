#include "errortrace/CatchwellState.h"

#include <QHash>

namespace modCatchwell {

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
    // 20, 31, 50, 53 and 62 are built at run time by the component.
    return texts.value(number);
}

} // namespace modCatchwell
