#pragma once

#include "analysis/QM7ZZZ.h"
#include "tools/CommandLine.h"
#include "trace/TraceData.h"
#include "view/TraceViewState.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <optional>

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
// "done of total" on standard error while a long run works, when standard error is a terminal
// (silent otherwise, so scripts and logs see only the messages). Redrawn at most five times a
// second; the line is cleared at the end.
class Progress {
public:
    Progress(const char *command, qsizetype total);
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    void step(qsizetype done);

private:
    const char *command_;
    qsizetype total_;
    bool shown_;
    bool drawn_ = false;
    QElapsedTimer sinceDrawn_;
};

// The value of a --tolerance or --threshold option: a finite number not below 0. Empty (after
// the message, the caller exits 2) for anything else.
std::optional<double> nonNegativeNumber(const char *command, const char *option, const QString &text);

// The files given in pairs: false, after the message, for an odd count or none.
bool checkPairs(const char *command, const char *usage, const QStringList &files);

} // namespace commandsupport
