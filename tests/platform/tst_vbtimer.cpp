#include "TestMain.h"
#include "platform/vb/Error.h"
#include "platform/vb/Timer.h"

#include <QTimer>

class TestVbTimer : public QObject
{
    Q_OBJECT

private slots:
    void runsOnlyWhenEnabledWithAnInterval()
    {
        // Guards against a timer without an interval firing at every pass of the event loop.
        QTimer t;
        vb::setTimerEnabled(t, true);
        vb::setTimerInterval(t, 10);
        QVERIFY(t.isActive());
        vb::setTimerInterval(t, 0);
        QVERIFY(!t.isActive());
        vb::setTimerEnabled(t, false);
        vb::setTimerInterval(t, 20);
        QVERIFY(!t.isActive());
        vb::setTimerEnabled(t, true);
        QVERIFY(t.isActive());
        QVERIFY_THROWS_EXCEPTION(vb::Error, vb::setTimerInterval(t, -1000));
    }
};

PINVARA_TEST_MAIN(TestVbTimer)
#include "tst_vbtimer.moc"
