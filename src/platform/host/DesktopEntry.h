// Desktop entries (.desktop files): which program the desktop opens a kind of file with, and
// the command line it starts that program with.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace host {

/// The keys of a desktop entry that starting it needs.
struct DesktopEntry
{
    QString path;  ///< the .desktop file itself
    QString name;
    QString icon;
    QString exec;  ///< the Exec line as stored (escapes not yet resolved)
};

/// Reads the "[Desktop Entry]" group of a .desktop file; nothing when the file cannot be read
/// or has no Exec line.
std::optional<DesktopEntry> readDesktopEntry(const QString& path);

/// The desktop entry the desktop opens files of a MIME type with, as a full path; empty when
/// none is associated.
QString defaultApplication(const QString& mimeType);

/// The entry's Exec line as the desktop runs it, program first: quoting and escapes resolved,
/// field codes expanded. A file or address code stands for `address` as one argument (none
/// when it is empty), blanks and all; a line without such a code gets it appended.
QStringList launchCommand(const DesktopEntry& entry, const QString& address);

/// Starts a program that outlives the caller. True when it started and did not fail within
/// the first moments (a wrapper such as "flatpak run" or "env" that cannot start its target
/// exits at once with an error).
bool startProgram(const QString& program, const QStringList& arguments);

} // namespace host
