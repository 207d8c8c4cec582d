#pragma once

// The sub-commands of sortool. Each takes the arguments after its own name and returns the
// process exit code.
int runDump(int argc, char **argv);
int runResave(int argc, char **argv);
int runGen(int argc, char **argv);
int runSummary(int argc, char **argv);
int runEvents(int argc, char **argv);
int runOpm(int argc, char **argv);
int runReport(int argc, char **argv);
int runAnalyze(int argc, char **argv);
int runMeasure(int argc, char **argv);
int runPoints(int argc, char **argv);
int runPicture(int argc, char **argv);
int runBidir(int argc, char **argv);
int runMacrobend(int argc, char **argv);

#include "analysis/QM7ZZZ.h"

#include <QStringList>

struct PassThresholds;

// `sortool summary --by-fibre`: the files already checked by the summary command.
int runFibreSummary(const QStringList &files, bool json, const PassThresholds &thresholds,
                    QM7ZZZ_Acount_Total_Loss_fn totalLoss);
