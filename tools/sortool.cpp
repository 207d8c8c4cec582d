#include "tools/Commands.h"

#include <cstdio>
#include <cstring>

namespace {

void printUsage(std::FILE *to)
{
    std::fputs("usage: sortool dump [--points] [--no-analysis] FILE...\n"
               "       sortool resave [--no-analysis | --analyze] IN OUT\n"
               "       sortool gen [options] OUT\n"
               "       sortool summary [--json] [--config FILE] [--no-analysis] FILE...\n"
               "       sortool events --csv [--no-analysis] FILE...\n"
               "       sortool analyze [--loss-threshold DB] [--reflectance-threshold DB] [--end-threshold DB] FILE...\n"
               "       sortool measure --mode two-point|lsa|splice --a KM --b KM FILE\n"
               "       sortool opm FILE.opm\n"
               "       sortool report [--per-page 1|2|4|6|8] [--summary] [--config FILE] --out FILE.pdf FILE.sor...\n"
               "       sortool report [--config FILE] --out FILE.pdf FILE.opm\n",
               to);
}

} // namespace

int main(int argc, char **argv)
{
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
    std::fprintf(stderr, "sortool: unknown command '%s'\n", command);
    printUsage(stderr);
    return 2;
}
