#include "tools/gen/TraceGenerator.h"

#include "trace/TraceData.h"
#include "trace/TraceMapping.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gen {

namespace {

constexpr double maxLevelDb = 65.0; // the receiver saturates here (raw 535 in the trace mapping)

// Deterministic on every platform: SplitMix64 and Box-Muller rather than the standard
// distributions, whose output differs between library implementations.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(0x9E3779B97F4A7C15ull ^ seed) {}

    double gaussian()
    {
        if (haveSpare_) {
            haveSpare_ = false;
            return spare_;
        }
        double u1 = uniform();
        const double u2 = uniform();
        if (u1 < 1e-300)
            u1 = 1e-300;
        const double r = std::sqrt(-2.0 * std::log(u1));
        const double a = 2.0 * 3.14159265358979323846 * u2;
        spare_ = r * std::sin(a);
        haveSpare_ = true;
        return r * std::cos(a);
    }

private:
    uint64_t next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

    uint64_t state_;
    double spare_ = 0.0;
    bool haveSpare_ = false;
};

// Display levels are 5 log10 of the detected power, so slopes read as one-way attenuation.
double levelToPower(double levelDb) { return std::pow(10.0, levelDb / 5.0); }
double powerToLevel(double power) { return 5.0 * std::log10(power); }

template <typename T>
T clampTo(double value)
{
    const double lo = static_cast<double>(std::numeric_limits<T>::min());
    const double hi = static_cast<double>(std::numeric_limits<T>::max());
    return static_cast<T>(std::llround(std::clamp(value, lo, hi)));
}

// Sorted plan up to and including the first End; an End is added when the plan has none.
std::vector<PlannedEvent> normalisedPlan(const Options &o)
{
    std::vector<PlannedEvent> plan;
    for (const PlannedEvent &e : o.events) {
        if (e.distanceM > 0.0 && std::isfinite(e.distanceM))
            plan.push_back(e);
    }
    std::stable_sort(plan.begin(), plan.end(),
                     [](const PlannedEvent &a, const PlannedEvent &b) { return a.distanceM < b.distanceM; });
    const auto end = std::find_if(plan.begin(), plan.end(),
                                  [](const PlannedEvent &e) { return e.kind == EventKind::End; });
    if (end != plan.end()) {
        plan.erase(end + 1, plan.end());
    } else {
        const double length = o.fibreLengthM > 0.0 ? o.fibreLengthM : 10000.0;
        plan.erase(std::remove_if(plan.begin(), plan.end(),
                                  [&](const PlannedEvent &e) { return e.distanceM >= length; }),
                   plan.end());
        plan.push_back({EventKind::End, length, 0.0, o.endReflectanceDb});
    }
    for (PlannedEvent &e : plan) {
        if (e.kind == EventKind::Splice)
            e.reflectanceDb = 0.0;
    }
    return plan;
}

// First sample index whose distance (k + 1) x spacing reaches `distanceM`.
int64_t firstIndexAt(double distanceM, double spacing)
{
    const double x = distanceM / spacing - 1.0;
    return std::max<int64_t>(0, static_cast<int64_t>(std::ceil(x - 1e-9)));
}

QByteArray eventCode(const PlannedEvent &e)
{
    switch (e.kind) {
    case EventKind::Splice:
        return "0F9999";
    case EventKind::Connector:
        return "1F9999";
    case EventKind::End:
        return e.reflectanceDb != 0.0 ? "1E9999" : "0E9999";
    }
    return "0F9999";
}

// The samples: smeared backscatter with steps, reflections, the launch spike and noise.
std::vector<uint16_t> synthesiseSamples(const Options &o, const std::vector<PlannedEvent> &plan,
                                        double spacing, double n)
{
    const size_t count = o.pointCount;
    std::vector<uint16_t> points(count, 65535);
    if (count == 0)
        return points;

    const double pulseM = speedOfLight * std::max(1, o.pulseWidthNs) * 1e-9 / (2.0 * n);
    const int64_t width = std::max<int64_t>(1, std::llround(pulseM / spacing));
    const double endM = plan.back().distanceM;

    // Backscatter power as the fibre returns it, before the pulse smears it.
    std::vector<double> scatter(count, 0.0);
    {
        double stepLossDb = 0.0;
        size_t next = 0;
        for (size_t k = 0; k < count; ++k) {
            const double z = static_cast<double>(k + 1) * spacing;
            if (z >= endM)
                break;
            while (next < plan.size() && plan[next].kind != EventKind::End && plan[next].distanceM <= z)
                stepLossDb += plan[next++].lossDb;
            scatter[k] = levelToPower(o.startLevelDb - o.attenuationDbPerKm * z / 1000.0 - stepLossDb);
        }
    }

    // The pulse spreads every change over its length: each sample averages the scatter of
    // the `width` samples ending at it.
    std::vector<double> power(count, 0.0);
    {
        double window = 0.0;
        for (size_t k = 0; k < count; ++k) {
            window += scatter[k];
            if (k >= static_cast<size_t>(width))
                window -= scatter[k - width];
            power[k] = std::max(0.0, window) / static_cast<double>(width);
        }
    }

    // A reflection is a pulse-long plateau above the local backscatter; the receiver recovers
    // exponentially afterwards until the remainder is negligible against `reference`.
    const auto addReflection = [&](int64_t first, double amplitude, double decaySamples, double reference) {
        for (int64_t k = first; k < first + width && k < static_cast<int64_t>(count); ++k)
            power[k] += amplitude;
        const double ratio = amplitude / std::max(reference * 1e-5, 1e-300);
        const int64_t tail = ratio > 1.0 ? static_cast<int64_t>(std::ceil(decaySamples * std::log(ratio))) : 0;
        for (int64_t i = 1; i <= tail; ++i) {
            const int64_t k = first + width - 1 + i;
            if (k >= static_cast<int64_t>(count))
                break;
            power[k] += amplitude * std::exp(-static_cast<double>(i) / decaySamples);
        }
    };

    const double floorPower = levelToPower(o.startLevelDb - o.noiseFloorDb);
    const double pulseSamples = static_cast<double>(width);

    // Launch: the front connector saturates the receiver; its slow recovery is the dead zone.
    addReflection(0, levelToPower(o.startLevelDb + 9.0), std::max(2.0, pulseSamples / 8.0),
                  levelToPower(o.startLevelDb));

    for (const PlannedEvent &e : plan) {
        if (e.kind == EventKind::Splice || e.reflectanceDb == 0.0)
            continue;
        const int64_t first = firstIndexAt(e.distanceM, spacing);
        if (first >= static_cast<int64_t>(count))
            continue;
        const double before = first > 0 ? scatter[first - 1] : scatter[0];
        const double height = reflectionHeightDb(e.reflectanceDb, o.backscatterDb, o.pulseWidthNs);
        addReflection(first, before * (levelToPower(height) - 1.0), std::max(1.0, pulseSamples / 10.0),
                      std::min(before, floorPower));
    }

    // Receiver noise is additive in power, so it shows more the lower the backscatter; after
    // the end only the noise floor remains.
    Noise noise(o.seed);
    for (size_t k = 0; k < count; ++k) {
        const double measured = power[k] + floorPower * std::max(0.15, 1.0 + 0.4 * noise.gaussian());
        const double level = std::clamp(powerToLevel(measured), 0.0, maxLevelDb);
        points[k] = TraceMapping::rawOfLevel(level);
    }
    return points;
}

} // namespace

int32_t distanceToTime(double distanceM, double n)
{
    return TraceMapping(static_cast<float>(n), 0.0f).timeOfMetres(distanceM);
}

double reflectionHeightDb(double reflectanceDb, double backscatterDb, double pulseWidthNs)
{
    const double d = std::max(pulseWidthNs, 1e-3);
    return 5.0 * std::log10(std::pow(10.0, (reflectanceDb - backscatterDb - 10.0 * std::log10(d)) / 10.0) + 1.0);
}

double typicalAttenuationDbPerKm(int wavelengthNm)
{
    if (wavelengthNm < 1000)
        return 2.5;
    if (wavelengthNm < 1400)
        return 0.33;
    if (wavelengthNm < 1600)
        return 0.19;
    return 0.21;
}

double typicalBackscatterDb(int wavelengthNm)
{
    if (wavelengthNm < 1000)
        return -70.0;
    if (wavelengthNm < 1400)
        return -79.4;
    if (wavelengthNm < 1600)
        return -81.7;
    return -82.5;
}

Trace generate(const Options &o)
{
    Trace t;
    t.truth = normalisedPlan(o);
    const double endM = t.truth.back().distanceM;
    const uint32_t count = std::max<uint32_t>(1, o.pointCount);

    // The group index and the data spacing are stored as integers; everything else is derived
    // from the stored values so that the record equals what a reader gets from the file.
    const double groupIndex = std::isfinite(o.groupIndex) && o.groupIndex >= 1.0 ? o.groupIndex : 1.4682;
    t.groupIndexRaw = clampTo<int32_t>(groupIndex * 100000.0);
    const float nf = static_cast<float>(t.groupIndexRaw / 100000.0);
    const double n = nf;
    if (o.samplingFrequencyMHz > 0.0 && std::isfinite(o.samplingFrequencyMHz)) {
        t.dataSpacing = clampTo<int32_t>(1e8 / (2.0 * o.samplingFrequencyMHz));
    } else {
        const double spacing = 1.25 * endM / count;
        t.dataSpacing = clampTo<int32_t>(spacing * n / speedOfLight * 1e14);
    }
    t.dataSpacing = std::max(1, t.dataSpacing);
    const float d = static_cast<float>(t.dataSpacing / 1e14);
    const double spacing = static_cast<double>(d) * speedOfLight / n;

    SorRecord &r = t.record;
    SorTrace trace;
    trace.pointCount = static_cast<int32_t>(o.pointCount);
    trace.scaleFactor = 1000;
    trace.points = synthesiseSamples(o, t.truth, spacing, n);
    r.traces.push_back(std::move(trace));

    r.refractiveIndex = nf;
    r.groupIndexRaw = t.groupIndexRaw;
    r.sampleSpacing = static_cast<float>(spacing);
    r.samplingFrequencyMHz = static_cast<float>(1e8 / static_cast<double>(2 * t.dataSpacing));
    r.fibreLength = static_cast<float>(o.pointCount) * r.sampleSpacing;
    r.pulseWidthNs = o.pulseWidthNs;
    r.wavelengthNm = o.wavelengthNm;
    // The file keeps the range in units of 100 m.
    r.rangeMetres = static_cast<int32_t>(std::llround(o.pointCount * spacing / 100.0)) * 100;
    r.backscatter = static_cast<float>(clampTo<int16_t>(o.backscatterDb * 10.0) / 10.0);
    r.lossThreshold = static_cast<float>(clampTo<uint16_t>(o.lossThresholdDb * 1000.0) / 1000.0);
    r.reflectanceThreshold = static_cast<float>(clampTo<uint16_t>(o.reflectanceThresholdDb * 1000.0) / 1000.0);
    r.endThreshold = static_cast<float>(clampTo<uint16_t>(o.endThresholdDb * 1000.0) / 1000.0);
    r.timestamp = o.timestamp & 0xFFFFFFFFll;
    r.averages = o.averages;

    const int16_t attenuation = clampTo<int16_t>(o.attenuationDbPerKm * 1000.0);
    if (o.startEvent) {
        SorEvent start;
        start.reflectance = clampTo<int32_t>(o.launchReflectanceDb * 1000.0);
        start.code = "1F9999";
        start.technique = "LS";
        r.events.push_back(start);
    }
    for (const PlannedEvent &e : t.truth) {
        SorEvent ev;
        ev.time = distanceToTime(e.distanceM, n);
        ev.attenuation = attenuation;
        ev.loss = clampTo<int16_t>(e.lossDb * 1000.0);
        ev.reflectance = e.kind == EventKind::Splice ? 0 : clampTo<int32_t>(e.reflectanceDb * 1000.0);
        ev.code = eventCode(e);
        ev.technique = "LS";
        r.events.push_back(ev);
    }

    double cursorA = o.cursorAM;
    if (cursorA < 0.0)
        cursorA = t.truth.size() > 1 ? t.truth.front().distanceM : 0.0;
    const double cursorB = o.cursorBM < 0.0 ? endM : o.cursorBM;
    t.cursorATime = distanceToTime(cursorA, n);
    t.cursorBTime = distanceToTime(cursorB, n);
    t.userOffsetTime = distanceToTime(o.userOffsetM, n);

    // The information texts in the order a read of the written file produces them.
    const Description &s = o.description;
    QStringList &texts = r.infoTexts;
    texts << QStringLiteral("Operator=") + s.operatorName << QStringLiteral("supplier=") + s.supplier
          << QStringLiteral("UO=%1").arg(t.userOffsetTime) << QStringLiteral("UOD=0")
          << QStringLiteral("AveragingTime=%1").arg(static_cast<uint16_t>(o.averagingTimeS));
    if (!s.other.isEmpty())
        texts << QStringLiteral("GPS=") + s.other;
    if (!s.cableId.isEmpty())
        texts << QStringLiteral("CableID=") + s.cableId;
    if (!s.fiberId.isEmpty())
        texts << QStringLiteral("FiberID=") + s.fiberId;
    texts << QStringLiteral("FiberType=%1").arg(static_cast<int16_t>(s.fiberType))
          << QStringLiteral("CursorA=%1").arg(t.cursorATime) << QStringLiteral("CursorB=%1").arg(t.cursorBTime)
          << QStringLiteral("LocA=") + s.locationA << QStringLiteral("LocB=") + s.locationB
          << QStringLiteral("Comment=") + s.comment;
    if (!s.moduleId.isEmpty())
        texts << QStringLiteral("Model=") + s.moduleId;
    if (!s.moduleSerial.isEmpty())
        texts << QStringLiteral("SN=") + s.moduleSerial;
    return t;
}

} // namespace gen
