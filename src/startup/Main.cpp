#include "startup/Main.h"

#include "errortrace/Proc.h"

namespace Module1 {

int Main()
{
    cw::Proc proc(QStringLiteral("Module1"), QStringLiteral("Sub Main"));
    return 0;
}

} // namespace Module1
