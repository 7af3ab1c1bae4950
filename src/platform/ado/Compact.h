// Jet's CompactDatabase over SQLCipher: a fresh, re-keyed copy of a data file.
#pragma once

#include <QString>

#include <functional>

namespace ado {

class Connection;

/// The replication engine's CompactDatabase(source, destination). The source string gives the
/// data file and its current password (a plaintext file opens under any password); the destination
/// gives the new file and its password. The copy is written through sqlcipher_export into a file
/// created for it (owner-only) at the preferred cipher page size; on failure it is removed. The
/// source is claimed (FileLock) while it is read. An existing destination raises 3204 ("Database
/// already exists."); encryption asked for without a password raises -2147217843; source faults
/// raise what Connection::Open raises. When `open` is a writable connection to the source file
/// under the source password, the copy is exported through it: the file is not opened (and its
/// key not derived) a second time.
void CompactDatabase(const QString& sourceConnection, const QString& destinationConnection,
                     Connection* open = nullptr);

/// Puts a finished compacted copy in the place of `dest` (see replaceFile): only once the copy
/// opens under `password` as an encrypted file. A plaintext copy never passes.
void installCompactedCopy(const QString& copy, const QString& dest, const QString& password,
                          const std::function<void()>& beforeRename = {});

} // namespace ado
