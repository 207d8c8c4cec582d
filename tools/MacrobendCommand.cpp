#include "tools/Commands.h"

#include "config/PassThresholds.h"
#include "tools/CommandSupport.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/FibreTables.h"

#include <QCommandLineParser>
#include <QFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {

const char usage[] = "usage: sortool macrobend [--threshold DB] [--tolerance M] [--json] A.sor B.sor [A.sor B.sor ...]\n";

QByteArray name(const QString &file)
{
    return QFile::encodeName(file);
}

} // namespace

// Each pair of files (one fibre and direction at two wavelengths, either order) as the events
// of the fibre with their loss at both wavelengths and the bends flagged.
int runMacrobend(int argc, char **argv)
{
    const QStringList args = commandsupport::commandArguments("macrobend", argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption thresholdOption(QStringLiteral("threshold"), QString(), QStringLiteral("DB"));
    const QCommandLineOption toleranceOption(QStringLiteral("tolerance"), QString(), QStringLiteral("M"));
    const QCommandLineOption jsonOption(QStringLiteral("json"));
    const QCommandLineOption helpOption(QStringLiteral("help"));
    parser.addOptions({thresholdOption, toleranceOption, jsonOption, helpOption});
    if (!commandsupport::parseArguments(parser, args))
        return commandsupport::usageError("macrobend", usage, parser.errorText().toLocal8Bit().constData());
    if (parser.isSet(helpOption)) {
        std::fputs(usage, stdout);
        return 0;
    }
    std::optional<double> tolerance;
    if (parser.isSet(toleranceOption)) {
        tolerance = commandsupport::nonNegativeNumber("macrobend", "--tolerance", parser.value(toleranceOption));
        if (!tolerance)
            return 2;
    }
    double threshold = defaultBendThresholdDb;
    if (parser.isSet(thresholdOption)) {
        const std::optional<double> given =
            commandsupport::nonNegativeNumber("macrobend", "--threshold", parser.value(thresholdOption));
        if (!given)
            return 2;
        threshold = *given;
    }
    const QStringList files = parser.positionalArguments();
    if (!commandsupport::checkPairs("macrobend", usage, files))
        return 2;
    const bool json = parser.isSet(jsonOption);

    PassThresholds thresholds;
    ReadPassThresholds(commandsupport::toolFolder() + QStringLiteral("/Config.ini"), thresholds);
    const QM7ZZZ_Acount_Total_Loss_fn totalLoss = bindEventAnalysis(commandsupport::toolFolder()).totalLoss;

    int status = 0;
    bool first = true;
    commandsupport::writeOut(json ? QByteArray("[\n") : wavelengthCsvHeader());
    commandsupport::Progress progress("macrobend", files.size() / 2);
    CSorFileBase sor;
    for (qsizetype i = 0; i + 1 < files.size(); i += 2) {
        progress.step(i / 2);
        const std::optional<FibreTrace> a = readFibreTrace(sor, files[i], totalLoss, thresholds);
        const std::optional<FibreTrace> b = readFibreTrace(sor, files[i + 1], totalLoss, thresholds);
        if (!a || !b) {
            std::fprintf(stderr, "sortool macrobend: cannot read %s\n", name(!a ? files[i] : files[i + 1]).constData());
            status = std::max(status, 1);
            continue;
        }
        const WavelengthResult result = compareWavelengths(*a, *b, tolerance, threshold);
        if (result.refusal != PairRefusal::None) {
            std::fprintf(stderr, "sortool macrobend: %s and %s: both are %d nm traces; two wavelengths are needed\n",
                         name(files[i]).constData(), name(files[i + 1]).constData(), a->wavelengthNm);
            status = 2;
            continue;
        }
        if (result.warnings.identity)
            std::fprintf(stderr, "sortool macrobend: %s and %s: cable or fibre identifiers differ\n",
                         name(files[i]).constData(), name(files[i + 1]).constData());
        if (result.warnings.length)
            std::fprintf(stderr, "sortool macrobend: %s and %s: fibre lengths differ (%.2f m and %.2f m)\n",
                         name(files[i]).constData(), name(files[i + 1]).constData(), a->lengthM, b->lengthM);
        const QString &fileShort = result.swapped ? files[i + 1] : files[i];
        const QString &fileLong = result.swapped ? files[i] : files[i + 1];
        if (json) {
            commandsupport::writeOut((first ? QByteArray("  ") : QByteArray(",\n  "))
                                     + wavelengthJsonObject(fileShort, fileLong, result));
            first = false;
        } else {
            commandsupport::writeOut(wavelengthCsvRecords(fileShort, fileLong, result));
        }
    }
    progress.step(files.size() / 2);
    if (json)
        commandsupport::writeOut(first ? QByteArray("]\n") : QByteArray("\n]\n"));
    return status;
}
