#include "tools/Commands.h"

#include "trace/CSorDllUtil.h"
#include "trace/EventAnalysis.h"
#include "trace/TraceAnalysis.h"
#include "trace/TraceData.h"
#include "trace/TraceLoader.h"

#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <cstring>

namespace {

QString executableFolder()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

} // namespace

// Loads IN as the open command does (read, loader, event list) and saves it to OUT as the save
// command does (trace to record, save), with the trace's own cursor values.
int runResave(int argc, char **argv)
{
    bool analysis = true;
    bool analyze = false;
    QStringList paths;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-analysis") == 0)
            analysis = false;
        else if (std::strcmp(argv[i], "--analyze") == 0)
            analyze = true;
        else
            paths << QString::fromLocal8Bit(argv[i]);
    }
    if (paths.size() != 2 || (analyze && !analysis)) {
        std::fputs("usage: sortool resave [--no-analysis | --analyze] IN OUT\n", stderr);
        return 2;
    }
    const EventAnalysisBinding &binding = analysis ? bindEventAnalysis(executableFolder()) : EventAnalysisBinding{};
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
