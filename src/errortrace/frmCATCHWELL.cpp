#include "errortrace/Report.h"

namespace modCatchwell {

int16_t pfShowReport()
{
    return 0;
}

void pfSysInfo(QString& text)
{
    text.clear();
}

void unloadReportForm()
{
}

} // namespace modCatchwell
