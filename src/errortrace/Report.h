// The report window's entry points called by the trap, and the system description.
#pragma once

#include <QString>

#include <cstdint>

namespace modCatchwell {

/// Fills and shows the report window modally; returns the user's choice (0 Continue, 5 Break).
int16_t pfShowReport();

/// Builds the system description into text (and into the report window's system box).
void pfSysInfo(QString& text);

/// Unloads the report window if it is loaded.
void unloadReportForm();

} // namespace modCatchwell
