#include "tools/Commands.h"

#include "tools/CommandSupport.h"
#include "trace/CSorFileBase.h"
#include "trace/CursorMeasurement.h"
#include "trace/EventAnalysis.h"
#include "trace/LinkSummary.h"

#include <QCommandLineParser>
#include <QFile>
#include <QJsonDocument>
#include <QJsonArray>
#include <QString>
#include <QStringList>

#include <cmath>
#include <cstdio>

namespace {

const char usage[] = "usage: sortool measure --mode two-point|lsa|splice --a KM --b KM FILE\n";

int usageError(const QString &message)
{
    return commandsupport::usageError("measure", usage, message.toLocal8Bit().constData());
}

} // namespace

// One cursor measurement on one file, as one JSON object. The cursors are distances as the
// program shows them (from the end of a launch fibre where the file has a user offset).
int runMeasure(int argc, char **argv)
{
    const QStringList args = commandsupport::commandArguments("measure", argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption modeOption(QStringLiteral("mode"), QString(), QStringLiteral("MODE"));
    const QCommandLineOption aOption(QStringLiteral("a"), QString(), QStringLiteral("KM"));
    const QCommandLineOption bOption(QStringLiteral("b"), QString(), QStringLiteral("KM"));
    parser.addOptions({help, modeOption, aOption, bOption});
    if (!commandsupport::parseArguments(parser, args))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (!parser.isSet(modeOption))
        return usageError(QStringLiteral("--mode is needed"));
    const auto mode = measurementModeFromKey(parser.value(modeOption));
    if (!mode)
        return usageError(QStringLiteral("unknown mode '%1' (two-point, lsa or splice)").arg(parser.value(modeOption)));
    double cursorKm[2] = {0.0, 0.0};
    const QCommandLineOption *cursorOptions[2] = {&aOption, &bOption};
    for (int k = 0; k < 2; ++k) {
        const QString name = cursorOptions[k]->names().constFirst();
        if (!parser.isSet(*cursorOptions[k]))
            return usageError(QStringLiteral("cursor --%1 is missing").arg(name));
        bool ok = false;
        cursorKm[k] = parser.value(*cursorOptions[k]).toDouble(&ok);
        if (!ok || !std::isfinite(cursorKm[k]))
            return usageError(QStringLiteral("--%1 needs a distance in km, not '%2'").arg(name, parser.value(*cursorOptions[k])));
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return usageError(files.isEmpty() ? QStringLiteral("no file given") : QStringLiteral("one file only"));
    const QString &file = files.front();

    CSorFileBase sor;
    TraceData trace;
    if (!loadTraceFile(sor, file, trace, bindEventAnalysis(commandsupport::toolFolder()).totalLoss)) {
        std::fprintf(stderr, "sortool measure: cannot read %s\n", QFile::encodeName(file).constData());
        return 1;
    }
    const double aM = cursorKm[0] * 1000.0 + trace.userOffset;
    const double bM = cursorKm[1] * 1000.0 + trace.userOffset;
    for (int k = 0; k < 2; ++k) {
        if (!onTrace(trace, k == 0 ? aM : bM))
            return usageError(QStringLiteral("cursor %1 at %2 km lies outside the trace")
                                  .arg(k == 0 ? QLatin1Char('A') : QLatin1Char('B'))
                                  .arg(cursorKm[k]));
    }
    const auto m = measureCursors(trace, *mode, aM, bM);
    if (!m)
        return usageError(QStringLiteral("the cursors leave too few samples for a %1 measurement")
                              .arg(measurementModeKey(*mode)));

    // The keys in the documented order (a JSON object of Qt's would sort them).
    const QByteArray name = QJsonDocument(QJsonArray{file}).toJson(QJsonDocument::Compact).mid(1).chopped(1);
    const QString line = QStringLiteral("{\"file\":%1,\"mode\":\"%2\",\"a_km\":%3,\"b_km\":%4,\"loss_db\":%5,"
                                        "\"attenuation_db_km\":%6}\n")
                             .arg(QString::fromUtf8(name), measurementModeKey(*mode), QString::number(cursorKm[0], 'g', 12),
                                  QString::number(cursorKm[1], 'g', 12), QString::number(m->lossDb, 'f', 3),
                                  QString::number(m->attenuationDbKm, 'f', 3));
    commandsupport::writeOut(line.toUtf8());
    return 0;
}
