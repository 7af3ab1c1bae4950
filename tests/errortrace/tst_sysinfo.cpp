// System description: section order, label dots, failed Windows calls, memory figures and
// the process list read from /proc.
#include "errortrace/CatchwellState.h"
#include "errortrace/Report.h"
#include "errortrace/SysInfo.h"
#include "errortrace/frmCATCHWELL.h"
#include "platform/sysinfo/SystemInfo.h"

#include "ScriptedHost.h"
#include "TestMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

using namespace modCatchwell;

namespace {

QStringList lines(const QString& text)
{
    return text.split(QStringLiteral("\r\n"));
}

QString description()
{
    QString text;
    pfSysInfo(text);
    return text;
}

qsizetype lineStartingWith(const QStringList& all, const QString& prefix, qsizetype from = 0)
{
    for (qsizetype i = from; i < all.size(); ++i) {
        if (all[i].startsWith(prefix)) {
            return i;
        }
    }
    return -1;
}

} // namespace

class TestSysInfo : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetState();
        cwOSTag().clear();
    }
    void cleanup() { unloadReportForm(); }

    void headingsAndLabelsInOrder();
    void missingProfileEntriesShowUnknown();
    void failedWindowsCallsLeaveNoWindowsValues();
    void computerNameLineKeepsFixedField();
    void applicationSectionReflectsEnvironment();
    void exeImageLinesWhenFilePresent();
    void memoryFigures_data();
    void memoryFigures();
    void meminfoParsing();
    void processorNames_data();
    void processorNames();
    void versionRecordLines_data();
    void versionRecordLines();
    void screenLines();
    void processListReadsProc();
    void modulePathForMissingProcess();
    void descriptionReachesReportWindow();
};

void TestSysInfo::headingsAndLabelsInOrder()
{
    // Guards against a reordered, renamed or mis-dotted label line.
    const QStringList expected = {
        QStringLiteral("Application"),
        QStringLiteral("   Title..............."),
        QStringLiteral("   Path................"),
        QStringLiteral("   Project Version....."),
        QStringLiteral("   OLE Server..........NO"),
        QStringLiteral("   Previous Instance...False"),
        QStringLiteral("  EXE Name............"),
        QStringLiteral("Operating System"),
        QStringLiteral("   Language............"),
        QStringLiteral("   Windows Directory..."),
        QStringLiteral("   Current Path........"),
        QStringLiteral("Memory Information"),
        QStringLiteral("   Total Physical......"),
        QStringLiteral("   Available Physical.."),
        QStringLiteral("   Virtual Memory......"),
        QStringLiteral("   Available Virtual..."),
        QStringLiteral("   Pct Physical Free..."),
        QStringLiteral("Processor"),
        QStringLiteral("   CPU................."),
        QStringLiteral("   Number of CPUs......"),
        QStringLiteral("Drives"),
        QStringLiteral("   Floppies............"),
        QStringLiteral("   Disks..............."),
        QStringLiteral("Printer"),
        QStringLiteral("   Description........."),
        QStringLiteral("Ports"),
        QStringLiteral("   Serial Driver......."),
        QStringLiteral("   Com1................"),
        QStringLiteral("   Com2................"),
        QStringLiteral("   Com3................"),
        QStringLiteral("   Com4................"),
        QStringLiteral("Network"),
        QStringLiteral("   Driver.............."),
        QStringLiteral("   Description........."),
        QStringLiteral("General Video Information"),
        QStringLiteral("   Driver.............."),
        QStringLiteral("   Description........."),
        QStringLiteral("   Colors.............."),
        QStringLiteral("   Screen size........."),
        QStringLiteral("Mouse"),
        QStringLiteral("   Mouse Present......."),
        QStringLiteral("   Driver.............."),
        QStringLiteral("   Description........."),
        QStringLiteral("Keyboard"),
        QStringLiteral("   Driver.............."),
        QStringLiteral("   Description........."),
    };
    const QStringList all = lines(description());
    qsizetype at = 0;
    for (const QString& prefix : expected) {
        const qsizetype found = lineStartingWith(all, prefix, at);
        QVERIFY2(found >= 0,
                 qPrintable(QStringLiteral("missing after line %1: %2").arg(at).arg(prefix)));
        at = found + 1;
    }
    // The keyboard description closes with an empty line, and the missing process list with one
    // more.
    QVERIFY(description().endsWith(QStringLiteral("<Unknown>\r\n\r\n\r\n")));
}

void TestSysInfo::missingProfileEntriesShowUnknown()
{
    // Guards against a missing profile entry printed as an empty or made-up value.
    const QString text = description();
    for (const QString& line : {QStringLiteral("   Language............<Unknown>"),
                                QStringLiteral("   Serial Driver.......<Unknown>"),
                                QStringLiteral("   Com4................<Unknown>"),
                                QStringLiteral("   Mouse Present.......")}) {
        QVERIFY2(text.contains(line), qPrintable(line));
    }
    QCOMPARE(text.count(QStringLiteral("   Description.........<Unknown>\r\n")), 5);
    QCOMPARE(text.count(QStringLiteral("   Driver..............<Unknown>\r\n")), 4);
}

void TestSysInfo::failedWindowsCallsLeaveNoWindowsValues()
{
    // Guards against invented Windows version, drive or process lines on a system without them.
    const QString text = description();
    for (const QString& absent : {QStringLiteral("Windows Version"), QStringLiteral("Build"),
                                  QStringLiteral("Service Pack"), QStringLiteral("Debug Kernel"),
                                  QStringLiteral("   Drive "), QStringLiteral("///")}) {
        QVERIFY2(!text.contains(absent), qPrintable(absent));
    }
    QVERIFY(text.contains(QStringLiteral("Operating System\r\n   Language............")));
    QVERIFY(text.contains(QStringLiteral("   Windows Directory...\r\n")));
    QVERIFY(text.contains(QStringLiteral("   Current Path........") + QDir::currentPath()
                          + QStringLiteral("\r\n\r\nMemory Information")));
    QVERIFY(text.contains(QStringLiteral(
        "Drives\r\n   Floppies............0\r\n   Disks...............0\r\nPrinter\r\n")));
    QVERIFY(cwOSTag().isEmpty());
}

void TestSysInfo::computerNameLineKeepsFixedField()
{
    // Guards against the computer name losing the padding of its 256-character field.
    const QString first = lines(description()).constFirst();
    QString name;
    QVERIFY(pfComputerName(name));
    QVERIFY(!name.isEmpty());
    QCOMPARE(first, QStringLiteral("Application running on computer ") + name
                        + QString(256 - name.size(), u' '));
}

void TestSysInfo::applicationSectionReflectsEnvironment()
{
    // Guards against the exe name shown inside the environment or a wrong title/folder.
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1"));
    QString text = description();
    QVERIFY(text.contains(QStringLiteral("\r\n   Title...............Quorrel - Keyfold\r\n")));
    QVERIFY(text.contains(QStringLiteral("   Path................")
                          + QCoreApplication::applicationDirPath() + QStringLiteral("\r\n")));
    QVERIFY(text.contains(QStringLiteral("   Project Version.....1.1.0\r\n")));
    QVERIFY(text.contains(QStringLiteral("  EXE Name............tst_sysinfo\r\nOperating System")));
    state().cwInIDE = true;
    text = description();
    QVERIFY(!text.contains(QStringLiteral("EXE Name")));
    QVERIFY(text.contains(QStringLiteral("   Previous Instance...False\r\nOperating System")));
}

void TestSysInfo::exeImageLinesWhenFilePresent()
{
    // Guards against the time-stamp and size lines being built from the wrong file.
    const QString path =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tst_sysinfo.dll"));
    QFile image(path);
    QVERIFY(image.open(QIODevice::WriteOnly));
    image.write(QByteArray(1234567, 'x'));
    image.close();
    const QString text = description();
    QFile::remove(path);
    QVERIFY(text.contains(QStringLiteral("  EXE Time Stamp......")));
    QVERIFY(text.contains(
        QStringLiteral("  EXE Size............1,234,567 bytes\r\n\r\nOperating System")));
}

void TestSysInfo::memoryFigures_data()
{
    QTest::addColumn<qint64>("total");
    QTest::addColumn<qint64>("avail");
    QTest::addColumn<QString>("expected");
    const qint64 mb = 1024 * 1024;
    QTest::newRow("ordinary") << 512 * mb << 128 * mb + 512 * 1024
                              << QStringLiteral("   Total Physical......524,288K\r\n"
                                                "   Available Physical..131,584K\r\n"
                                                "   Virtual Memory......2,048K\r\n"
                                                "   Available Virtual...1,024K\r\n"
                                                "   Pct Physical Free...25.1%\r\n\r\n");
    QTest::newRow("over 2 GB") << 3072 * mb << 1024 * mb
                               << QStringLiteral("   Total Physical......3,145,728K\r\n"
                                                 "   Available Physical..1,048,576K\r\n"
                                                 "   Virtual Memory......2,048K\r\n"
                                                 "   Available Virtual...1,024K\r\n"
                                                 "   Pct Physical Free...33.33%\r\n\r\n");
    QTest::newRow("nothing available") << 1024 * mb << qint64(0)
                                       << QStringLiteral("   Total Physical......1,048,576K\r\n"
                                                         "   Available Physical..<none>\r\n"
                                                         "   Virtual Memory......2,048K\r\n"
                                                         "   Available Virtual...1,024K\r\n"
                                                         "   Pct Physical Free....%\r\n\r\n");
    QTest::newRow("24 GB") << 24576 * mb << 6144 * mb + 512 * 1024
                           << QStringLiteral("   Total Physical......25,165,824K\r\n"
                                             "   Available Physical..6,291,968K\r\n"
                                             "   Virtual Memory......2,048K\r\n"
                                             "   Available Virtual...1,024K\r\n"
                                             "   Pct Physical Free...25.%\r\n\r\n");
    QTest::newRow("2 TB, ten digits") << 2048 * 1024 * mb << 1024 * 1024 * mb
                                      << QStringLiteral("   Total Physical......2,147,483,648K\r\n"
                                                        "   Available Physical..1,073,741,824K\r\n"
                                                        "   Virtual Memory......2,048K\r\n"
                                                        "   Available Virtual...1,024K\r\n"
                                                        "   Pct Physical Free...50.%\r\n\r\n");
}

void TestSysInfo::memoryFigures()
{
    // Guards against memory sizes wrapping at 32 bits (negative or too small), and format slips.
    QFETCH(qint64, total);
    QFETCH(qint64, avail);
    QFETCH(QString, expected);
    QString text;
    pfMemoryInfo(text, sysinfo::MemoryStatus {total, avail, 2048 * 1024, 1024 * 1024});
    QCOMPARE(text, QStringLiteral("Memory Information\r\n") + expected);
}

void TestSysInfo::meminfoParsing()
{
    // Guards against reading the wrong /proc/meminfo fields or units.
    const auto m = sysinfo::parseMemInfo(QStringLiteral(
        "MemTotal:        2000 kB\nMemFree:          300 kB\nMemAvailable:     700 kB\n"
        "CommitLimit:     5000 kB\nCommitted_AS:    1500 kB\n"));
    QVERIFY(m.has_value());
    QCOMPARE(m->totalPhys, qint64(2000 * 1024));
    QCOMPARE(m->availPhys, qint64(700 * 1024));
    QCOMPARE(m->totalVirtual, qint64(5000 * 1024));
    QCOMPARE(m->availVirtual, qint64(3500 * 1024));
    const auto old = sysinfo::parseMemInfo(QStringLiteral("MemTotal: 10 kB\nMemFree: 4 kB\n"));
    QVERIFY(old.has_value());
    QCOMPARE(old->availPhys, qint64(4 * 1024));
    QVERIFY(!sysinfo::parseMemInfo(QString()).has_value());
    QVERIFY(sysinfo::memoryStatus().has_value());
}

void TestSysInfo::processorNames_data()
{
    QTest::addColumn<QString>("cpuinfo");
    QTest::addColumn<QString>("name");
    auto x86 = [](int family, int model) {
        return QStringLiteral("processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: %1\n"
                              "model\t\t: %2\nstepping\t: 3\n")
            .arg(family)
            .arg(model);
    };
    QTest::newRow("386") << x86(3, 0) << QStringLiteral("Intel 386");
    QTest::newRow("486") << x86(4, 8) << QStringLiteral("Intel 486");
    QTest::newRow("family 5") << x86(5, 2) << QStringLiteral("Intel Pentium");
    QTest::newRow("family 6 model 5") << x86(6, 5) << QStringLiteral("Intel Pentium II");
    QTest::newRow("family 6 model 85") << x86(6, 85) << QStringLiteral("Intel Pentium Pro");
    QTest::newRow("family 23") << x86(23, 49) << QStringLiteral("Intel Pentium");
    QTest::newRow("not x86") << QStringLiteral("processor\t: 0\nBogoMIPS\t: 50.00\n")
                             << QStringLiteral("Unknown");
}

void TestSysInfo::processorNames()
{
    // Guards against a processor mapped to the wrong name or a made-up one.
    QFETCH(QString, cpuinfo);
    QFETCH(QString, name);
    sysinfo::ProcessorInfo cpu = sysinfo::parseCpuInfo(cpuinfo);
    cpu.count = 4;
    QString text;
    pfCpuInfo(text, cpu);
    QCOMPARE(text, QStringLiteral("Processor\r\n   CPU.................") + name
                       + QStringLiteral("\r\n   Number of CPUs......4\r\n"));
    QVERIFY(sysinfo::processorInfo().count >= 1);
}

void TestSysInfo::versionRecordLines_data()
{
    QTest::addColumn<int>("platform");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("pack");
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("tag");
    QTest::newRow("95") << 1 << 4 << 0 << QStringLiteral("A")
                        << QStringLiteral("   Windows Version.....Windows 95, version  4.0\r\n"
                                          "   Service Pack........A\r\n")
                        << QStringLiteral("WIN95");
    QTest::newRow("platform 1, other minor")
        << 1 << 4 << 90 << QString()
        << QStringLiteral(" 4.90\r\n   Service Pack........<none installed>\r\n") << QString();
    QTest::newRow("NT") << 2 << 5 << 1
                        << QString(QStringLiteral("SP3") + QChar(0) + QStringLiteral("junk"))
                        << QStringLiteral("   Windows Version.....Windows NT  5.1\r\n"
                                          "   Build...............2600\r\n"
                                          "   Service Pack........SP3\r\n")
                        << QStringLiteral("WINNT");
}

void TestSysInfo::versionRecordLines()
{
    // Guards against a version record formatted without the double blank, build or pack rules.
    QFETCH(int, platform);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, pack);
    QFETCH(QString, head);
    QFETCH(QString, tag);
    QString text;
    pfOsInfo(text, sysinfo::OsVersion {platform, major, minor, 2600, pack});
    QVERIFY2(
        text.startsWith(QStringLiteral("Operating System\r\n") + head
                        + QStringLiteral("   Debug Kernel........No\r\n   Language............")),
        qPrintable(text));
    QCOMPARE(cwOSTag(), tag);
}

void TestSysInfo::screenLines()
{
    // Guards against the screen size or colour count taken from the wrong place.
    const QScreen* screen = QGuiApplication::primaryScreen();
    QVERIFY(screen != nullptr);
    const QString text = description();
    QVERIFY(text.contains(QStringLiteral("   Screen size.........%1 X %2\r\n")
                              .arg(screen->geometry().width())
                              .arg(screen->geometry().height())));
    QVERIFY(text.contains(QStringLiteral("   Colors..............")
                          + QString::number(qint64(1) << screen->depth())
                          + QStringLiteral("\r\n")));
}

void TestSysInfo::processListReadsProc()
{
    // Guards against a process list missing this process or with a wrong id, path or thread count.
    const qint64 pid = QCoreApplication::applicationPid();
    const QString list = pfProcessList();
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    QVERIFY(list.contains(QStringLiteral("   Module Name.........tst_sysinfo\r\n"
                                         "   Process ID..........0x")
                          + QString::number(pid, 16).toUpper() + QStringLiteral("\r\n")));
    QVERIFY(
        list.contains(QStringLiteral("   Full Path...........") + exe + QStringLiteral("\r\n")));
    QFile status(QStringLiteral("/proc/self/status"));
    QVERIFY(status.open(QIODevice::ReadOnly));
    const int threads = sysinfo::parseThreadCount(QString::fromLatin1(status.readAll()));
    QVERIFY(threads >= 1);
    QVERIFY(list.contains(QStringLiteral("   Thread Count........%1\r\n   Full Path...........%2")
                              .arg(threads)
                              .arg(exe)));
    QCOMPARE(sysinfo::parseThreadCount(QStringLiteral("Name:\tx\nThreads:\t7\nVmRSS: 1 kB\n")), 7);
}

void TestSysInfo::modulePathForMissingProcess()
{
    // Guards against a vanished process reported as found.
    sysinfo::ModuleEntry entry;
    QVERIFY(!pfModulePath(-5, entry));
    QVERIFY(pfModulePath(QCoreApplication::applicationPid(), entry));
    QCOMPARE(entry.moduleName, QStringLiteral("tst_sysinfo"));
}

void TestSysInfo::descriptionReachesReportWindow()
{
    // Guards against the system box not receiving the text, or losing its line ends.
    QVERIFY(loadedReportForm() == nullptr);
    QString text;
    pfSysInfo(text);
    QVERIFY(loadedReportForm() != nullptr);
    QCOMPARE(loadedReportForm()->sysText(), text);
    pfRefreshSysInfo();
    QVERIFY(loadedReportForm()->sysText().startsWith(QStringLiteral("Application")));
}

PINVARA_TEST_MAIN(TestSysInfo)
#include "tst_sysinfo.moc"
