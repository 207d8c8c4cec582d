// appicon FOLDER SIZE...: writes the program icon as FOLDER/SIZExSIZE/apps/lumidor.png for each
// size, the layout of an icon theme's folders. The build runs it for the installed icons.
#include "app/Icons.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    // Drawing needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: appicon FOLDER SIZE...\n");
        return 2;
    }
    const QDir root(args[1]);
    for (qsizetype i = 2; i < args.size(); ++i) {
        bool ok = false;
        const int size = args[i].toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "appicon: bad size %s\n", qPrintable(args[i]));
            return 2;
        }
        const QString folder = root.filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString file = folder + QStringLiteral("/lumidor.png");
        if (!QDir().mkpath(folder) || !windowIconPixmap(size).save(file, "PNG")) {
            std::fprintf(stderr, "appicon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
