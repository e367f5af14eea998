#pragma once

#include <QApplication>
#include <QTest>

// main() for test programs that use the embedded browser: it must share OpenGL contexts,
// which has to be said before the application exists.
#define HARVLY_WEBENGINE_TEST_MAIN(TestObject)                                                     \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                \
        QApplication app(argc, argv);                                                              \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
