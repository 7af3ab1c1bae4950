// Text to bytes, one byte per character.
#pragma once

#include <QByteArray>
#include <QString>

namespace basConvert {

/// One byte per character of text: codes 0 to 255 map to themselves (NUL included); a
/// character outside that range has no single byte and becomes "?", as the ANSI
/// conversion of a narrow code page gives it.
QByteArray cv_BytesFromString(const QString& text);

} // namespace basConvert
