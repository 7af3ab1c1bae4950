#include "errortrace/modCatchwell.h"

#include "platform/vb/Error.h"

#include <QStringList>

namespace modCatchwell {

namespace {

QStringList& stack()
{
    static QStringList entries;
    return entries;
}

} // namespace

void cwPUSH(const QString& module, const QString& procedure, const QString& arguments)
{
    stack() << module + QStringLiteral(" : ") + procedure + QStringLiteral(" : ") + arguments;
}

void cwPOP(const QString& module, const QString& procedure, const QString&)
{
    if (!stack().isEmpty() && stack().last().contains(module + QStringLiteral(" : ") + procedure)) {
        stack().removeLast();
    } else {
        stack().clear();
    }
}

QVariant cwOPTION(short, const QVariant&)
{
    return {};
}

QVariant cwERROR(const QString&, const QString&)
{
    vb::Err().clear();
    return {};
}

long cwTraceDepth()
{
    return static_cast<long>(stack().size());
}

} // namespace modCatchwell
