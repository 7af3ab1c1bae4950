// Facts about this machine and process, in the shape the system description asks for them.
#pragma once

#include <QList>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

namespace sysinfo {

/// The machine's network name (gethostname); empty optional when it cannot be read.
std::optional<QString> computerName();

/// Memory figures in bytes. The virtual figures are the system's commit limit and what is
/// left of it, the nearest Linux has to a per-process virtual budget.
struct MemoryStatus
{
    qint64 totalPhys = 0;
    qint64 availPhys = 0;
    qint64 totalVirtual = 0;
    qint64 availVirtual = 0;
};

/// Reads /proc/meminfo; empty optional when it cannot be read.
std::optional<MemoryStatus> memoryStatus();

/// Parses the text of /proc/meminfo (values in kB).
std::optional<MemoryStatus> parseMemInfo(const QString& text);

/// The processor as a 32-bit x86 program is told about it: type 386, 486 or 586 with the
/// family as level and model << 8 | stepping as revision; type 0 for anything else.
struct ProcessorInfo
{
    int type = 0;
    int level = 0;
    int revision = 0;
    int count = 0;
};

/// Reads /proc/cpuinfo and the online processor count.
ProcessorInfo processorInfo();

/// Maps the text of /proc/cpuinfo (first processor) onto type, level and revision.
ProcessorInfo parseCpuInfo(const QString& text);

/// The Windows version record. Linux has none, so osVersion() always reports failure.
struct OsVersion
{
    int platform = 0;
    int major = 0;
    int minor = 0;
    int build = 0;
    QString servicePack;
};
std::optional<OsVersion> osVersion();

/// The Windows directory: empty (the call fails) unless a test has set one.
QString windowsDirectory();
void setWindowsDirectory(const QString& folder);

/// A value of a Windows profile file ("win.ini", "system.ini"). There are no such files
/// here, so every read gives the default.
QString profileString(const QString& file, const QString& section, const QString& key,
                      const QString& defaultValue);

/// The logical drive list ("A:\<NUL>C:\<NUL>..."); Linux has no drive letters.
QString logicalDriveStrings();

/// The drive type of "X:\": 1 (no such root) for every letter here.
int driveType(QChar letter);

/// Bytes free to the caller on drive "X:"; empty optional when there is no such drive.
std::optional<qint64> diskFreeBytes(QChar letter);

/// One running process as the process snapshot lists it.
struct ProcessEntry
{
    qint64 processId = 0;
    int threadCount = 0;
};

/// Every process under /proc; empty optional when /proc cannot be listed.
std::optional<QList<ProcessEntry>> processSnapshot();

/// The main module of a process: its file name and full path (from /proc/<pid>/exe).
struct ModuleEntry
{
    QString moduleName;
    QString fullPath;
};

/// The main module of the process; empty optional when its executable cannot be read.
std::optional<ModuleEntry> mainModule(qint64 processId);

/// The thread count from the "Threads:" line of a /proc/<pid>/status text (0 when absent).
int parseThreadCount(const QString& statusText);

/// True when the desktop reports a mouse or other pointing device.
bool mousePresent();

/// Bits per pixel of the primary screen (0 without a screen).
int screenDepth();

/// The primary screen's size in pixels (empty without a screen).
QSize screenSize();

/// True when another process runs the same executable as this one.
bool previousInstance();

/// The executable's name without folder or extension.
QString appExeName();

/// The folder of the executable.
QString appFolder();

} // namespace sysinfo
