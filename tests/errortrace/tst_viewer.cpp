#include "CatchwellFixture.h"
#include "TestMain.h"
#include "errortrace/TraceViewer.h"
#include "platform/userdirs/UserDirs.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMutex>
#include <QSemaphore>
#include <QThread>
#include <QWidget>

#include <deque>

using namespace Qt::StringLiterals;
using namespace modCatchwell;

namespace {

// A trace viewer on its own thread, since the component waits for each answer. It listens in
// the user's runtime folder unless given a full path.
class FakeViewer : public QThread
{
public:
    struct Received
    {
        quint32 message = 0;
        quint32 parameter = 0;
        QByteArray text;
    };

    explicit FakeViewer(const QString& name, int waitMs = 5000)
        : m_name(QDir(userdirs::runtimeFolder()).filePath(name))
        , m_waitMs(waitMs)
    {
    }

    std::deque<qint32> setTextAnswers;
    std::deque<qint32> pauseAnswers;
    QSemaphore ready;

    QList<Received> received()
    {
        QMutexLocker lock(&m_mutex);
        return m_received;
    }

protected:
    void run() override
    {
        QLocalServer server;
        const bool listening = server.listen(m_name);
        ready.release();
        if (!listening || !server.waitForNewConnection(m_waitMs)) {
            return;
        }
        QLocalSocket* socket = server.nextPendingConnection();
        QDataStream in(socket);
        while (socket->state() == QLocalSocket::ConnectedState) {
            in.startTransaction();
            Received r;
            in >> r.message >> r.parameter >> r.text;
            if (!in.commitTransaction()) {
                if (!socket->waitForReadyRead(5000)) {
                    break;
                }
                continue;
            }
            std::deque<qint32>& answers =
                r.message == TraceViewer::kSetText ? setTextAnswers : pauseAnswers;
            qint32 answer = 0;
            if (!answers.empty()) {
                answer = answers.front();
                answers.pop_front();
            }
            {
                QMutexLocker lock(&m_mutex);
                m_received << r;
            }
            QDataStream out(socket);
            out << answer;
            socket->waitForBytesWritten(5000);
        }
    }

private:
    QString m_name;
    int m_waitMs;
    QMutex m_mutex;
    QList<Received> m_received;
};

} // namespace

class TestViewer : public QObject
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

    void viewerTitles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("viewer");
        QTest::newRow("exact") << "Veltro Catchwell" << true;
        QTest::newRow("with suffix") << "Veltro Catchwell - trace" << true;
        QTest::newRow("suffix without blank") << "Veltro Catchwell-x" << false;
        QTest::newRow("other case") << "veltro catchwell" << false;
        QTest::newRow("longer word") << "Veltro Catchwells" << false;
    }
    void viewerTitles()
    {
        // Guards against traces sent to a listener that is not a viewer.
        QFETCH(QString, title);
        QFETCH(bool, viewer);
        QCOMPARE(TraceViewer::isViewerTitle(title), viewer);
    }

    void linesReachTheViewer()
    {
        // Guards against the viewer missing lines or getting a wrong length.
        FakeViewer viewer(u"Veltro Catchwell - test"_s);
        viewer.start();
        viewer.ready.acquire();
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        QVERIFY(state().cwViewerWnd != 0);
        fx.tearDown(); // drops the link, which ends the viewer's session
        QVERIFY(viewer.wait(10000));
        const auto got = viewer.received();
        QCOMPARE(got.size(), 2);
        QVERIFY(got[0].text.contains(" - start Catchwell client v"));
        QCOMPARE(got[1].text, QByteArray("[tst_viewer] [00001] [00000.000] ->Module1 : Sub Main\r\n"));
        QCOMPARE(got[1].parameter, quint32(got[1].text.size()));
        fx.setUp();
    }

    void viewerCanPauseTheProgram()
    {
        // Guards against a pause request being ignored or leaving the windows disabled.
        QWidget window;
        window.show();
        FakeViewer viewer(u"Veltro Catchwell"_s);
        viewer.setTextAnswers = {0, TraceViewer::kPauseRequest};
        viewer.pauseAnswers = {1, 0, 1, 1};
        viewer.start();
        viewer.ready.acquire();
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        QVERIFY(window.isEnabled());
        fx.tearDown();
        QVERIFY(viewer.wait(10000));
        const auto got = viewer.received();
        QCOMPARE(got.size(), 6);
        const QList<quint32> parameters{got[2].parameter, got[3].parameter, got[4].parameter,
                                        got[5].parameter};
        QCOMPARE(parameters, (QList<quint32>{1, 2, 1, 2}));
        for (int i = 2; i < 6; ++i) {
            QCOMPARE(got[i].message, TraceViewer::kPauseQuery);
        }
        fx.setUp();
    }

    void listenerInSharedTemporaryFolderGetsNothing()
    {
        // Guards against trace lines reaching a listener another user planted in a shared folder.
        FakeViewer planted(QDir::temp().filePath(u"Veltro Catchwell"_s), 300);
        planted.start();
        planted.ready.acquire();
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        const bool found = state().cwViewerWnd != 0;
        fx.tearDown(); // drops any link, which ends the listener's session
        QVERIFY(planted.wait(10000));
        fx.setUp();
        QVERIFY(!found);
        QVERIFY(planted.received().isEmpty());
    }

    void noViewerNoSink()
    {
        // Guards against the viewer sink being on with nobody listening.
        cwPUSH(u"Module1"_s, u"Sub Main"_s, QString());
        QCOMPARE(state().cwViewerWnd, 0);
    }
};

PINVARA_TEST_MAIN(TestViewer)
#include "tst_viewer.moc"
