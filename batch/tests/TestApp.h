#pragma once

#include <QApplication>

// The one application object the widget tests of this binary share. It is never destroyed:
// destroying it among the exit handlers races the test library's own input devices.
inline QApplication &testApp()
{
    static int argc = 1;
    static char name[] = "panel_tests";
    static char *argv[] = {name, nullptr};
    static QApplication *instance = new QApplication(argc, argv);
    return *instance;
}
