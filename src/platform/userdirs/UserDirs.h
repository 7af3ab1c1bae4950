// The user's private folders: where the program's sockets and logs belong, and how its logs
// are opened there.
#pragma once

#include <QFile>
#include <QString>

namespace userdirs {

/// The folder for this user's local sockets: XDG_RUNTIME_DIR when it is a folder of ours that
/// nobody else may enter, otherwise a folder of ours (0700) in the temporary folder. Empty when
/// neither can be had; callers then neither listen nor connect.
QString runtimeFolder();

/// This program's folder for its logs: XDG_STATE_HOME (default ~/.local/state) followed by
/// "pinvara", created 0700 when missing. Empty when it cannot be created.
QString stateFolder();

/// A log or trace file name as the program uses it: absolute names are kept, relative ones lie
/// in stateFolder(); an empty name stays empty.
QString stateFilePath(const QString& name);

/// Opens a log file: created 0600 when missing, never through a symbolic link and only when
/// it is a plain file. mode is QIODevice::Append (write at the end) or QIODevice::ReadWrite.
/// Returns false when the file cannot be opened so. The QFile forgets its name once open, so
/// a reopen takes a fresh QFile.
bool openPrivateFile(QFile& file, QIODevice::OpenMode mode);

} // namespace userdirs
