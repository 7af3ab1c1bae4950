#include "TestEnvironment.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace testenv {

namespace {

constexpr const char* kRootVariable = "PINVARA_TEST_ROOT";

QByteArray& root()
{
    static QByteArray path;
    return path;
}

struct Mode
{
    const char* flag;
    std::function<int()> run;
};

QList<Mode>& modes()
{
    static QList<Mode> list;
    return list;
}

// Removes the scratch folder when the process that made it ends normally.
void removeRoot()
{
    if (!root().isEmpty()) {
        QDir(QString::fromLocal8Bit(root())).removeRecursively();
    }
}

// True when this process was started by a test that has already redirected the folders (a
// child running as another user included).
bool inherited()
{
    const QByteArray given = qgetenv(kRootVariable);
    struct stat st {};
    if (given.isEmpty() || ::lstat(given.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return false;
    }
    return qgetenv("HOME").startsWith(given + '/');
}

void makeFolder(const QByteArray& path, mode_t mode)
{
    ::mkdir(path.constData(), 0700);
    // The mode is set after creation, so the process's umask does not narrow it.
    ::chmod(path.constData(), mode);
}

// Makes the user's folders under folder and points the variables at them. Readable like a real
// home and temporary folder, so a test's child running as another user can reach the files it
// is given; only the runtime folder is private, as it must be.
void useFoldersUnder(const QByteArray& folder)
{
    makeFolder(folder, 0755);
    makeFolder(folder + "/home", 0755);
    makeFolder(folder + "/home/.config", 0700);
    makeFolder(folder + "/home/.local", 0755);
    makeFolder(folder + "/home/.local/share", 0700);
    makeFolder(folder + "/home/.local/state", 0700);
    makeFolder(folder + "/home/.cache", 0700);
    makeFolder(folder + "/runtime", 0700);
    makeFolder(folder + "/tmp", 01777);
    qputenv("HOME", folder + "/home");
    qputenv("XDG_CONFIG_HOME", folder + "/home/.config");
    qputenv("XDG_DATA_HOME", folder + "/home/.local/share");
    qputenv("XDG_STATE_HOME", folder + "/home/.local/state");
    qputenv("XDG_CACHE_HOME", folder + "/home/.cache");
    qputenv("XDG_RUNTIME_DIR", folder + "/runtime");
    qputenv("TMPDIR", folder + "/tmp");
}

} // namespace

void redirectUserFolders()
{
    if (inherited()) {
        root() = qgetenv(kRootVariable);
        return;
    }
    QByteArray base = qgetenv("TMPDIR");
    if (base.isEmpty() || !base.startsWith('/')) {
        base = "/tmp";
    }
    // A short path: socket names must fit into 108 bytes.
    QByteArray folder = base + "/pinvara-test-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        std::perror("pinvara test: cannot make a scratch folder");
        std::exit(2);
    }
    root() = folder;
    std::atexit(removeRoot);
    useFoldersUnder(folder);
    qputenv(kRootVariable, folder);
}

const char* rootFolder()
{
    return root().constData();
}

ScratchHome::ScratchHome()
{
    useFoldersUnder(QFile::encodeName(m_dir.path()));
}

ScratchHome::~ScratchHome()
{
    useFoldersUnder(root());
}

QString ScratchHome::path() const
{
    return m_dir.filePath(QStringLiteral("home"));
}

QString ScratchHome::tempDir() const
{
    return m_dir.filePath(QStringLiteral("tmp"));
}

ChildMode::ChildMode(const char* flag, std::function<int()> run)
{
    modes().append(Mode{flag, std::move(run)});
}

std::optional<int> runChildMode(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const Mode& mode : modes()) {
            if (std::strcmp(argv[i], mode.flag) == 0) {
                return mode.run();
            }
        }
    }
    return std::nullopt;
}

} // namespace testenv
