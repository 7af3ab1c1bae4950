#include "CatchwellFixture.h"
#include "TestMain.h"
#include "errortrace/Proc.h"
#include "platform/vb/Constants.h"

#include <QRegularExpression>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace modCatchwell;

class TestTrace : public QObject
{
    Q_OBJECT

    CatchwellFixture fx;

    // Log file and capture on, so every trace line lands in "trace.log".
    void captureToLog()
    {
        cwOPTION(16, u"trace.log"_s);
        cwOPTION(23, true);
        cwOPTION(11, true);
    }

    QStringList logLines()
    {
        return QString::fromUtf8(CatchwellFixture::read(fx.logPath(u"trace.log"_s)))
            .split(u"\r\n"_s, Qt::SkipEmptyParts);
    }

    static int mode(const QString& path)
    {
        struct stat st {};
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777)
                                                                       : -1;
    }

    // Has the component write the kind of log given into file.
    static void writeLog(const QString& kind, const QString& file)
    {
        cwSTART();
        if (kind == u"error log") {
            state().cwoLogFile = file;
            cwOPTION(23, true);
            vb::Err().set(vb::Error{5, vb::errorText(5), vb::ownSource(), {}, 0});
            cwERROR(u"frmMain"_s, u"Sub X"_s);
        } else if (kind == u"trace log") {
            state().cwoLogFile = file;
            cwOPTION(23, true);
            cwOPTION(11, true);
            cwPUSH(u"frmMain"_s, u"Sub X"_s, QString());
        } else if (kind == u"circular log") {
            cwOPTION(26, file);
            cwOPTION(27, true);
            cwPUSH(u"frmMain"_s, u"Sub X"_s, QString());
        } else {
            cwOPTION(16, file);
        }
    }

private slots:
    void init() { fx.setUp(); }
    void cleanup()
    {
        VERIFY_DRAINED(*fx.host);
        fx.tearDown();
    }

    void stackEntriesCarryDepthAndIndentation()
    {
        // Guards against a wrong entry format, which the report's call tree parses.
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        cwPUSH(u"frmMain"_s, u"Sub Form_Load"_s, QString());
        cwPUSH(u"frmMain"_s, u"Sub DBconnect"_s, u"x"_s);
        QCOMPARE(cwTraceDepth(), 3L);
        const State& s = state();
        QCOMPARE(s.cwTraceEntry[1], u" 1 : Module1 : Sub Main : "_s);
        QCOMPARE(s.cwTraceEntry[2], u" 2 : \tfrmMain : Sub Form_Load : "_s);
        QCOMPARE(s.cwTraceEntry[3], u" 3 : \t\tfrmMain : Sub DBconnect : x"_s);
        const QLocale locale;
        QCOMPARE(s.cwTraceEntry[0],
                 u"Catchwell(tm) : Program START <"_s
                     + locale.toString(QDate(2024, 3, 5), QLocale::ShortFormat) + u", "_s
                     + locale.toString(QTime(14, 7, 9), QLocale::ShortFormat) + u'>');
        cwPOP(u"frmMain"_s, u"Sub DBconnect"_s, QString());
        QCOMPARE(cwTraceDepth(), 2L);
        QVERIFY(s.cwTraceEntry[3].isEmpty());
    }

    void unbalancedPopResetsDepthSilentlyOutsideDebugger()
    {
        // Guards against an unbalanced pop leaving a stale depth or bothering the user.
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        cwPUSH(u"frmMain"_s, u"Sub A"_s, QString());
        cwPOP(u"frmMain"_s, u"Sub B"_s, QString());
        QCOMPARE(cwTraceDepth(), 0L);
        QVERIFY(fx.host->messages().isEmpty());
        // A pop at depth 0 never goes below it.
        cwPOP(QString(), QString(), QString());
        QCOMPARE(cwTraceDepth(), 0L);
    }

    void unbalancedPopUnderDebuggerAsks()
    {
        // Guards against the developer's warning being lost, or shown while a trail unwinds.
        fx.inIde = true;
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        fx.host->answerNext(vb::vbCancel);
        cwPOP(u"frmMain"_s, u"Sub B"_s, QString());
        QCOMPARE(cwTraceDepth(), 0L);
        QCOMPARE(fx.host->messages().size(), 1);
        const auto box = fx.host->messages().first();
        QCOMPARE(box.title, pfMsg(53));
        QCOMPARE(box.style, 49);
        QCOMPARE(box.text, u"Module    \tfrmMain\r\nProcedure\tSub B\r\n\r\n"_s + pfMsg(48)
                               + u"\r\n\r\n"_s + pfMsg(49) + u"\r\n\r\n"_s + pfMsg(50) + u"\r\n"_s
                               + pfMsg(51));

        state().cwErrorSlot[0].module = u"a << b"_s;
        state().cwErrorSlot[0].procedure = u"c << d"_s;
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        cwPOP(u"frmMain"_s, u"Sub C"_s, QString());
        QCOMPARE(fx.host->messages().size(), 1);
        QVERIFY(state().cwErrorSlot[0].module.isEmpty());
        QVERIFY(state().cwErrorSlot[0].procedure.isEmpty());
    }

    void traceOffKeepsTheStack()
    {
        // Guards against push or pop touching the stack once tracing is switched off.
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        cwPUSH(u"frmMain"_s, u"Sub Form_Load"_s, QString());
        cwOPTION(22, false);
        cwPUSH(u"frmMain"_s, u"Sub X"_s, QString());
        cwPOP(u"frmMain"_s, u"Sub Form_Load"_s, QString());
        cwPOP(u"nowhere"_s, u"Sub Y"_s, QString());
        QCOMPARE(cwTraceDepth(), 2L);
    }

    void procGuardBalancesOnEveryExit()
    {
        // Guards against a guard that leaves the depth changed after a normal or early exit.
        cw::Proc outer(u"Module1"_s, u"Sub Main"_s);
        {
            cw::Proc inner(u"frmMain"_s, u"Sub A"_s);
            QCOMPARE(cwTraceDepth(), 2L);
        }
        QCOMPARE(cwTraceDepth(), 1L);
    }

    void options_data()
    {
        QTest::addColumn<short>("number");
        QTest::addColumn<QVariant>("written");
        QTest::addColumn<QVariant>("readBack");
        QTest::newRow("20 stores the inverse") << short(20) << QVariant(0) << QVariant(true);
        QTest::newRow("20 enabled again") << short(20) << QVariant(-1) << QVariant(false);
        QTest::newRow("22 stores the inverse") << short(22) << QVariant(false) << QVariant(true);
        QTest::newRow("11 True is -1") << short(11) << QVariant(true) << QVariant(-1);
        QTest::newRow("11 numeric text") << short(11) << QVariant(u"3"_s) << QVariant(3);
        QTest::newRow("11 word ignored") << short(11) << QVariant(u"x"_s) << QVariant(0);
        QTest::newRow("11 overflow ignored") << short(11) << QVariant(40000) << QVariant(0);
        QTest::newRow("12 non-zero") << short(12) << QVariant(7) << QVariant(true);
        QTest::newRow("21 silent") << short(21) << QVariant(true) << QVariant(-1);
        QTest::newRow("25 records") << short(25) << QVariant(20) << QVariant(20);
        QTest::newRow("26 name as given") << short(26) << QVariant(u"PNV.LOG"_s)
                                          << QVariant(u"PNV.LOG"_s);
        QTest::newRow("27 on") << short(27) << QVariant(true) << QVariant(true);
        QTest::newRow("27 word leaves it") << short(27) << QVariant(u"x"_s) << QVariant(false);
        QTest::newRow("4 address") << short(4) << QVariant(u"a@b"_s) << QVariant(u"a@b"_s);
        QTest::newRow("3 not writable") << short(3) << QVariant(true) << QVariant(false);
    }
    void options()
    {
        // Guards against options stored unconverted, uninverted, or written by bad values.
        QFETCH(short, number);
        QFETCH(QVariant, written);
        QFETCH(QVariant, readBack);
        QVERIFY(!cwOPTION(number, written).isValid());
        const QVariant got = cwOPTION(number, u"gEt"_s);
        QCOMPARE(got.toString(), readBack.toString());
    }

    void unusedOptionNumbersDoNothing_data()
    {
        QTest::addColumn<short>("number");
        for (short n : {short(-1), short(5), short(10), short(17), short(19), short(28)}) {
            QTest::newRow(qPrintable(QString::number(n))) << n;
        }
    }
    void unusedOptionNumbersDoNothing()
    {
        // Guards against gaps in the option table reading or writing some other option.
        QFETCH(short, number);
        QVERIFY(!cwOPTION(number, u"GET"_s).isValid());
        QVERIFY(!cwOPTION(number, 1).isValid());
    }

    void logFileOption()
    {
        // Guards against option 16 taking a number, or keeping a name it cannot create.
        QCOMPARE(cwOPTION(16, u"PNV.LOG"_s).toString(), u"PNV.LOG"_s);
        QVERIFY(QFile::exists(fx.logPath(u"PNV.LOG"_s)));
        QCOMPARE(cwOPTION(16, 5).toString(), u"PNV.LOG"_s);
        QCOMPARE(cwOPTION(16, u"get"_s).toString(), u"PNV.LOG"_s);
        QCOMPARE(cwOPTION(16, fx.path(u"no/such/dir/x.log"_s)).toString(), QString());
    }

    void relativeLogNameLivesInTheStateFolder()
    {
        // Guards against a log appearing in whatever folder the program was started from.
        QCOMPARE(cwOPTION(16, u"PNV.LOG"_s).toString(), u"PNV.LOG"_s);
        const QString folder = fx.path(u"state/pinvara"_s);
        QVERIFY(QFile::exists(folder + u"/PNV.LOG"_s));
        QCOMPARE(mode(folder), 0700);
        QVERIFY(!QFile::exists(fx.path(u"PNV.LOG"_s)));
        const QString absolute = fx.path(u"elsewhere.log"_s);
        QCOMPARE(cwOPTION(16, absolute).toString(), absolute);
        QVERIFY(QFile::exists(absolute));
    }

    void logsArePrivateAndNeverFollowLinks_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"error log", "trace log", "circular log", "log file option"}) {
            QTest::newRow(kind) << QString::fromLatin1(kind);
        }
    }
    void logsArePrivateAndNeverFollowLinks()
    {
        // Guards against logs readable by others, or written through a link planted at their name.
        QFETCH(QString, kind);
        const QString file = fx.path(u"made.log"_s);
        writeLog(kind, file);
        QCOMPARE(mode(file), 0600);

        resetState();
        const QString victim = fx.path(u"victim"_s);
        QFile v(victim);
        QVERIFY(v.open(QIODevice::WriteOnly));
        v.write("untouched");
        v.close();
        const QString link = fx.path(u"linked.log"_s);
        QVERIFY(QFile::link(victim, link));
        writeLog(kind, link);
        QCOMPARE(CatchwellFixture::read(victim), QByteArray("untouched"));
        QVERIFY(QFileInfo(link).isSymLink());
    }

    void disabledComponentIgnoresEverything()
    {
        // Guards against a switched-off component still tracing or trapping.
        cwOPTION(20, 0);
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        QCOMPARE(cwTraceDepth(), 0L);
        QVERIFY(!state().cwStarted);
        vb::Err().set(vb::Error{5, u"x"_s, vb::ownSource(), {}, 0});
        QVERIFY(!cwERROR(u"m"_s, u"p"_s).isValid());
        QCOMPARE(fx.reports, 0);
        QCOMPARE(vb::Err().number, 0L);
    }

    void settingsFile_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("silent");
        QTest::addColumn<bool>("writeToDisk");
        QTest::addColumn<QString>("logFile");
        QTest::newRow("silent 10 reads 1, log name gets folder")
            << QByteArray("[preferences]\nSilent Run=10\n[log file]\nWrite To Disk=1\n"
                          "Log File=my.log\n")
            << -1 << true << u"my.log"_s;
        QTest::newRow("empty log name is error.log")
            << QByteArray("[log file]\nWrite To Disk=2\nLog File=\n") << 0 << true
            << u"error.log"_s;
        QTest::newRow("write to disk -1 stays off")
            << QByteArray("[log file]\nWrite To Disk=-1\nLog File=x.log\n") << 0 << false
            << QString();
        QTest::newRow("silent 2 is not True") << QByteArray("[preferences]\nSilent Run=2\n") << -2
                                              << false << QString();
    }
    void settingsFile()
    {
        // Guards against the settings file's buffer, sign and folder rules being lost.
        QFETCH(QByteArray, ini);
        QFETCH(int, silent);
        QFETCH(bool, writeToDisk);
        QFETCH(QString, logFile);
        fx.writeIni(ini);
        cwSTART();
        const State& s = state();
        QCOMPARE(int(s.cwoSilentRun), silent);
        QCOMPARE(s.cwoWriteToDisk, writeToDisk);
        QCOMPARE(s.cwoLogFile, logFile.isEmpty() ? QString() : fx.path(logFile));
        QVERIFY(s.cwoIncludeUser); // missing "include" keys default to on
        QVERIFY(!s.cwoCircularLog);
        QCOMPARE(s.cwoCircularLogFile, fx.path(u"circ0001.log"_s));
    }

    void noSettingsFileLeavesSwitchesOff()
    {
        // Guards against built-in defaults switching something on without a settings file.
        cwSTART();
        const State& s = state();
        QVERIFY(s.cwStarted);
        QVERIFY(!s.cwoIncludeUser && !s.cwoIncludeMemory && !s.cwoWriteToDisk);
        QCOMPARE(int(s.cwoSilentRun), 0);
        QVERIFY(s.cwoLogFile.isEmpty());
        QCOMPARE(s.cwOwnSource, vb::ownSource());
        QCOMPARE(s.cwExePrefix, u"[tst_trace] "_s);
    }

    void traceLineFormat_data()
    {
        QTest::addColumn<bool>("arguments");
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("expected");
        QTest::newRow("arguments off") << false << u"frmMain"_s
                                       << u"[tst_trace] [00001] [00003.250] ->frmMain : Sub X"_s;
        QTest::newRow("arguments on") << true << u"frmMain"_s
                                      << u"[tst_trace] [00001] [00003.250] ->frmMain : Sub X : a"_s;
        QTest::newRow("colon in module cuts early")
            << false << u"a:b"_s << u"[tst_trace] [00001] [00003.250] ->a:b"_s;
    }
    void traceLineFormat()
    {
        // Guards against trace lines whose counter, time, arrow or cut are wrong.
        QFETCH(bool, arguments);
        QFETCH(QString, module);
        QFETCH(QString, expected);
        captureToLog();
        cwSTART();
        cwOPTION(14, arguments);
        fx.ticks = 4250;
        cwPUSH(module, u"Sub X"_s, u"a"_s);
        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], u"[tst_trace] "_s + pfMsg(20));
        QVERIFY(pfMsg(20).endsWith(u" - start Catchwell client v5.2 (Qt 6 desktop) data capture"_s));
        QCOMPARE(lines[1], expected);
        QByteArray raw = CatchwellFixture::read(fx.logPath(u"trace.log"_s));
        QVERIFY(raw.endsWith("\r\n\r\n")); // each line is followed by an empty line
    }

    void popLineAndIndentation()
    {
        // Guards against pop lines losing the indentation or showing the depth prefix.
        captureToLog();
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        cwPUSH(u"frmMain"_s, u"Sub A"_s, QString());
        fx.ticks = 13250;
        cwPOP(u"frmMain"_s, u"Sub A"_s, QString());
        QCOMPARE(logLines().last(), u"[tst_trace] [00003] [00012.250] <-\tfrmMain : Sub A"_s);
        QCOMPARE(state().cwTraceTime[2], 12250.0);
    }

    void includesMemoryAndUser()
    {
        // Guards against the includes being appended in the wrong order or shape.
        captureToLog();
        cwOPTION(12, true);
        cwOPTION(13, true);
        cwOPTION(15, true);
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        const QRegularExpression both(u"->Module1 : Sub Main : \\[res = \\d+%, mem = \\d+\\] : $"_s);
        QVERIFY2(both.match(logLines().last()).hasMatch(), qPrintable(logLines().last()));
        cwOPTION(13, false);
        cwOPTION(15, false);
        cwPUSH(u"frmMain"_s, u"Sub A"_s, QString());
        const QRegularExpression memOnly(u"Sub A : \\[mem = \\d+\\]$"_s);
        QVERIFY2(memOnly.match(logLines().last()).hasMatch(), qPrintable(logLines().last()));
        cwOPTION(12, false);
        cwOPTION(13, true);
        cwPUSH(u"frmMain"_s, u"Sub B"_s, QString());
        const QRegularExpression resOnly(u"Sub B : \\[res = \\d+%\\]$"_s);
        QVERIFY2(resOnly.match(logLines().last()).hasMatch(), qPrintable(logLines().last()));
    }

    void circularLogWrapsAtMaxRecords()
    {
        // Guards against records written at the wrong place or not wrapping to record 1.
        fx.writeIni("[Log File]\nCircularLog=1\n[CircularLog]\nFileName=circ.log\n"
                    "RecordSize=64\nMaxRecords=20\n");
        cwSTART();
        QVERIFY(state().cwoCircularLog);
        QCOMPARE(state().cwoMaxRecords, 20);
        for (int i = 1; i <= 20; ++i) { // the start line was record 1
            cwPUSH(u"M"_s, u"Sub P"_s + QString::number(i), QString());
        }
        const QByteArray file = CatchwellFixture::read(fx.path(u"circ.log"_s));
        QCOMPARE(file.mid(4, 8), QByteArray(" 64HM100"));
        QCOMPARE(file.size(), 512 + 64 * 20);
        QVERIFY(file.mid(512, 64).startsWith("[tst_trace] [00020] [00000.000] ->"));
        QVERIFY(file.mid(512, 64).contains("Sub P20"));
        const QByteArray rec2 = file.mid(512 + 64, 64);
        QCOMPARE(rec2.size(), 64);
        QVERIFY(rec2.startsWith("[tst_trace] [00001] [00000.000] ->M : Sub P1 : "));
        QCOMPARE(state().cwCircularRecord, 1);
    }

    void shortRecordIsPaddedWithNul()
    {
        // Guards against a short record leaving the old record's tail behind it.
        fx.writeIni("[Log File]\nCircularLog=1\n[CircularLog]\nFileName=c.log\nRecordSize=200\n"
                    "MaxRecords=3\n[include]\nResources=0\nMemory=0\nArguments=0\nUser=0\n");
        cwSTART();
        cwPUSH(u"M"_s, u"Sub P"_s, QString());
        const QByteArray rec2 = CatchwellFixture::read(fx.path(u"c.log"_s)).mid(512 + 200);
        const QByteArray line("[tst_trace] [00001] [00000.000] ->M : Sub P\r\n");
        QCOMPARE(rec2, line + QByteArray(200 - line.size(), '\0'));
    }

    void circularLogWithoutRecordSizeHoldsHeaderOnly()
    {
        // Guards against the options-only circular log (size 0) writing anything but its mark.
        cwSTART();
        cwOPTION(25, 20);
        cwOPTION(26, u"PNV.LOG"_s);
        cwOPTION(27, true);
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        cwPUSH(u"frmMain"_s, u"Sub Form_Load"_s, QString());
        QCOMPARE(CatchwellFixture::read(fx.logPath(u"PNV.LOG"_s)), QByteArray("HM100"));
    }

    void circularLogThatCannotOpenSwitchesOff()
    {
        // Guards against a failing circular log retrying forever or boxing outside a debugger.
        cwSTART();
        cwOPTION(26, fx.path(u"missing/dir/c.log"_s));
        cwOPTION(27, true);
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        QVERIFY(!state().cwoCircularLog);
        QVERIFY(fx.host->messages().isEmpty());
    }

    void unreadableRecordSizeIsZero()
    {
        // Guards against a bad record size stopping the start-up.
        fx.writeIni("[Log File]\nCircularLog=1\n[CircularLog]\nRecordSize=abc\n");
        cwSTART();
        QCOMPARE(state().cwRecordSize, 0);
        QCOMPARE(state().cwoMaxRecords, 10);
        QVERIFY(state().cwStarted);
    }

    void messagesAndTime_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("2") << 2 << QString();
        QTest::newRow("45") << 45 << QString();
        QTest::newRow("63") << 63 << QString();
        QTest::newRow("0") << 0 << QString();
        QTest::newRow("24") << 24 << u" - Internal Error Handler"_s;
        QTest::newRow("53") << 53 << u"CW52Q01"_s;
    }
    void messagesAndTime()
    {
        // Guards against undefined message numbers returning text, or a wrong time format.
        QFETCH(int, number);
        QFETCH(QString, text);
        QCOMPARE(pfMsg(static_cast<int16_t>(number)), text);
        QCOMPARE(pfFormatTime(12.3456), u"00012.346"_s);
        QCOMPARE(pfIniName(), u"CWCLIENT.INI"_s);
    }
};

PINVARA_TEST_MAIN(TestTrace)
#include "tst_trace.moc"
