#include "tools/gen/GeneratedFile.h"

#include "trace/AtomicWrite.h"
#include "trace/InfoTexts.h"

#include <QLoggingCategory>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcGen, "lumidor.gen")

namespace gen {

namespace {

constexpr qsizetype maxTextBytes = 255;
constexpr qsizetype maxUtf8Bytes = 249; // longer UTF-8 texts do not read back whole

QByteArray utf8(const QString &s) { return infotexts::toUtf8(s, maxUtf8Bytes); }
QByteArray local8(const QString &s) { return infotexts::toLocal8Bit(s, maxTextBytes); }

} // namespace

bool presetOptions(const QString &name, Options &o)
{
    Options p;
    p.startEvent = true;
    if (name == QLatin1String("patch")) {
        p.wavelengthNm = 1310;
        p.pulseWidthNs = 30;
        p.pointCount = 16000;
        p.noiseFloorDb = 30.0;
        p.fibreLengthM = 2000.0;
        p.events = {{EventKind::Splice, 650.0, 0.08, 0.0},
                    {EventKind::Connector, 1300.0, 0.35, -52.0},
                    {EventKind::End, 2000.0, 0.0, -14.7}};
        p.description.cableId = QStringLiteral("PATCH-02");
        p.description.fiberId = QStringLiteral("F003");
        p.description.locationA = QStringLiteral("Rack 4 panel B");
        p.description.locationB = QStringLiteral("Rack 9 panel A");
        p.description.comment = QStringLiteral("Patch cord acceptance, 1310 nm");
        p.seed = 11;
    } else if (name == QLatin1String("link")) {
        p.wavelengthNm = 1550;
        p.pulseWidthNs = 1000;
        p.pointCount = 32000;
        p.noiseFloorDb = 30.0;
        p.fibreLengthM = 40000.0;
        p.events = {{EventKind::Splice, 4200.0, 0.06, 0.0},     {EventKind::Splice, 8300.0, 0.12, 0.0},
                    {EventKind::Connector, 12500.0, 0.45, -48.0}, {EventKind::Splice, 17800.0, 0.09, 0.0},
                    {EventKind::Splice, 22400.0, 0.15, 0.0},    {EventKind::Connector, 28000.0, 0.50, -45.0},
                    {EventKind::Splice, 33600.0, 0.07, 0.0},    {EventKind::End, 40000.0, 0.0, -14.7}};
        p.description.cableId = QStringLiteral("LINK-40");
        p.description.fiberId = QStringLiteral("F017");
        p.description.locationA = QStringLiteral("Exchange North");
        p.description.locationB = QStringLiteral("Exchange South");
        p.description.comment = QStringLiteral("Span acceptance, 1550 nm");
        p.description.other = QStringLiteral("N47.3769 E8.5417");
        p.seed = 22;
    } else if (name == QLatin1String("long")) {
        p.wavelengthNm = 1550;
        p.pulseWidthNs = 10000;
        p.pointCount = 256000;
        p.noiseFloorDb = 38.0;
        p.fibreLengthM = 120000.0;
        p.events = {{EventKind::Splice, 20000.0, 0.10, 0.0},    {EventKind::Splice, 40000.0, 0.12, 0.0},
                    {EventKind::Connector, 60000.0, 0.50, -50.0}, {EventKind::Splice, 80000.0, 0.10, 0.0},
                    {EventKind::Splice, 100000.0, 0.08, 0.0},   {EventKind::End, 120000.0, 0.0, -14.7}};
        p.description.cableId = QStringLiteral("LONG-120");
        p.description.fiberId = QStringLiteral("F002");
        p.description.locationA = QStringLiteral("Landing station");
        p.description.locationB = QStringLiteral("Inland node");
        p.description.comment = QStringLiteral("Long-haul span, 1550 nm");
        p.seed = 33;
    } else {
        return false;
    }
    p.attenuationDbPerKm = typicalAttenuationDbPerKm(p.wavelengthNm);
    p.backscatterDb = typicalBackscatterDb(p.wavelengthNm);
    o = p;
    return true;
}

SorBlocks fileBlocks(const Trace &t, const Options &o)
{
    const SorRecord &r = t.record;
    const Description &s = o.description;
    SorBlocks b;

    GenParams &g = b.genParams;
    g.languageCode = "EN";
    g.cableId = local8(s.cableId);
    g.fiberId = local8(s.fiberId);
    g.fiberType = static_cast<int16_t>(s.fiberType);
    g.nominalWavelength = static_cast<int16_t>(o.wavelengthNm);
    g.locationA = utf8(s.locationA);
    g.locationB = utf8(s.locationB);
    g.cableCode = local8(s.cableCode);
    g.currentDataFlag = "BC";
    g.userOffset = t.userOffsetTime;
    g.userOffsetDistance = 0;
    g.operatorName = utf8(s.operatorName);
    g.comment = utf8(s.comment);

    SupParams &sp = b.supParams;
    sp.supplier = utf8(s.supplier);
    sp.mainframeId = local8(s.mainframeId);
    sp.mainframeSerial = local8(s.mainframeSerial);
    sp.moduleId = local8(s.moduleId);
    sp.moduleSerial = local8(s.moduleSerial);
    sp.softwareRevision = local8(s.softwareRevision);
    sp.other = local8(s.other);

    const int32_t points = r.traces.empty() ? 0 : r.traces[0].pointCount;
    FxdParams &f = b.fxdParams;
    f.timestamp = static_cast<uint32_t>(r.timestamp);
    f.distanceUnits = "km";
    f.actualWavelength = static_cast<int16_t>(r.wavelengthNm * 10);
    f.pulses = {{static_cast<int16_t>(r.pulseWidthNs), t.dataSpacing, points}};
    f.groupIndex = t.groupIndexRaw;
    f.backscatter = static_cast<int16_t>(std::lround(r.backscatter * 10.0));
    f.averages = r.averages;
    f.averagingTime = static_cast<uint16_t>(o.averagingTimeS);
    f.acquisitionRange = distanceToTime(r.rangeMetres, r.refractiveIndex);
    f.acquisitionRangeDistance = r.rangeMetres / 100; // the reader multiplies by 1000 / 10
    const double floorDb = std::max(0.0, o.startLevelDb - o.noiseFloorDb);
    f.noiseFloorLevel = static_cast<uint16_t>(std::lround(std::min(floorDb, 65.535) * 1000.0));
    f.noiseFloorScale = 1000;
    f.lossThreshold = static_cast<uint16_t>(std::lround(r.lossThreshold * 1000.0));
    f.reflectanceThreshold = static_cast<uint16_t>(std::lround(r.reflectanceThreshold * 1000.0));
    f.endThreshold = static_cast<uint16_t>(std::lround(r.endThreshold * 1000.0));
    f.traceType = "ST";

    KeyEvents &k = b.keyEvents;
    double totalLossDb = 0.0;
    for (size_t i = 0; i < r.events.size(); ++i) {
        const SorEvent &e = r.events[i];
        KeyEvent ke;
        ke.number = static_cast<int16_t>(i + 1);
        ke.time = e.time;
        ke.attenuation = e.attenuation;
        ke.loss = e.loss;
        ke.reflectance = e.reflectance;
        ke.code = e.code;
        ke.technique = e.technique;
        ke.comment = e.comment;
        k.events.push_back(ke);
    }
    if (!t.truth.empty()) {
        const PlannedEvent &end = t.truth.back();
        totalLossDb = o.attenuationDbPerKm * end.distanceM / 1000.0;
        for (size_t i = 0; i + 1 < t.truth.size(); ++i)
            totalLossDb += t.truth[i].lossDb;
        k.endToEndLoss = static_cast<int32_t>(std::lround(totalLossDb * 1000.0));
        k.endToEndMarkers[1] = distanceToTime(end.distanceM, r.refractiveIndex);
    }

    b.dataPts.dataPointCount = points;
    b.dataPts.traces = r.traces;
    b.vendor.cursorA = t.cursorATime;
    b.vendor.cursorB = t.cursorBTime;
    return b;
}

int writeFile(const QString &path, const Trace &trace, const Options &options)
{
    if (path.isEmpty())
        return SorResult::CannotOpen;
    const QByteArray bytes = writeSorBytes(fileBlocks(trace, options));
    return writeFileAtomically(path, bytes, lcGen());
}

} // namespace gen
