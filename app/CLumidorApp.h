#pragma once

#include <QStringList>

// The application object: starts the toolkit, runs the main window modally and ends when it
// ends. Command-line options:
//   files...                   open at start as if chosen in the open dialog
//   --quit-after-first-paint   end once the main window has painted (start-up timing)
class CLumidorApp {
public:
    CLumidorApp(int &argc, char **argv);

    // The whole program run; returns the process exit code.
    int InitInstance();

    // Parsed command line.
    struct Options {
        QStringList files;
        bool quitAfterFirstPaint = false;
        bool help = false;
        QString error; // unknown option
    };
    static Options parseArguments(const QStringList &arguments);

private:
    int &m_argc;
    char **m_argv;
};
