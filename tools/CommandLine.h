#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

// How the commands of sortool read their arguments.
namespace commandsupport {

// The arguments after the command word as QCommandLineParser reads them: "sortool COMMAND"
// first, then each argument decoded as a file name is.
QStringList commandArguments(const char *command, int argc, char **argv);

// Parses a command's arguments as every command reads them: an option is named with two
// dashes or one ("--out" or "-out"), "--out=F" gives its value in the same argument, and "--"
// ends the options.
bool parseArguments(QCommandLineParser &parser, const QStringList &arguments);

// The first argument the parser did not know as an option, as it was typed ("--bogus=1");
// empty when it knew them all.
QString unknownOption(const QCommandLineParser &parser, const QStringList &arguments);

// The arguments of a command whose every argument but its own flags names a file (dump,
// resave): the flags exactly as spelt, then "--" and the rest in the order given, so that a name
// like "--bogus" is still read as a file, as it always was.
QStringList flagsThenFiles(const QStringList &arguments, const QList<QCommandLineOption> &flags);

} // namespace commandsupport
