#include "tools/Commands.h"

#include "tools/CommandSupport.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/EventTable.h"
#include "trace/LinkSummary.h"
#include "trace/TraceAnalysis.h"

#include <QCommandLineParser>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <optional>

namespace {

const char usage[] = "usage: sortool analyze [--loss-threshold DB] [--reflectance-threshold DB] [--end-threshold DB] FILE...\n";

int usageError(const QString &message)
{
    return commandsupport::usageError("analyze", usage, message.toLocal8Bit().constData());
}

struct ThresholdOption {
    const char *name;
    std::optional<float> AnalysisThresholds::*field;
    bool signedValue; // the reflectance threshold is a negative dB value (its magnitude is taken too)
};

constexpr ThresholdOption thresholdOptions[] = {
    {"loss-threshold", &AnalysisThresholds::lossDb, false},
    {"reflectance-threshold", &AnalysisThresholds::reflectanceDb, true},
    {"end-threshold", &AnalysisThresholds::endDb, false},
};

} // namespace

// The events the automatic analysis finds in each file, as `sortool events --csv` lists stored ones.
int runAnalyze(int argc, char **argv)
{
    const QStringList args = commandsupport::commandArguments("analyze", argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption help(QStringLiteral("help"));
    parser.addOption(help);
    for (const ThresholdOption &o : thresholdOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(o.name), QString(), QStringLiteral("DB")));
    if (!commandsupport::parseArguments(parser, args))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(usage, stdout);
        return 0;
    }

    AnalysisThresholds thresholds;
    for (const ThresholdOption &o : thresholdOptions) {
        const QString name = QString::fromLatin1(o.name);
        if (!parser.isSet(name))
            continue;
        bool ok = false;
        const float value = parser.value(name).toFloat(&ok);
        // A threshold of 0 would stand for "the default" inside the library: refuse it as well.
        const bool valid = ok && std::isfinite(value) && (o.signedValue ? value != 0.0f : value > 0.0f);
        if (!valid)
            return usageError(QStringLiteral("--%1 needs a %2 number of dB, not '%3'")
                                  .arg(name, o.signedValue ? QStringLiteral("non-zero") : QStringLiteral("positive"),
                                       parser.value(name)));
        thresholds.*o.field = o.signedValue ? -std::abs(value) : value;
    }
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return usageError(QStringLiteral("no files given"));

    const EventAnalysisBinding &binding = bindEventAnalysis(commandsupport::toolFolder());
    if (!binding.eventAnalysis) {
        std::fputs("sortool analyze: the event-analysis library (libQM7ZZZ.so) is not available\n", stderr);
        return 1;
    }
    bool allDone = true;
    commandsupport::writeOut(eventTableCsvHeader());
    CSorFileBase sor;
    for (const QString &file : files) {
        TraceData trace;
        if (!loadTraceFile(sor, file, trace, binding.totalLoss)) {
            allDone = false;
            std::fprintf(stderr, "sortool analyze: cannot read %s\n", QFile::encodeName(file).constData());
            continue;
        }
        if (!analyzeTrace(trace, binding.eventAnalysis, thresholds)) {
            allDone = false;
            std::fprintf(stderr, "sortool analyze: no analysis for %s (no trace to analyse)\n",
                         QFile::encodeName(file).constData());
            continue;
        }
        commandsupport::writeOut(eventTableCsvRecords(file, trace));
    }
    return allDone ? 0 : 1;
}
