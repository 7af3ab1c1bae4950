// The program's entry procedure.
#pragma once

namespace Module1 {

/// Sub Main: refuses a second instance, shows the splash, runs the login and then either
/// ends or loads and shows the main window. Returns the process exit code.
int Main();

} // namespace Module1
