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

const char usage[] = "usage: sortool bidir [--tolerance M] [--json] AB.sor BA.sor [AB.sor BA.sor ...]\n";

QByteArray name(const QString &file)
{
    return QFile::encodeName(file);
}

void warn(const QString &ab, const QString &ba, const FibreTrace &a, const FibreTrace &b, const PairWarnings &w)
{
    if (w.pulseWidth)
        std::fprintf(stderr, "sortool bidir: %s and %s: pulse widths differ (%d ns and %d ns)\n", name(ab).constData(),
                     name(ba).constData(), a.pulseWidthNs, b.pulseWidthNs);
    if (w.groupIndex)
        std::fprintf(stderr, "sortool bidir: %s and %s: group indexes differ (%.5f and %.5f)\n", name(ab).constData(),
                     name(ba).constData(), static_cast<double>(a.refractiveIndex), static_cast<double>(b.refractiveIndex));
    if (w.length)
        std::fprintf(stderr, "sortool bidir: %s and %s: fibre lengths differ (%.2f m and %.2f m)\n", name(ab).constData(),
                     name(ba).constData(), a.lengthM, b.lengthM);
    if (w.identity)
        std::fprintf(stderr, "sortool bidir: %s and %s: cable or fibre identifiers differ\n", name(ab).constData(),
                     name(ba).constData());
}

} // namespace

// Each pair of files (A->B then B->A) as the events of one fibre, both losses and their mean,
// in CSV or as a JSON array of pairs.
int runBidir(int argc, char **argv)
{
    const QStringList args = commandsupport::commandArguments("bidir", argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption toleranceOption(QStringLiteral("tolerance"), QString(), QStringLiteral("M"));
    const QCommandLineOption jsonOption(QStringLiteral("json"));
    const QCommandLineOption helpOption(QStringLiteral("help"));
    parser.addOptions({toleranceOption, jsonOption, helpOption});
    if (!commandsupport::parseArguments(parser, args))
        return commandsupport::usageError("bidir", usage, parser.errorText().toLocal8Bit().constData());
    if (parser.isSet(helpOption)) {
        std::fputs(usage, stdout);
        return 0;
    }
    std::optional<double> tolerance;
    if (parser.isSet(toleranceOption)) {
        tolerance = commandsupport::nonNegativeNumber("bidir", "--tolerance", parser.value(toleranceOption));
        if (!tolerance)
            return 2;
    }
    const QStringList files = parser.positionalArguments();
    if (!commandsupport::checkPairs("bidir", usage, files))
        return 2;
    const bool json = parser.isSet(jsonOption);

    PassThresholds thresholds;
    ReadPassThresholds(commandsupport::toolFolder() + QStringLiteral("/Config.ini"), thresholds);
    const QM7ZZZ_Acount_Total_Loss_fn totalLoss = bindEventAnalysis(commandsupport::toolFolder()).totalLoss;

    int status = 0;
    bool first = true;
    commandsupport::writeOut(json ? QByteArray("[\n") : bidirCsvHeader());
    commandsupport::Progress progress("bidir", files.size() / 2);
    CSorFileBase sor;
    for (qsizetype i = 0; i + 1 < files.size(); i += 2) {
        progress.step(i / 2);
        const QString &fileAb = files[i];
        const QString &fileBa = files[i + 1];
        const std::optional<FibreTrace> ab = readFibreTrace(sor, fileAb, totalLoss, thresholds);
        const std::optional<FibreTrace> ba = readFibreTrace(sor, fileBa, totalLoss, thresholds);
        if (!ab || !ba) {
            std::fprintf(stderr, "sortool bidir: cannot read %s\n", name(!ab ? fileAb : fileBa).constData());
            status = std::max(status, 1);
            continue;
        }
        const BidirResult result = pairDirections(*ab, *ba, tolerance);
        if (result.refusal != PairRefusal::None) {
            std::fprintf(stderr, "sortool bidir: %s and %s: different wavelengths (%d nm and %d nm) are not two directions of one measurement\n",
                         name(fileAb).constData(), name(fileBa).constData(), ab->wavelengthNm, ba->wavelengthNm);
            status = 2;
            continue;
        }
        warn(fileAb, fileBa, *ab, *ba, result.warnings);
        if (json) {
            commandsupport::writeOut((first ? QByteArray("  ") : QByteArray(",\n  ")) + bidirJsonObject(fileAb, fileBa, result));
            first = false;
        } else {
            commandsupport::writeOut(bidirCsvRecords(fileAb, fileBa, result));
        }
    }
    progress.step(files.size() / 2);
    if (json)
        commandsupport::writeOut(first ? QByteArray("]\n") : QByteArray("\n]\n"));
    return status;
}
