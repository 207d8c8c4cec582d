// The cursor measurement modes on synthetic fibres with known attenuation, steps and noise.

#include "trace/CursorMeasurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// A fibre of `lengthM` sampled every `spacingM`, starting at 30 dB and falling `dbPerKm`, with a
// loss of `stepDb` at `stepM` and Gaussian noise of `noiseDb` (seeded).
TraceData fibre(double lengthM, double spacingM, double dbPerKm, double stepM, double stepDb, double noiseDb,
                unsigned seed)
{
    TraceData t;
    t.sampleSpacing = static_cast<float>(spacingM);
    const auto n = static_cast<size_t>(lengthM / spacingM);
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, noiseDb);
    for (size_t k = 0; k < n; ++k) {
        const double x = static_cast<double>(k + 1) * spacingM;
        double level = 30.0 - dbPerKm * x / 1000.0 - (x >= stepM ? stepDb : 0.0);
        if (noiseDb > 0.0)
            level += noise(random);
        t.samples.push_back(static_cast<uint16_t>(std::lround(65535.0 - level * 1000.0)));
    }
    t.sampleCount = static_cast<uint32_t>(n);
    return t;
}

TEST(CursorMeasurement, LsaAttenuationOverTenKilometresOfNoisyFibre)
{
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        const TraceData t = fibre(12000.0, 1.0, 0.2, 1e9, 0.0, 0.05, seed);
        const auto m = measureCursors(t, MeasurementMode::Lsa, 1000.0, 11000.0);
        ASSERT_TRUE(m) << seed;
        EXPECT_NEAR(m->attenuationDbKm, 0.2, 0.003) << seed;
        EXPECT_NEAR(m->lossDb, m->attenuationDbKm * 10.0, 1e-9) << seed;
    }
}

TEST(CursorMeasurement, SpliceLossOfAStepBetweenTheCursors)
{
    struct Case {
        const char *name;
        double stepDb;
        double aM, bM;
    } cases[] = {
        {"0.1 dB splice, cursors 1 km apart", 0.1, 4500.0, 5500.0},
        {"0.3 dB splice, cursors 400 m apart", 0.3, 4800.0, 5200.0},
        {"a gain of 0.2 dB", -0.2, 4500.0, 5500.0},
        {"cursors given B first", 0.25, 5500.0, 4500.0},
    };
    for (const Case &c : cases) {
        for (unsigned seed : {7u, 8u, 9u}) {
            const TraceData t = fibre(10000.0, 1.0, 0.35, 5000.0, c.stepDb, 0.03, seed);
            const auto m = measureCursors(t, MeasurementMode::Splice, c.aM, c.bM);
            ASSERT_TRUE(m) << c.name;
            EXPECT_NEAR(m->lossDb, c.stepDb, 0.02) << c.name << ", seed " << seed;
            EXPECT_NEAR(m->attenuationDbKm, 0.35, 0.05) << c.name << ", seed " << seed;
        }
    }
}

TEST(CursorMeasurement, TwoPointReadsTheLevelsUnderTheCursors)
{
    const TraceData t = fibre(5000.0, 0.5, 0.2, 3000.0, 0.5, 0.0, 0);
    const auto m = measureCursors(t, MeasurementMode::TwoPoint, 1000.0, 4000.0);
    ASSERT_TRUE(m);
    EXPECT_NEAR(m->lossDb, 0.2 * 3.0 + 0.5, 0.002);
    EXPECT_NEAR(m->attenuationDbKm, (0.2 * 3.0 + 0.5) / 3.0, 0.001);
    // Noise-free, LSA over a section without events gives the fibre itself.
    const auto lsa = measureCursors(t, MeasurementMode::Lsa, 500.0, 2500.0);
    ASSERT_TRUE(lsa);
    EXPECT_NEAR(lsa->attenuationDbKm, 0.2, 0.001);
}

TEST(CursorMeasurement, CursorsOffTheTraceOrTogetherMeasureNothing)
{
    const TraceData t = fibre(1000.0, 1.0, 0.2, 1e9, 0.0, 0.0, 0);
    for (MeasurementMode mode : {MeasurementMode::TwoPoint, MeasurementMode::Lsa, MeasurementMode::Splice}) {
        EXPECT_FALSE(measureCursors(t, mode, -1.0, 500.0)) << measurementModeKey(mode).toStdString();
        EXPECT_FALSE(measureCursors(t, mode, 100.0, 1000.5)) << measurementModeKey(mode).toStdString();
        EXPECT_FALSE(measureCursors(t, mode, 300.0, 300.0)) << measurementModeKey(mode).toStdString();
        EXPECT_FALSE(measureCursors(TraceData{}, mode, 0.0, 1.0)) << measurementModeKey(mode).toStdString();
    }
    // Cursors one sample apart: two points are a line, but a splice fit needs two samples on each side.
    EXPECT_TRUE(measureCursors(t, MeasurementMode::Lsa, 100.0, 101.0));
    EXPECT_TRUE(measureCursors(t, MeasurementMode::Splice, 100.0, 102.0));
}

TEST(CursorMeasurement, ModeKeys)
{
    for (MeasurementMode mode : {MeasurementMode::TwoPoint, MeasurementMode::Lsa, MeasurementMode::Splice})
        EXPECT_EQ(measurementModeFromKey(measurementModeKey(mode)), mode);
    EXPECT_EQ(measurementModeFromKey(QStringLiteral("LSA")), MeasurementMode::Lsa);
    EXPECT_FALSE(measurementModeFromKey(QStringLiteral("twopoint")));
    EXPECT_FALSE(measurementModeFromKey(QString()));
}

} // namespace
