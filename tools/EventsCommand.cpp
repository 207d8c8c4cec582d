#include "tools/Commands.h"

#include "tools/CommandSupport.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/EventTable.h"
#include "trace/LinkSummary.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace {

const char usage[] = "usage: sortool events --csv [--no-analysis] FILE...\n";

int usageError(const char *message, const char *detail = nullptr)
{
    return commandsupport::usageError("events", usage, message, detail);
}

} // namespace

// The event tables of the files as one CSV: one header, then each file's listed events.
int runEvents(int argc, char **argv)
{
    bool csv = false;
    bool analysis = true;
    QStringList files;
    bool options = true;
    for (int i = 0; i < argc; ++i) {
        const char *arg = argv[i];
        if (options && std::strcmp(arg, "--") == 0) {
            options = false;
        } else if (options && std::strcmp(arg, "--csv") == 0) {
            csv = true;
        } else if (options && std::strcmp(arg, "--no-analysis") == 0) {
            analysis = false;
        } else if (options && std::strcmp(arg, "--help") == 0) {
            std::fputs(usage, stdout);
            return 0;
        } else if (options && std::strncmp(arg, "--", 2) == 0) {
            return usageError("unknown option", arg);
        } else {
            files << QFile::decodeName(arg);
        }
    }
    if (!csv)
        return usageError("--csv is needed (the only output form)");
    if (files.isEmpty())
        return usageError("no files given");

    const EventAnalysisBinding &binding = bindEventAnalysis(commandsupport::toolFolder());
    const QM7ZZZ_Acount_Total_Loss_fn totalLoss = binding.totalLoss;
    // A file that stores no events lists the ones the analysis finds.
    const QM7ZZZ_Event_Analysis_fn analyse = analysis ? binding.eventAnalysis : nullptr;
    bool allRead = true;
    commandsupport::writeOut(eventTableCsvHeader());
    CSorFileBase sor;
    for (const QString &file : files) {
        TraceData trace;
        if (loadTraceFile(sor, file, trace, totalLoss, analyse)) {
            commandsupport::writeOut(eventTableCsvRecords(file, trace));
        } else {
            allRead = false;
            std::fprintf(stderr, "sortool events: cannot read %s\n", QFile::encodeName(file).constData());
        }
    }
    return allRead ? 0 : 1;
}
