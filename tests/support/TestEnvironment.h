// Keeps every test process away from the user's real folders, gives a test case fresh ones when
// it needs them, and lets a test binary run in a child-process mode of its own.
#pragma once

#include <QTemporaryDir>

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

/// Points the same folders at a fresh scratch folder of its own for as long as it lives, then
/// back at the process's: for tests whose every case starts with an empty home, settings store
/// and temporary folder.
class ScratchHome
{
public:
    ScratchHome();
    ~ScratchHome();
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;

    /// The home folder; its .config and .local/share are the settings and data folders.
    QString path() const;
    /// The temporary folder the program sees meanwhile.
    QString tempDir() const;

private:
    QTemporaryDir m_dir;
};

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
