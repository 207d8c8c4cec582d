#include "tools/CommandLine.h"

#include <QFile>

namespace commandsupport {

QStringList commandArguments(const char *command, int argc, char **argv)
{
    QStringList arguments{QStringLiteral("sortool ") + QString::fromLatin1(command)};
    for (int i = 0; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);
    return arguments;
}

bool parseArguments(QCommandLineParser &parser, const QStringList &arguments)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    return parser.parse(arguments);
}

namespace {

// The option an argument names ("bogus" of "--bogus=1"), empty for an operand.
QString optionName(const QString &argument)
{
    if (argument.size() < 2 || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("--"))
        return {};
    const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    return name.section(QLatin1Char('='), 0, 0);
}

} // namespace

QString unknownOption(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    for (qsizetype i = 1; i < arguments.size() && arguments[i] != QLatin1String("--"); ++i) {
        if (unknown.contains(optionName(arguments[i])))
            return arguments[i];
    }
    return {};
}

QStringList flagsThenFiles(const QStringList &arguments, const QList<QCommandLineOption> &flags)
{
    QStringList spellings;
    for (const QCommandLineOption &flag : flags) {
        for (const QString &name : flag.names())
            spellings << QStringLiteral("--") + name;
    }
    QStringList options{arguments.value(0)};
    QStringList files;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        (spellings.contains(arguments[i]) ? options : files) << arguments[i];
    return options << QStringLiteral("--") << files;
}

} // namespace commandsupport
