// Profile-string reads from INI files, with the buffer rules of the classic profile API.
#pragma once

#include <QString>

namespace ini {

/// GetPrivateProfileString: the value of key in section of the file (both names compared
/// without case), or def when the file, section or key is missing. Blanks around the value
/// are dropped, and one pair of matching quotes around it is removed. The result is cut to
/// bufferLength - 1 characters, as a buffer of that size holds a terminating NUL.
QString GetPrivateProfileString(const QString& section, const QString& key, const QString& def,
                                int bufferLength, const QString& fileName);

} // namespace ini
