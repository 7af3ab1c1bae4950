#include "platform/ado/FileLock.h"

#include "platform/ado/AdoErrors.h"

#include <QFile>

#include <map>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ado {

namespace {

using FileId = std::pair<quint64, quint64>;

std::map<FileId, std::weak_ptr<FileLock>>& holders()
{
    static std::map<FileId, std::weak_ptr<FileLock>> map;
    return map;
}

} // namespace

FileLock::FileLock(int fd, quint64 device, quint64 inode)
    : m_fd(fd), m_device(device), m_inode(inode)
{
}

FileLock::~FileLock()
{
    holders().erase({m_device, m_inode});
    if (m_fd >= 0) {
        ::close(m_fd); // releases the lock
    }
}

std::shared_ptr<FileLock> FileLock::acquire(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    // A compaction elsewhere may rename a new file over the path between our open and our lock:
    // the lock is good only if the path still names the file we locked.
    for (int attempt = 0; attempt < 8; ++attempt) {
        struct stat byPath {};
        if (::stat(name.constData(), &byPath) != 0) {
            raiseProvider(errProviderUnspecified,
                          QStringLiteral("Could not find file '%1'.").arg(path));
        }
        const FileId id{byPath.st_dev, byPath.st_ino};
        if (const auto it = holders().find(id); it != holders().end()) {
            if (auto held = it->second.lock()) {
                return held;
            }
        }
        const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            raiseProvider(errProviderUnspecified,
                          QStringLiteral("The Microsoft Jet database engine cannot open the file "
                                         "'%1'.  It is already opened exclusively by another "
                                         "user, or you need permission to view its data.")
                              .arg(path));
        }
        int rc = 0;
        do {
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0 && errno == EWOULDBLOCK) {
            ::close(fd);
            raiseProvider(errProviderUnspecified,
                          QStringLiteral("Could not use '%1'; file already in use.").arg(path));
        }
        // Any other failure means the file system keeps no such locks; work on unlocked.
        struct stat byFd {};
        struct stat again {};
        if (::fstat(fd, &byFd) != 0 || ::stat(name.constData(), &again) != 0
            || byFd.st_dev != again.st_dev || byFd.st_ino != again.st_ino) {
            ::close(fd);
            continue;
        }
        std::shared_ptr<FileLock> lock(new FileLock(fd, byFd.st_dev, byFd.st_ino));
        holders()[{byFd.st_dev, byFd.st_ino}] = lock;
        return lock;
    }
    raiseProvider(errProviderUnspecified,
                  QStringLiteral("Could not use '%1'; file already in use.").arg(path));
}

} // namespace ado
