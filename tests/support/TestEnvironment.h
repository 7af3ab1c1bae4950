// Keeps every test process away from the user's real folders, and lets a test binary run in a
// child-process mode of its own.
#pragma once

#include <functional>
#include <optional>

namespace testenv {

/// Points HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME, XDG_STATE_HOME,
/// XDG_RUNTIME_DIR and TMPDIR into a scratch folder of this process, made in the temporary
/// folder and removed when the process ends. A process started by a test inherits its
/// parent's folders as they are. Runs first in main(), before anything reads them.
void redirectUserFolders();

/// The scratch folder that holds the redirected folders.
const char* rootFolder();

/// A child-process mode of a test binary: when the command line holds the flag, main() runs
/// the function once the application exists and ends with its result instead of the tests.
/// Declare one as a static object in the test's source file.
class ChildMode
{
public:
    ChildMode(const char* flag, std::function<int()> run);
};

/// The result of the child mode the command line asks for; none when it asks for none.
std::optional<int> runChildMode(int argc, char* argv[]);

} // namespace testenv
