// The main() of every test: headless by default, then QTest runs the class.
#pragma once

#include <QApplication>
#include <QTest>

#define PINVARA_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
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
