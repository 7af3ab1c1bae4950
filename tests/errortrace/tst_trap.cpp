#include "CatchwellFixture.h"
#include "TestMain.h"
#include "errortrace/Proc.h"
#include "errortrace/frmCATCHWELL.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace modCatchwell;

namespace {

// A procedure of the program that fails, written the way every procedure is.
void failingProcedure(const QString& module, const QString& procedure, long number,
                      const QString& source = {})
{
    cw::Proc proc(module, procedure);
    proc.run([&] { vb::raise(number, source); });
}

} // namespace

class TestTrap : public QObject
{
    Q_OBJECT

    CatchwellFixture fx;

private slots:
    void init() { fx.setUp(); }
    void cleanup()
    {
        VERIFY_DRAINED(*fx.host);
        fx.tearDown();
    }

    void failingProcedureIsReportedOnceAndLeft()
    {
        // Guards against a trapped error being reported twice, kept pending, or unbalancing.
        cw::Proc main(u"Module1"_s, u"Sub Main"_s);
        failingProcedure(u"frmMain"_s, u"Sub cmdOK_Click"_s, 5);
        QCOMPARE(fx.reports, 1);
        QCOMPARE(cwTraceDepth(), 1L);
        QCOMPARE(vb::Err().number, 0L);
        const ErrorSlot& slot0 = state().cwErrorSlot[0];
        QCOMPARE(slot0.number, 5);
        QCOMPARE(slot0.module, u"frmMain"_s);
        QCOMPARE(slot0.procedure, u"Sub cmdOK_Click"_s);
        QCOMPARE(slot0.source, u"Pinvara (local)"_s);
        QCOMPARE(slot0.category, u"General run-time error"_s);
        QCOMPARE(slot0.description, u"Invalid procedure call or argument"_s);
        QCOMPARE(state().cwErrorTree[0], u" 2"_s);
        QCOMPARE(state().cwErrorTree[2], u" 2 : \tfrmMain : Sub cmdOK_Click : "_s);
        QVERIFY(!state().cwBusy);
    }

    void answersComeBackAsTheResult_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("continue") << 0;
        QTest::newRow("break") << 5;
    }
    void answersComeBackAsTheResult()
    {
        // Guards against the user's Continue or Break being lost on the way back.
        QFETCH(int, answer);
        fx.answer = static_cast<int16_t>(answer);
        vb::Err().set(vb::Error{13, u"Type mismatch"_s, vb::ownSource(), {}, 0});
        const QVariant result = cwERROR(u"Module1"_s, u"Sub Main"_s);
        QVERIFY(result.isValid());
        QCOMPARE(result.toInt(), answer);
    }

    void foreignSourceIsRemote()
    {
        // Guards against errors of other components being tagged as the program's own.
        failingProcedure(u"frmMain"_s, u"Sub DBconnect"_s, 3006, u"Microsoft JET Database Engine"_s);
        QCOMPARE(state().cwErrorSlot[0].source, u"Microsoft JET Database Engine (remote)"_s);
        QCOMPARE(state().cwErrorSlot[0].category, u"ODBC Network error"_s);
    }

    void classification_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("category");
        QTest::newRow("3006 network before data access") << 3006 << 59 << "ODBC Network error";
        QTest::newRow("70 two spaces") << 70 << 60 << "Network  error";
        QTest::newRow("91 typo kept") << 91 << 4 << "Non-initialzed object or variant error";
        QTest::newRow("9999 other") << 9999 << 15 << "User defined  error";
        QTest::newRow("337 form") << 337 << 6 << "Form, control, property or object value error";
        QTest::newRow("negative") << -2147217843 << 62 << "Remote OLE Automation error";
        QTest::newRow("708 file before design") << 708 << 3
                                                << "File System (disk, directory or file) access error";
        QTest::newRow("709 design") << 709 << 12 << "Design-time error";
        QTest::newRow("32001 grid before custom") << 32001 << 45 << "Grid control error";
        QTest::newRow("32016 custom") << 32016 << 14 << "Custom Control or user defined error";
        QTest::newRow("3452 replication") << 3452 << 63 << "Replication error";
        QTest::newRow("3454 data access") << 3454 << 54 << "Data Access error";
        QTest::newRow("35600 win95") << 35600 << 64 << "Windows 95 Custom Control error";
        QTest::newRow("32755 common dialog") << 32755 << 47 << "Common Dialog error";
        QTest::newRow("440 ole") << 440 << 13 << "Object Linking and Embedding error";
        QTest::newRow("0") << 0 << 15 << "User defined  error";
    }
    void classification()
    {
        // Guards against rows matched out of order or texts not kept exactly.
        QFETCH(int, number);
        QFETCH(int, code);
        QFETCH(QString, category);
        QCOMPARE(int(pfErrClass(number)), code);
        QCOMPARE(pfErrClassText(pfErrClass(number)) + pfMsg(16), category);
    }

    void classTextsOfUnreachedCodes()
    {
        // Guards against codes without an error number giving a wrong or missing text.
        QCOMPARE(pfErrClassText(56), u"Object"_s);
        for (int16_t code : {16, 44, 48, 53, 55, 58, 61}) {
            QCOMPARE(pfErrClassText(code), u"Unknown Error Class"_s);
        }
        QCOMPARE(pfErrClassText(1), QString());
        QCOMPARE(pfErrClassText(67), QString());
    }

    void trailWhenTracingIsOff()
    {
        // Guards against the report naming the wrong procedure once tracing is switched off.
        cw::Proc main(u"Module1"_s, u"Sub Main"_s);
        cw::Proc load(u"frmMain"_s, u"Sub Form_Load"_s);
        cwOPTION(22, false);
        failingProcedure(u"frmMain"_s, u"Sub cmdOpen_Click"_s, 5);
        QCOMPARE(state().cwErrorSlot[0].module, u"frmMain"_s);
        QCOMPARE(state().cwErrorSlot[0].procedure, u"Sub cmdOpen_Click << Sub Form_Load"_s);
    }

    void deepProcedureIsNotMistakenForATrail()
    {
        // Guards against indentation tabs of deep entries making every deep error a trail.
        cw::Proc main(u"Module1"_s, u"Sub Main"_s);
        cw::Proc load(u"frmMain"_s, u"Sub Form_Load"_s);
        failingProcedure(u"frmMain"_s, u"Sub DBconnect"_s, 5);
        QCOMPARE(state().cwErrorSlot[0].module, u"frmMain"_s);
        QCOMPARE(state().cwErrorSlot[0].procedure, u"Sub DBconnect"_s);
    }

    void errorTraceLineGoesToTheLog()
    {
        // Guards against the error's trace line missing or misshaped in the trace log.
        cwSTART();
        cwOPTION(16, u"trace.log"_s);
        cwOPTION(11, true);
        failingProcedure(u"frmMain"_s, u"Sub X"_s, 91);
        const QString log = QString::fromUtf8(CatchwellFixture::read(fx.logPath(u"trace.log"_s)));
        QVERIFY(log.isEmpty()); // Write To Disk is off: capture alone writes nothing
        cwOPTION(23, true);
        failingProcedure(u"frmMain"_s, u"Sub X"_s, 91);
        const QString written =
            QString::fromUtf8(CatchwellFixture::read(fx.logPath(u"trace.log"_s)));
        QVERIFY2(written.contains(u"[tst_trap] ERROR 91 at frmMain : Sub X : Line 0 : Object "
                                  "variable or With block variable not set\r\n"_s),
                 qPrintable(written));
    }

    void errorLogBlockLayout()
    {
        // Guards against the error block's layout drifting from what readers of the log expect.
        cw::Proc main(u"Module1"_s, u"Sub Main"_s);
        cwOPTION(16, u"err.log"_s);
        cwOPTION(23, true);
        failingProcedure(u"frmMain"_s, u"Sub Form_Load"_s, 91);
        const QString zone(14, u' ');
        const QString expected =
            pfMsg(20) + u"\r\n"_s + QString(65, u'*') + u"\r\n"_s + fx.dir->path()
            + u"/tst_trap ver 0.0.0\r\n"_s
            + u"Error Information\r\n"_s
            + u"\t*Error 1\r\n"_s
            + zone + u"Category Non-initialzed object or variant error\r\n"_s
            + zone + u"Source Pinvara (local)\r\n"_s
            + zone + u"Module frmMain\r\n"_s
            + zone + u"Procedure Sub Form_Load\r\n"_s
            + zone + u"Line Number 0\r\n"_s
            + zone + u"Error No. 91\r\n"_s
            + zone + u"Description Object variable or With block variable not set\r\n"_s
            + u"\r\n\r\nCall Tree & Arguments\r\n"_s
            + u" 1 : Call\tModule1 : Sub Main :\r\n"_s
            + u" 2 : Call\t\tfrmMain : Sub Form_Load :\r\n"_s
            + u" 3 : Trap\t\tRuntime error 91, Object variable or With block variable not set\r\n"_s
            + u"System State Information\r\n"_s
            + u"User Said\r\n\r\n"_s + pfMsg(31) + u"\r\n"_s;
        QCOMPARE(QString::fromUtf8(CatchwellFixture::read(fx.logPath(u"err.log"_s))), expected);
    }

    void errorLogMarksTheLevelsATrailPassed()
    {
        // Guards against a trapped error above the top of the stack losing its trap position.
        cw::Proc main(u"Module1"_s, u"Sub Main"_s);
        cw::Proc load(u"frmMain"_s, u"Sub Form_Load"_s);
        cwOPTION(22, false);
        cwOPTION(16, u"err.log"_s);
        cwOPTION(23, true);
        state().cwUserComment = u"clicked Open"_s;
        state().cwSystemText = u"stale description"_s;
        failingProcedure(u"Module1"_s, u"Sub Main"_s, 5);
        const QString log = QString::fromUtf8(CatchwellFixture::read(fx.logPath(u"err.log"_s)));
        QVERIFY2(log.contains(u" 1 : Call\tModule1 : Sub Main :\r\n"
                              " 2 : Trap\tRuntime error 5, Invalid procedure call or argument\r\n"
                              " 3 : Call\t\tfrmMain : Sub Form_Load :\r\n"
                              " 4 : Error\t\tRuntime error 5, Invalid procedure call or argument\r\n"_s),
                 qPrintable(log));
        QVERIFY(log.contains(u"User Said\r\nclicked Open\r\n"_s));
        QVERIFY(!log.contains(u"stale description"_s));
    }

    void silentRunSkipsTheFormOnly()
    {
        // Guards against silent running also dropping the mail or the log.
        cwSTART();
        cwOPTION(21, true);
        cwOPTION(4, u"support@example.org"_s);
        cwOPTION(16, u"err.log"_s);
        cwOPTION(23, true);
        vb::Err().set(vb::Error{91, vb::errorText(91), vb::ownSource(), {}, 0});
        const QVariant result = cwERROR(u"frmMain"_s, u"Sub X"_s);
        QVERIFY(!result.isValid());
        QCOMPARE(fx.reports, 0);
        QCOMPARE(fx.mails.size(), 1);
        QVERIFY(CatchwellFixture::read(fx.logPath(u"err.log"_s)).contains("Error No. 91"));
    }

    void silentValueTwoStillShowsTheForm()
    {
        // Guards against any non-zero Silent Run value suppressing the report.
        fx.writeIni("[preferences]\nSilent Run=2\n");
        cwSTART();
        vb::Err().set(vb::Error{5, vb::errorText(5), vb::ownSource(), {}, 0});
        QVERIFY(cwERROR(u"m"_s, u"p"_s).isValid());
        QCOMPARE(fx.reports, 1);
    }

    void mailCarriesTheReport()
    {
        // Guards against a mail with a wrong subject, note or recipient, or a lost attachment.
        cwSTART();
        cwOPTION(4, u"support@example.org"_s);
        cwOPTION(16, u"kept.log"_s);
        failingProcedure(u"frmMain"_s, u"Sub cmdSave_Click"_s, 70);
        QCOMPARE(fx.mails.size(), 1);
        const mail::Message& m = fx.mails.first();
        QCOMPARE(m.subject, u"Remote Error Report From tst_trap"_s);
        QCOMPARE(m.recipient, u"support@example.org"_s);
        QCOMPARE(m.note, u"Veltro Catchwell reports error 70 (Permission denied) occurred in "
                         "tst_trap, module frmMain, procedure Sub cmdSave_Click. The attached log "
                         "file has complete details."_s);
        QCOMPARE(m.attachmentName, u"cwerror.log"_s);
        QVERIFY(fx.attachments.first().contains(u"Category Network  error"_s));
        QVERIFY(!QFile::exists(fx.logPath(u"!error!.log"_s)));
        QVERIFY(!QFile::exists(m.attachmentPath)); // removed once the mail program took it
        QCOMPARE(state().cwoLogFile, u"kept.log"_s);
        // Write To Disk is off: the log file itself got nothing.
        QVERIFY(CatchwellFixture::read(fx.logPath(u"kept.log"_s)).isEmpty());
    }

    void forwardedErrorList()
    {
        // Guards against a forwarded list being read in the wrong order or with raw numbers.
        cwSTART();
        vb::Err().set(vb::Error{1, u"x"_s,
                                u"2!modA!procA!10!srcA!-2147221499!Bad thing in here!modB!procB"_s,
                                {}, 0});
        cwERROR(u"frmMain"_s, u"Sub X"_s);
        const State& s = state();
        QCOMPARE(int(s.cwErrorCount), 2);
        QCOMPARE(s.cwErrorSlot[0].number, 440);
        QCOMPARE(s.cwErrorSlot[0].source, u"Pinvara (local)"_s);
        QCOMPARE(s.cwErrorSlot[2].module, u"modA (remote)"_s);
        QCOMPARE(s.cwErrorSlot[2].number, 5);
        QCOMPARE(s.cwErrorSlot[2].line, 10);
        QCOMPARE(s.cwErrorSlot[2].description, u"Bad thing"_s);
        QCOMPARE(s.cwErrorSlot[1].module, u"modB (remote)"_s);
        QCOMPARE(s.cwErrorSlot[1].source, u"<unknown>"_s);
        QCOMPARE(s.cwErrorSlot[1].description, u"<unknown>"_s);
    }

    void unwritableLogLosesOnlyTheBlock()
    {
        // Guards against a log file that cannot be opened breaking the trap.
        cwSTART();
        cwOPTION(23, true);
        state().cwoLogFile = fx.path(u"no/such/dir/err.log"_s);
        vb::Err().set(vb::Error{5, vb::errorText(5), vb::ownSource(), {}, 0});
        QCOMPARE(cwERROR(u"m"_s, u"p"_s).toInt(), 0);
        QCOMPARE(fx.reports, 1);
        QVERIFY(!QFile::exists(fx.path(u"no/such/dir/err.log"_s)));
    }

    void emptyLogNameBecomesDefault()
    {
        // Guards against the error block being dropped when no log name was configured.
        cwSTART();
        cwOPTION(23, true);
        vb::Err().set(vb::Error{5, vb::errorText(5), vb::ownSource(), {}, 0});
        cwERROR(u"m"_s, u"p"_s);
        QVERIFY(CatchwellFixture::read(fx.logPath(u"cwError.log"_s)).contains("Error No. 5"));
    }

    void trapWaitsWhileTheReportIsUp()
    {
        // Guards against a second error racing the open report instead of waiting for it.
        cwSTART();
        state().cwBusy = true;
        QTimer::singleShot(0, [] { state().cwBusy = false; });
        vb::Err().set(vb::Error{5, vb::errorText(5), vb::ownSource(), {}, 0});
        cwERROR(u"m"_s, u"p"_s);
        QCOMPARE(fx.reports, 1);
        state().cwBusy = true;
        QTimer::singleShot(0, [] { state().cwBusy = false; });
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        QCOMPARE(cwTraceDepth(), 1L);
    }

    void secondErrorWaitsForItsOwnReport()
    {
        // Guards against an error raised while the report window is up (a timer tick) freeing
        // that window or replacing the first error before it is logged.
        fx.host.reset(); // the real window, shown modally by the desktop host
        setReportHook({});
        cwSTART();
        cwOPTION(16, u"err.log"_s);
        cwOPTION(23, true);
        cwOPTION(22, false); // as the main window runs: the tick's own trace calls do nothing
        QStringList shown;
        bool ticked = false;
        QObject context; // drops the answering timer when the test ends
        // Answers each report as it comes up; the first time, a timer tick fails meanwhile.
        std::function<void()> answer = [&] {
            QTimer::singleShot(5, &context, answer);
            frmCATCHWELL* form = loadedReportForm();
            if (form == nullptr || !form->isVisible() || !state().cwBusy) {
                return;
            }
            shown << form->findChild<QLabel*>(u"ErrNo"_s)->text();
            if (!ticked) {
                ticked = true;
                failingProcedure(u"frmMain"_s, u"Sub tmrPeek_Timer"_s, 11);
            }
            form->findChild<QPushButton*>(u"vtCtrlContinue"_s)->click();
        };
        QTimer::singleShot(5, &context, answer);
        failingProcedure(u"frmMain"_s, u"Sub cmdOK_Click"_s, 5);
        fx.host = std::make_unique<ScriptedHost>();
        QCOMPARE(shown, (QStringList{u" 5"_s, u" 11"_s}));
        const QString log = QString::fromUtf8(CatchwellFixture::read(fx.logPath(u"err.log"_s)));
        QCOMPARE(log.count(u"Error Information"_s), 2);
        const qsizetype first = log.indexOf(u"Procedure Sub cmdOK_Click\r\n"_s);
        const qsizetype second = log.indexOf(u"Procedure Sub tmrPeek_Timer\r\n"_s);
        QVERIFY(first > 0 && second > first);
        QVERIFY(log.indexOf(u"Error No. 5\r\n"_s) < log.indexOf(u"Error No. 11\r\n"_s));
        QVERIFY(!state().cwBusy);
        QVERIFY(loadedReportForm() == nullptr);
    }

    void logsSharingOneFileStayIntact()
    {
        // Guards against the circular log's header overwriting the error log in a shared file.
        cwSTART();
        for (const auto& [number, value] : std::initializer_list<std::pair<short, QVariant>>{
                 {11, true}, {16, u"PNV.LOG"_s}, {22, false}, {23, true}, {25, 20},
                 {26, u"PNV.LOG"_s}, {27, true}}) {
            cwOPTION(number, value);
        }
        failingProcedure(u"frmMain"_s, u"Sub cmdOK_Click"_s, 5);
        failingProcedure(u"frmMain"_s, u"Sub cmdAdd_Click"_s, 91);
        const QString log = QString::fromUtf8(CatchwellFixture::read(fx.logPath(u"PNV.LOG"_s)));
        QVERIFY2(log.startsWith(u"[tst_trap] ERROR 5 at frmMain : Sub cmdOK_Click"_s),
                 qPrintable(log.left(80)));
        QVERIFY(!log.contains(u"HM100"_s));
        QCOMPARE(log.count(pfMsg(20) + u"\r\n"_s + QString(65, u'*')), 2);
        QCOMPARE(log.count(pfMsg(31) + u"\r\n"_s), 2);
    }

    void mailAttachmentIsPrivateAndRemovedOnceTaken()
    {
        // Guards against the mailed report lying readable to others, or left behind for good.
        const QString bin = fx.path(u"bin"_s);
        QDir().mkpath(bin);
        const QString seen = fx.path(u"seen.txt"_s);
        {
            QFile composer(bin + u"/xdg-email"_s);
            QVERIFY(composer.open(QIODevice::WriteOnly));
            // The mail program notes the attachment's mode and text, as it takes it.
            composer.write("#!/bin/sh\nwhile [ $# -gt 0 ]; do\n"
                           "  if [ \"$1\" = --attach ]; then stat -c %a \"$2\" > \"$SEEN.tmp\";"
                           " cat \"$2\" >> \"$SEEN.tmp\"; echo \"$2\" >> \"$SEEN.tmp\"; fi\n"
                           "  shift\ndone\nmv \"$SEEN.tmp\" \"$SEEN\"\n");
            composer.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit() + ':' + path);
        qputenv("SEEN", seen.toLocal8Bit());
        mail::setSender({});
        cwSTART();
        cwOPTION(4, u"support@example.org"_s);
        failingProcedure(u"frmMain"_s, u"Sub cmdSave_Click"_s, 70);
        qputenv("PATH", path);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(seen), 10000);
        const QStringList got = QString::fromUtf8(CatchwellFixture::read(seen)).split(u'\n');
        QCOMPARE(got.first(), u"600"_s);
        QVERIFY(got.join(u'\n').contains(u"Error No. 70"_s));
        const QString copy = got.at(got.size() - 2);
        QCOMPARE(QFileInfo(copy).fileName(), u"cwerror.log"_s);
        // The copy goes first, then its folder.
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(QFileInfo(copy).path()), 10000);
        QVERIFY(!QFile::exists(fx.logPath(u"!error!.log"_s)));
    }

    void internalErrorBox()
    {
        // Guards against the component's own failures showing the wrong text or title.
        fx.host->answerNext(1);
        pfErr(5, u"cwSTART()"_s);
        const auto box = fx.host->messages().first();
        QCOMPARE(box.title, u"Catchwell - Internal Error Handler"_s);
        QCOMPARE(box.style, 16);
        QCOMPARE(box.text, u"cwSTART() generated error 5, 'Invalid procedure call or argument', "
                           "inside CATCHWELL\r\n"_s);
    }
};

PINVARA_TEST_MAIN(TestTrap)
#include "tst_trap.moc"
