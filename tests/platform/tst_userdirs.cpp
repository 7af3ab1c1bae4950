// The user's private folders: which runtime folder counts, the state folder for logs, how a
// log is opened, and a test binary run by hand staying out of the user's real folders.
#include "TestMain.h"
#include "platform/host/Host.h"
#include "platform/settings/SettingsStore.h"
#include "platform/userdirs/UserDirs.h"

#include <QDirIterator>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextStream>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

int mode(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

void makeFolder(const QString& path, int folderMode)
{
    QDir().mkpath(path);
    ::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(folderMode));
}

QStringList entries(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found << it.next();
    }
    return found;
}

// Run by hand, a test writes settings, a log, a temporary file and a socket, and prints where.
const testenv::ChildMode writeEverywhere("--write-everywhere", [] {
    settings::SaveSetting(host::kAppTitle, u"LastLogin"_s, u"Name"_s, u"SOMEONE"_s);
    const QString logName = userdirs::stateFilePath(u"PNV.LOG"_s);
    QFile log(logName);
    userdirs::openPrivateFile(log, QIODevice::Append);
    QTemporaryFile scratch;
    scratch.setAutoRemove(false);
    scratch.open();
    QLocalServer server;
    server.listen(userdirs::runtimeFolder() + u"/probe"_s);
    QTextStream(stdout) << settings::settingsFile(host::kAppTitle) << '\n'
                        << logName << '\n'
                        << scratch.fileName() << '\n'
                        << server.fullServerName() << '\n';
    return 0;
});

} // namespace

class TestUserDirs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QHash<QByteArray, QByteArray> m_saved;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void init()
    {
        for (const char* name : {"XDG_RUNTIME_DIR", "XDG_STATE_HOME", "HOME", "TMPDIR"}) {
            m_saved[name] = qgetenv(name);
        }
        makeFolder(path(u"tmp"_s), 0700);
        qputenv("TMPDIR", path(u"tmp"_s).toLocal8Bit());
    }
    void cleanup()
    {
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
            qputenv(it.key().constData(), it.value());
        }
        QDir(path(u"tmp"_s)).removeRecursively();
    }

    // A value for a folder variable: "/x" names x in the scratch folder, other texts are taken
    // as they are.
    QByteArray given(const QString& value) const
    {
        return (value.startsWith(u'/') ? path(value.mid(1)) : value).toLocal8Bit();
    }

    void runtimeFolderIsPrivate_data()
    {
        QTest::addColumn<QString>("runtime");
        QTest::addColumn<QString>("expected");
        const QString fallback = u"/tmp/pinvara-runtime-"_s + QString::number(::geteuid());
        QTest::newRow("private folder") << "/run" << "/run";
        QTest::newRow("unset") << "" << fallback;
        QTest::newRow("relative") << "run" << fallback;
        QTest::newRow("open to others") << "/open" << fallback;
        QTest::newRow("link to a private folder") << "/link" << fallback;
        QTest::newRow("fallback planted open to others") << "/plant" << "";
    }
    void runtimeFolderIsPrivate()
    {
        // Guards against sockets placed in a folder other users can enter or replace.
        QFETCH(QString, runtime);
        QFETCH(QString, expected);
        makeFolder(path(u"run"_s), 0700);
        makeFolder(path(u"open"_s), 0755);
        QFile::link(path(u"run"_s), path(u"link"_s));
        if (runtime == u"/plant") {
            makeFolder(path(u"tmp/pinvara-runtime-"_s) + QString::number(::geteuid()), 0777);
        }
        qputenv("XDG_RUNTIME_DIR", given(runtime));
        const QString folder = userdirs::runtimeFolder();
        QCOMPARE(folder, expected.isEmpty() ? QString() : QString::fromLocal8Bit(given(expected)));
        QVERIFY(folder.isEmpty() || mode(folder) == 0700);
    }

    void stateFolder_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("expected");
        QTest::newRow("XDG_STATE_HOME") << "/state" << "/state/pinvara";
        QTest::newRow("unset") << "" << "/home/.local/state/pinvara";
        QTest::newRow("relative is ignored") << "state" << "/home/.local/state/pinvara";
    }
    void stateFolder()
    {
        // Guards against logs landing outside the user's state folder or open to others.
        QFETCH(QString, state);
        QFETCH(QString, expected);
        qputenv("HOME", given(u"/home"_s));
        qputenv("XDG_STATE_HOME", given(state));
        const QString folder = userdirs::stateFolder();
        QCOMPARE(folder, QString::fromLocal8Bit(given(expected)));
        QCOMPARE(mode(folder), 0700);
        QCOMPARE(userdirs::stateFilePath(u"PNV.LOG"_s), folder + u"/PNV.LOG"_s);
        QCOMPARE(userdirs::stateFilePath(u"/var/x.log"_s), u"/var/x.log"_s);
    }

    void logNameThatIsNoPlainFileIsRefused()
    {
        // Guards against a FIFO planted at a log's name blocking the program on open.
        const QString fifo = path(u"fifo.log"_s);
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QFile file(fifo);
        QVERIFY(!userdirs::openPrivateFile(file, QIODevice::Append));
        QFile folder(path(u"tmp"_s));
        QVERIFY(!userdirs::openPrivateFile(folder, QIODevice::ReadWrite));
    }

    void handRunLeavesTheRealFoldersAlone()
    {
        // Guards against a test binary run by hand touching the user's real settings, logs,
        // temporary files or sockets.
        const QString home = path(u"realhome"_s);
        const QString runtime = path(u"realrun"_s);
        makeFolder(home, 0755);
        makeFolder(runtime, 0700);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"PINVARA_TEST_ROOT", "XDG_CONFIG_HOME", "XDG_STATE_HOME",
                                 "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
            env.remove(QString::fromLatin1(name));
        }
        env.insert(u"HOME"_s, home);
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        env.insert(u"TMPDIR"_s, path(u"tmp"_s));
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {u"--write-everywhere"_s});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
        const QStringList written =
            QString::fromLocal8Bit(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(written.size(), 4);
        for (const QString& file : written) {
            QVERIFY2(file.startsWith(path(u"tmp/pinvara-test-"_s)), qPrintable(file));
        }
        QCOMPARE(entries(home), QStringList());
        QCOMPARE(entries(runtime), QStringList());
        QCOMPARE(entries(path(u"tmp"_s)), QStringList()); // the child's scratch folder is gone
    }
};

PINVARA_TEST_MAIN(TestUserDirs)
#include "tst_userdirs.moc"
