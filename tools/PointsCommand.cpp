#include "tools/Commands.h"

#include "tools/CommandSupport.h"
#include "view/TraceExport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

namespace {

constexpr char usage[] = "usage: sortool points FILE\n";

} // namespace

// The samples of one trace as CSV "distance_km,level_db" on standard output, as the view draws
// them: distances less the user offset, levels in dB.
int runPoints(int argc, char **argv)
{
    const QStringList args = commandsupport::commandArguments("points", argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("the SOR file"));
    if (!commandsupport::parseArguments(parser, args))
        return commandsupport::usageError("points", usage, qPrintable(parser.errorText()));
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return commandsupport::usageError("points", usage, files.isEmpty() ? "no file given" : "one file only");

    TraceData trace;
    TraceCurve curve;
    if (!commandsupport::loadViewedTrace("points", files.front(), trace, curve, nullptr))
        return 1;
    commandsupport::writeOut(tracePointsCsv(curve));
    return 0;
}
