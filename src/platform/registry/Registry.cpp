#include "platform/registry/Registry.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStandardPaths>

namespace registry {

namespace {

struct Value
{
    uint32_t type = REG_NONE;
    QByteArray data;
};

// Keys by root and lower-cased path; values by lower-cased name.
using Key = QHash<QString, Value>;

struct Store
{
    QHash<QString, Key> keys;
    QHash<HKEY, QString> handles;
    HKEY nextHandle = 0x1000;
    bool machineValuesWanted = true;
    bool machineValuesLoaded = false;
};

Store& store()
{
    static Store s;
    return s;
}

QMutex& lock()
{
    static QMutex m;
    return m;
}

QString keyId(HKEY root, const QString& subKey)
{
    QString path = subKey.toLower();
    path.replace(u'/', u'\\');
    while (path.endsWith(u'\\')) {
        path.chop(1);
    }
    return QString::number(root, 16) + u':' + path;
}

QByteArray textBytes(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.append('\0');
    return bytes;
}

// The system information tool is looked up where the program's callers expect to find it: its
// full path under the tool's own key, and its folder under the shared tools' locations.
void loadMachineValues(Store& s)
{
    s.machineValuesLoaded = true;
    for (const QString& program : systemInfoPrograms()) {
        const QString path = QStandardPaths::findExecutable(program);
        if (path.isEmpty()) {
            continue;
        }
        const QString tool = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
        const QString tools = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
        s.keys[keyId(HKEY_LOCAL_MACHINE, tool)][QStringLiteral("path")]
            = Value { REG_SZ, textBytes(path) };
        s.keys[keyId(HKEY_LOCAL_MACHINE, tools)][QStringLiteral("msinfo")]
            = Value { REG_SZ, textBytes(QFileInfo(path).absolutePath()) };
        return;
    }
}

Store& loaded()
{
    Store& s = store();
    if (s.machineValuesWanted && !s.machineValuesLoaded) {
        loadMachineValues(s);
    }
    return s;
}

} // namespace

const QStringList& systemInfoPrograms()
{
    static const QStringList programs = { QStringLiteral("kinfocenter"),
        QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("lshw-gtk") };
    return programs;
}

long RegOpenKeyEx(HKEY root, const QString& subKey, uint32_t, uint32_t, HKEY& key)
{
    QMutexLocker guard(&lock());
    Store& s = loaded();
    key = 0;
    const QString id = keyId(root, subKey);
    if (!s.keys.contains(id)) {
        return ERROR_FILE_NOT_FOUND;
    }
    key = s.nextHandle++;
    s.handles.insert(key, id);
    return ERROR_SUCCESS;
}

long RegQueryValueEx(HKEY key, const QString& valueName, uint32_t& type, QByteArray& data,
    uint32_t& size)
{
    QMutexLocker guard(&lock());
    Store& s = loaded();
    const auto handle = s.handles.constFind(key);
    if (handle == s.handles.constEnd()) {
        return ERROR_INVALID_HANDLE;
    }
    const Key& values = s.keys.value(*handle);
    const auto found = values.constFind(valueName.toLower());
    if (found == values.constEnd()) {
        return ERROR_FILE_NOT_FOUND;
    }
    const auto needed = static_cast<uint32_t>(found->data.size());
    type = found->type;
    if (needed > size || needed > static_cast<uint32_t>(data.size())) {
        size = needed;
        return ERROR_MORE_DATA;
    }
    data.replace(0, found->data.size(), found->data);
    size = needed;
    return ERROR_SUCCESS;
}

long RegCloseKey(HKEY key)
{
    QMutexLocker guard(&lock());
    return store().handles.remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

void setValue(HKEY root, const QString& subKey, const QString& valueName, uint32_t type,
    const QByteArray& data)
{
    QMutexLocker guard(&lock());
    loaded().keys[keyId(root, subKey)][valueName.toLower()] = Value { type, data };
}

void setString(HKEY root, const QString& subKey, const QString& valueName, const QString& text)
{
    setValue(root, subKey, valueName, REG_SZ, textBytes(text));
}

void reset(bool machineValues)
{
    QMutexLocker guard(&lock());
    Store& s = store();
    s.keys.clear();
    s.handles.clear();
    s.machineValuesWanted = machineValues;
    s.machineValuesLoaded = false;
}

} // namespace registry
