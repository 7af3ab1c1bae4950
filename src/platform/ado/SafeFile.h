// File-system steps that must not expose or lose a data file: private folders, write checks,
// link resolution and the replacement of a file by a finished copy.
#pragma once

#include <QString>

#include <functional>

namespace ado {

/// Makes sure `folder` can be entered by this user alone: it is created 0700 when missing; an
/// existing one must be a real folder (not a link) owned by this user, and is closed to others.
/// Raises error 75 naming the folder otherwise.
void requirePrivateFolder(const QString& folder);

/// The path a file is finally reached by: symbolic links followed (also a link whose target
/// does not exist yet), ".." and "." resolved. A path that is no link comes back absolute.
QString resolvedPath(const QString& path);

/// True when both paths name one existing file (through links, "..", or hard links).
bool sameFile(const QString& a, const QString& b);

/// True when the file may be rewritten: its owner's write permission bit is set and this user
/// may write it. (The bit is checked too because a superuser may write any file, and a file
/// made read-only by its owner is still meant to stay as it is.)
bool isWritableFile(const QString& path);

/// The working copy made beside `file` while it is written: a hidden name of its own, short
/// enough to be taken whatever the file's own name, the same each time for the same file, so
/// that a copy left by a run that was stopped is found and replaced.
QString sideFile(const QString& file, const QString& suffix);

/// Puts the finished file `copy` in the place of `dest` so that `dest` is, at every moment,
/// either its old content or the complete new one. The copy is moved (or copied, across file
/// systems) beside the file `dest` resolves to, given that file's permission bits (0600 for a
/// new file), forced to disk, passed to `verify`, and only then renamed over it. A link at
/// `dest` keeps pointing at the replaced file. `copy` is gone afterwards, and on failure
/// nothing is left beside `dest`. Raises error 75 naming the file when the copy cannot be made
/// or put in place, or what `verify` or `beforeRename` raise.
void replaceFile(const QString& copy, const QString& dest,
                 const std::function<void(const QString& candidate)>& verify,
                 const std::function<void()>& beforeRename = {});

} // namespace ado
