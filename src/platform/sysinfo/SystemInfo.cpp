#include "platform/sysinfo/SystemInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDevice>
#include <QScreen>

#include <unistd.h>

namespace sysinfo {

namespace {

QString readProcFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    return QString::fromLocal8Bit(file.readAll());
}

// The value of "Key:   value" in a /proc text, or an empty text.
QString procField(const QString& text, QStringView key)
{
    const auto lines = QStringView(text).split(u'\n');
    for (QStringView line : lines) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0 && line.left(colon).trimmed() == key) {
            return line.mid(colon + 1).trimmed().toString();
        }
    }
    return {};
}

QString& windowsDirectoryOverride()
{
    static QString folder;
    return folder;
}

} // namespace

std::optional<QString> computerName()
{
    char buffer[256] = {};
    if (gethostname(buffer, sizeof(buffer) - 1) != 0) {
        return std::nullopt;
    }
    return QString::fromLocal8Bit(buffer);
}

std::optional<MemoryStatus> parseMemInfo(const QString& text)
{
    bool okTotal = false;
    const qint64 kbTotal = procField(text, u"MemTotal").section(u' ', 0, 0).toLongLong(&okTotal);
    if (!okTotal) {
        return std::nullopt;
    }
    auto kb = [&text](QStringView key) {
        return procField(text, key).section(u' ', 0, 0).toLongLong();
    };
    MemoryStatus m;
    m.totalPhys = kbTotal * 1024;
    // Older kernels lack MemAvailable; free memory is the closest figure there.
    const QString available = procField(text, u"MemAvailable");
    m.availPhys = (available.isEmpty() ? kb(u"MemFree") : kb(u"MemAvailable")) * 1024;
    m.totalVirtual = kb(u"CommitLimit") * 1024;
    m.availVirtual = qMax<qint64>(0, kb(u"CommitLimit") - kb(u"Committed_AS")) * 1024;
    return m;
}

std::optional<MemoryStatus> memoryStatus()
{
    return parseMemInfo(readProcFile(QStringLiteral("/proc/meminfo")));
}

ProcessorInfo parseCpuInfo(const QString& text)
{
    ProcessorInfo p;
    const QString vendor = procField(text, u"vendor_id");
    bool okFamily = false;
    const int family = procField(text, u"cpu family").toInt(&okFamily);
    if (vendor.isEmpty() || !okFamily) {
        return p;  // not an x86 processor: type 0
    }
    p.type = family <= 3 ? 386 : family == 4 ? 486 : 586;
    p.level = family;
    p.revision = ((procField(text, u"model").toInt() & 0xFF) << 8)
                 | (procField(text, u"stepping").toInt() & 0xFF);
    return p;
}

ProcessorInfo processorInfo()
{
    ProcessorInfo p = parseCpuInfo(readProcFile(QStringLiteral("/proc/cpuinfo")));
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    p.count = online > 0 ? static_cast<int>(online) : 1;
    return p;
}

std::optional<OsVersion> osVersion()
{
    return std::nullopt;
}

QString windowsDirectory()
{
    return windowsDirectoryOverride();
}

void setWindowsDirectory(const QString& folder)
{
    windowsDirectoryOverride() = folder;
}

QString profileString(const QString&, const QString&, const QString&, const QString& defaultValue)
{
    return defaultValue;
}

QString logicalDriveStrings()
{
    return {};
}

int driveType(QChar)
{
    return 1;
}

std::optional<qint64> diskFreeBytes(QChar)
{
    return std::nullopt;
}

int parseThreadCount(const QString& statusText)
{
    return procField(statusText, u"Threads").toInt();
}

std::optional<QList<ProcessEntry>> processSnapshot()
{
    QDir proc(QStringLiteral("/proc"));
    if (!proc.exists()) {
        return std::nullopt;
    }
    QList<ProcessEntry> out;
    const QStringList names = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        bool numeric = false;
        const qint64 pid = name.toLongLong(&numeric);
        if (!numeric) {
            continue;
        }
        const QString status = readProcFile(proc.filePath(name + QStringLiteral("/status")));
        if (status.isEmpty()) {
            continue;  // the process ended while the list was read
        }
        out << ProcessEntry {pid, parseThreadCount(status)};
    }
    std::sort(out.begin(), out.end(), [](const ProcessEntry& a, const ProcessEntry& b) {
        return a.processId < b.processId;
    });
    return out;
}

std::optional<ModuleEntry> mainModule(qint64 processId)
{
    const QString link = QStringLiteral("/proc/%1/exe").arg(processId);
    const QString target = QFileInfo(link).symLinkTarget();
    if (target.isEmpty()) {
        return std::nullopt;
    }
    return ModuleEntry {QFileInfo(target).fileName(), target};
}

bool mousePresent()
{
    const auto devices = QInputDevice::devices();
    for (const QInputDevice* d : devices) {
        if (d->type() == QInputDevice::DeviceType::Mouse
            || d->type() == QInputDevice::DeviceType::TouchPad) {
            return true;
        }
    }
    return false;
}

int screenDepth()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->depth() : 0;
}

QSize screenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().size() : QSize();
}

bool previousInstance()
{
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const auto snapshot = processSnapshot();
    if (self.isEmpty() || !snapshot) {
        return false;
    }
    const qint64 own = QCoreApplication::applicationPid();
    for (const ProcessEntry& p : *snapshot) {
        if (p.processId == own) {
            continue;
        }
        const auto module = mainModule(p.processId);
        if (module && module->fullPath == self) {
            return true;
        }
    }
    return false;
}

QString appExeName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString appFolder()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace sysinfo
