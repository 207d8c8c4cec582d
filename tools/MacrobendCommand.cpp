#include "tools/Commands.h"

#include "tools/CommandSupport.h"
#include "tools/PairTable.h"
#include "trace/FibreTables.h"

#include <QCommandLineParser>
#include <QFile>
#include <QString>
#include <QStringList>

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

    return commandsupport::writePairTable(
        "macrobend", files, parser.isSet(jsonOption), wavelengthCsvHeader(),
        [&](const QString &fileA, const QString &fileB, const FibreTrace &a, const FibreTrace &b,
            bool json) -> std::optional<QByteArray> {
            const WavelengthResult result = compareWavelengths(a, b, tolerance, threshold);
            if (result.refusal != PairRefusal::None) {
                std::fprintf(stderr, "sortool macrobend: %s and %s: both are %d nm traces; two wavelengths are needed\n",
                             name(fileA).constData(), name(fileB).constData(), a.wavelengthNm);
                return std::nullopt;
            }
            if (result.warnings.identity)
                std::fprintf(stderr, "sortool macrobend: %s and %s: cable or fibre identifiers differ\n",
                             name(fileA).constData(), name(fileB).constData());
            if (result.warnings.length)
                std::fprintf(stderr, "sortool macrobend: %s and %s: fibre lengths differ (%.2f m and %.2f m)\n",
                             name(fileA).constData(), name(fileB).constData(), a.lengthM, b.lengthM);
            const QString &fileShort = result.swapped ? fileB : fileA;
            const QString &fileLong = result.swapped ? fileA : fileB;
            return json ? wavelengthJsonObject(fileShort, fileLong, result)
                        : wavelengthCsvRecords(fileShort, fileLong, result);
        });
}
