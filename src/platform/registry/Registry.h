// A small registry of typed values under keys, read the way the program's callers expect: open
// a key, query a value into a buffer, close the key. Linux keeps no such store, so the values
// that the program looks up are worked out from this machine (see Registry.cpp); tests and
// callers may set others.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace registry {

using HKEY = std::uintptr_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;

inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_INVALID_HANDLE = 6;
inline constexpr long ERROR_MORE_DATA = 234;

inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;

/// Opens subKey under root (names compared without regard to case). On success key receives
/// a handle to close with RegCloseKey; otherwise key is 0 and ERROR_FILE_NOT_FOUND comes back.
/// The access mask is accepted as given: every value here may be read by the program.
long RegOpenKeyEx(HKEY root, const QString& subKey, uint32_t options, uint32_t access, HKEY& key);

/// Copies the value's bytes (a text ends with its NUL) into the first size bytes of data and
/// sets type and size. A value larger than size leaves data alone, sets size to what it needs
/// and returns ERROR_MORE_DATA; a missing value returns ERROR_FILE_NOT_FOUND.
long RegQueryValueEx(HKEY key, const QString& valueName, uint32_t& type, QByteArray& data,
    uint32_t& size);

/// Releases a handle; ERROR_INVALID_HANDLE for one that is not open (0 included).
long RegCloseKey(HKEY key);

/// Stores a value, creating its key.
void setValue(HKEY root, const QString& subKey, const QString& valueName, uint32_t type,
    const QByteArray& data);
/// Stores a text value (UTF-8, NUL-terminated).
void setString(HKEY root, const QString& subKey, const QString& valueName, const QString& text);

/// Forgets every value; with machineValues the ones worked out from this machine come back on
/// the next use, without them the registry stays empty (for tests).
void reset(bool machineValues = true);

/// The programs that can show a description of this machine, looked for on the PATH in order.
const QStringList& systemInfoPrograms();

} // namespace registry
