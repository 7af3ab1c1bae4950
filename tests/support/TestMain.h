// The main() of every test: headless by default, then QTest runs the class.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <cstdlib>

namespace pinvaratest {

// CTest gives every test a home, settings and temporary folder of its own. Run by hand, a test
// makes a private one instead, so the user's own settings and files are never touched.
struct PrivateHome
{
    QByteArray path;

    PrivateHome()
    {
        if (!qEnvironmentVariableIsEmpty("PINVARA_TESTING")) {
            return;
        }
        QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/pinvara-test-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            qFatal("cannot make a private home folder");
        }
        path = pattern;
        const QByteArray tmp = path + "/tmp";
        const QByteArray runtime = path + "/runtime";
        QDir().mkpath(QString::fromLocal8Bit(tmp));
        QDir().mkpath(QString::fromLocal8Bit(runtime));
        QFile::setPermissions(QString::fromLocal8Bit(runtime),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("HOME", path);
        qputenv("XDG_CONFIG_HOME", path + "/.config");
        qputenv("XDG_DATA_HOME", path + "/.local/share");
        qputenv("XDG_CACHE_HOME", path + "/.cache");
        qputenv("XDG_STATE_HOME", path + "/.local/state");
        qputenv("XDG_RUNTIME_DIR", runtime);
        qputenv("TMPDIR", tmp);
    }

    ~PrivateHome()
    {
        if (!path.isEmpty()) {
            QDir(QString::fromLocal8Bit(path)).removeRecursively();
        }
    }
};

} // namespace pinvaratest

#define PINVARA_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        pinvaratest::PrivateHome home;                                                             \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {                                      \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        }                                                                                          \
        qputenv("PINVARA_TESTING", "1");                                                           \
        QApplication app(argc, argv);                                                              \
        QApplication::setApplicationName(QStringLiteral("Pinvara"));                               \
        TestClass tc;                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
