// The plain-text system description: application, operating system, memory, processor,
// drives, printer, ports, network, video, mouse, keyboard and running processes.
#pragma once

#include "platform/sysinfo/SystemInfo.h"

#include <QString>

#include <optional>

namespace modCatchwell {

/// The operating-system tag ("WIN32s", "WIN95", "WIN98", "WINNT" or empty) left by the last
/// description; it decides whether the process list is included.
QString& cwOSTag();

/// Collects the system description into a scratch text (the report window shows it).
void pfRefreshSysInfo();

/// Puts the text into the report window's system box, loading the window when needed.
void pfSetSysText(const QString& text);

/// The computer name; false when it cannot be read.
bool pfComputerName(QString& name);

/// Appends the operating-system section for the given version record (none when the
/// version call failed) and sets cwOSTag.
void pfOsInfo(QString& text, const std::optional<sysinfo::OsVersion>& version);

/// Appends the memory section.
void pfMemoryInfo(QString& text, const std::optional<sysinfo::MemoryStatus>& memory);

/// Appends the processor section.
void pfCpuInfo(QString& text, const sysinfo::ProcessorInfo& cpu);

/// Appends the drives section.
void pfDriveInfo(QString& text);

/// The process list: module name, process id, thread count and full path of each process
/// whose main module can be read.
QString pfProcessList();

/// Finds the main module of a process; false when it cannot be read.
bool pfModulePath(qint64 processId, sysinfo::ModuleEntry& entry);

} // namespace modCatchwell
