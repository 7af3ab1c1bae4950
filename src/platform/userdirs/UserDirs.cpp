#include "platform/userdirs/UserDirs.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace userdirs {

namespace {

// A folder that only we can enter: a real folder (not a link to one), owned by us, and
// closed to group and others.
bool isPrivateFolder(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        return false;
    }
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

bool makeFolder(const QString& path)
{
    return ::mkdir(QFile::encodeName(path).constData(), 0700) == 0 || errno == EEXIST;
}

} // namespace

QString runtimeFolder()
{
    const QString given = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(given) && isPrivateFolder(given)) {
        return QDir::cleanPath(given);
    }
    // The name is predictable, so it counts only when it is ours and closed to others:
    // one planted by someone else makes the program go without sockets.
    const QString folder =
        QDir::tempPath() + QStringLiteral("/pinvara-runtime-") + QString::number(::geteuid());
    if (makeFolder(folder) && isPrivateFolder(folder)) {
        return folder;
    }
    return {};
}

QString stateFolder()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.local/state");
    }
    if (!QDir().mkpath(base)) {
        return {};
    }
    const QString folder = QDir::cleanPath(base) + QStringLiteral("/pinvara");
    if (!makeFolder(folder) || !QFileInfo(folder).isDir()) {
        return {};
    }
    return folder;
}

QString stateFilePath(const QString& name)
{
    if (name.isEmpty() || QDir::isAbsolutePath(name)) {
        return name;
    }
    const QString folder = stateFolder();
    if (folder.isEmpty()) {
        return {};
    }
    return folder + u'/' + name;
}

bool openPrivateFile(QFile& file, QIODevice::OpenMode mode)
{
    const bool append = mode.testFlag(QIODevice::Append);
    // O_NONBLOCK keeps a FIFO planted under the name from blocking the open; it changes
    // nothing for a plain file.
    const int flags = O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK
                      | (append ? O_WRONLY | O_APPEND : O_RDWR);
    const QString name = file.fileName();
    if (name.isEmpty()) {
        return false;
    }
    const int fd = ::open(QFile::encodeName(name).constData(), flags, 0600);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)
        || !file.open(fd, append ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::ReadWrite,
                      QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

} // namespace userdirs
