#include "app/CLumidorApp.h"

#include "app/CLumidorDlg.h"
#include "app/Session.h"
#include "view/COtdrTrace.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace {

// Ends the run at the trace view's first paint once the window is up, and reports the time.
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(const QElapsedTimer &clock, CLumidorDlg &window) : m_clock(clock), m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            const qint64 ms = m_clock.elapsed();
            CLumidorDlg *window = &m_window;
            QTimer::singleShot(0, window, [ms, window] {
                std::fprintf(stderr, "first paint after %lld ms\n", static_cast<long long>(ms));
                window->reject();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer &m_clock;
    CLumidorDlg &m_window;
    bool m_done = false;
};

} // namespace

CLumidorApp::CLumidorApp(int &argc, char **argv)
    : m_argc(argc), m_argv(argv)
{
}

CLumidorApp::Options CLumidorApp::parseArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-abc" is one unknown option, as it was before, not three.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption quit(QStringLiteral("quit-after-first-paint"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOption(quit);
    parser.addOption(help);
    parser.addPositionalArgument(QStringLiteral("file.sor"), QString(), QStringLiteral("[file.sor ...]"));

    Options options;
    if (!parser.parse(arguments)) {
        // Name the option as typed (the last one the program does not know).
        const qsizetype end = arguments.indexOf(QStringLiteral("--"));
        for (qsizetype i = 1; i < (end < 0 ? arguments.size() : end); ++i) {
            const QString &a = arguments[i];
            if (a.startsWith(QLatin1Char('-')) && a.size() > 1 && a != QLatin1String("--quit-after-first-paint") &&
                a != QLatin1String("--help") && a != QLatin1String("-h"))
                options.error = QStringLiteral("unknown option %1").arg(a);
        }
        if (options.error.isEmpty())
            options.error = parser.errorText();
        return options;
    }
    options.quitAfterFirstPaint = parser.isSet(quit);
    options.help = parser.isSet(help);
    for (const QString &file : parser.positionalArguments())
        options.files << QFileInfo(file).absoluteFilePath();
    return options;
}

int CLumidorApp::InitInstance()
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(m_argc, m_argv);
    QApplication::setApplicationName(QStringLiteral("Lumidor"));
    QApplication::setApplicationVersion(QStringLiteral(LUMIDOR_VERSION));

    const Options options = parseArguments(QApplication::arguments());
    if (options.help || !options.error.isEmpty()) {
        if (!options.error.isEmpty())
            std::fprintf(stderr, "Lumidor: %s\n", qPrintable(options.error));
        std::fprintf(options.help ? stdout : stderr,
                     "usage: Lumidor [--quit-after-first-paint] [file.sor ...]\n");
        return options.help ? 0 : 2;
    }

    Session session;
    session.binFolder = QCoreApplication::applicationDirPath();
    session.analysis = bindEventAnalysis(session.binFolder);
    CLumidorDlg window(session);
    window.OnInitDialog();
    if (!options.files.isEmpty())
        window.openPaths(options.files);

    FirstPaintWatch watch(clock, window);
    if (options.quitAfterFirstPaint && window.traceView())
        window.traceView()->installEventFilter(&watch);

    window.exec();
    return 0;
}
