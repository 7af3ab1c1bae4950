// Texts through the Blowfish cipher: padding, block-by-block encipherment and unpadding.
#pragma once

#include <QString>

namespace basBlowfishFns {

/// Pads text with n characters of code n (n = 8 - length mod 8, 1 to 8) and enciphers it
/// block by block; the result holds one cipher byte per character (codes 0 to 255).
QString blf_StringEnc(const QString& text);

/// Deciphers each whole block of text (a shorter tail stays as spaces), then strips as
/// many characters as the last character's code when that code is 1 to 8.
QString blf_StringDec(const QString& text);

} // namespace basBlowfishFns
