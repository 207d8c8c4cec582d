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

    return commandsupport::writePairTable(
        "bidir", files, parser.isSet(jsonOption), bidirCsvHeader(),
        [&](const QString &fileAb, const QString &fileBa, const FibreTrace &ab, const FibreTrace &ba,
            bool json) -> std::optional<QByteArray> {
            const BidirResult result = pairDirections(ab, ba, tolerance);
            if (result.refusal != PairRefusal::None) {
                std::fprintf(stderr, "sortool bidir: %s and %s: different wavelengths (%d nm and %d nm) are not two directions of one measurement\n",
                             name(fileAb).constData(), name(fileBa).constData(), ab.wavelengthNm, ba.wavelengthNm);
                return std::nullopt;
            }
            warn(fileAb, fileBa, ab, ba, result.warnings);
            return json ? bidirJsonObject(fileAb, fileBa, result) : bidirCsvRecords(fileAb, fileBa, result);
        });
}
