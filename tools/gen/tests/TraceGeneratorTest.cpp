#include "tools/gen/TraceGenerator.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

using gen::EventKind;
using gen::PlannedEvent;

constexpr double c = 299792458.0;

double levelAt(const gen::Trace &t, int64_t k) { return (65535.0 - t.record.traces[0].points[k]) / 1000.0; }

// Sample index whose distance (k + 1) x spacing is nearest to `metres`.
int64_t indexOf(const gen::Trace &t, double metres)
{
    return std::llround(metres / t.record.sampleSpacing - 1.0);
}

struct Line {
    double slope = 0.0;     // dB per km
    double intercept = 0.0; // dB at 0 m
    double residualRms = 0.0;
    double at(double metres) const { return intercept + slope * metres / 1000.0; }
};

// Least-squares line through the levels of samples [from, to) against distance.
Line fit(const gen::Trace &t, int64_t from, int64_t to)
{
    const double s = t.record.sampleSpacing;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    const double n = static_cast<double>(to - from);
    for (int64_t k = from; k < to; ++k) {
        const double x = (k + 1) * s / 1000.0;
        const double y = levelAt(t, k);
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    Line line;
    line.slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    line.intercept = (sy - line.slope * sx) / n;
    double rr = 0;
    for (int64_t k = from; k < to; ++k) {
        const double r = levelAt(t, k) - line.at((k + 1) * s);
        rr += r * r;
    }
    line.residualRms = std::sqrt(rr / n);
    return line;
}

double pulseMetres(const gen::Options &o) { return c * o.pulseWidthNs * 1e-9 / (2.0 * o.groupIndex); }

struct PhysicsCase {
    const char *name;
    gen::Options options;
};

// ctest names a case by this text.
void PrintTo(const PhysicsCase &c, std::ostream *os) { *os << c.name; }

gen::Options makeOptions(int wavelength, int pulseNs, uint32_t points, double noiseFloorDb,
                         std::vector<PlannedEvent> events)
{
    gen::Options o;
    o.wavelengthNm = wavelength;
    o.attenuationDbPerKm = gen::typicalAttenuationDbPerKm(wavelength);
    o.backscatterDb = gen::typicalBackscatterDb(wavelength);
    o.pulseWidthNs = pulseNs;
    o.pointCount = points;
    o.noiseFloorDb = noiseFloorDb;
    o.events = std::move(events);
    return o;
}

const PhysicsCase physicsCases[] = {
    {"patch1310", makeOptions(1310, 30, 16000, 28.0,
                              {{EventKind::Splice, 600, 0.15, 0},
                               {EventKind::Connector, 1200, 0.40, -45},
                               {EventKind::End, 2000, 0, -14.7}})},
    {"link1550", makeOptions(1550, 300, 32000, 30.0,
                             {{EventKind::Splice, 8000, 0.10, 0},
                              {EventKind::Connector, 16000, 0.50, -50},
                              {EventKind::Splice, 25000, 0.08, 0},
                              {EventKind::End, 40000, 0, -20}})},
    {"longPulse1550", makeOptions(1550, 3000, 64000, 40.0,
                                  {{EventKind::Splice, 30000, 0.20, 0},
                                   {EventKind::Connector, 60000, 0.60, -40},
                                   {EventKind::End, 100000, 0, -14.7}})},
};

class GeneratorPhysics : public ::testing::TestWithParam<PhysicsCase> {};

// Fits a line to each fibre section between events (clear of pulse smearing and reflection
// tails) and checks the slope, the steps at events, the reflection peaks and the floor.
TEST_P(GeneratorPhysics, TraceShowsThePlannedFibre)
{
    const gen::Options &o = GetParam().options;
    const gen::Trace t = gen::generate(o);
    ASSERT_EQ(t.record.traces.size(), 1u);
    ASSERT_EQ(t.record.traces[0].points.size(), o.pointCount);
    ASSERT_EQ(t.truth.size(), o.events.size());

    const double pulse = pulseMetres(o);
    const double s = t.record.sampleSpacing;
    const double clear = 3.0 * pulse + 10 * s; // smearing plus the reflection tail
    const double deadZone = 7.0 * pulse + 20 * s; // the saturated launch recovers slowly

    // Sections: [start, event 0], [event 0, event 1], ... up to the end.
    std::vector<Line> sections;
    double from = deadZone - clear;
    for (const PlannedEvent &e : t.truth) {
        const int64_t a = indexOf(t, from + clear);
        const int64_t b = indexOf(t, e.distanceM - 5 * s);
        ASSERT_GT(b - a, 50) << "section before " << e.distanceM << " m too short for a fit";
        sections.push_back(fit(t, a, b));
        from = e.distanceM;
    }

    for (size_t i = 0; i < sections.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(sections[i].slope, -o.attenuationDbPerKm, 0.005);
    }
    // Each sample averages the fibre over the pulse behind it, so the line sits half a pulse
    // of attenuation above the start level.
    EXPECT_NEAR(sections[0].intercept, o.startLevelDb + o.attenuationDbPerKm * pulse / 2000.0, 0.01);

    for (size_t i = 0; i + 1 < t.truth.size(); ++i) {
        const PlannedEvent &e = t.truth[i];
        SCOPED_TRACE(e.distanceM);
        const double before = sections[i].at(e.distanceM);
        const double after = sections[i + 1].at(e.distanceM);
        EXPECT_NEAR(before - after, e.lossDb, 0.01);
        if (e.kind != EventKind::Connector)
            continue;
        const double height = gen::reflectionHeightDb(e.reflectanceDb, o.backscatterDb, o.pulseWidthNs);
        const int64_t k = indexOf(t, e.distanceM);
        const int64_t width = std::llround(pulse / s);
        double peak = 0.0;
        for (int64_t j = k - 2; j <= k + width + 2; ++j)
            peak = std::max(peak, levelAt(t, j));
        // A strong reflection saturates the receiver at 65 dB.
        const double top = std::min(before + height, 65.0);
        EXPECT_NEAR(peak, top, 0.15);
        // The peak starts at the connector, not before it.
        int64_t rise = k - 2;
        while (levelAt(t, rise) < (before + top) / 2)
            ++rise;
        EXPECT_LE(std::abs(rise - k), 1);
    }

    // After the end reflection only the noise floor remains.
    const int64_t tailFrom = indexOf(t, t.truth.back().distanceM + clear);
    ASSERT_LT(tailFrom + 100, static_cast<int64_t>(o.pointCount));
    double sum = 0.0;
    for (int64_t k = tailFrom; k < static_cast<int64_t>(o.pointCount); ++k)
        sum += levelAt(t, k);
    const double floorMean = sum / static_cast<double>(o.pointCount - tailFrom);
    EXPECT_NEAR(floorMean, o.startLevelDb - o.noiseFloorDb, 1.0);
    EXPECT_GT(fit(t, tailFrom, o.pointCount).residualRms, 0.2);
}

INSTANTIATE_TEST_SUITE_P(Cases, GeneratorPhysics, ::testing::ValuesIn(physicsCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Generator, NoiseGrowsWithDistance)
{
    // A 30 km fibre whose far end lies about 10 dB above the floor.
    gen::Options o = makeOptions(1550, 100, 30000, 16.0, {{EventKind::End, 30000, 0, -40}});
    const gen::Trace t = gen::generate(o);
    const Line nearStart = fit(t, indexOf(t, 1000), indexOf(t, 4000));
    const Line nearEnd = fit(t, indexOf(t, 26000), indexOf(t, 29000));
    EXPECT_GT(nearEnd.residualRms, 4.0 * nearStart.residualRms);
    EXPECT_NEAR(nearEnd.slope, -o.attenuationDbPerKm, 0.02);
}

TEST(Generator, SameSeedSameTraceOtherSeedOtherNoise)
{
    gen::Options o = makeOptions(1310, 100, 8000, 25.0,
                                 {{EventKind::Connector, 3000, 0.3, -50}, {EventKind::End, 6000, 0, -14}});
    const gen::Trace a = gen::generate(o);
    const gen::Trace b = gen::generate(o);
    EXPECT_EQ(a.record.traces[0].points, b.record.traces[0].points);

    o.seed = 2;
    const gen::Trace other = gen::generate(o);
    const auto &p = a.record.traces[0].points;
    const auto &q = other.record.traces[0].points;
    EXPECT_NE(p, q);
    // Only the noise differs: the mean level over the fibre stays the same.
    double diff = 0.0;
    for (size_t k = 0; k < p.size(); ++k)
        diff += static_cast<double>(p[k]) - static_cast<double>(q[k]);
    EXPECT_LT(std::abs(diff / p.size()), 20.0); // raw units, 0.02 dB
}

struct RecordCase {
    const char *name;
    double samplingFrequencyMHz;
    uint32_t points;
    double groupIndex;
};

// ctest names a case by this text.
void PrintTo(const RecordCase &c, std::ostream *os) { *os << c.name; }

class GeneratorRecord : public ::testing::TestWithParam<RecordCase> {};

// The acquisition values agree with each other and the events with their planned distances,
// the way a reader converts them.
TEST_P(GeneratorRecord, AcquisitionAndEventsAreConsistent)
{
    const RecordCase &rc = GetParam();
    gen::Options o;
    o.samplingFrequencyMHz = rc.samplingFrequencyMHz;
    o.pointCount = rc.points;
    o.groupIndex = rc.groupIndex;
    o.events = {{EventKind::Splice, 1500, 0.12, 0},
                {EventKind::Connector, 4000.5, 0.35, -48.25},
                {EventKind::End, 9000, 0.0, -14.7}};
    const gen::Trace t = gen::generate(o);
    const SorRecord &r = t.record;

    const double n = r.refractiveIndex;
    EXPECT_EQ(r.groupIndexRaw, std::lround(rc.groupIndex * 100000));
    EXPECT_FLOAT_EQ(r.refractiveIndex, static_cast<float>(r.groupIndexRaw / 100000.0));
    EXPECT_NEAR(r.sampleSpacing, c / (2.0 * n * r.samplingFrequencyMHz * 1e6), 1e-6 * r.sampleSpacing);
    EXPECT_FLOAT_EQ(r.samplingFrequencyMHz, static_cast<float>(1e8 / (2.0 * t.dataSpacing)));
    EXPECT_FLOAT_EQ(r.fibreLength, static_cast<float>(rc.points) * r.sampleSpacing);
    EXPECT_NEAR(r.rangeMetres, r.fibreLength, 50.0);
    EXPECT_EQ(r.rangeMetres % 100, 0);
    if (rc.samplingFrequencyMHz > 0)
        EXPECT_NEAR(r.samplingFrequencyMHz, rc.samplingFrequencyMHz, 0.01 * rc.samplingFrequencyMHz);
    else
        EXPECT_NEAR(r.fibreLength, 1.25 * 9000, 0.01 * 9000);
    EXPECT_EQ(r.pulseWidthNs, o.pulseWidthNs);
    EXPECT_EQ(r.wavelengthNm, o.wavelengthNm);
    EXPECT_EQ(r.averages, o.averages);
    EXPECT_FLOAT_EQ(r.backscatter, -81.0f);
    EXPECT_EQ(r.traces[0].pointCount, static_cast<int32_t>(rc.points));
    EXPECT_EQ(r.traces[0].scaleFactor, 1000);

    ASSERT_EQ(r.events.size(), 3u);
    const char *codes[] = {"0F9999", "1F9999", "1E9999"};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const SorEvent &e = r.events[i];
        const PlannedEvent &p = t.truth[i];
        EXPECT_NEAR(e.time * c / (n * 1e10), p.distanceM, 0.011); // one 100 ps step is about 2 cm
        EXPECT_EQ(e.loss, std::lround(p.lossDb * 1000));
        EXPECT_EQ(e.reflectance, std::lround(p.reflectanceDb * 1000));
        EXPECT_EQ(e.attenuation, 190);
        EXPECT_EQ(e.code, QByteArray(codes[i]));
        EXPECT_EQ(e.technique, QByteArray("LS"));
    }
    EXPECT_EQ(r.events[0].reflectance, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, GeneratorRecord,
                         ::testing::Values(RecordCase{"autoRange", 0.0, 16000, 1.4682},
                                           RecordCase{"fixed100MHz", 100.0, 12000, 1.5},
                                           RecordCase{"fixed12_5MHz", 12.5, 3000, 1.4677},
                                           RecordCase{"manyPoints", 0.0, 256000, 1.4682}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Generator, PlanIsSortedCutAtTheEndAndGetsAnEnd)
{
    gen::Options o;
    o.pointCount = 4000;
    o.events = {{EventKind::Connector, 3000, 0.5, -50},
                {EventKind::Splice, 1000, 0.1, -30}, // a splice has no reflectance
                {EventKind::Splice, -5, 0.1, 0},     // before the start: dropped
                {EventKind::End, 5000, 0, -20},
                {EventKind::Splice, 7000, 0.1, 0}};  // beyond the end: dropped
    gen::Trace t = gen::generate(o);
    ASSERT_EQ(t.truth.size(), 3u);
    EXPECT_EQ(t.truth[0].distanceM, 1000);
    EXPECT_EQ(t.truth[0].reflectanceDb, 0.0);
    EXPECT_EQ(t.truth[1].distanceM, 3000);
    EXPECT_EQ(t.truth[2].kind, EventKind::End);
    EXPECT_EQ(t.record.events.size(), 3u);

    o.events = {{EventKind::Splice, 2000, 0.1, 0}, {EventKind::Splice, 9000, 0.1, 0}};
    o.fibreLengthM = 6000;
    t = gen::generate(o);
    ASSERT_EQ(t.truth.size(), 2u);
    EXPECT_EQ(t.truth[1].kind, EventKind::End);
    EXPECT_EQ(t.truth[1].distanceM, 6000);
    EXPECT_EQ(t.truth[1].reflectanceDb, o.endReflectanceDb);
    EXPECT_EQ(t.record.events[1].code, QByteArray("1E9999"));
}

TEST(Generator, InformationTextsFollowTheReadOrder)
{
    gen::Options o;
    o.events = {{EventKind::Connector, 1000, 0.3, -50}, {EventKind::End, 2000, 0, -14}};
    o.description.other = QStringLiteral("N47.1 E8.2");
    const gen::Trace t = gen::generate(o);
    const double n = t.record.refractiveIndex;
    const QStringList expected = {
        "Operator=Test Operator", "supplier=Lumidor", "UO=0", "UOD=0", "AveragingTime=30",
        "GPS=N47.1 E8.2", "CableID=CBL-0001", "FiberID=F001", "FiberType=652",
        QStringLiteral("CursorA=%1").arg(std::lround(1000 * n * 1e10 / c)),
        QStringLiteral("CursorB=%1").arg(std::lround(2000 * n * 1e10 / c)),
        "LocA=Central office", "LocB=Street cabinet", "Comment=Synthetic trace", "Model=LG-M2",
        "SN=SN000001"};
    EXPECT_EQ(t.record.infoTexts, expected);
}

TEST(Generator, ReflectionHeightInvertsTheReflectanceFormula)
{
    struct Case {
        double reflectance, backscatter, pulse;
    } cases[] = {{-45, -81, 100}, {-14.7, -81.7, 10}, {-60, -79.4, 1000}, {-30, -81, 20000}};
    for (const Case &k : cases) {
        const double h = gen::reflectionHeightDb(k.reflectance, k.backscatter, k.pulse);
        EXPECT_GT(h, 0.0);
        const double back = k.backscatter + 10 * std::log10(k.pulse) + 10 * std::log10(std::pow(10, h / 5) - 1);
        EXPECT_NEAR(back, k.reflectance, 1e-9);
    }
    EXPECT_NEAR(gen::reflectionHeightDb(-45, -81, 100), 8.05, 0.01);
}

} // namespace
