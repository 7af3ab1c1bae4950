#include "platform/settings/SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace settings {

namespace {

// QSettings takes "/" in a name as a level of its own, so a user name such as "J/SMITH"
// would never be found again. Each name is escaped before it reaches QSettings; "%" is
// escaped too so that no real name can pass for an escaped one.
QString escapedName(QString name)
{
    return name.replace(u'%', u"%25"_s).replace(u'/', u"%2F"_s).replace(u'\\', u"%5C"_s);
}

// Finds the group path and key as already spelt in the file, comparing without case.
QString resolve(QSettings& s, const QString& section, const QString& rawKey, bool& found)
{
    QStringList parts = section.split(u'\\', Qt::SkipEmptyParts);
    for (QString& part : parts) {
        part = escapedName(part);
    }
    const QString key = escapedName(rawKey);
    found = true;
    QString path;
    for (const QString& part : parts) {
        QString match;
        const QStringList groups = s.childGroups();
        for (const QString& g : groups) {
            if (g.compare(part, Qt::CaseInsensitive) == 0) {
                match = g;
                break;
            }
        }
        if (match.isEmpty()) {
            found = false;
            match = part;
        }
        s.beginGroup(match);
        path += match + u'/';
    }
    QString keyMatch;
    if (found) {
        for (const QString& k : s.childKeys()) {
            if (k.compare(key, Qt::CaseInsensitive) == 0) {
                keyMatch = k;
                break;
            }
        }
    }
    for (qsizetype i = 0; i < parts.size(); ++i) {
        s.endGroup();
    }
    if (keyMatch.isEmpty()) {
        found = false;
        keyMatch = key;
    }
    return path + keyMatch;
}

} // namespace

QString settingsFile(const QString& appName)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + appName
           + QStringLiteral(".conf");
}

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& def)
{
    QSettings s(settingsFile(appName), QSettings::IniFormat);
    bool found = false;
    const QString path = resolve(s, section, key, found);
    if (!found) {
        return def;
    }
    return s.value(path).toString();
}

void SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value)
{
    QSettings s(settingsFile(appName), QSettings::IniFormat);
    bool found = false;
    const QString path = resolve(s, section, key, found);
    s.setValue(path, value);
    s.sync();
}

} // namespace settings
