// Jet's CompactDatabase over SQLCipher: a fresh, re-keyed copy of a data file.
#pragma once

#include <QString>

namespace ado {

/// The replication engine's CompactDatabase(source, destination). The source string gives the
/// data file and its current password (a plaintext file opens under any password); the destination
/// gives the new file and its password. The copy is written through sqlcipher_export into a fresh
/// file beside the destination, verified by reopening it with its key, and renamed into place, so
/// no half-written destination is ever left. An existing destination raises 3204 ("Database
/// already exists."); source faults raise what Connection::Open raises.
void CompactDatabase(const QString& sourceConnection, const QString& destinationConnection);

} // namespace ado
