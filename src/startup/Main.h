// The program's entry procedure and the main window it leaves running.
#pragma once

#include <memory>

class frmMain;

namespace Module1 {

/// The one main window; empty until the login has been accepted.
extern std::unique_ptr<frmMain> gMainForm;

/// Sub Main: refuses a second instance, shows the splash, runs the login and then either
/// ends (gMainForm stays empty) or loads and shows the main window.
void Main();

} // namespace Module1
