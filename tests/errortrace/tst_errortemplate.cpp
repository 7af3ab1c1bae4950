// The error template end to end: a traced procedure fails, the trap shows the real report
// window, and the procedure is left through its exit.
#include "CatchwellFixture.h"
#include "TestMain.h"
#include "errortrace/Proc.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using namespace modCatchwell;

namespace {

void failingStep()
{
    cw::Proc proc(QStringLiteral("Module1"), QStringLiteral("Function GetTempFile"));
    proc.run([] { vb::raise(11); });
}

} // namespace

class TestErrorTemplate : public QObject
{
    Q_OBJECT

    CatchwellFixture fx;
    QString heading;
    QStringList calls;
    bool trapLineSelected = false;

    void scriptReport(const char* button)
    {
        fx.host->onModal("frmCATCHWELL", [this, button](QWidget& w) {
            heading = w.findChild<QLabel*>(QStringLiteral("lblErrCnt"))->text();
            auto* list = w.findChild<QListWidget*>(QStringLiteral("vtCtrlCalls"));
            calls.clear();
            for (int i = 0; i < list->count(); ++i) {
                calls << list->item(i)->text();
            }
            trapLineSelected = list->currentItem() != nullptr
                               && list->currentItem()->text().contains(u" : Trap");
            w.findChild<QPushButton*>(QString::fromLatin1(button))->click();
        });
    }

private slots:
    void init()
    {
        fx.setUp();
        setReportHook({}); // the real report window answers
    }
    void cleanup() { fx.tearDown(); }

    void aFailingProcedureIsReportedOnceAndLeftThroughItsExit()
    {
        // Guards against a trapped error skipping the pop, being reported twice, or a report
        // window that does not show the failing procedure in its call tree.
        scriptReport("vtCtrlContinue");
        {
            cw::Proc outer(QStringLiteral("Module1"), QStringLiteral("Sub Main"));
            const long before = cwTraceDepth();
            failingStep();
            QCOMPARE(cwTraceDepth(), before);
        }
        QCOMPARE(cwTraceDepth(), 0L);
        VERIFY_DRAINED(*fx.host);
        QCOMPARE(fx.host->transcript().size(), 1);
        QVERIFY(heading.startsWith(QStringLiteral("An unexpected 'division by zero' error")));
        QVERIFY(heading.endsWith(QStringLiteral("1 error(s) are logged.")));
        QCOMPARE(calls.size(), 3);
        QCOMPARE(calls[0], QStringLiteral(" 1 : Call\tModule1 : Sub Main :"));
        QVERIFY(calls[1].contains(QStringLiteral("Module1 : Function GetTempFile")));
        QVERIFY(calls[2].contains(QStringLiteral("Runtime error 11, Division by zero")));
        QVERIFY(trapLineSelected);
        QCOMPARE(state().cwErrorSlot[0].source, QStringLiteral("Pinvara (local)"));
        QCOMPARE(vb::Err().number, 0L);
    }

    void continueAndBreakAnswers()
    {
        // Guards against the report's choice not reaching the trap's result.
        scriptReport("vtCtrlContinue");
        vb::Err().set(vb::Error{5, QStringLiteral("x"), vb::ownSource(), {}, 0});
        QCOMPARE(cwERROR(QStringLiteral("Module1"), QStringLiteral("Sub Main")).toInt(), 0);
        scriptReport("vtCtrlMore");
        vb::Err().set(vb::Error{5, QStringLiteral("x"), vb::ownSource(), {}, 0});
        QCOMPARE(cwERROR(QStringLiteral("Module1"), QStringLiteral("Sub Main")).toInt(), 5);
        VERIFY_DRAINED(*fx.host);
        QVERIFY(!state().cwBusy);
    }
};

PINVARA_TEST_MAIN(TestErrorTemplate)
#include "tst_errortemplate.moc"
