// The per-user settings store: text values by application, section and key, as the
// registry keeps them (sections separated by "\", names compared without regard to case).
#pragma once

#include <QString>

namespace settings {

/// GetSetting: the stored text, or def when the key is missing. A stored value reads back
/// exactly, byte for byte, whatever characters it holds (NUL included).
QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& def = {});

/// SaveSetting: stores the text value. False when the file could not be written; the value
/// may then still read back in this process, but no other process will see it.
bool SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value);

/// The file that holds an application's settings. Both calls above keep it readable and
/// writable by its owner alone (mode 0600).
QString settingsFile(const QString& appName);

} // namespace settings
