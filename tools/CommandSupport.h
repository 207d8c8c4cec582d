#pragma once

#include <QByteArray>
#include <QString>

// Small pieces the table commands of sortool share.
namespace commandsupport {

// The folder of the running sortool, where Config.ini and libQM7ZZZ.so lie.
QString toolFolder();

// Writes the bytes to standard output at once, so a long run shows its rows as they come.
void writeOut(const QByteArray &bytes);

// "sortool COMMAND: MESSAGE[: DETAIL]" and the usage on standard error; returns 2.
int usageError(const char *command, const char *usage, const char *message, const char *detail = nullptr);

} // namespace commandsupport
