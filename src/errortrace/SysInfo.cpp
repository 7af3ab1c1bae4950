#include "errortrace/SysInfo.h"

#include "errortrace/CatchwellState.h"
#include "errortrace/Report.h"
#include "errortrace/frmCATCHWELL.h"
#include "errortrace/WaitCursor.h"
#include "platform/host/Host.h"
#include "platform/vb/Convert.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>

#include <cmath>
#include <exception>

namespace modCatchwell {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kUnknown = QStringLiteral("<Unknown>");

// Every item of the description is optional: one that fails is left out and the next follows.
template <class Step>
void ignoring(Step&& step)
{
    try {
        step();
    } catch (...) {
    }
}

QString profile(const QString& file, const QString& section, const QString& key)
{
    return sysinfo::profileString(file, section, key, kUnknown);
}

QString projectVersion()
{
    const QStringList parts = QCoreApplication::applicationVersion().split(u'.');
    auto part = [&parts](int i) { return i < parts.size() ? parts[i].toInt() : 0; };
    return QStringLiteral("%1.%2.%3").arg(part(0)).arg(part(1)).arg(part(2));
}

void appendApplication(QString& text)
{
    QString name;
    if (pfComputerName(name)) {
        // The name lives in a fixed 256-character field, so it carries its padding.
        text = QStringLiteral("Application running on computer ")
               + name.leftJustified(256, u' ', true) + kCrLf;
    } else {
        text = QStringLiteral("Application") + kCrLf;
    }
    text += QStringLiteral("   Title...............") + host::kAppTitle + kCrLf;
    text += QStringLiteral("   Path................") + sysinfo::appFolder() + kCrLf;
    text += QStringLiteral("   Project Version.....") + projectVersion() + kCrLf;
    text += QStringLiteral("   OLE Server..........NO") + kCrLf;
    text += QStringLiteral("   Previous Instance...") + vb::boolText(sysinfo::previousInstance())
            + kCrLf;
    if (state().cwInIDE) {
        return;
    }
    const QString exe = sysinfo::appExeName();
    text += QStringLiteral("  EXE Name............") + exe + kCrLf;
    const QFileInfo image(QDir(sysinfo::appFolder()).filePath(exe + QStringLiteral(".dll")));
    if (image.exists()) {
        text += QStringLiteral("  EXE Time Stamp......")
                + QLocale().toString(image.lastModified(), QLocale::ShortFormat) + kCrLf;
        text += QStringLiteral("  EXE Size............")
                + vb::format(static_cast<double>(image.size()), QStringLiteral("###,###,###"))
                + QStringLiteral(" bytes") + kCrLf + kCrLf;
    }
}

QString kilobytes(qint64 bytes)
{
    return vb::format(static_cast<double>(bytes / 1024), QStringLiteral("###,###,###")) + u'K';
}

void appendDevices(QString& text)
{
    const QString win = QStringLiteral("win.ini");
    const QString sys = QStringLiteral("system.ini");
    const QString Sys = QStringLiteral("System.ini");
    const QString boot = QStringLiteral("boot");
    const QString bootDesc = QStringLiteral("boot.description");

    text += QStringLiteral("Printer") + kCrLf;
    text += QStringLiteral("   Description.........")
            + profile(win, QStringLiteral("windows"), QStringLiteral("device")) + kCrLf;

    text += QStringLiteral("Ports") + kCrLf;
    text += QStringLiteral("   Serial Driver.......")
            + profile(sys, boot, QStringLiteral("comm.drv")) + kCrLf;
    for (int port = 1; port <= 4; ++port) {
        text += QStringLiteral("   Com%1................").arg(port)
                + profile(win, QStringLiteral("ports"), QStringLiteral("com%1:").arg(port)) + kCrLf;
    }

    text += QStringLiteral("Network") + kCrLf;
    text += QStringLiteral("   Driver..............")
            + profile(Sys, boot, QStringLiteral("network.drv")) + kCrLf;
    text += QStringLiteral("   Description.........")
            + profile(Sys, bootDesc, QStringLiteral("network.drv")) + kCrLf;

    text += QStringLiteral("General Video Information") + kCrLf;
    text += QStringLiteral("   Driver..............")
            + profile(Sys, boot, QStringLiteral("display.drv")) + kCrLf;
    text += QStringLiteral("   Description.........")
            + profile(Sys, bootDesc, QStringLiteral("display.drv")) + kCrLf;
    ignoring([&] {
        const int depth = sysinfo::screenDepth();
        if (depth > 0) {
            text +=
                QStringLiteral("   Colors..............") + vb::cStr(std::pow(2.0, depth)) + kCrLf;
        }
    });
    ignoring([&] {
        const QSize size = sysinfo::screenSize();
        if (!size.isEmpty()) {
            text += QStringLiteral("   Screen size.........") + QString::number(size.width())
                    + QStringLiteral(" X ") + QString::number(size.height()) + kCrLf;
        }
    });

    text += QStringLiteral("Mouse") + kCrLf;
    text += QStringLiteral("   Mouse Present.......")
            + (sysinfo::mousePresent() ? QStringLiteral("Yes") : QStringLiteral("No")) + kCrLf;
    text += QStringLiteral("   Driver..............")
            + profile(Sys, boot, QStringLiteral("mouse.drv")) + kCrLf;
    text += QStringLiteral("   Description.........")
            + profile(Sys, bootDesc, QStringLiteral("mouse.drv")) + kCrLf;

    text += QStringLiteral("Keyboard") + kCrLf;
    text += QStringLiteral("   Driver..............")
            + profile(Sys, boot, QStringLiteral("keyboard.drv")) + kCrLf;
    text += QStringLiteral("   Description.........")
            + profile(Sys, bootDesc, QStringLiteral("keyboard.typ")) + kCrLf + kCrLf;
}

void appendProcesses(QString& text, int majorVersion)
{
    const QString& tag = cwOSTag();
    if (tag == u"WIN95" || tag == u"WIN98" || (tag == u"WINNT" && majorVersion == 5)) {
        text += QStringLiteral("////////////////////////////////////////////") + kCrLf;
        text += QStringLiteral("/// Processes Running Concurrently with  ///") + kCrLf;
        text += QStringLiteral("/// ") + host::kAppTitle
                + QStringLiteral(" at Time of Error            ///") + kCrLf;
        text += QStringLiteral("////////////////////////////////////////////") + kCrLf;
        text += kCrLf;
        text += pfProcessList();
    }
    text += kCrLf;
}


} // namespace

QString& cwOSTag()
{
    static QString tag;
    return tag;
}

bool pfComputerName(QString& name)
{
    const auto found = sysinfo::computerName();
    if (!found) {
        return false;
    }
    name = *found;
    return true;
}

void pfOsInfo(QString& text, const std::optional<sysinfo::OsVersion>& version)
{
    text += QStringLiteral("Operating System") + kCrLf;
    if (version) {
        const sysinfo::OsVersion& v = *version;
        if (v.platform == 0) {
            text += QStringLiteral("   Windows Version......Windows 3.x running Win32s");
            cwOSTag() = QStringLiteral("WIN32s");
        } else if (v.platform == 1 && v.minor == 0) {
            text += QStringLiteral("   Windows Version.....Windows 95, version ");
            cwOSTag() = QStringLiteral("WIN95");
        } else if (v.platform == 1 && v.minor == 10) {
            text += QStringLiteral("   Windows Version.....Windows 98, version ");
            cwOSTag() = QStringLiteral("WIN98");
        } else if (v.platform == 2) {
            text += QStringLiteral("   Windows Version.....Windows NT ");
            cwOSTag() = QStringLiteral("WINNT");
        }
        text += u' ' + QString::number(v.major) + u'.' + QString::number(v.minor) + kCrLf;
        if (cwOSTag() == u"WINNT") {
            text += QStringLiteral("   Build...............") + QString::number(v.build) + kCrLf;
        }
        const QString pack = v.servicePack.section(QChar(0), 0, 0);
        text += QStringLiteral("   Service Pack........")
                + (pack.isEmpty() ? QStringLiteral("<none installed>") : pack) + kCrLf;
        text += QStringLiteral("   Debug Kernel........No") + kCrLf;
    }
    text += QStringLiteral("   Language............")
            + profile(QStringLiteral("System.ini"), QStringLiteral("boot.description"),
                      QStringLiteral("language.dll"))
            + kCrLf;
    text += QStringLiteral("   Windows Directory...") + sysinfo::windowsDirectory() + kCrLf;
    text += QStringLiteral("   Current Path........") + QDir::currentPath() + kCrLf + kCrLf;
}

void pfMemoryInfo(QString& text, const std::optional<sysinfo::MemoryStatus>& memory)
{
    text += QStringLiteral("Memory Information") + kCrLf;
    if (!memory) {
        return;
    }
    // The figures are the machine's own 64-bit ones: 32-bit fields would wrap past 2 GB.
    const qint64 totalPhys = memory->totalPhys;
    const qint64 availPhys = memory->availPhys;
    text += QStringLiteral("   Total Physical......") + kilobytes(totalPhys) + kCrLf;
    if (availPhys / 1024 <= 0) {
        text += QStringLiteral("   Available Physical..<none>") + kCrLf;
    } else {
        text += QStringLiteral("   Available Physical..") + kilobytes(availPhys) + kCrLf;
    }
    text += QStringLiteral("   Virtual Memory......") + kilobytes(memory->totalVirtual) + kCrLf;
    text += QStringLiteral("   Available Virtual...") + kilobytes(memory->availVirtual) + kCrLf;
    if (totalPhys != 0) {  // a division by zero would fail the item
        const double pct = static_cast<double>(availPhys) / static_cast<double>(totalPhys) * 100;
        text += QStringLiteral("   Pct Physical Free...") + vb::format(pct, QStringLiteral("##.##"))
                + u'%' + kCrLf + kCrLf;
    }
}

void pfCpuInfo(QString& text, const sysinfo::ProcessorInfo& cpu)
{
    text += QStringLiteral("Processor") + kCrLf;
    QString name;
    switch (cpu.type) {
    case 386:
        name = QStringLiteral("Intel 386");
        break;
    case 486:
        name = QStringLiteral("Intel 486");
        break;
    case 586:
        if (cpu.level != 6) {
            name = QStringLiteral("Intel Pentium");
        } else {
            const int model = (cpu.revision >> 8) & 0xFF;
            name = (model >= 3 && model <= 5) ? QStringLiteral("Intel Pentium II")
                                              : QStringLiteral("Intel Pentium Pro");
        }
        break;
    case 4000:
        name = QStringLiteral("MIPS R4000");
        break;
    case 21064:
        name = QStringLiteral("DEC Alpha 21064");
        break;
    default:
        name = QStringLiteral("Unknown");
        break;
    }
    text += QStringLiteral("   CPU.................") + name + kCrLf;
    text += QStringLiteral("   Number of CPUs......") + QString::number(cpu.count) + kCrLf;
}

void pfDriveInfo(QString& text)
{
    text += QStringLiteral("Drives") + kCrLf;
    const QString drives = sysinfo::logicalDriveStrings().left(128);
    int floppies = 0;
    if (drives.left(3).toUpper() == u"A:\\") {
        floppies = 1;
    }
    if (drives.mid(4, 3).toUpper() == u"B:\\") {
        floppies += 1;
    }
    text += QStringLiteral("   Floppies............") + QString::number(floppies) + kCrLf;
    text += QStringLiteral("   Disks...............")
            + vb::cStr(static_cast<double>(drives.size()) / 4 - floppies) + kCrLf;
    for (char16_t c = u'A'; c <= u'Z'; ++c) {
        const QChar letter(c);
        const QString head = QStringLiteral("   Drive ") + letter + u':';
        switch (sysinfo::driveType(letter)) {
        case 0:
            text += head + QStringLiteral("...........Unknown   ") + kCrLf;
            break;
        case 2:
            text += head + QStringLiteral("...........Floppy    ") + kCrLf;
            break;
        case 3:
            if (const auto free = sysinfo::diskFreeBytes(letter)) {
                text +=
                    head + QStringLiteral("...........Fixed     ")
                    + vb::format(static_cast<double>(*free / 1000), QStringLiteral("###,###,###"))
                    + QStringLiteral(" KB Free") + kCrLf;
            }
            break;
        case 4:
            text += head + QStringLiteral("...........Network   ") + kCrLf;
            break;
        case 5:
            text += head + QStringLiteral("...........CD        ") + kCrLf;
            break;
        default:
            break;
        }
    }
}

bool pfModulePath(qint64 processId, sysinfo::ModuleEntry& entry)
{
    const auto module = sysinfo::mainModule(processId);
    if (!module) {
        return false;
    }
    entry = *module;
    return true;
}

QString pfProcessList()
{
    QString text;
    const auto snapshot = sysinfo::processSnapshot();
    if (!snapshot) {
        return text;
    }
    for (const sysinfo::ProcessEntry& p : *snapshot) {
        sysinfo::ModuleEntry module;
        if (!pfModulePath(p.processId, module)) {
            continue;
        }
        text += QStringLiteral("   Module Name.........") + module.moduleName + kCrLf;
        text += QStringLiteral("   Process ID..........0x")
                + QString::number(p.processId, 16).toUpper() + kCrLf;
        text += QStringLiteral("   Thread Count........") + QString::number(p.threadCount) + kCrLf;
        text += QStringLiteral("   Full Path...........") + module.fullPath + kCrLf;
    }
    return text;
}

void pfSysInfo(QString& text)
{
    WaitCursor wait;
    QCoreApplication::processEvents();
    text.clear();
    ignoring([&] { appendApplication(text); });
    const auto version = sysinfo::osVersion();
    ignoring([&] { pfOsInfo(text, version); });
    ignoring([&] { pfMemoryInfo(text, sysinfo::memoryStatus()); });
    ignoring([&] { pfCpuInfo(text, sysinfo::processorInfo()); });
    ignoring([&] { pfDriveInfo(text); });
    ignoring([&] { appendDevices(text); });
    ignoring([&] { appendProcesses(text, version ? version->major : 0); });
    pfSetSysText(text);
}

void pfRefreshSysInfo()
{
    QString scratch;
    pfSysInfo(scratch);
}

void pfSetSysText(const QString& text)
{
    loadReportForm().setSysText(text);
}

} // namespace modCatchwell
