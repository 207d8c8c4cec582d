#pragma once

#include "analysis/QM7ZZZ.h"
#include "trace/TraceData.h"
#include "view/TraceViewState.h"

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

// Reads a SOR file as the program opens it: the trace (events with cumulative losses from
// `totalLoss` when given) and the curve the view draws of it. False, after "sortool COMMAND:
// cannot read PATH" on standard error, when the file cannot be read or holds no trace.
bool loadViewedTrace(const char *command, const QString &path, TraceData &trace, TraceCurve &curve,
                     QM7ZZZ_Acount_Total_Loss_fn totalLoss);

} // namespace commandsupport
