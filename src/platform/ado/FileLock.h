// A data file claimed by this process, so that no other process works on it at the same time.
#pragma once

#include <QString>

#include <memory>

namespace ado {

/// The claim on one data file: an exclusive lock against other processes, shared by everything
/// in this process that has the file open (the working connection, a compaction, a check). It
/// lasts while any holder keeps its handle.
class FileLock
{
public:
    /// Claims the file a path names (links followed). Raises the provider's unspecified error
    /// "Could not use '<path>'; file already in use." when another process holds it, and the
    /// usual missing/unreadable file errors.
    static std::shared_ptr<FileLock> acquire(const QString& path);

    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    FileLock(int fd, quint64 device, quint64 inode);

    int m_fd;
    quint64 m_device;
    quint64 m_inode;
};

} // namespace ado
