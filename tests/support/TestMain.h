// The main() of every test: headless by default, then QTest runs the class.
#pragma once

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace testsupport {

// Run by hand, outside CTest (which points these into the build tree): a scratch home, settings
// and temporary folder of the test's own, so the user's real ones are never touched.
inline std::unique_ptr<QTemporaryDir> isolateWhenRunByHand()
{
    if (!qEnvironmentVariableIsEmpty("PINVARA_TESTING")) {
        return nullptr;
    }
    auto scratch = std::make_unique<QTemporaryDir>();
    const QByteArray home = QFile::encodeName(scratch->path());
    QDir(scratch->path()).mkpath(QStringLiteral(".config"));
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_STATE_HOME", home + "/.local/state");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qputenv("TMPDIR", home);
    return scratch;
}

} // namespace testsupport

#define PINVARA_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {                                      \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        }                                                                                          \
        const auto scratch = testsupport::isolateWhenRunByHand();                                  \
        qputenv("PINVARA_TESTING", "1");                                                           \
        QApplication app(argc, argv);                                                              \
        QApplication::setApplicationName(QStringLiteral("Pinvara"));                               \
        TestClass tc;                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
