#include "platform/vb/Convert.h"

#include "platform/vb/Error.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <optional>

namespace vb {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Reads a number at the start of text, from index pos on. Returns the value and moves pos
// past it; nothing when no digit was seen.
std::optional<double> readNumber(const QString& text, qsizetype& pos, bool skipInnerBlanks)
{
    auto skip = [&] {
        while (skipInnerBlanks && pos < text.size() && isBlank(text[pos])) {
            ++pos;
        }
    };
    skip();
    if (pos + 1 < text.size() && text[pos] == u'&') {
        const QChar kind = text[pos + 1].toUpper();
        int base = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
        if (base != 0) {
            qsizetype p = pos + 2;
            QString digits;
            while (p < text.size()) {
                const QChar c = text[p];
                const int d = c.isDigit() ? c.digitValue()
                              : (base == 16 && c.toUpper() >= u'A' && c.toUpper() <= u'F')
                                  ? c.toUpper().unicode() - u'A' + 10
                                  : -1;
                if (d < 0 || d >= base) {
                    break;
                }
                digits += c;
                ++p;
            }
            if (digits.isEmpty()) {
                return std::nullopt;
            }
            bool ok = false;
            const qulonglong v = digits.toULongLong(&ok, base);
            if (!ok) {
                return std::nullopt;
            }
            pos = p;
            // &H values are 16-bit when they fit in 4 digits, 32-bit otherwise (signed).
            if (v <= 0xFFFF && digits.size() <= (base == 16 ? 4 : 6)) {
                return static_cast<double>(static_cast<int16_t>(v));
            }
            return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(v)));
        }
    }
    QString num;
    qsizetype p = pos;
    if (p < text.size() && (text[p] == u'+' || text[p] == u'-')) {
        num += text[p++];
        while (skipInnerBlanks && p < text.size() && isBlank(text[p])) {
            ++p;
        }
    }
    bool digits = false;
    bool point = false;
    while (p < text.size()) {
        const QChar c = text[p];
        if (c.isDigit() && c.unicode() < 128) {
            num += c;
            digits = true;
        } else if (c == u'.' && !point) {
            num += c;
            point = true;
        } else if (!(skipInnerBlanks && isBlank(c))) {
            break;
        }
        ++p;
    }
    if (!digits) {
        return std::nullopt;
    }
    // Exponent: E or D, optional sign, digits.
    if (p < text.size() && (text[p].toUpper() == u'E' || text[p].toUpper() == u'D')) {
        qsizetype q = p + 1;
        QString exp = QStringLiteral("e");
        if (q < text.size() && (text[q] == u'+' || text[q] == u'-')) {
            exp += text[q++];
        }
        bool expDigits = false;
        while (q < text.size() && text[q].isDigit() && text[q].unicode() < 128) {
            exp += text[q++];
            expDigits = true;
        }
        if (expDigits) {
            num += exp;
            p = q;
        }
    }
    pos = p;
    return num.toDouble();
}

double strictNumber(const QString& text)
{
    qsizetype pos = 0;
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    const auto value = readNumber(text, pos, false);
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    if (!value || pos != text.size() || !std::isfinite(*value)) {
        raise(13);
    }
    return *value;
}

} // namespace

bool isNumeric(const QString& text)
{
    try {
        strictNumber(text);
        return true;
    } catch (const Error&) {
        return false;
    }
}

double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

double cDbl(const QString& text)
{
    return strictNumber(text);
}

float cSng(const QString& text)
{
    const double v = strictNumber(text);
    if (std::fabs(v) > std::numeric_limits<float>::max()) {
        raise(6);
    }
    return static_cast<float>(v);
}

int32_t cLng(double value)
{
    const double r = roundHalfEven(value);
    if (!std::isfinite(r) || r < -2147483648.0 || r > 2147483647.0) {
        raise(6);
    }
    return static_cast<int32_t>(r);
}

int16_t cInt(double value)
{
    const double r = roundHalfEven(value);
    if (!std::isfinite(r) || r < -32768.0 || r > 32767.0) {
        raise(6);
    }
    return static_cast<int16_t>(r);
}

int32_t cLng(const QString& text)
{
    return cLng(strictNumber(text));
}

int16_t cInt(const QString& text)
{
    return cInt(strictNumber(text));
}

bool cBool(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(u"True", Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (t.compare(u"False", Qt::CaseInsensitive) == 0) {
        return false;
    }
    return strictNumber(text) != 0.0;
}

double val(const QString& text)
{
    qsizetype pos = 0;
    const auto value = readNumber(text, pos, true);
    return value && std::isfinite(*value) ? *value : 0.0;
}

QString trim(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ') {
        ++first;
    }
    while (last > first && text[last - 1] == u' ') {
        --last;
    }
    return text.mid(first, last - first);
}

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

namespace {

QString numberText(double value, int precision)
{
    if (value == 0.0) {
        return QStringLiteral("0");
    }
    const double mag = std::fabs(value);
    const double upper = std::pow(10.0, precision);
    QString s;
    if (mag >= upper || mag < 1e-5) {
        s = QString::number(value, 'E', precision - 1);
        // Trim the mantissa's trailing zeros and write the exponent as E+n / E-n.
        const qsizetype e = s.indexOf(u'E');
        QString mant = s.left(e);
        QString exp = s.mid(e + 1);
        if (mant.contains(u'.')) {
            while (mant.endsWith(u'0')) {
                mant.chop(1);
            }
            if (mant.endsWith(u'.')) {
                mant.chop(1);
            }
        }
        const QChar sign = exp[0];
        exp = exp.mid(1);
        while (exp.size() > 2 && exp.startsWith(u'0')) {
            exp.remove(0, 1);
        }
        s = mant + u'E' + sign + exp;
    } else {
        s = QString::number(value, 'g', precision);
        if (s.contains(u'e')) {
            s = QString::number(value, 'f', precision);
            while (s.contains(u'.') && s.endsWith(u'0')) {
                s.chop(1);
            }
            if (s.endsWith(u'.')) {
                s.chop(1);
            }
        }
    }
    // The platform writes "0.5" as "0.5" and "-0.5" as "-0.5": no change needed.
    return s;
}

} // namespace

QString cStr(double value)
{
    return numberText(value, 15);
}

QString cStrSingle(float value)
{
    return numberText(static_cast<double>(value), 7);
}

QString cStr(long long value)
{
    return QString::number(value);
}

QString str(double value)
{
    const QString s = cStr(value);
    return value < 0 ? s : u' ' + s;
}

QString format(double value, const QString& pattern)
{
    const qsizetype dot = pattern.indexOf(u'.');
    const QString intPart = dot < 0 ? pattern : pattern.left(dot);
    const QString fracPart = dot < 0 ? QString() : pattern.mid(dot + 1);
    const bool grouping = intPart.contains(u',');
    const int minInt = static_cast<int>(intPart.count(u'0'));
    const int maxFrac = static_cast<int>(fracPart.count(u'0') + fracPart.count(u'#'));
    const int minFrac = static_cast<int>(fracPart.count(u'0'));

    const bool negative = value < 0;
    const QString fixed = QString::number(std::fabs(value), 'f', maxFrac);
    const qsizetype fixedDot = fixed.indexOf(u'.');
    QString whole = fixedDot < 0 ? fixed : fixed.left(fixedDot);
    QString frac = fixedDot < 0 ? QString() : fixed.mid(fixedDot + 1);

    while (whole.startsWith(u'0')) {
        whole.remove(0, 1);
    }
    while (whole.size() < minInt) {
        whole.prepend(u'0');
    }
    while (frac.size() > minFrac && frac.endsWith(u'0')) {
        frac.chop(1);
    }
    if (grouping && whole.size() > 3) {
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3) {
            whole.insert(i, u',');
        }
    }
    QString out = whole;
    if (dot >= 0) {
        out += u'.' + frac;
    }
    const bool allZero = !out.contains(QRegularExpression(QStringLiteral("[1-9]")));
    if (negative && !allZero) {
        out.prepend(u'-');
    }
    return out;
}

} // namespace vb
