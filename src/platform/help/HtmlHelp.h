// Shows a compiled HTML help file in the program's own help window.
#pragma once

#include <QString>

#include <cstdint>

class QWidget;

namespace help {

class HelpWindow;

/// The one command the program gives: show the file's default page (data 0) or the page
/// whose path data points to (a const char*).
inline constexpr int HH_DISPLAY_TOPIC = 0;

/// The file's help window, owned by caller: made on first use and brought to the front
/// later; returns it. A missing or unreadable file, a file that is not a compiled help file,
/// a page it does not hold or an unknown command raise vb::Error with a description that says
/// which.
HelpWindow* HtmlHelp(QWidget* caller, const QString& helpFile, int command, uintptr_t data);

/// The help window now open, or null.
HelpWindow* openHelpWindow();

} // namespace help
