// The string interface of the Blowfish cipher: one process-wide key.
#pragma once

#include <QByteArray>
#include <QString>

namespace Module1 {

/// The current key, one byte per key character, as the last SetKey took it.
inline QByteArray gKeyBytes;

/// Keys the cipher with one byte per character of key (a key of more than 56 bytes is
/// refused and the previous key stays in force).
void SetKey(const QString& key);

/// Enciphers text under the current key; the result holds one cipher byte per character
/// (codes 0 to 255), 8, 16 or 24 characters for 1-7, 8-15 or 16-23 characters.
QString Encrypt(const QString& text);

/// Deciphers text under the current key and strips the padding.
QString Decrypt(const QString& text);

} // namespace Module1
