#include "platform/settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The file holds every user's password verifier, so no one else may read it. A missing file is
// created owner-only before anything is written to it; one left readable is closed again.
void keepPrivate(const QString& file, bool create)
{
    const QByteArray name = QFile::encodeName(file);
    struct stat st {};
    if (::stat(name.constData(), &st) == 0) {
        if ((st.st_mode & 07777) != 0600) {
            ::chmod(name.constData(), 0600);
        }
        return;
    }
    if (create) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
        }
    }
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
    const QString file = settingsFile(appName);
    keepPrivate(file, false);
    QSettings s(file, QSettings::IniFormat);
    bool found = false;
    const QString path = resolve(s, section, key, found);
    if (!found) {
        return def;
    }
    return s.value(path).toString();
}

bool SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value)
{
    const QString file = settingsFile(appName);
    keepPrivate(file, true);
    QSettings s(file, QSettings::IniFormat);
    bool found = false;
    const QString path = resolve(s, section, key, found);
    s.setValue(path, value);
    s.sync();
    keepPrivate(file, false);
    // A file with lines it could not parse reports a format error, yet is written all the same.
    return s.status() != QSettings::AccessError;
}

} // namespace settings
