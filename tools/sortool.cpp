#include "tools/Commands.h"

#include <QByteArray>
#include <QMessageLogContext>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstring>

namespace {

// sortool writes only its own messages. Qt's own warnings (a missing runtime folder, a painter
// on a file it could not open) mean nothing to its user and are dropped; the project's logging
// categories ("lumidor.*") report warnings and worse as "sortool: ...". LUMIDOR_DEBUG=1 lets
// every message through in Qt's form, for developers.
void toolMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    static const bool everything = qEnvironmentVariableIntValue("LUMIDOR_DEBUG") != 0;
    if (everything) {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
        return;
    }
    const bool ours = context.category && std::strncmp(context.category, "lumidor.", 8) == 0;
    if (ours && (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg))
        std::fprintf(stderr, "sortool: %s\n", message.toLocal8Bit().constData());
}

void printUsage(std::FILE *to)
{
    std::fputs("usage: sortool dump [--points] [--no-analysis] FILE...\n"
               "       sortool resave [--no-analysis | --analyze] IN OUT\n"
               "       sortool gen [options] OUT\n"
               "       sortool summary [--json] [--config FILE] [--no-analysis] FILE...\n"
               "       sortool summary --by-fibre [--json] [--config FILE] FILE...\n"
               "       sortool bidir [--tolerance M] [--json] AB.sor BA.sor [AB.sor BA.sor ...]\n"
               "       sortool macrobend [--threshold DB] [--tolerance M] [--json] A.sor B.sor [A.sor B.sor ...]\n"
               "       sortool events --csv [--no-analysis] FILE...\n"
               "       sortool analyze [--loss-threshold DB] [--reflectance-threshold DB] [--end-threshold DB] FILE...\n"
               "       sortool measure --mode two-point|lsa|splice --a KM --b KM FILE\n"
               "       sortool opm FILE.opm\n"
               "       sortool report [--per-page 1|2|4|6|8] [--summary] [--config FILE] --out FILE.pdf FILE.sor...\n"
               "       sortool report --bidir [--summary] [--config FILE] --out FILE.pdf AB.sor BA.sor ...\n"
               "       sortool report [--config FILE] --out FILE.pdf FILE.opm\n"
               "       sortool points FILE\n"
               "       sortool picture [--size WxH] [--config FILE] --out FILE.png FILE...\n",
               to);
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(toolMessages);
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    const char *command = argv[1];
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0 || std::strcmp(command, "help") == 0) {
        printUsage(stdout);
        return 0;
    }
    if (std::strcmp(command, "dump") == 0)
        return runDump(argc - 2, argv + 2);
    if (std::strcmp(command, "resave") == 0)
        return runResave(argc - 2, argv + 2);
    if (std::strcmp(command, "gen") == 0)
        return runGen(argc - 2, argv + 2);
    if (std::strcmp(command, "summary") == 0)
        return runSummary(argc - 2, argv + 2);
    if (std::strcmp(command, "events") == 0)
        return runEvents(argc - 2, argv + 2);
    if (std::strcmp(command, "analyze") == 0)
        return runAnalyze(argc - 2, argv + 2);
    if (std::strcmp(command, "measure") == 0)
        return runMeasure(argc - 2, argv + 2);
    if (std::strcmp(command, "opm") == 0)
        return runOpm(argc - 2, argv + 2);
    if (std::strcmp(command, "report") == 0)
        return runReport(argc - 2, argv + 2);
    if (std::strcmp(command, "points") == 0)
        return runPoints(argc - 2, argv + 2);
    if (std::strcmp(command, "picture") == 0)
        return runPicture(argc - 2, argv + 2);
    if (std::strcmp(command, "bidir") == 0)
        return runBidir(argc - 2, argv + 2);
    if (std::strcmp(command, "macrobend") == 0)
        return runMacrobend(argc - 2, argv + 2);
    std::fprintf(stderr, "sortool: unknown command '%s'\n", command);
    printUsage(stderr);
    return 2;
}
