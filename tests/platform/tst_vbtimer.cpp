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
        int ticks = 0;
        connect(&t, &QTimer::timeout, [&] { ++ticks; });
        vb::setTimerEnabled(t, true);
        QVERIFY(!t.isActive());
        QTest::qWait(30);
        QCOMPARE(ticks, 0);
        vb::setTimerInterval(t, 10);
        QVERIFY(t.isActive());
        QTRY_VERIFY(ticks > 0);
        vb::setTimerInterval(t, 0);
        QVERIFY(!t.isActive());
        vb::setTimerEnabled(t, false);
        QVERIFY(!t.isActive());
        QVERIFY(!vb::timerEnabled(t));
        vb::setTimerInterval(t, 20);
        QVERIFY(!t.isActive());
        vb::setTimerEnabled(t, true);
        QVERIFY(t.isActive());
        QCOMPARE(t.interval(), 20);
    }

    void anIntervalOutOfRangeIsRefused()
    {
        // Guards against a negative interval being taken as some other time.
        QTimer t;
        try {
            vb::setTimerInterval(t, -1000);
            QFAIL("no error");
        } catch (const vb::Error& e) {
            QCOMPARE(e.number, 380L);
        }
    }
};

PINVARA_TEST_MAIN(TestVbTimer)
#include "tst_vbtimer.moc"
