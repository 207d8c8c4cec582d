#include "tools/Commands.h"

#include "tools/CommandSupport.h"
#include "trace/CSorDllUtil.h"
#include "trace/EventAnalysis.h"
#include "trace/TraceAnalysis.h"
#include "trace/TraceData.h"
#include "trace/TraceLoader.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <cstdio>

// Loads IN as the open command does (read, loader, event list) and saves it to OUT as the save
// command does (trace to record, save), with the trace's own cursor values.
int runResave(int argc, char **argv)
{
    const QCommandLineOption noAnalysisOption(QStringLiteral("no-analysis"));
    const QCommandLineOption analyzeOption(QStringLiteral("analyze"));
    QCommandLineParser parser;
    parser.addOptions({noAnalysisOption, analyzeOption});
    // Every other argument names a file, one that looks like an option too.
    commandsupport::parseArguments(
        parser, commandsupport::flagsThenFiles(commandsupport::commandArguments("resave", argc, argv),
                                               {noAnalysisOption, analyzeOption}));
    const bool analysis = !parser.isSet(noAnalysisOption);
    const bool analyze = parser.isSet(analyzeOption);
    const QStringList paths = parser.positionalArguments();
    if (paths.size() != 2 || (analyze && !analysis)) {
        std::fputs("usage: sortool resave [--no-analysis | --analyze] IN OUT\n", stderr);
        return 2;
    }
    const EventAnalysisBinding &binding =
        analysis ? bindEventAnalysis(commandsupport::toolFolder()) : EventAnalysisBinding{};
    const QM7ZZZ_Acount_Total_Loss_fn totalLoss = binding.totalLoss;

    CSorDllUtil util;
    SorRecord record;
    const int read = util.file().ReadFile(paths[0], record);
    if (read != SorResult::Done || record.traces.empty()) {
        std::fprintf(stderr, "sortool resave: cannot open %s (result %d%s)\n", qPrintable(paths[0]), read,
                     read == SorResult::Done ? ", no trace" : "");
        return 1;
    }
    TraceData trace;
    loadTrace(record, trace, totalLoss);
    if (analyze) {
        // The file's own events give way to the ones the analysis finds, with its thresholds.
        if (!analyzeTrace(trace, binding.eventAnalysis, {})) {
            std::fprintf(stderr, "sortool resave: no analysis of %s (the event-analysis library is missing or found nothing)\n",
                         qPrintable(paths[0]));
            return 1;
        }
    } else if (!analyzeIfNoEvents(trace, binding.eventAnalysis)) {
        eventsToEventList(trace);
    }

    traceToRecord(trace, record);
    const int saved = util.file().SaveFile(paths[1], record);
    if (saved != SorResult::Done) {
        std::fprintf(stderr, "sortool resave: cannot save %s (result %d)\n", qPrintable(paths[1]), saved);
        return 1;
    }
    return 0;
}
