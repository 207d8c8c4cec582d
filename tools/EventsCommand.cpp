#include "tools/Commands.h"

#include "tools/CommandSupport.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/EventTable.h"
#include "trace/LinkSummary.h"

#include <QCommandLineParser>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdio>

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
    const QStringList arguments = commandsupport::commandArguments("events", argc, argv);
    const QCommandLineOption csvOption(QStringLiteral("csv"));
    const QCommandLineOption noAnalysisOption(QStringLiteral("no-analysis"));
    const QCommandLineOption helpOption(QStringLiteral("help"));
    QCommandLineParser parser;
    parser.addOptions({csvOption, noAnalysisOption, helpOption});
    if (!commandsupport::parseArguments(parser, arguments)) {
        const QString unknown = commandsupport::unknownOption(parser, arguments);
        if (unknown.isEmpty())
            return usageError(parser.errorText().toLocal8Bit().constData());
        return usageError("unknown option", unknown.toLocal8Bit().constData());
    }
    if (parser.isSet(helpOption)) {
        std::fputs(usage, stdout);
        return 0;
    }
    const bool csv = parser.isSet(csvOption);
    const bool analysis = !parser.isSet(noAnalysisOption);
    const QStringList files = parser.positionalArguments();
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
