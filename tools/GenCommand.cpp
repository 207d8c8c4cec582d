#include "tools/Commands.h"
#include "tools/CommandLine.h"
#include "tools/gen/GeneratedFile.h"
#include "tools/gen/TraceGenerator.h"

#include <QCommandLineParser>
#include <QHash>
#include <QString>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

void printGenUsage()
{
    std::fputs(
        "usage: sortool gen [options] OUT\n"
        "  --preset patch|link|long   start from a preset (default: a 10 km fibre at 1550 nm)\n"
        "  --wavelength NM            1310, 1550, ... (sets typical attenuation and backscatter)\n"
        "  --pulse NS                 pulse width in ns\n"
        "  --length M                 fibre length; the end moves there, later events are dropped\n"
        "  --points N                 number of samples\n"
        "  --sampling MHZ             sampling frequency (default: range 1.25 x the fibre)\n"
        "  --index N                  group index\n"
        "  --attenuation DB_PER_KM    fibre attenuation\n"
        "  --backscatter DB           backscatter coefficient for 1 ns\n"
        "  --noise-floor DB           floor below the launch level\n"
        "  --end-reflectance DB       reflectance of the fibre end\n"
        "  --averages N               number of averages\n"
        "  --seed N                   noise seed (the same seed gives the same trace)\n"
        "  --start-event DB           a launch event at 0 m with this reflectance (presets: -45)\n"
        "  --event KIND:M[:LOSS[:REFL]]  splice, connector or end at M metres; repeatable, replaces\n"
        "                             the preset's events (e.g. splice:12000:0.15, connector:20000:0.5:-45)\n"
        "  --cable ID  --fiber ID  --fiber-type N  --operator NAME  --comment TEXT\n"
        "  --loc-a TEXT  --loc-b TEXT  --supplier TEXT  --gps TEXT\n",
        stderr);
}

std::optional<double> number(const QString &text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<gen::PlannedEvent> parseEvent(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() < 2 || parts.size() > 4)
        return std::nullopt;
    gen::PlannedEvent e;
    const QString kind = parts[0].toLower();
    if (kind == QLatin1String("splice"))
        e.kind = gen::EventKind::Splice;
    else if (kind == QLatin1String("connector"))
        e.kind = gen::EventKind::Connector;
    else if (kind == QLatin1String("end"))
        e.kind = gen::EventKind::End;
    else
        return std::nullopt;
    const auto distance = number(parts[1]);
    if (!distance || *distance <= 0)
        return std::nullopt;
    e.distanceM = *distance;
    if (e.kind == gen::EventKind::Connector)
        e.reflectanceDb = -45.0;
    else if (e.kind == gen::EventKind::End)
        e.reflectanceDb = -14.7;
    if (parts.size() > 2) {
        const auto loss = number(parts[2]);
        if (!loss)
            return std::nullopt;
        e.lossDb = *loss;
    }
    if (parts.size() > 3) {
        const auto reflectance = number(parts[3]);
        if (!reflectance || *reflectance > 0)
            return std::nullopt;
        e.reflectanceDb = *reflectance;
    }
    return e;
}

int fail(const char *what, const char *value)
{
    std::fprintf(stderr, "sortool gen: %s: %s\n", what, value);
    return 2;
}

} // namespace

int runGen(int argc, char **argv)
{
    gen::Options o;
    QString out;
    std::vector<gen::PlannedEvent> events;
    std::optional<double> length;
    bool wavelengthSet = false;
    std::optional<double> attenuation, backscatter;

    // Every option takes a value, --help aside.
    static const char *const valued[] = {
        "preset", "wavelength", "pulse", "length", "points", "sampling", "index", "attenuation", "backscatter",
        "noise-floor", "end-reflectance", "averages", "seed", "start-event", "event", "fiber-type", "cable", "fiber",
        "operator", "comment", "loc-a", "loc-b", "supplier", "gps"};
    const QStringList arguments = commandsupport::commandArguments("gen", argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption helpOption(QStringLiteral("help"));
    parser.addOption(helpOption);
    for (const char *name : valued)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("VALUE")));
    if (!commandsupport::parseArguments(parser, arguments)) {
        const QString unknown = commandsupport::unknownOption(parser, arguments);
        // An unknown option takes the argument after it as its value, as every option does, so
        // at the end it misses one.
        if (unknown.isEmpty() || unknown == arguments.last())
            return fail("missing value after", arguments.last().toLocal8Bit().constData());
        printGenUsage();
        return fail("unknown option", unknown.toLocal8Bit().constData());
    }
    if (parser.isSet(helpOption)) {
        printGenUsage();
        return 0;
    }
    // The preset goes first so that the other options refine it wherever they appear.
    for (const QString &preset : parser.values(QStringLiteral("preset"))) {
        if (!gen::presetOptions(preset, o))
            return fail("unknown preset", preset.toLocal8Bit().constData());
    }
    const QStringList outputs = parser.positionalArguments();
    if (outputs.size() > 1)
        return fail("more than one output file", outputs[1].toLocal8Bit().constData());
    out = outputs.value(0);


    // The other options in the order given, each value of a repeated one in turn.
    QHash<QString, qsizetype> seen;
    for (const QString &arg : parser.optionNames()) {
        const QString value = parser.values(arg).value(seen[arg]++);
        const QByteArray rawBytes = value.toLocal8Bit();
        const char *raw = rawBytes.constData();
        const auto num = number(value);
        const auto needNumber = [&](double low, double high) { return num && *num >= low && *num <= high; };

        if (arg == QLatin1String("preset")) {
            continue;
        } else if (arg == QLatin1String("wavelength")) {
            if (!needNumber(600, 1700))
                return fail("bad wavelength", raw);
            o.wavelengthNm = static_cast<int>(*num);
            wavelengthSet = true;
        } else if (arg == QLatin1String("pulse")) {
            if (!needNumber(1, 20000))
                return fail("bad pulse width", raw);
            o.pulseWidthNs = static_cast<int>(*num);
        } else if (arg == QLatin1String("length")) {
            if (!needNumber(1, 400000))
                return fail("bad length", raw);
            length = *num;
        } else if (arg == QLatin1String("points")) {
            if (!needNumber(16, 2000000))
                return fail("bad point count", raw);
            o.pointCount = static_cast<uint32_t>(*num);
        } else if (arg == QLatin1String("sampling")) {
            if (!needNumber(0.01, 10000))
                return fail("bad sampling frequency", raw);
            o.samplingFrequencyMHz = *num;
        } else if (arg == QLatin1String("index")) {
            if (!needNumber(1.0, 2.0))
                return fail("bad group index", raw);
            o.groupIndex = *num;
        } else if (arg == QLatin1String("attenuation")) {
            if (!needNumber(0, 10))
                return fail("bad attenuation", raw);
            attenuation = *num;
        } else if (arg == QLatin1String("backscatter")) {
            if (!needNumber(-100, -40))
                return fail("bad backscatter coefficient", raw);
            backscatter = *num;
        } else if (arg == QLatin1String("noise-floor")) {
            if (!needNumber(3, 60))
                return fail("bad noise floor", raw);
            o.noiseFloorDb = *num;
        } else if (arg == QLatin1String("end-reflectance")) {
            if (!needNumber(-90, 0))
                return fail("bad end reflectance", raw);
            o.endReflectanceDb = *num;
        } else if (arg == QLatin1String("averages")) {
            if (!needNumber(1, 1e9))
                return fail("bad number of averages", raw);
            o.averages = static_cast<int>(*num);
        } else if (arg == QLatin1String("seed")) {
            if (!needNumber(0, 4294967295.0))
                return fail("bad seed", raw);
            o.seed = static_cast<uint32_t>(*num);
        } else if (arg == QLatin1String("start-event")) {
            if (!needNumber(-100, 0))
                return fail("bad start-event reflectance", raw);
            o.startEvent = true;
            o.launchReflectanceDb = *num;
        } else if (arg == QLatin1String("event")) {
            const auto e = parseEvent(value);
            if (!e)
                return fail("bad event (KIND:M[:LOSS[:REFL]])", raw);
            events.push_back(*e);
        } else if (arg == QLatin1String("fiber-type")) {
            if (!needNumber(-32768, 32767))
                return fail("bad fibre type", raw);
            o.description.fiberType = static_cast<int>(*num);
        } else if (arg == QLatin1String("cable")) {
            o.description.cableId = value;
        } else if (arg == QLatin1String("fiber")) {
            o.description.fiberId = value;
        } else if (arg == QLatin1String("operator")) {
            o.description.operatorName = value;
        } else if (arg == QLatin1String("comment")) {
            o.description.comment = value;
        } else if (arg == QLatin1String("loc-a")) {
            o.description.locationA = value;
        } else if (arg == QLatin1String("loc-b")) {
            o.description.locationB = value;
        } else if (arg == QLatin1String("supplier")) {
            o.description.supplier = value;
        } else if (arg == QLatin1String("gps")) {
            o.description.other = value;
        }
    }
    if (out.isEmpty()) {
        printGenUsage();
        return 2;
    }

    if (wavelengthSet) {
        o.attenuationDbPerKm = gen::typicalAttenuationDbPerKm(o.wavelengthNm);
        o.backscatterDb = gen::typicalBackscatterDb(o.wavelengthNm);
    }
    if (attenuation)
        o.attenuationDbPerKm = *attenuation;
    if (backscatter)
        o.backscatterDb = *backscatter;
    if (!events.empty())
        o.events = events;
    if (length) {
        // The end moves to the new length; the generator adds it back there.
        std::erase_if(o.events, [&](const gen::PlannedEvent &e) {
            return e.kind == gen::EventKind::End || e.distanceM >= *length;
        });
        o.fibreLengthM = *length;
    }

    const gen::Trace trace = gen::generate(o);
    const int result = gen::writeFile(out, trace, o);
    if (result != 1) {
        std::fprintf(stderr, "sortool gen: cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s: %u points, %.4f m spacing, %zu events, end at %.1f m\n", qPrintable(out), o.pointCount,
                static_cast<double>(trace.record.sampleSpacing), trace.truth.size(), trace.truth.back().distanceM);
    return 0;
}
