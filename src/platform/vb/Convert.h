// VB-style conversions and formats in one place, so every caller converts the same way.
#pragma once

#include <QString>

#include <cstdint>

namespace vb {

/// True when the whole text (blanks around it allowed) reads as a number: sign, digits,
/// one decimal point, an exponent, or &H / &O notation. The empty text is not numeric.
bool isNumeric(const QString& text);

/// Strict conversions (CDbl, CSng, CLng, CInt): the whole text must be a number, else error 13;
/// a result out of range is error 6. Integer conversions round half to even.
double cDbl(const QString& text);
float cSng(const QString& text);
int32_t cLng(const QString& text);
int16_t cInt(const QString& text);
int16_t cInt(double value);
int32_t cLng(double value);

/// CBool: "True"/"False" in any case, or a number (non-zero is True); anything else is error 13.
bool cBool(const QString& text);

/// Val: the leading number of the text (blanks skipped), 0 when there is none. Never fails.
double val(const QString& text);

/// Trim: the text without the blanks at either end; tabs and line ends stay.
QString trim(const QString& text);

/// "True" or "False", as the platform writes a Boolean.
QString boolText(bool value);

/// CStr of a Double (up to 15 significant digits) and of a Single (up to 7), as the platform
/// writes numbers: no leading blank, "." as decimal separator, "1E+20" for large values.
QString cStr(double value);
QString cStrSingle(float value);
QString cStr(long long value);

/// Str$: like cStr but with a leading blank for a value that is not negative.
QString str(double value);

/// Format$(value, pattern) for numeric patterns made of 0, #, "," and "." such as "00000",
/// "00000.000", "###,###,###" and "##.##".
QString format(double value, const QString& pattern);

/// Rounds half to even, as the platform's integer conversions do.
double roundHalfEven(double value);

} // namespace vb
