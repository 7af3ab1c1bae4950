#include "platform/ini/IniFile.h"

#include <QFile>
#include <QStringList>

#include <optional>

namespace ini {

namespace {

QString unquote(const QString& value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first) {
            return value.mid(1, value.size() - 2);
        }
    }
    return value;
}

QString cut(const QString& value, int bufferLength)
{
    if (bufferLength <= 1) {
        return {};
    }
    return value.left(bufferLength - 1);
}

// Qt's trimmed() also drops tabs and line breaks, which the profile API treats as blanks too.
std::optional<QString> lookUp(const QString& section, const QString& key, const QString& fileName)
{
    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    bool inSection = false;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';')) {
            continue;
        }
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section.trimmed(), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection) {
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) {
            continue;
        }
        if (line.left(eq).trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0) {
            return unquote(line.mid(eq + 1).trimmed());
        }
    }
    return std::nullopt;
}

} // namespace

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& def,
                                int bufferLength, const QString& fileName)
{
    const std::optional<QString> found = lookUp(section, key, fileName);
    // The default loses its trailing blanks, as the profile API strips them.
    QString value = found ? *found : def;
    if (!found) {
        while (value.endsWith(u' ')) {
            value.chop(1);
        }
    }
    return cut(value, bufferLength);
}

} // namespace ini
