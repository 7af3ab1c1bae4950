// The main() of every test: the user's folders redirected, headless by default, then either a
// child-process mode or the test class.
#pragma once

#include "TestEnvironment.h"

#include <QApplication>
#include <QTest>

#define PINVARA_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        testenv::redirectUserFolders();                                                            \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {                                      \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        }                                                                                          \
        qputenv("PINVARA_TESTING", "1");                                                           \
        QApplication app(argc, argv);                                                              \
        QApplication::setApplicationName(QStringLiteral("Pinvara"));                               \
        if (const std::optional<int> code = testenv::runChildMode(argc, argv)) {                   \
            return *code;                                                                          \
        }                                                                                          \
        TestClass tc;                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
