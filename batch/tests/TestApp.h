#pragma once

#include <QApplication>

// The one application object the widget tests of this binary share.
inline QApplication &testApp()
{
    static int argc = 1;
    static char name[] = "panel_tests";
    static char *argv[] = {name, nullptr};
    static QApplication instance(argc, argv);
    return instance;
}
