#pragma once

#include <QApplication>

// The one application object the widget tests of a binary share, on the offscreen platform
// unless told otherwise. It is never destroyed: destroying it among the exit handlers races the
// test library's own input devices, and Qt's own globals are gone by then.
inline QApplication &testApp()
{
    static int argc = 1;
    static char name[] = "lumidor_tests";
    static char *argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication *instance = new QApplication(argc, argv);
    return *instance;
}
