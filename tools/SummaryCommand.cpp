#include "tools/Commands.h"

#include "tools/CommandSupport.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/LinkSummary.h"

#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace {

const char usage[] = "usage: sortool summary [--json] [--config FILE] [--no-analysis] FILE...\n"
                     "       sortool summary --by-fibre [--json] [--config FILE] FILE...\n";

int usageError(const char *message, const char *detail = nullptr)
{
    return commandsupport::usageError("summary", usage, message, detail);
}

} // namespace

// One row per file given, in the order given, as CSV or as a JSON array; the thresholds come
// from --config or from the Config.ini beside the tool.
int runSummary(int argc, char **argv)
{
    bool json = false;
    bool analysis = true;
    bool byFibre = false;
    QString configPath;
    bool configGiven = false;
    QStringList files;
    bool options = true;
    for (int i = 0; i < argc; ++i) {
        const char *arg = argv[i];
        if (options && std::strcmp(arg, "--") == 0) {
            options = false;
        } else if (options && std::strcmp(arg, "--help") == 0) {
            std::fputs(usage, stdout);
            return 0;
        } else if (options && std::strcmp(arg, "--json") == 0) {
            json = true;
        } else if (options && std::strcmp(arg, "--no-analysis") == 0) {
            analysis = false;
        } else if (options && std::strcmp(arg, "--by-fibre") == 0) {
            byFibre = true;
        } else if (options && std::strcmp(arg, "--config") == 0) {
            if (i + 1 >= argc)
                return usageError("--config needs a file");
            configPath = QFile::decodeName(argv[++i]);
            configGiven = true;
        } else if (options && std::strncmp(arg, "--", 2) == 0) {
            return usageError("unknown option", arg);
        } else {
            files << QFile::decodeName(arg);
        }
    }
    if (files.isEmpty())
        return usageError("no files given");
    if (configGiven) {
        const QFileInfo config(configPath);
        if (!config.isFile() || !config.isReadable())
            return usageError("cannot read the configuration file", QFile::encodeName(configPath).constData());
    } else {
        configPath = commandsupport::toolFolder() + QStringLiteral("/Config.ini");
    }

    PassThresholds thresholds;
    ReadPassThresholds(configPath, thresholds);
    const EventAnalysisBinding &binding = bindEventAnalysis(commandsupport::toolFolder());
    const QM7ZZZ_Acount_Total_Loss_fn totalLoss = binding.totalLoss;
    // A file that stores no events shows the ones the analysis finds.
    const QM7ZZZ_Event_Analysis_fn analyse = analysis ? binding.eventAnalysis : nullptr;

    if (byFibre)
        return runFibreSummary(files, json, thresholds, totalLoss);

    bool allRead = true;
    commandsupport::writeOut(json ? QByteArray("[\n") : summaryCsvHeader());
    CSorFileBase sor;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString &file = files[i];
        const LinkSummary row = summarizeFile(sor, file, totalLoss, thresholds, analyse);
        if (!row.readable) {
            allRead = false;
            std::fprintf(stderr, "sortool summary: cannot read %s\n", QFile::encodeName(file).constData());
        }
        if (json)
            commandsupport::writeOut((i > 0 ? QByteArray(",\n") : QByteArray()) + "  " + summaryJsonObject(row));
        else
            commandsupport::writeOut(summaryCsvRecord(row));
    }
    if (json)
        commandsupport::writeOut("\n]\n");
    return allRead ? 0 : 1;
}
