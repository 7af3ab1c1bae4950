#include "TestMain.h"
#include "platform/singleinstance/SingleInstance.h"
#include "platform/userdirs/UserDirs.h"
#include "startup/Module1.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QSignalSpy>
#include <QWidget>

#include <atomic>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Runs the look-up on a thread of its own, since the answering server needs this thread's
// event loop.
class Lookup
{
public:
    explicit Lookup(std::function<bool()> call)
        : m_thread([this, call] {
            m_found = call();
            m_done = true;
        })
    {
    }
    ~Lookup() { m_thread.join(); }
    bool done() const { return m_done; }
    bool found() const { return m_found; }

private:
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_found{false};
    std::thread m_thread;
};

// Leaves a socket file that nobody listens on, as a killed instance would.
void makeStaleSocket(const QString& name)
{
    const QByteArray path = QDir(QDir::tempPath()).filePath(name).toLocal8Bit();
    QFile::remove(QString::fromLocal8Bit(path));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    qstrncpy(addr.sun_path, path.constData(), sizeof(addr.sun_path));
    QVERIFY(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0);
    ::close(fd);
    QVERIFY(QFileInfo::exists(QString::fromLocal8Bit(path)));
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void noInstanceFindsNothing()
    {
        // Guards against a start being refused when no other instance runs.
        QVERIFY(!singleinstance::activateRunning(u"  Nothing runs here"_s));
        QCOMPARE(Module1::MultiInst(), int16_t(0));
    }

    void runningInstanceIsRestoredAndRaised_data()
    {
        QTest::addColumn<bool>("hidden");
        QTest::newRow("minimised") << false;
        QTest::newRow("hidden in the notification area") << true;
    }
    void runningInstanceIsRestoredAndRaised()
    {
        // Guards against a second start opening a second window instead of raising the first.
        QFETCH(bool, hidden);
        QWidget window;
        window.setWindowTitle(Module1::LoadResString(1073));
        window.show();
        if (hidden) {
            window.hide();
        } else {
            window.showMinimized();
        }
        singleinstance::InstanceServer server(&window, Module1::LoadResString(1073));
        QVERIFY(server.isListening());
        QSignalSpy restored(&server, &singleinstance::InstanceServer::restoreRequested);
        {
            const QString caption = Module1::LoadResString(1073);
            Lookup lookup([caption] { return singleinstance::activateRunning(caption); });
            QTRY_VERIFY(lookup.done());
            QVERIFY(lookup.found());
        }
        QTRY_COMPARE(restored.count(), 1);
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
        server.setParent(nullptr);
    }

    void staleSocketDoesNotBlock()
    {
        // Guards against a killed instance's socket file refusing every later start.
        const QString caption = u"  Stale caption"_s;
        makeStaleSocket(singleinstance::serverName(caption));
        QVERIFY(!singleinstance::activateRunning(caption));
        QWidget window;
        singleinstance::InstanceServer server(&window, caption);
        QVERIFY(server.isListening());
        Lookup lookup([caption] { return singleinstance::activateRunning(caption); });
        QTRY_VERIFY(lookup.done());
        QVERIFY(lookup.found());
        server.setParent(nullptr);
    }

    void liveServerIsNotTakenOver()
    {
        // Guards against a late starter removing a running instance's socket.
        const QString caption = u"  Live caption"_s;
        QWidget first;
        QWidget second;
        singleinstance::InstanceServer a(&first, caption);
        singleinstance::InstanceServer b(&second, caption);
        QVERIFY(a.isListening());
        QVERIFY(!b.isListening());
        a.setParent(nullptr);
        b.setParent(nullptr);
    }

    void nameTellsCaptionsAndUsersApart()
    {
        // Guards against captions with blanks or slashes making unusable or clashing names.
        const QString a = singleinstance::serverName(u"  Pinvara V1.1"_s);
        const QString b = singleinstance::serverName(u"Pinvara V1.1"_s);
        QVERIFY(a != b);
        QCOMPARE(QFileInfo(singleinstance::serverName(u"a/b"_s)).absolutePath(),
                 userdirs::runtimeFolder());
        QVERIFY(QFileInfo(a).fileName().contains(singleinstance::loginName()));
    }

    void listenerInSharedTemporaryFolderIsNoInstance()
    {
        // Guards against another user stopping every start by planting a socket in a shared
        // folder: only the user's private runtime folder counts.
        const QString caption = u"  Planted caption"_s;
        const QString name = singleinstance::serverName(caption);
        QCOMPARE(QFileInfo(name).absolutePath(), userdirs::runtimeFolder());
        QLocalServer planted;
        QVERIFY(planted.listen(QDir::temp().filePath(QFileInfo(name).fileName())));
        QVERIFY(!singleinstance::activateRunning(caption));
    }
};

PINVARA_TEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
