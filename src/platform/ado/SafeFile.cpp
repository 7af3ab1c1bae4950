#include "platform/ado/SafeFile.h"

#include "platform/vb/Error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ado {

namespace {

constexpr long kPathFileAccessError = 75;

// A folder of ours that cannot be made private, or a working copy that cannot be made, is this
// program's own fault to report.
[[noreturn]] void fail(const QString& description)
{
    vb::raise(kPathFileAccessError, {}, description);
}

// The system's reason for the last failed call, to go after a description.
QString reason()
{
    return QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno)) + u'.';
}

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

bool syncPath(const QString& path, int flags)
{
    const int fd = ::open(encoded(path).constData(), flags | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Writes the bytes of `from` into the new file `to` (for a copy across file systems).
bool copyInto(const QString& from, const QString& to)
{
    const int in = ::open(encoded(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return false;
    }
    const int out = ::open(encoded(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), static_cast<size_t>(buffer.size()));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w
                = ::write(out, buffer.constData() + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) {
                continue;
            }
            if (w <= 0) {
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok) {
            break;
        }
    }
    ::close(in);
    return ::close(out) == 0 && ok;
}

} // namespace

void requirePrivateFolder(const QString& folder)
{
    QString path = QDir::cleanPath(folder); // no trailing "/": lstat must not follow a link
    const QByteArray name = encoded(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        fail(QStringLiteral("Could not create the folder '%1'.").arg(path));
    }
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        fail(QStringLiteral("The folder '%1' is not private to this user.").arg(path));
    }
    if ((st.st_mode & 077) != 0 && ::chmod(name.constData(), 0700) != 0) {
        fail(QStringLiteral("The folder '%1' is not private to this user.").arg(path));
    }
}

QString resolvedPath(const QString& path)
{
    QString p = QFileInfo(path).absoluteFilePath();
    // A bounded walk: a loop of links ends as the last name reached.
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo info(p);
        if (!info.isSymLink()) {
            break;
        }
        p = info.symLinkTarget();
    }
    const QFileInfo info(p);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(p) : folder + u'/' + info.fileName();
}

bool sameFile(const QString& a, const QString& b)
{
    struct stat sa {};
    struct stat sb {};
    return ::stat(encoded(a).constData(), &sa) == 0 && ::stat(encoded(b).constData(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool isWritableFile(const QString& path)
{
    struct stat st {};
    const QByteArray name = encoded(path);
    return ::stat(name.constData(), &st) == 0 && (st.st_mode & S_IWUSR) != 0
        && ::access(name.constData(), W_OK) == 0;
}

QString sideFile(const QString& file, const QString& suffix)
{
    const QFileInfo info(file);
    const QByteArray id = QCryptographicHash::hash(encoded(info.fileName()),
                                                   QCryptographicHash::Sha256)
                              .toHex()
                              .left(16);
    return info.absolutePath() + QStringLiteral("/.pnv-") + QString::fromLatin1(id) + suffix;
}

void replaceFile(const QString& copy, const QString& dest,
                 const std::function<void(const QString&)>& verify,
                 const std::function<void()>& beforeRename)
{
    const QString target = resolvedPath(dest);
    const QString folder = QFileInfo(target).absolutePath();
    const QString side = sideFile(target, QStringLiteral(".compact"));
    const QString cannotWrite = QStringLiteral("Could not write a working copy beside '%1'")
                                    .arg(target);

    struct Cleanup
    {
        QString side;
        QString copy;
        bool placed = false;
        ~Cleanup()
        {
            if (!placed) {
                QFile::remove(side);
            }
            QFile::remove(copy);
        }
    } cleanup{side, copy};

    struct stat old {};
    const bool exists = ::stat(encoded(target).constData(), &old) == 0;
    const mode_t mode = exists ? (old.st_mode & 07777) : 0600;

    QFile::remove(side); // left by an earlier run that was stopped
    if (::rename(encoded(copy).constData(), encoded(side).constData()) != 0
        && (errno != EXDEV || !copyInto(copy, side))) {
        fail(cannotWrite + reason());
    }
    const int fd = ::open(encoded(side).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        fail(cannotWrite + reason());
    }
    bool ok = ::fchmod(fd, mode) == 0;
    if (ok && exists && ::geteuid() == 0 && (old.st_uid != 0 || old.st_gid != 0)) {
        // Only a superuser can hand the new file back to the old file's owner.
        ok = ::fchown(fd, old.st_uid, old.st_gid) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok) {
        fail(QStringLiteral("Could not flush the working copy beside '%1' to disk.").arg(target));
    }
    verify(side);
    if (beforeRename) {
        beforeRename();
    }
    if (::rename(encoded(side).constData(), encoded(target).constData()) != 0) {
        fail(QStringLiteral("Could not replace '%1'").arg(target) + reason());
    }
    cleanup.placed = true;
    syncPath(folder, O_RDONLY | O_DIRECTORY);
}

} // namespace ado
