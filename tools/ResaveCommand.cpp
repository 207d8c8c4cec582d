#include "tools/Commands.h"

#include "trace/CSorDllUtil.h"
#include "trace/EventAnalysis.h"
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
    QStringList paths;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-analysis") == 0)
            analysis = false;
        else
            paths << QString::fromLocal8Bit(argv[i]);
    }
    if (paths.size() != 2) {
        std::fputs("usage: sortool resave [--no-analysis] IN OUT\n", stderr);
        return 2;
    }
    const QM7ZZZ_Acount_Total_Loss_fn totalLoss = analysis ? bindEventAnalysis(executableFolder()).totalLoss : nullptr;

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
    eventsToEventList(trace);

    traceToRecord(trace, record);
    const int saved = util.file().SaveFile(paths[1], record);
    if (saved != SorResult::Done) {
        std::fprintf(stderr, "sortool resave: cannot save %s (result %d)\n", qPrintable(paths[1]), saved);
        return 1;
    }
    return 0;
}
